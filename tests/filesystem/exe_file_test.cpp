// Program names resolved through the host's search for programs. The Windows examples
// hold literally under Wine; on POSIX the same cases use programs every system has.
#include "scratch_directory.h"

#include <cctype>

namespace fs = std::filesystem;

namespace {

bool endsWith(std::string text, const std::string& end) {
#ifdef _WIN32
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// An existing name with a directory part is kept without a search; searching it again
// confirms it.
class SearchAgain : public QelClExeFile {
public:
  explicit SearchAgain(const char* name) : QelClExeFile(QelClFilename(name)) {}
  bool again() { return determinePath(false, nullptr); }
};

}  // namespace

TEST(ExeFile, BareNamesResolveThroughTheSearch) {
#ifdef _WIN32
  const QelClExeFile found(QelClFilename("notepad"));
  EXPECT_TRUE(endsWith(found.getAsCString(), "\\notepad.exe")) << found.getAsCString();
  EXPECT_TRUE(endsWith(QelClExeFile(QelClFilename("cmd")).getAsCString(),
                       "c:\\windows\\system32\\cmd.exe"));
  EXPECT_STREQ(QelClExeFile::getDefaultFileType(), "EXE");
  const char* missing = "qel_no_such_tool.EXE";
#else
  const QelClExeFile found(QelClFilename("sh"));
  EXPECT_EQ(found.getAsCString()[0], '/');
  EXPECT_TRUE(endsWith(found.getAsCString(), "/sh")) << found.getAsCString();
  EXPECT_STREQ(QelClExeFile::getDefaultFileType(), "");
  const char* missing = "qel_no_such_tool";
#endif
  EXPECT_TRUE(found.isFoundInSystemPath());
  EXPECT_TRUE(found.isExistent());
  EXPECT_STREQ(QelClExeFile::getSystemPathEnvironmentVariable(), "PATH");
  const QelClExeFile tool(QelClFilename("qel_no_such_tool"));
  EXPECT_FALSE(tool.isFoundInSystemPath());
  EXPECT_STREQ(tool.getAsCString(), missing);

  // The test program itself is found in the program's own directory first.
  const QelClExeFile self(QelClFilename("filesystem_test"));
  ASSERT_TRUE(self.isFoundInSystemPath());
  EXPECT_TRUE(fs::equivalent(fs::path(self.getAsCString()).parent_path(),
                             fs::path(::testing::internal::GetArgvs()[0]).parent_path()))
      << self.getAsCString();
}

TEST(ExeFile, ExistingPathStaysAndCanBeSearchedAgain) {
  const std::string own = fs::absolute(::testing::internal::GetArgvs()[0]).string();
  SearchAgain program(own.c_str());
  EXPECT_FALSE(program.isFoundInSystemPath());
  EXPECT_STREQ(program.getAsCString(), own.c_str());
  EXPECT_TRUE(program.again());
  EXPECT_TRUE(program.isFoundInSystemPath());
}

// QEL_NEWPROCESS_USEPATH enabled, a name in a missing directory is searched by its bare
// name.
TEST(ExeFile, MissingDirectoryIsSearchedOnlyWithUsePath) {
#ifdef _WIN32
  const char *missing = "C:\\missing\\tool.exe", *bare = "tool.exe", *known = "C:\\missing\\cmd.exe";
#else
  const char *missing = "/missing/tool", *bare = "tool", *known = "/missing/sh";
#endif
  EXPECT_STREQ(QelClExeFile(QelClFilename(missing)).getAsCString(), missing);
  EXPECT_FALSE(QelClExeFile(QelClFilename(missing)).isFoundInSystemPath());
  QelClEnvironmentVariable usePath("QEL_NEWPROCESS_USEPATH", "");
  for (const char* value : {"yes", "On", "1"}) {
    usePath.setNewValue(value);
    const QelClExeFile tool{QelClFilename(missing)};
    EXPECT_STREQ(tool.getAsCString(), bare);
    EXPECT_FALSE(tool.isFoundInSystemPath());
    const QelClExeFile found{QelClFilename(known)};
    EXPECT_TRUE(found.isFoundInSystemPath()) << found.getAsCString();
    EXPECT_STRNE(found.getAsCString(), known);
  }
  usePath.setNewValue("no");
  EXPECT_STREQ(QelClExeFile(QelClFilename(known)).getAsCString(), known);
  usePath.setNewValue("");
}

#ifndef _WIN32
using ExeFileHere = ScratchDirectory;

// The current directory is searched before PATH, and only files one may execute count.
TEST_F(ExeFileHere, CurrentDirectoryAndExecutePermission) {
  fs::current_path(root);
  const fs::path here = fs::current_path();
  makeFile(root / "qel_cwd_tool", "#!/bin/sh\n");
  makeFile(root / "qel_cwd_data");
  fs::permissions(root / "qel_cwd_tool", fs::perms::owner_all);
  fs::permissions(root / "qel_cwd_data", fs::perms::owner_read | fs::perms::owner_write);

  const QelClExeFile tool(QelClFilename("qel_cwd_tool"));
  EXPECT_TRUE(tool.isFoundInSystemPath());
  EXPECT_EQ(tool.getAsCString(), (here / "qel_cwd_tool").string());
  const QelClExeFile data(QelClFilename("qel_cwd_data"));
  EXPECT_FALSE(data.isFoundInSystemPath());
  EXPECT_STREQ(data.getAsCString(), "qel_cwd_data");
}
#endif
