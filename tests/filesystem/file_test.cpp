// Files on disk, each test in a scratch directory of its own; loadable modules, with the
// test module built next to the test program; programs found by the host's search, the
// Windows examples literally under Wine and on POSIX programs every system has.
#include "tests/filesystem/scratch_directory.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kModule = "qel_test_module";
constexpr const char* kProcedure = "qelTestModuleAnswer";
constexpr char kListSeparator = kHostSeparator == '\\' ? ';' : ':';

class File : public ScratchDirectory {
protected:
  // The file of a scratch entry, made first with the given contents when there are any.
  QelClFile file(const std::string& name, const char* contents = nullptr) {
    if (contents != nullptr) makeFile(root / name, contents);
    return QelClFile(QelClFilename(at(name).c_str()), nullptr);
  }
};

// Reach the protected searches along a variable's directory list and for programs.
class SearchingFile : public QelClFile {
public:
  SearchingFile() : QelClFile(QelClFilename("unused"), nullptr) {}
  bool search(QelClFilename& name, const char* variable) const {
    return determineFileInEnvVarPath(name, variable);
  }
};
class SearchAgain : public QelClExeFile {
public:
  explicit SearchAgain(const char* name) : QelClExeFile(QelClFilename(name)) {}
  bool again() { return determinePath(false, nullptr); }
};

