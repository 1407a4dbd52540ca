// Command lines, launching and killing. The programs started are the helper built next
// to this test, the shell on POSIX and cmd under Wine.
#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <cerrno>
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

// A program that is nowhere: names with a directory part are never searched.
const QelClExeFile& appInProgramFiles() {
  static const QelClExeFile executable(QelClFilename("D:\\Program Files\\app.exe"));
  return executable;
}

const QelClExeFile& helper() {
  static const QelClExeFile executable(QelClFilename("qel_process_helper"));
  return executable;
}

std::string contentsOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Waits up to ten seconds for a file to appear.
bool appears(const fs::path& path) {
  for (int i = 0; i < 200 && !fs::exists(path); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return fs::exists(path);
}

void expectLaunchFailed(const QelClNewProcessABase& process) {
  EXPECT_EQ(process.getError().ulErrorId, PROCESS_COULD_NOT_LAUNCH);
  EXPECT_EQ(process.getError().enErrorClass, QelEnErrorClass::UNKNOWN_PROCESS);
}

void expectCleared(const _QelStError& error) {
  EXPECT_EQ(error.ulErrorId, NO_ERROR);
  EXPECT_EQ(error.enErrorClass, QelEnErrorClass::UNKNOWN);
}

class Launch : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(helper().isFoundInSystemPath()) << helper().getAsCString();
    scratch = fs::temp_directory_path() /
              ("qel_launch_" + std::to_string(QelClProcessProperty().getProcessId()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(scratch);
  }
  void TearDown() override { fs::remove_all(scratch); }

  fs::path scratch;
};

}  // namespace

TEST(CommandLine, QuotesTextsWithSpaces) {
  QelClNewSyncProcess process(appInProgramFiles());
  EXPECT_EQ(process.getArgumentCount(), 1u);
  process.addArgument("-x");
  process.addArgument("a b");
  process.addArgument(5L);
  EXPECT_STREQ(process.getCommandLine(), "\"D:\\Program Files\\app.exe\" -x \"a b\" 5");
  EXPECT_EQ(process.getArgumentCount(), 4u);

  // A final backslash is doubled inside quotes only; inner quotes pass as they are.
  QelClNewAsyncProcess other(appInProgramFiles());
  other.addArgument("dir with space\\");
  other.addArgument("C:\\dir\\");
  other.addArgument("say \"hi\"");
  other.addArgument("");
  EXPECT_STREQ(other.getCommandLine(),
               "\"D:\\Program Files\\app.exe\" \"dir with space\\\\\" C:\\dir\\ \"say \"hi\"\" ");
  EXPECT_EQ(other.getArgumentCount(), 5u);
}

TEST(CommandLine, NullTextsAndNumbers) {
  QelClNewSyncProcess process(appInProgramFiles());
  const std::string before = process.getCommandLine();
  process.addArgument(static_cast<const char*>(nullptr));
  EXPECT_EQ(process.getCommandLine(), before);
  EXPECT_EQ(process.getArgumentCount(), 1u);

  process.addArgument(-3L);
  process.addArgument(ULONG_MAX);
  EXPECT_EQ(process.getCommandLine(), before + " -3 " + std::to_string(ULONG_MAX));
#ifdef _WIN32
  EXPECT_EQ(std::to_string(ULONG_MAX).size(), 10u);
#endif
}

// Launching terminates the command line: what is added afterwards is not part of it.
TEST(CommandLine, LaunchTerminatesIt) {
  QelClNewSyncProcess process(appInProgramFiles());
  process.addArgument("-x");
  EXPECT_FALSE(process.launch());
  process.addArgument("-y");
  EXPECT_STREQ(process.getCommandLine(), "\"D:\\Program Files\\app.exe\" -x");
  EXPECT_EQ(process.getArgumentCount(), 3u);
}

TEST_F(Launch, SynchronousLaunchKeepsTheExitCode) {
  QelClNewSyncProcess helperExit(helper());
  helperExit.addArgument("exit");
  helperExit.addArgument(7L);
  ASSERT_TRUE(helperExit.launch());
  EXPECT_EQ(helperExit.getResult(), 7u);
  expectCleared(helperExit.getError());

#ifdef _WIN32
  const QelClExeFile shell(QelClFilename("cmd"));
  QelClNewSyncProcess process(shell);
  process.addArgument("/c");
  process.addArgument("exit 7");
#else
  const QelClExeFile shell(QelClFilename("/bin/sh"));
  QelClNewSyncProcess process(shell);
  process.addArgument("-c");
  process.addArgument("exit 7");
#endif
  ASSERT_TRUE(process.launch());
  EXPECT_EQ(process.getResult(), 7u);
  expectCleared(process.getError());
}

