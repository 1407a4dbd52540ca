// Files on disk: every test works in a scratch directory of its own.
#include "scratch_directory.h"

#include <cctype>
#include <ctime>

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char kListSeparator = ';';
#else
constexpr char kListSeparator = ':';
#endif

class File : public ScratchDirectory {
protected:
  // The file of a scratch entry, made first with the given contents when there are any.
  QelClFile file(const std::string& name, const char* contents = nullptr) {
    if (contents != nullptr) makeFile(root / name, contents);
    return QelClFile(QelClFilename(at(name).c_str()), nullptr);
  }
};

// Reaches the protected search along a variable's directory list.
class SearchingFile : public QelClFile {
public:
  SearchingFile() : QelClFile(QelClFilename("unused"), nullptr) {}
  bool search(QelClFilename& name, const char* variable) const {
    return determineFileInEnvVarPath(name, variable);
  }
};

}  // namespace

TEST(FileName, DefaultTypeOnlyForNamesWithoutExtension) {
  const struct {
    const char *name, *defaultType, *expected, *fileType;
  } cases[] = {
      {"config", ".INI", "config.INI", "INI"}, {"config", "INI", "config.INI", "INI"},
      {"config.txt", ".INI", "config.txt", "txt"}, {"tool", nullptr, "tool", ""},
      {"a.tar.gz", nullptr, "a.tar.gz", "gz"},
  };
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

// A missing file counts as hidden, read-only and empty.
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
  data.setReadOnly(true);
  EXPECT_TRUE(data.isReadOnly());
  data.setReadOnly(false);
  EXPECT_FALSE(data.isReadOnly());

  const QelClFile missing = file("missing.txt");
  EXPECT_FALSE(missing.isExistent());
  EXPECT_TRUE(missing.isHidden());
  EXPECT_TRUE(missing.isReadOnly());
  EXPECT_EQ(missing.getFileSize(), 0ul);
  EXPECT_EQ(missing.getDateTimeOfLastModification(), 0);
#ifndef _WIN32
  EXPECT_TRUE(file(".profile", "").isHidden());  // dot names on POSIX
  EXPECT_FALSE(file(".d/profile", "").isHidden());
#endif
}

TEST_F(File, CopyReplacesAndMakesWritable) {
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
}

TEST_F(File, CopyOntoItselfIsRefused) {
  QelClFile source = file("a/x.txt", "keep");
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
  EXPECT_EQ(contentsOf(root / "a" / "x.txt"), "keep");
}

TEST_F(File, RemoveTakesReadOnlyFilesAndReportsMissingOnes) {
  QelClFile locked = file("ro.txt", "text");
  locked.setReadOnly(true);
  ASSERT_TRUE(locked.remove());
  expectError(locked);
  EXPECT_FALSE(fs::exists(root / "ro.txt"));

  EXPECT_FALSE(locked.remove());
  expectError(locked, FILE_COULD_NOT_REMOVE, QelEnErrorClass::IO_NOT_EXISTENT);
}

TEST_F(File, RenameNeverReplaces) {
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

TEST_F(File, SearchAlongVariableTakesFirstDirectoryThatHasTheName) {
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

  // A name that exists as it is stays as it is; an unset variable finds nothing else.
  QelClFilename present(at("one/tool.cfg").c_str());
  EXPECT_TRUE(searcher.search(present, "QEL_TEST_SEARCH_UNSET"));
  QelClFilename bare("tool.cfg");
  EXPECT_FALSE(searcher.search(bare, "QEL_TEST_SEARCH_UNSET"));
  EXPECT_STREQ(bare.getAsCString(), "tool.cfg");
}
