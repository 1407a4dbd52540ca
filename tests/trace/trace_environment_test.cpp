// Tests of a trace key's environment variables and trace file.
#include "tests/trace/trace_support.h"

#include "tests/qel_test.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

constexpr char kKey[] = "QELTENV";

// A trace file of the test's own in the working directory, removed before and after.
class TraceFile : public ::testing::Test {
protected:
  void SetUp() override { std::remove(name.c_str()); }
  void TearDown() override { std::remove(name.c_str()); }
  bool exists() const { return std::ifstream(name).good(); }
  // Writes a record of a message into environment's buffer; returns its bytes.
  static std::string trace(QelClTraceEnvironment& environment, const std::string& message) {
    const std::uint16_t value = 7;
    QelClTraceEntry entry(environment, QelEnTraceDetail::LOW, 1, QelEnTraceDataType::UINT16, "fn", message.c_str(),
                          &value, sizeof value);
    environment.add(entry);
    return std::string(reinterpret_cast<const char*>(entry.getRecord()), entry.getRecordLength()) +
           std::string(reinterpret_cast<const char*>(&value), sizeof value);
  }

  std::string name = std::string("env_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".trc";
};

TEST(TraceEnvironment, BufferSizeFromItsVariable) {
  const struct {
    const char* value;
    std::uint32_t size;
  } cases[] = {{"0", 4096}, {"4", 4096}, {"abc", 4096}, {"5", 5120}, {"20000", 16777216}, {"16384", 16777216},
               {"16383", 16776192}, {nullptr, 65535}};
  for (const auto& c : cases) {
    KeyVariables variables(kKey, {});
    if (c.value != nullptr) QelClEnvironmentVariable("QELTENV_TRACE_BUFSIZE", c.value);
    EXPECT_EQ(QelClTraceEnvironment(kKey, nullptr, false).getBufferSize() + 24, c.size) << (c.value ? c.value : "unset");
  }
}

TEST(TraceEnvironment, SettingsFromTheKeysVariables) {
  {
    KeyVariables variables("MYAPP", {{"ACTIVE", "on"}, {"DETAIL", "high"}, {"COMPSET", "2,4"}, {"AUTOFLUSH", "TRUE"},
                                      {"COMPRESS", "1"}, {"FORMAT", std::string(600, 'f')}});
    QelClTraceEnvironment environment("myApp", nullptr, false);
    EXPECT_TRUE(environment.isActive());
    const QelClTraceSettings& settings = environment.getSettings();
    EXPECT_EQ(settings.getFilter().getDetailLevel(), 3u);
    EXPECT_TRUE(settings.getFilter().isComponentIdEnabled(4));
    EXPECT_FALSE(settings.getFilter().isComponentIdEnabled(3));
    EXPECT_TRUE(settings.hasFlag(QelClTraceSettings::AUTOFLUSH));
    EXPECT_TRUE(settings.hasFlag(QelClTraceSettings::COMPRESSION));
    EXPECT_FALSE(settings.hasFlag(QelClTraceSettings::AUTOSAVE));
    environment.setFormatString(std::string(600, 'f').c_str());
    EXPECT_EQ(std::string(environment.getFormatString()), std::string(512, 'f'));
    const std::string file = environment.getTraceFileName();
    const std::string directory = qelGetTmpDirectory();
    EXPECT_EQ(file.substr(0, directory.size()), directory);
    EXPECT_EQ(file.substr(file.size() - 15), std::string(1, file[file.size() - 15]) + "myApptrace.trc");
    EXPECT_NE(std::strchr("/\\", file[file.size() - 15]), nullptr) << file;
  }
  KeyVariables variables("MYAPP", {{"ACTIVE", "off"}});
  const QelClTraceEnvironment environment("myApp", "one", false);
  EXPECT_FALSE(environment.isActive());
  EXPECT_EQ(environment.getSettings().getFilter().getDetailLevel(), 1u);
  EXPECT_FALSE(environment.getSettings().getFilter().usesCompIdFilter());
  EXPECT_STREQ(environment.getFormatString(), "%f%n   P: %p, T: %s, D: %l, C: %c%n   Data: %m (%x: %d%n)");
  EXPECT_EQ(environment.getCompressionRate(), 0.0f);
  environment.recordCompressionRate(10, 5);
  EXPECT_EQ(environment.getCompressionRate(), 0.5f);
}

TEST_F(TraceFile, VerboseReportLines) {
  KeyVariables variables(kKey, {{"VERBOSE", "yes"}, {"ACTIVE", "1"}, {"AUTOSAVE", "1"}, {"BUFSIZE", "8"},
                                {"DETAIL", "MED"}, {"FILE", name}, {"FORMAT", "%m"}});
  CaptureStdout();
  { QelClTraceEnvironment environment(kKey, "inst", false); }
  const std::string pid = std::to_string(QelClProcessProperty().getProcessId());
  EXPECT_EQ(GetCapturedStdout(),
            "[QEL: TRACE: key: QELTENV]\n[QEL: TRACE: active: 1]\n[QEL: TRACE: resource key: SEM32:QELTENV:inst]\n"
            "[QEL: TRACE: compression: 0]\n[QEL: TRACE: autosave: 1]\n[QEL: TRACE: autoflush: 0]\n"
            "[QEL: TRACE: autoclear: 0]\n[QEL: TRACE: detail: 2]\n[QEL: TRACE: buffersize: 8192]\n"
            "[QEL: TRACE: process id: " + pid + "]\n[QEL: TRACE: format: %m]\n[QEL: TRACE: file: " + name +
            "]\n[QEL: TRACE: sharedMemory: 0]\n");
}

TEST_F(TraceFile, AutosaveAppendsEachHandOver) {
  std::ofstream(name, std::ios::binary) << "old";
  KeyVariables variables(kKey, {{"AUTOSAVE", "on"}, {"BUFSIZE", "4"}, {"FILE", name}});
  std::string written;
  {
    QelClTraceEnvironment environment(kKey, nullptr, false);
    for (int i = 0; i < 300; ++i) written += trace(environment, "record " + std::to_string(i));  // wraps
    EXPECT_GT(readFile(name).size(), 3u) << "the wraps reached the file";
  }  // the last records at the end
  EXPECT_EQ(readFile(name), "old" + written);
}

TEST_F(TraceFile, VerboseHandOversReportTheFile) {
  std::ofstream(name, std::ios::binary) << "old";
  KeyVariables variables(kKey, {{"AUTOSAVE", "on"}, {"FILE", name}, {"VERBOSE", "on"}});
  QelClTraceEnvironment environment(kKey, nullptr, false);
  const std::size_t first = trace(environment, "one").size();
  CaptureStdout();
  environment.flush();
  trace(environment, "two");
  environment.flush();
  const std::string line = "[QEL: TRACE: writing file: " + name + "]\n";
  const std::string bytes = "[QEL: TRACE: bytes written: " + std::to_string(first) + " file status: 0]\n";
  EXPECT_EQ(GetCapturedStdout(), line + "[QEL: TRACE: file exists with size: 3]\n" + bytes + line +
                                     "[QEL: TRACE: file exists with size: " + std::to_string(3 + first) + "]\n" + bytes);

  KeyVariables missing(kKey, {{"AUTOSAVE", "on"}, {"FILE", "no_such_directory/x.trc"}, {"VERBOSE", "on"}});
  QelClTraceEnvironment unopenable(kKey, nullptr, false);
  trace(unopenable, "lost");
  CaptureStdout();
  unopenable.flush();
  // The host's code: ENOENT; on Windows ERROR_PATH_NOT_FOUND.
#ifdef _WIN32
  const char* code = "3";
#else
  const char* code = "2";
#endif
  const std::uint32_t error = unopenable.getHostError();
  EXPECT_EQ(GetCapturedStdout(), std::string("[QEL: TRACE: could not open: no_such_directory/x.trc (errno: ") + code +
                                     ")]\n[QEL: TRACE: records lost: 1 (" + QelClHostErrorText(error).getText() + ")]\n");
  EXPECT_EQ(std::to_string(error), code);
  EXPECT_EQ(unopenable.getLostRecordCount(), 1u);
}

TEST_F(TraceFile, AutoclearOnlyWithAutosaveAndNeverForAController) {
  const struct {
    const char* autosave;
    bool controller;
    bool removed;
  } cases[] = {{"on", false, true}, {"off", false, false}, {"on", true, false}};
  for (const auto& c : cases) {
    std::ofstream(name) << "old";
    KeyVariables variables(kKey, {{"AUTOSAVE", c.autosave}, {"AUTOCLEAR", "on"}, {"FILE", name}});
    QelClTraceEnvironment environment(kKey, nullptr, c.controller);
    EXPECT_EQ(!exists(), c.removed) << "autosave " << c.autosave << ", controller " << c.controller;
  }
}

}  // namespace
