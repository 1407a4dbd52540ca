// Tests of the trace instance: creating, tracing, flushing, deleting.
#include "tests/trace/trace_support.h"

#include "tests/qel_test.h"

namespace {

constexpr char kKey[] = "QELTINST";

class TraceInstance : public ::testing::Test {
protected:
  void SetUp() override { std::remove(file.c_str()); }
  void TearDown() override {
    QelClTraceInstance::deleteInstance();
    std::remove(file.c_str());
  }
  std::string file = std::string("instance_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".trc";
};

TEST_F(TraceInstance, ActiveEnabledAndTheSingleton) {
  {
    KeyVariables variables(kKey, {});
    QelClTraceInstance& instance = QelClTraceInstance::createInstance(kKey, nullptr);
    EXPECT_FALSE(qelTraceIsEnabled()) << "inactive: not enabled";
    EXPECT_EQ(&QelClTraceInstance::createInstance("OTHER", "x"), &instance);
    instance.enable();
    EXPECT_FALSE(instance.isEnabled()) << "enable does nothing while inactive";
    instance.activate();
    instance.enable();
    EXPECT_TRUE(qelTraceIsEnabled());
    EXPECT_EQ(QelClTraceInstance_getInstance(), &instance);
    instance.disable();
    EXPECT_EQ(gs_pclQelTraceInstance, nullptr);
    qelTraceDeleteInstance();
    EXPECT_EQ(QelClTraceInstance::cv_pclSingletonInstance, nullptr);
    qelTraceDump(QelEnTraceDetail::LOW, 0, QelEnTraceDataType::NO_DATA, "", "", nullptr, 0);  // no instance: nothing
    qelTraceFlush();
  }
  KeyVariables variables(kKey, {{"ACTIVE", "yes"}});
  QelClTraceInstance* instance = qelTraceCreateInstance(kKey, nullptr);
  EXPECT_EQ(gs_pclQelTraceInstance, instance) << "creation enables an active instance";
  EXPECT_TRUE(instance->usesQelBackEnd());
  EXPECT_FALSE(QelClTraceInstance::createControllerInstance(kKey, nullptr).getEnvironment().isController());
}

TEST_F(TraceInstance, RecordsPassTheFilterIntoTheFile) {
  KeyVariables variables(kKey, {{"ACTIVE", "on"}, {"AUTOSAVE", "on"}, {"FILE", file}, {"COMPSET", "1.3"}});
  qelTraceCreateInstance(kKey, nullptr);
  const std::int32_t value = -5;
  // Pieces of 0 to 45 bytes: every way the buffer copies texts and data.
  const char kLongMessage[] = "a value, with a message of more than 32 bytes";
#define TEXT_OF_64 "a function name of 64 characters, repeated to make it too long.."
  constexpr char kOverlongName[] = TEXT_OF_64 TEXT_OF_64 TEXT_OF_64 TEXT_OF_64 "!";  // 257: 255 are kept
#undef TEXT_OF_64
  QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::FUNCTION_ENTRY, "outer", "ignored", &value, 4);
  QEL_TRACE(QelEnTraceDetail::LOW, 2, QelEnTraceDataType::FUNCTION_ENTRY, "inner", "", nullptr, 0);
  QEL_TRACE(QelEnTraceDetail::LOW, 2, QelEnTraceDataType::INT32, "inner", kLongMessage, &value, 4);
  QEL_TRACE(QelEnTraceDetail::MED, 2, QelEnTraceDataType::INT32, "inner", "too detailed", &value, 4);
  QEL_TRACE(QelEnTraceDetail::LOW, 4, QelEnTraceDataType::INT32, "inner", "excluded", &value, 4);
  QEL_TRACE(QelEnTraceDetail::LOW, 0, QelEnTraceDataType::BOOLEAN, kOverlongName, "no component: any filter", "\1", 1);
  QEL_TRACE(QelEnTraceDetail::MED, 2, QelEnTraceDataType::FUNCTION_EXIT, "inner", "dropped", nullptr, 0);
  QEL_TRACE(QelEnTraceDetail::LOW, 2, QelEnTraceDataType::FUNCTION_EXIT, "inner", "", nullptr, 0);
  QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::FUNCTION_EXIT, "outer", "", nullptr, 0);
  qelTraceFlush();