// Windows names end so in any case.
bool endsWith(std::string text, const std::string& end) {
#ifdef _WIN32
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST(FileName, DefaultTypeOnlyForNamesWithoutExtension) {
  const struct {
    const char *name, *defaultType, *expected, *fileType;
  } cases[] = {{"config", ".INI", "config.INI", "INI"}, {"config", "INI", "config.INI", "INI"},
               {"config.txt", ".INI", "config.txt", "txt"}, {"tool", nullptr, "tool", ""},
               {"a.tar.gz", nullptr, "a.tar.gz", "gz"}};
  for (const auto& c : cases) {
    const QelClFile file(QelClFilename(c.name), c.defaultType);
    EXPECT_STREQ(file.getAsCString(), c.expected);
    EXPECT_STREQ(file.getFileType(), c.fileType) << c.name;
  }
  const QelClFile file(QelClFilename("dir/config"), "INI");
  EXPECT_STREQ(static_cast<const char*>(file), "dir/config.INI");
  EXPECT_STREQ(file.getFilename().getName(), "config.INI");
  EXPECT_TRUE(file.isFile());
  EXPECT_FALSE(file.isDirectory());
  expectError(file);
}

// A missing file counts as hidden, read-only and empty; on POSIX dot names are hidden.
TEST_F(File, Queries) {
  const long before = static_cast<long>(std::time(nullptr));
  QelClFile data = file("data.bin", std::string(1234, 'x').c_str());
  EXPECT_TRUE(data.isExistent());
  EXPECT_EQ(data.getFileSize(), 1234ul);
  EXPECT_FALSE(data.isHidden());
  EXPECT_FALSE(data.isReadOnly());
  for (long time : {data.getDateTimeOfCreation(), data.getDateTimeOfLastAccess(),
                    data.getDateTimeOfLastModification()}) {
    EXPECT_GE(time, before - 2);
    EXPECT_LE(time, before + 5);
  }

  const QelClFile missing = file("missing.txt");
  EXPECT_FALSE(missing.isExistent());
  EXPECT_TRUE(missing.isHidden());
  EXPECT_TRUE(missing.isReadOnly());
  EXPECT_EQ(missing.getFileSize(), 0ul);
  EXPECT_EQ(missing.getDateTimeOfLastModification(), 0);
#ifndef _WIN32
  EXPECT_TRUE(file(".profile", "").isHidden());
  EXPECT_FALSE(file(".d/profile", "").isHidden());
#endif
}

// A copy replaces the target and is writable unless it keeps the attributes of the
// read-only source; a copy onto the file itself is refused.
TEST_F(File, Copy) {
  QelClFile source = file("a/x.txt", "new");
  makeFile(root / "b" / "x.txt", "old");
  source.setReadOnly(true);
  ASSERT_TRUE(source.copyTo(QelClLocation(at("b").c_str()), false));
  expectError(source);
  EXPECT_EQ(contentsOf(root / "b" / "x.txt"), "new");
  EXPECT_FALSE(file("b/x.txt").isReadOnly());
  ASSERT_TRUE(source.copyTo(QelClFilename(at("c.txt").c_str()), true));
  EXPECT_TRUE(file("c.txt").isReadOnly());
  EXPECT_EQ(contentsOf(root / "c.txt"), "new");

  QelClFile missing = file("missing.txt");
  EXPECT_FALSE(missing.copyTo(QelClFilename(at("copy.txt").c_str()), false));
  expectError(missing, FILE_COULD_NOT_COPY, QelEnErrorClass::IO_PROBLEM);
  EXPECT_FALSE(fs::exists(root / "copy.txt"));

  std::string same = at("a");
#ifdef _WIN32
  // Names of Windows style compare without case: C:\a\x.txt into C:\A\.
  for (char& c : same) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
#endif
  EXPECT_FALSE(source.copyTo(QelClLocation(same.c_str()), false));
  expectError(source, FILE_COULD_NOT_COPY_SELF, QelEnErrorClass::INCONSISTENT_SITUATION);
  // The same file under another spelling is refused by the copy itself.
  EXPECT_FALSE(source.copyTo(QelClFilename(at("a/./x.txt").c_str()), false));
  expectError(source, FILE_COULD_NOT_COPY, QelEnErrorClass::IO_PROBLEM);
  EXPECT_EQ(contentsOf(root / "a" / "x.txt"), "new");
}

// Removal takes read-only files; renaming never replaces a file.
TEST_F(File, RemoveAndRename) {
  QelClFile locked = file("ro.txt", "text");
  locked.setReadOnly(true);
  ASSERT_TRUE(locked.remove());
  expectError(locked);
  EXPECT_FALSE(fs::exists(root / "ro.txt"));
  EXPECT_FALSE(locked.remove());
  expectError(locked, FILE_COULD_NOT_REMOVE, QelEnErrorClass::IO_NOT_EXISTENT);

  QelClFile mine = file("old.txt", "mine");
  makeFile(root / "taken.txt", "theirs");
  EXPECT_FALSE(mine.renameAs(QelClFilename(at("taken.txt").c_str())));
  expectError(mine, FILE_COULD_NOT_RENAME, QelEnErrorClass::IO_ALREADY_IN_USE);
  EXPECT_EQ(mine.getAsCString(), at("old.txt"));
  EXPECT_EQ(contentsOf(root / "taken.txt"), "theirs");
  ASSERT_TRUE(mine.renameAs(QelClFilename(at("new.txt").c_str())));
  expectError(mine);
  EXPECT_EQ(mine.getAsCString(), at("new.txt"));
  EXPECT_EQ(contentsOf(root / "new.txt"), "mine");
  EXPECT_FALSE(fs::exists(root / "old.txt"));
  QelClFile missing = file("gone.txt");
  EXPECT_FALSE(missing.renameAs(QelClFilename(at("other.txt").c_str())));
  expectError(missing, FILE_COULD_NOT_RENAME, QelEnErrorClass::IO_PERMISSION_DENIED);
}

// The first directory of the list that has the name wins; a name that exists as it is
// stays as it is, and an unset variable finds nothing else.
TEST_F(File, SearchAlongVariable) {
  makeFile(root / "one" / "tool.cfg");
  makeFile(root / "two" / "tool.cfg");
  const std::string list = std::string(1, kListSeparator) + at("none") + kListSeparator +
                           kListSeparator + at("two") + kListSeparator + at("one");
  QelClEnvironmentVariable variable("QEL_TEST_SEARCH_LIST", list.c_str());
  const SearchingFile searcher;
  QelClFilename name("tool.cfg");
  EXPECT_TRUE(searcher.search(name, "QEL_TEST_SEARCH_LIST"));
  EXPECT_EQ(name.getAsCString(), at("two/tool.cfg"));
  QelClFilename absent("absent.cfg");
  EXPECT_FALSE(searcher.search(absent, "QEL_TEST_SEARCH_LIST"));
  EXPECT_EQ(absent.getAsCString(), at("one/absent.cfg"));
  variable.setNewValue("");

  QelClFilename present(at("one/tool.cfg").c_str());
  EXPECT_TRUE(searcher.search(present, "QEL_TEST_SEARCH_UNSET"));
  QelClFilename bare("tool.cfg");
  EXPECT_FALSE(searcher.search(bare, "QEL_TEST_SEARCH_UNSET"));
  EXPECT_STREQ(bare.getAsCString(), "tool.cfg");
}

// A bare name gets the default type and is searched for; a name with a directory is not.
TEST(DllFile, LoadsTheModuleAndItsProcedures) {
#ifdef _WIN32
  EXPECT_STREQ(QelClDllFile::getDefaultFileType(), ".DLL");
#else
  EXPECT_STREQ(QelClDllFile::getDefaultFileType(), ".so");
#endif
  EXPECT_STREQ(QelClDllFile::getSystemPathEnvironmentVariable(), "PATH");
  const QelClDllProcLoaderFile module{QelClFilename(kModule)};
  ASSERT_TRUE(module.isLoaded()) << module.getAsCString() << " " << module.getError().ulErrorId;
  EXPECT_TRUE(module.isFoundInSystemPath());
  EXPECT_EQ(module.getError().ulErrorId, NO_ERROR);
  const std::string path = module.getAsCString();
  EXPECT_EQ(fs::path(path).filename(), kModule + std::string(QelClDllFile::getDefaultFileType()));
  const QelPfuProcedure answer = module.getProcedure(kProcedure);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(module.getProcedure("qelNoSuchProcedure"), nullptr);
  const QelClDllProcLoaderFile again{QelClFilename(path.c_str())};
  ASSERT_TRUE(again.isLoaded());
  EXPECT_FALSE(again.isFoundInSystemPath());
  EXPECT_EQ(again.getAsCString(), path);

  EXPECT_EQ(qelDllProcLoaderOpen("qel_no_such_module"), nullptr);  // the opaque handles
  qelDllProcLoaderClose(nullptr);
  void* handle = qelDllProcLoaderOpen(kModule);
  ASSERT_NE(handle, nullptr);
  const QelPfuProcedure viaHandle = qelDllProcLoaderGetProcedure(handle, kProcedure);
  ASSERT_NE(viaHandle, nullptr);
  EXPECT_EQ(viaHandle(), 42);
  EXPECT_EQ(qelDllProcLoaderGetProcedure(handle, "qelNoSuchProcedure"), nullptr);
  qelDllProcLoaderClose(handle);
}

// A missing module and a file that is no module; the platform's code is the host error
// too.
TEST_F(File, FailedModuleLoadsLeaveThePlatformErrorCode) {
  const QelClDllProcLoaderFile missing{QelClFilename("qel_no_such_module")};
  EXPECT_FALSE(missing.isLoaded());
  EXPECT_FALSE(missing.isFoundInSystemPath());
#ifdef _WIN32
  expectError(missing, 126u, QelEnErrorClass::RESOURCE_MISSING);  // ERROR_MOD_NOT_FOUND
#else
  expectError(missing, 2u, QelEnErrorClass::RESOURCE_MISSING);  // ENOENT
#endif
  EXPECT_EQ(missing.getHostError(), missing.getError().ulErrorId);
  EXPECT_EQ(missing.getProcedure(kProcedure), nullptr);
  const std::string text = rootText + "text" + QelClDllFile::getDefaultFileType();
  makeFile(text, "not a module\n");
  const QelClDllFile broken{QelClFilename(text.c_str())};
  EXPECT_FALSE(broken.isLoaded());
  EXPECT_NE(broken.getError().ulErrorId, NO_ERROR);
  EXPECT_EQ(broken.getError().enErrorClass, QelEnErrorClass::RESOURCE_MISSING);
  EXPECT_EQ(broken.getHostError(), broken.getError().ulErrorId);
}

// The test program itself is found in its own directory first. A path is kept without a
// search; searching it again confirms it.
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
  EXPECT_STREQ(QelClExeFile::getSystemPathEnvironmentVariable(), "PATH");
  const QelClExeFile tool(QelClFilename("qel_no_such_tool"));
  EXPECT_FALSE(tool.isFoundInSystemPath());
  EXPECT_STREQ(tool.getAsCString(), missing);

  const QelClExeFile self(QelClFilename("filesystem_test"));
  ASSERT_TRUE(self.isFoundInSystemPath());
  const fs::path own = fs::absolute(::testing::internal::GetArgvs()[0]);
  EXPECT_TRUE(fs::equivalent(fs::path(self.getAsCString()).parent_path(), own.parent_path()));
  SearchAgain program(own.string().c_str());
  EXPECT_FALSE(program.isFoundInSystemPath());
  EXPECT_EQ(program.getAsCString(), own.string());
  EXPECT_TRUE(program.again());
  EXPECT_TRUE(program.isFoundInSystemPath());
}

