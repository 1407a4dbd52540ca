// Command lines, launching and killing. The programs started are the helper built next
// to this test, and the shell on POSIX.
#include "tests/filesystem/scratch_directory.h"

#include <climits>
#ifndef _WIN32
#include <cerrno>
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

// A program that is nowhere: names with a directory part are never searched.
const QelClExeFile kApp(QelClFilename("D:\\Program Files\\app.exe"));
const QelClExeFile kHelper(QelClFilename("qel_process_helper"));
#ifndef _WIN32
const QelClExeFile kShell(QelClFilename("/bin/sh"));
#endif

void addArguments(QelClNewProcessABase& process, std::initializer_list<const char*> texts) {
  for (const char* text : texts) process.addArgument(text);
}

using Launch = ScratchDirectory;

}  // namespace

// Texts with spaces are quoted; a final backslash is doubled inside quotes only, inner
// quotes pass as they are. Launching terminates the command line.
TEST(CommandLine, QuotesTextsWithSpaces) {
  QelClNewSyncProcess process(kApp);
  EXPECT_EQ(process.getArgumentCount(), 1u);
  addArguments(process, {"-x", "a b", nullptr, "dir with space\\", "C:\\dir\\", "say \"hi\"", ""});
  process.addArgument(-3L);
  process.addArgument(ULONG_MAX);
  EXPECT_EQ(process.getCommandLine(), "\"D:\\Program Files\\app.exe\" -x \"a b\" "
                                      "\"dir with space\\\\\" C:\\dir\\ \"say \"hi\"\"  -3 " +
                                          std::to_string(ULONG_MAX));
  EXPECT_EQ(process.getArgumentCount(), 9u);
  const std::string before = process.getCommandLine();
  EXPECT_FALSE(process.launch());
  process.addArgument("-y");
  EXPECT_EQ(process.getCommandLine(), before);
  EXPECT_EQ(process.getArgumentCount(), 10u);
}

TEST_F(Launch, SynchronousLaunchKeepsTheExitCodeAndTheArguments) {
  ASSERT_TRUE(kHelper.isFoundInSystemPath()) << kHelper.getAsCString();
  QelClNewSyncProcess exit7(kHelper);
  exit7.addArgument("exit");
  exit7.addArgument(7L);
  ASSERT_TRUE(exit7.launch());
  EXPECT_EQ(exit7.getResult(), 7u);
  expectError(exit7);
  EXPECT_EQ(exit7.getHostError(), 0u);

  const fs::path out = root / "arguments.txt";
  QelClNewSyncProcess echo(kHelper);
  addArguments(echo, {"echo", out.string().c_str(), "a b", "dir with space\\", "trailing\\",
                      "x\\y z", "plain"});
  echo.addArgument(-42L);
  ASSERT_TRUE(echo.launch()) << echo.getResult();
  EXPECT_EQ(echo.getResult(), 0u);
  EXPECT_EQ(contentsOf(out), "[a b]\n[dir with space\\]\n[trailing\\]\n[x\\y z]\n[plain]\n[-42]\n");
}

#ifndef _WIN32
TEST_F(Launch, ProgramEndedBySignalReports128PlusTheSignal) {
  QelClNewSyncProcess process(kShell);
  addArguments(process, {"-c", "kill -KILL $$"});
  ASSERT_TRUE(process.launch());
  EXPECT_EQ(process.getResult(), 128u + 9u);
}

// Every argument without a double quote comes back exactly as it was added: spaces,
// runs of backslashes, empty texts and other bytes alike.
TEST_F(Launch, ArgumentsWithoutQuotesComeBackExactly) {
  std::mt19937 random(4711);
  const std::string alphabet = std::string("ab  \\\\\t\x01\xff'$*") + "\n";
  QelClNewSyncProcess process(kShell);
  addArguments(process, {"-c", "printf '[%s]' \"$@\">\"$0\"", (root / "out.txt").c_str()});
  std::string expected;
  for (int i = 0; i < 300; ++i) {
    std::string text(random() % 7, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    process.addArgument(text.c_str());
    expected += "[" + text + "]";
  }
  ASSERT_TRUE(process.launch());
  EXPECT_EQ(process.getResult(), 0u);
  EXPECT_EQ(contentsOf(root / "out.txt"), expected);
}
#endif

// ERROR_FILE_NOT_FOUND, ENOENT
TEST_F(Launch, MissingProgramFailsWithTheSystemError) {
  const QelClExeFile missing(QelClFilename("qel_no_such_program"));
  QelClNewSyncProcess sync(missing);
  QelClNewAsyncProcess async(missing);
  EXPECT_FALSE(sync.launch());
  EXPECT_FALSE(async.launch());
  EXPECT_EQ(sync.getResult(), 2u);
  EXPECT_EQ(async.getResult(), 2u);
  EXPECT_EQ(sync.getHostError(), 2u);
  EXPECT_EQ(async.getHostError(), 2u);
  expectError(sync, PROCESS_COULD_NOT_LAUNCH, QelEnErrorClass::UNKNOWN_PROCESS);
  expectError(async, PROCESS_COULD_NOT_LAUNCH, QelEnErrorClass::UNKNOWN_PROCESS);
}

TEST_F(Launch, AsynchronousLaunchReturnsTheProcessId) {
  const fs::path out = root / "async.txt";
  QelClNewAsyncProcess process(kHelper);
  addArguments(process, {"echo", out.string().c_str(), "a b"});
  ASSERT_TRUE(process.launch());
  expectError(process);
  EXPECT_NE(process.getResult(), 0u);
  EXPECT_NE(process.getResult(), QelClProcessProperty().getProcessId());
  for (int i = 0; i < 200 && !fs::exists(out); ++i) qelSleepMilliSeconds(50);
  EXPECT_EQ(contentsOf(out), "[a b]\n");
#ifndef _WIN32
  // The program is no child of this process: nothing is left here to reap.
  int status = 0;
  EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
#endif
}

// A process that does not exist counts as ended.
TEST_F(Launch, KillEndsARunningProcess) {
  const fs::path out = root / "woke.txt";
  QelClNewAsyncProcess process(kHelper);
  addArguments(process, {"sleep", "1500", out.string().c_str()});
  ASSERT_TRUE(process.launch());
  QelClProcess running(process.getResult());
  EXPECT_EQ(running.getProcessId(), process.getResult());
  EXPECT_TRUE(running.kill());
  expectError(running);
  qelSleepMilliSeconds(2500);
  EXPECT_FALSE(fs::exists(out));

  QelClProcess gone(0x7FFFFFF0u);
  EXPECT_TRUE(gone.kill());
  expectError(gone);
  EXPECT_EQ(QelClProcess().getProcessId(), QelClProcessProperty().getProcessId());
}
