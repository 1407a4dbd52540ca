// Autosave into trace files: whole records across wraps, crash-save and durable
// switches, records lost to a file that can't be written.
#include "tests/trace/trace_support.h"

#include "tests/qel_test.h"

namespace {

constexpr char kKey[] = "QELTSAVE";

class Autosave : public ::testing::Test {
protected:
  void SetUp() override { std::remove(name.c_str()); }
  void TearDown() override { std::remove(name.c_str()); }

  // A record whose data is size bytes of the letter.
  static void trace(QelClTraceEnvironment& environment, char letter, std::size_t size) {
    const std::string data(size, letter);
    environment.add(QelClTraceEntry(environment, QelEnTraceDetail::LOW, 1, QelEnTraceDataType::DATA, "fn",
                                    std::string(1, letter).c_str(), data.data(), static_cast<unsigned int>(size)));
  }

  std::string name = std::string("save_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".trc";
};

// Records of every size, the largest the ring holds included, cut by wraps at every
// place: after every record the file ends at a record boundary, and in the end it holds
// each record once, in order.
TEST_F(Autosave, WrapsLeaveOnlyWholeRecordsInTheFile) {
  KeyVariables variables(kKey, {{"AUTOSAVE", "on"}, {"BUFSIZE", "4"}, {"FILE", name}});
  QelClTraceEnvironment environment(kKey, nullptr, false);
  const std::size_t sizes[] = {0, 1, 7, 100, 333, 1000, 2500, 4000, environment.getBufferSize()};
  std::string letters;
  for (int round = 0; round < 6; ++round) {
    for (std::size_t size : sizes) {
      const char letter = static_cast<char>('a' + letters.size() % 26);
      trace(environment, letter, size);
      letters += letter;
      bool whole = false;
      parseRecords(readFile(name), &whole);
      ASSERT_TRUE(whole) << "after a record of " << size << " bytes";
    }
  }
  environment.flush();
  bool whole = false;
  const auto records = parseRecords(readFile(name), &whole);
  EXPECT_TRUE(whole);
  ASSERT_EQ(records.size(), letters.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].message, std::string(1, letters[i]));
    EXPECT_EQ(records[i].data, std::string(sizes[i % (sizeof sizes / sizeof sizes[0])], letters[i]));
  }
  EXPECT_EQ(environment.getLostRecordCount(), 0u);
}

TEST(AutosaveSwitches, CrashSaveAndDurableRingFromTheKeysVariables) {
  const struct {
    std::initializer_list<std::pair<const char*, std::string>> values;
    bool crashSave, durable;
  } cases[] = {
      {{{"AUTOSAVE", "on"}}, true, false},
      {{{"AUTOSAVE", "on"}, {"CRASHSAVE", "Off"}}, false, false},
      {{{"AUTOSAVE", "on"}, {"CRASHSAVE", "no"}, {"DURABLE", "yes"}}, false, true},
      {{{"AUTOSAVE", "on"}, {"CRASHSAVE", "whatever"}, {"DURABLE", "1"}}, true, true},
      {{{"CRASHSAVE", "on"}, {"DURABLE", "on"}}, false, false},
  };
  for (const auto& c : cases) {
    KeyVariables variables(kKey, c.values);
    QelClEnvironmentVariable("QELTSAVE_TRACE_FILE", "switches.trc");
    QelClTraceEnvironment environment(kKey, nullptr, false);
    const QelClTraceSettings& settings = environment.getSettings();
    EXPECT_EQ(settings.hasFlag(QelClTraceSettings::CRASHSAVE), c.crashSave);
    EXPECT_EQ(settings.hasFlag(QelClTraceSettings::DURABLE), c.durable);
    EXPECT_EQ(environment.isDurable(), c.durable);
    const std::string ring = "switches.trc." + std::to_string(environment.getProcessId()) + ".ring";
    EXPECT_EQ(std::ifstream(ring).good(), c.durable);
  }
  // A controller reads trace files: it never keeps a ring file.
  KeyVariables variables(kKey, {{"AUTOSAVE", "on"}, {"DURABLE", "on"}, {"FILE", "switches.trc"}});
  EXPECT_FALSE(QelClTraceEnvironment(kKey, nullptr, true).isDurable());
  std::remove("switches.trc");
}

// A trace file that can't be opened loses each hand-over's records, counted with the
// host's reason; once it can be written, later records go in behind what is there.
TEST_F(Autosave, RecordsLostToAFileThatCantBeWrittenAreCounted) {
  const std::string directory = "save_missing_directory";
  const std::string file = directory + "/" + name;
  std::filesystem::remove_all(directory);
  KeyVariables variables(kKey, {{"AUTOSAVE", "on"}, {"BUFSIZE", "4"}, {"FILE", file}});
  QelClTraceEnvironment environment(kKey, nullptr, false);
  for (int i = 0; i < 3; ++i) trace(environment, 'x', 10);
  environment.flush();
  EXPECT_EQ(environment.getLostRecordCount(), 3u);
  EXPECT_EQ(qelHostErrorGetClass(environment.getHostError()), QelEnErrorClass::IO_NOT_EXISTENT);
  std::filesystem::create_directory(directory);
  for (int i = 0; i < 2; ++i) trace(environment, 'y', 10);
  environment.flush();
  EXPECT_EQ(environment.getLostRecordCount(), 3u);
  bool whole = false;
  EXPECT_EQ(parseRecords(readFile(file), &whole).size(), 2u);
  EXPECT_TRUE(whole);
  std::filesystem::remove_all(directory);
}

// Ring files that were damaged or are no ring files at all: the recovery appends only
// whole records from them, or nothing, and never reads beyond them. A copy of a living
// writer's ring file, under another process id, stands for an abandoned one.
TEST_F(Autosave, DamagedRingFilesYieldOnlyWholeRecords) {
  KeyVariables variables(kKey, {{"AUTOSAVE", "on"}, {"DURABLE", "on"}, {"BUFSIZE", "4"}, {"FILE", name}});
  QelClTraceEnvironment writer(kKey, nullptr, false);
  for (int i = 0; i < 50; ++i) trace(writer, static_cast<char>('a' + i % 26), static_cast<std::size_t>(i * 7));
  const std::string ring = name + "." + std::to_string(writer.getProcessId()) + ".ring";
  const std::string image = readFile(ring);
  ASSERT_FALSE(image.empty());
  std::mt19937 random(8);
  for (std::size_t round = 0; round < 60; ++round) {
    std::string damaged = image;
    if (round % 3 == 0) damaged.resize(random() % image.size());
    const std::size_t flips = round % 3 == 1 ? 1 : 8;
    for (std::size_t i = 0; i < flips && !damaged.empty(); ++i) {
      damaged[random() % std::min<std::size_t>(damaged.size(), 256 + round * 64)] = static_cast<char>(random());
    }
    const std::string abandoned = name + ".4000000" + std::to_string(round) + ".ring";
    std::ofstream(abandoned, std::ios::binary) << damaged;
    std::remove(name.c_str());
    static_cast<void>(writer.saveAbandonedRecords());
    bool whole = false;
    parseRecords(readFile(name), &whole);
    EXPECT_TRUE(whole) << "round " << round;
    std::remove(abandoned.c_str());
  }
}

}  // namespace