  const auto level = [](std::int32_t n) { return std::string(reinterpret_cast<const char*>(&n), 4); };
  const struct {
    unsigned int kind;
    const char* message;
    std::string function;
    std::string data;
  } expected[] = {{0x01, "", "outer", level(1)},
                  {0x01, "", "inner", level(2)},
                  {0x4F, kLongMessage, "inner", level(-5)},
                  {0x4A, "no component: any filter", std::string(kOverlongName, 255), "\1"},
                  {0x02, "", "inner", level(0)},
                  {0x02, "", "outer", level(-1)}};
  bool whole = false;
  const auto records = parseRecords(readFile(file), &whole);
  EXPECT_TRUE(whole);
  ASSERT_EQ(records.size(), std::size(expected));
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto& [kind, message, function, data] = expected[i];
    EXPECT_EQ(std::tie(records[i].kind, records[i].message, records[i].function, records[i].data),
              std::tie(kind, message, function, data)) << "record " << i;
  }
}

// The entry that QEL_TRACE calls with a head word made when the point is compiled
// records what qelTraceDump records, whatever the settings and whatever the record
// needs: the filter, a null or clipped datum, packed strings, autoflush.
TEST_F(TraceInstance, TheHeadWordEntryRecordsWhatTheGeneralOneDoes) {
  static const char kBig[5000] = {'x'};
  const std::int32_t datum = 7;
  const struct {
    QelEnTraceDetail detail;
    unsigned short component;
    QelEnTraceDataType type;
    const char* function;
    const char* message;
    const void* data;
    unsigned int length;
    bool kept;
  } cases[] = {{QelEnTraceDetail::LOW, 1, QelEnTraceDataType::INT32, "function", "message", &datum, 4, true},
               {QelEnTraceDetail::LOW, 0, QelEnTraceDataType::CSTRING, "f", "", "text", 4, true},
               {QelEnTraceDetail::MED, 1, QelEnTraceDataType::INT32, "f", "too detailed", &datum, 4, false},
               {QelEnTraceDetail::LOW, 5, QelEnTraceDataType::INT32, "f", "excluded", &datum, 4, false},
               {QelEnTraceDetail::LOW, 2, QelEnTraceDataType::DATA, "f", "null data", nullptr, 8, true},
               {QelEnTraceDetail::LOW, 3, QelEnTraceDataType::DATA, "f", "clipped", kBig, sizeof kBig, true}};
  const std::pair<const char*, const char*> settings[] = {{"DETAIL", "LOW"}, {"COMPRESS", "on"}, {"AUTOFLUSH", "on"}};
  for (const auto& [variable, value] : settings) {
    SCOPED_TRACE(variable);
    std::remove(file.c_str());
    KeyVariables variables(kKey, {{"ACTIVE", "on"}, {"AUTOSAVE", "on"}, {"FILE", file}, {"COMPSET", "1.3"},
                                  {"BUFSIZE", "4"}, {variable, value}});
    qelTraceCreateInstance(kKey, nullptr);
    std::size_t kept = 0;
    for (const auto& c : cases) {
      qelTraceDump(c.detail, c.component, c.type, c.function, c.message, c.data, c.length);
      const auto messageLength = static_cast<unsigned int>(std::strlen(c.message));
      const auto functionLength = static_cast<unsigned int>(std::strlen(c.function));
      const std::uint32_t head =
          QelClTraceInstance::makeHeadWord(c.detail, c.component, c.type, messageLength, functionLength);
      qelTraceDumpHead(head, c.function, c.message, c.data, c.length);
      kept += c.kept ? 2 : 0;
    }
    qelTraceDeleteInstance();
    const auto records = parseRecords(readFile(file));
    ASSERT_EQ(records.size(), kept);
    for (std::size_t i = 0; i < kept; i += 2) {
      const auto parts = [](const Record& r) { return std::tie(r.kind, r.component, r.message, r.function, r.data); };
      EXPECT_EQ(parts(records[i]), parts(records[i + 1])) << "record pair " << i / 2;
    }
  }
}