// QEL_NEWPROCESS_USEPATH enabled, a name in a missing directory is searched by its bare
// name.
TEST(ExeFile, MissingDirectoryIsSearchedOnlyWithUsePath) {
#ifdef _WIN32
  const char *missing = "C:\\missing\\tool.exe", *bare = "tool.exe";
  const char* known = "C:\\missing\\cmd.exe";
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
// The current directory is searched before PATH, and only files one may execute count.
TEST_F(File, ProgramsInTheCurrentDirectoryThatMayBeExecuted) {
  fs::current_path(root);
  makeFile(root / "qel_cwd_tool", "#!/bin/sh\n");
  makeFile(root / "qel_cwd_data");
  fs::permissions(root / "qel_cwd_tool", fs::perms::owner_all);
  fs::permissions(root / "qel_cwd_data", fs::perms::owner_read | fs::perms::owner_write);
  const QelClExeFile tool(QelClFilename("qel_cwd_tool"));
  EXPECT_TRUE(tool.isFoundInSystemPath());
  EXPECT_EQ(tool.getAsCString(), (fs::current_path() / "qel_cwd_tool").string());
  const QelClExeFile data(QelClFilename("qel_cwd_data"));
  EXPECT_FALSE(data.isFoundInSystemPath());
  EXPECT_STREQ(data.getAsCString(), "qel_cwd_data");
}
#endif