#ifndef _WIN32
TEST_F(Launch, ProgramEndedBySignalReports128PlusTheSignal) {
  const QelClExeFile shell(QelClFilename("/bin/sh"));
  QelClNewSyncProcess process(shell);
  process.addArgument("-c");
  process.addArgument("kill -KILL $$");
  ASSERT_TRUE(process.launch());
  EXPECT_EQ(process.getResult(), 128u + 9u);
}

// Every argument without a double quote comes back exactly as it was added: spaces,
// runs of backslashes, empty texts and other bytes alike.
TEST_F(Launch, ArgumentsWithoutQuotesComeBackExactly) {
  std::mt19937 random(4711);
  const std::string alphabet = std::string("ab  \\\\\t\x01\xff'$*") + "\n";
  std::vector<std::string> texts;
  for (int i = 0; i < 300; ++i) {
    std::string text(random() % 7, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    texts.push_back(text);
  }
  const QelClExeFile shell(QelClFilename("/bin/sh"));
  QelClNewSyncProcess process(shell);
  process.addArgument("-c");
  process.addArgument("printf '[%s]' \"$@\">\"$0\"");
  process.addArgument((scratch / "out.txt").string().c_str());
  std::string expected;
  for (const std::string& text : texts) {
    process.addArgument(text.c_str());
    expected += "[" + text + "]";
  }
  ASSERT_TRUE(process.launch());
  EXPECT_EQ(process.getResult(), 0u);
  EXPECT_EQ(contentsOf(scratch / "out.txt"), expected);
}
#endif

TEST_F(Launch, ArgumentsArriveIntact) {
  const fs::path out = scratch / "arguments.txt";
  QelClNewSyncProcess process(helper());
  process.addArgument("echo");
  process.addArgument(out.string().c_str());
  for (const char* text : {"a b", "dir with space\\", "trailing\\", "x\\y z", "plain"}) {
    process.addArgument(text);
  }
  process.addArgument(-42L);
  ASSERT_TRUE(process.launch()) << process.getResult();
  EXPECT_EQ(process.getResult(), 0u);
  EXPECT_EQ(contentsOf(out), "[a b]\n[dir with space\\]\n[trailing\\]\n[x\\y z]\n[plain]\n[-42]\n");
}

TEST_F(Launch, MissingProgramFailsWithTheSystemError) {
  const QelClExeFile missing(QelClFilename("qel_no_such_program"));
  QelClNewSyncProcess sync(missing);
  EXPECT_FALSE(sync.launch());
  expectLaunchFailed(sync);
  EXPECT_EQ(sync.getResult(), 2u);  // ERROR_FILE_NOT_FOUND, ENOENT

  QelClNewAsyncProcess async(missing);
  EXPECT_FALSE(async.launch());
  expectLaunchFailed(async);
  EXPECT_EQ(async.getResult(), 2u);
}

TEST_F(Launch, AsynchronousLaunchReturnsTheProcessId) {
  const fs::path out = scratch / "async.txt";
  QelClNewAsyncProcess process(helper());
  process.addArgument("echo");
  process.addArgument(out.string().c_str());
  process.addArgument("a b");
  ASSERT_TRUE(process.launch());
  expectCleared(process.getError());
  EXPECT_NE(process.getResult(), 0u);
  EXPECT_NE(process.getResult(), QelClProcessProperty().getProcessId());
  ASSERT_TRUE(appears(out));
  EXPECT_EQ(contentsOf(out), "[a b]\n");
#ifndef _WIN32
  // The program is no child of this process: nothing is left here to reap.
  int status = 0;
  EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
#endif
}

TEST_F(Launch, KillEndsARunningProcess) {
  const fs::path out = scratch / "woke.txt";
  QelClNewAsyncProcess process(helper());
  process.addArgument("sleep");
  process.addArgument(1500L);
  process.addArgument(out.string().c_str());
  ASSERT_TRUE(process.launch());

  QelClProcess running(process.getResult());
  EXPECT_EQ(running.getProcessId(), process.getResult());
  EXPECT_TRUE(running.kill());
  expectCleared(running.getError());
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  EXPECT_FALSE(fs::exists(out));
}

TEST(Kill, ProcessThatDoesNotExistCountsAsEnded) {
  QelClProcess gone(0x7FFFFFF0u);
  EXPECT_TRUE(gone.kill());
  expectCleared(gone.getError());
  EXPECT_EQ(QelClProcess().getProcessId(), QelClProcessProperty().getProcessId());
}