struct Call {
  void* user;
  QelEnTraceDetail detail;
  unsigned short component;
  QelEnTraceDataType type;
  std::string function, message;
  std::int32_t value;
  unsigned int length;
};

void remember(void* user, QelEnTraceDetail detail, unsigned short component, QelEnTraceDataType type,
              const char* function, const char* message, const void* data, unsigned int length) {
  std::int32_t value = 0;
  std::memcpy(&value, data, sizeof value);
  static_cast<std::vector<Call>*>(user)->push_back({user, detail, component, type, function, message, value, length});
}

TEST_F(TraceInstance, AUserCallbackTakesEveryCall) {
  KeyVariables variables(kKey, {{"ACTIVE", "on"}});
  QelClTraceInstance& instance = QelClTraceInstance::createInstance(kKey, nullptr);
  std::vector<Call> calls;
  instance.registerUserCallback(remember, &calls);
  EXPECT_FALSE(instance.usesQelBackEnd());
  const std::int32_t value = 9;
  qelTraceDump(QelEnTraceDetail::HIGH, 300, QelEnTraceDataType::INT32, "f", "m", &value, 4);
  qelTraceDump(QelEnTraceDetail::LOW, 7, QelEnTraceDataType::FUNCTION_ENTRY, "f", "m", &value, 2);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].user, &calls);
  EXPECT_EQ(calls[0].component, 300) << "the callback sees the id as given";
  EXPECT_EQ(calls[0].value, 9);
  EXPECT_EQ(calls[1].detail, QelEnTraceDetail::OFF);
  EXPECT_EQ(calls[1].message, "");
  EXPECT_EQ(calls[1].length, 4u);
  EXPECT_NE(calls[1].value, 9) << "the nesting level, not the caller's data";
  qelTraceDump(QelEnTraceDetail::HIGH, 7, QelEnTraceDataType::FUNCTION_EXIT, "f", "", nullptr, 0);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].detail, QelEnTraceDetail::HIGH) << "details other than LOW pass unchanged";
  EXPECT_EQ(calls[2].value, calls[1].value - 1) << "an exit one below its entry";
  qelTraceDumpHead(QelClTraceInstance::makeHeadWord(QelEnTraceDetail::MED, 9, QelEnTraceDataType::INT32, 1, 1), "f",
                   "m", &value, 4);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(std::tie(calls[3].detail, calls[3].component, calls[3].type, calls[3].function, calls[3].message),
            std::make_tuple(QelEnTraceDetail::MED, 9, QelEnTraceDataType::INT32, "f", "m"))
      << "the head word's parts, as qelTraceDump would give them";
}

// Threads tracing at once through a small ring that wraps many times: every record
// reaches the file whole, and each thread's records in the order it traced them.
TEST_F(TraceInstance, ConcurrentThreadsNeverInterleaveRecords) {
  constexpr std::uint32_t kThreads = 8, kRecords = 50000;
  KeyVariables variables(kKey, {{"ACTIVE", "on"}, {"AUTOSAVE", "on"}, {"BUFSIZE", "4"}, {"FILE", file}});
  qelTraceCreateInstance(kKey, nullptr);
  std::vector<std::thread> threads;
  for (std::uint32_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (std::uint32_t i = 0; i < kRecords; ++i) {
        const std::uint32_t data[2] = {t, i};
        QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::DATA, "worker", "record", data, sizeof data);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  qelTraceDeleteInstance();

  bool whole = false;
  const auto records = parseRecords(readFile(file), &whole);
  EXPECT_TRUE(whole);
  ASSERT_EQ(records.size(), kThreads * kRecords);
  std::vector<std::uint32_t> next(kThreads, 0);
  std::size_t faults = 0;
  for (const auto& record : records) {
    const std::uint32_t thread = wordAt(record.data, 0), sequence = wordAt(record.data, 4);
    if (record.kind != 0x44 || record.message != "record" || record.function != "worker" || thread >= kThreads ||
        sequence != next[thread]++) {
      ++faults;
    }
  }
  EXPECT_EQ(faults, 0u);
}

}  // namespace
