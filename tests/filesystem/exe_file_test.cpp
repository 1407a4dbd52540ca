// Program names resolved through the host's search for programs. The Windows examples
// hold literally under Wine; on POSIX the same cases use programs every system has.
#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

#ifdef _WIN32
std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}
#endif

// QEL_NEWPROCESS_USEPATH for the time of one test.
class UsePath {
public:
  explicit UsePath(const char* value) : variable("QEL_NEWPROCESS_USEPATH", value) {}
  ~UsePath() { variable.setNewValue(""); }

private:
  QelClEnvironmentVariable variable;
};

}  // namespace

TEST(ExeFile, BareNameResolvesThroughTheSearch) {
#ifdef _WIN32
  const QelClExeFile notepad(QelClFilename("notepad"));
  EXPECT_TRUE(notepad.isFoundInSystemPath());
  EXPECT_TRUE(endsWith(lower(notepad.getAsCString()), "\\notepad.exe")) << notepad.getAsCString();
  EXPECT_TRUE(notepad.isExistent());
  EXPECT_STREQ(lower(QelClExeFile(QelClFilename("cmd")).getAsCString()).c_str(),
               "c:\\windows\\system32\\cmd.exe");
#else
  const QelClExeFile shell(QelClFilename("sh"));
  EXPECT_TRUE(shell.isFoundInSystemPath());
  EXPECT_EQ(shell.getAsCString()[0], '/');
  EXPECT_TRUE(endsWith(shell.getAsCString(), "/sh")) << shell.getAsCString();
  EXPECT_TRUE(shell.isExistent());
#endif
}

TEST(ExeFile, DefaultTypeAndMissingPrograms) {
  const QelClExeFile missing(QelClFilename("qel_no_such_tool"));
  EXPECT_FALSE(missing.isFoundInSystemPath());
#ifdef _WIN32
  EXPECT_STREQ(QelClExeFile::getDefaultFileType(), "EXE");
  EXPECT_STREQ(missing.getAsCString(), "qel_no_such_tool.EXE");
#else
  EXPECT_STREQ(QelClExeFile::getDefaultFileType(), "");
  EXPECT_STREQ(missing.getAsCString(), "qel_no_such_tool");
#endif
  EXPECT_STREQ(QelClExeFile::getSystemPathEnvironmentVariable(), "PATH");
}

// The test program itself is found in the program's own directory.
TEST(ExeFile, ProgramDirectoryComesFirst) {
  const QelClExeFile self(QelClFilename("filesystem_test"));
  ASSERT_TRUE(self.isFoundInSystemPath());
  EXPECT_TRUE(fs::equivalent(fs::path(self.getAsCString()).parent_path(),
                             fs::path(::testing::internal::GetArgvs()[0]).parent_path()))
      << self.getAsCString();
}

TEST(ExeFile, MissingDirectoryIsSearchedOnlyWithUsePath) {
#ifdef _WIN32
  const char* missing = "C:\\missing\\tool.exe";
  const char* bare = "tool.exe";
  const char* known = "C:\\missing\\cmd.exe";
#else
  const char* missing = "/missing/tool";
  const char* bare = "tool";
  const char* known = "/missing/sh";
#endif
  {
    const QelClExeFile tool{QelClFilename(missing)};
    EXPECT_STREQ(tool.getAsCString(), missing);
    EXPECT_FALSE(tool.isFoundInSystemPath());
  }
  for (const char* value : {"yes", "On", "1"}) {
    const UsePath usePath(value);
    const QelClExeFile tool{QelClFilename(missing)};
    EXPECT_STREQ(tool.getAsCString(), bare);
    EXPECT_FALSE(tool.isFoundInSystemPath());
    const QelClExeFile found{QelClFilename(known)};
    EXPECT_TRUE(found.isFoundInSystemPath()) << found.getAsCString();
    EXPECT_STRNE(found.getAsCString(), known);
  }
  const UsePath disabled("no");
  EXPECT_STREQ(QelClExeFile(QelClFilename(known)).getAsCString(), known);
}

// An existing name with a directory part is kept without a search; searching it again
// confirms it.
class SearchAgain : public QelClExeFile {
public:
  explicit SearchAgain(const char* name) : QelClExeFile(QelClFilename(name)) {}
  bool again() { return determinePath(false, nullptr); }
};

TEST(ExeFile, ExistingPathStaysAndCanBeSearchedAgain) {
  const std::string own = fs::absolute(::testing::internal::GetArgvs()[0]).string();
  SearchAgain program(own.c_str());
  EXPECT_FALSE(program.isFoundInSystemPath());
  EXPECT_STREQ(program.getAsCString(), own.c_str());
  EXPECT_TRUE(program.again());
  EXPECT_TRUE(program.isFoundInSystemPath());
}

#ifndef _WIN32
// The current directory is searched before PATH, and only files one may execute count.
TEST(ExeFile, CurrentDirectoryAndExecutePermission) {
  const fs::path previous = fs::current_path();
  const fs::path scratch = fs::temp_directory_path() /
                           ("qel_exe_" + std::to_string(QelClProcessProperty().getProcessId()));
  fs::create_directories(scratch);
  fs::current_path(scratch);
  const fs::path here = fs::current_path();
  std::ofstream(scratch / "qel_cwd_tool") << "#!/bin/sh\n";
  std::ofstream(scratch / "qel_cwd_data") << "data\n";
  fs::permissions(scratch / "qel_cwd_tool", fs::perms::owner_all);
  fs::permissions(scratch / "qel_cwd_data", fs::perms::owner_read | fs::perms::owner_write);

  const QelClExeFile tool(QelClFilename("qel_cwd_tool"));
  const QelClExeFile data(QelClFilename("qel_cwd_data"));
  fs::current_path(previous);
  fs::remove_all(scratch);

  EXPECT_TRUE(tool.isFoundInSystemPath());
  EXPECT_EQ(std::string(tool.getAsCString()), (here / "qel_cwd_tool").string());
  EXPECT_FALSE(data.isFoundInSystemPath());
  EXPECT_STREQ(data.getAsCString(), "qel_cwd_data");
}
#endif
