// Files on disk: every test works in a scratch directory of its own.
#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cctype>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char kListSeparator = ';';
#else
constexpr char kListSeparator = ':';
#endif

std::string contentsOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void expectError(const QelClFile& file, std::uint32_t id, QelEnErrorClass errorClass) {
  EXPECT_EQ(file.getError().ulErrorId, id) << file.getAsCString();
  EXPECT_EQ(file.getError().enErrorClass, errorClass) << file.getAsCString();
}

void expectCleared(const QelClFile& file) { expectError(file, NO_ERROR, QelEnErrorClass::UNKNOWN); }

class File : public ::testing::Test {
protected:
  void SetUp() override {
    scratch = fs::temp_directory_path() /
              ("qel_file_" + std::to_string(QelClProcessProperty().getProcessId()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(scratch);
  }
  void TearDown() override {
    for (const auto& entry : fs::recursive_directory_iterator(scratch)) {
      fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
    }
    fs::remove_all(scratch);
  }

  // Creates the file with the given contents; returns its path as text.
  std::string write(const std::string& name, const std::string& contents) {
    const fs::path file = (scratch / name).make_preferred();
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
    return file.string();
  }
  std::string path(const std::string& name) const {
    return (scratch / name).make_preferred().string();
  }
  std::string location(const std::string& name) const {
    return path(name) + static_cast<char>(fs::path::preferred_separator);
  }

  fs::path scratch;
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
  EXPECT_STREQ(QelClFile(QelClFilename("config"), ".INI").getAsCString(), "config.INI");
  EXPECT_STREQ(QelClFile(QelClFilename("config"), "INI").getAsCString(), "config.INI");
  EXPECT_STREQ(QelClFile(QelClFilename("config.txt"), ".INI").getAsCString(), "config.txt");
  EXPECT_STREQ(QelClFile(QelClFilename("tool"), "EXE").getAsCString(), "tool.EXE");
  EXPECT_STREQ(QelClFile(QelClFilename("tool"), nullptr).getAsCString(), "tool");

  const QelClFile file(QelClFilename("dir/config"), "INI");
  EXPECT_STREQ(static_cast<const char*>(file), "dir/config.INI");
  EXPECT_STREQ(file.getFilename().getName(), "config.INI");
  EXPECT_TRUE(file.isFile());
  EXPECT_FALSE(file.isDirectory());
  expectCleared(file);
}

TEST(FileName, FileTypeIsTheExtensionWithoutDot) {
  EXPECT_STREQ(QelClFile(QelClFilename("a.tar.gz"), nullptr).getFileType(), "gz");
  EXPECT_STREQ(QelClFile(QelClFilename("README"), nullptr).getFileType(), "");
}

TEST_F(File, QueriesOfAnExistingFile) {
  const long before = static_cast<long>(std::time(nullptr));
  const QelClFile file(QelClFilename(write("data.bin", std::string(1234, 'x')).c_str()), nullptr);
  EXPECT_TRUE(file.isExistent());
  EXPECT_EQ(file.getFileSize(), 1234ul);
  EXPECT_FALSE(file.isHidden());
  EXPECT_FALSE(file.isReadOnly());
  for (long time : {file.getDateTimeOfCreation(), file.getDateTimeOfLastAccess(),
                    file.getDateTimeOfLastModification()}) {
    EXPECT_GE(time, before - 2);
    EXPECT_LE(time, before + 5);
  }
}

TEST_F(File, MissingFileIsHiddenReadOnlyAndEmpty) {
  const QelClFile file(QelClFilename(path("missing.txt").c_str()), nullptr);
  EXPECT_FALSE(file.isExistent());
  EXPECT_TRUE(file.isHidden());
  EXPECT_TRUE(file.isReadOnly());
  EXPECT_EQ(file.getFileSize(), 0ul);
  EXPECT_EQ(file.getDateTimeOfLastModification(), 0);
}

#ifndef _WIN32
TEST_F(File, DotNamesAreHiddenOnPosix) {
  EXPECT_TRUE(QelClFile(QelClFilename(write(".profile", "").c_str()), nullptr).isHidden());
  EXPECT_FALSE(QelClFile(QelClFilename(write(".d/profile", "").c_str()), nullptr).isHidden());
}
#endif

TEST_F(File, ReadOnlyComesAndGoes) {
  QelClFile file(QelClFilename(write("ro.txt", "text").c_str()), nullptr);
  file.setReadOnly(true);
  EXPECT_TRUE(file.isReadOnly());
  file.setReadOnly(false);
  EXPECT_FALSE(file.isReadOnly());
}

TEST_F(File, CopyIntoDirectoryReplacesAndMakesWritable) {
  QelClFile file(QelClFilename(write("a/x.txt", "new").c_str()), nullptr);
  write("b/x.txt", "old");
  file.setReadOnly(true);

  ASSERT_TRUE(file.copyTo(QelClLocation(location("b").c_str()), false));
  expectCleared(file);
  EXPECT_EQ(contentsOf(scratch / "b" / "x.txt"), "new");
  EXPECT_FALSE(QelClFile(QelClFilename(path("b/x.txt").c_str()), nullptr).isReadOnly());

  ASSERT_TRUE(file.copyTo(QelClFilename(path("c.txt").c_str()), true));
  EXPECT_TRUE(QelClFile(QelClFilename(path("c.txt").c_str()), nullptr).isReadOnly());
  EXPECT_EQ(contentsOf(scratch / "c.txt"), "new");
}

TEST_F(File, CopyOntoItselfIsRefused) {
  QelClFile file(QelClFilename(write("a/x.txt", "keep").c_str()), nullptr);
#ifdef _WIN32
  // Names of Windows style compare without case: C:\a\x.txt into C:\A\.
  std::string upper = location("a");
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_FALSE(file.copyTo(QelClLocation(upper.c_str()), false));
#else
  EXPECT_FALSE(file.copyTo(QelClLocation(location("a").c_str()), false));
#endif
  expectError(file, FILE_COULD_NOT_COPY_SELF, QelEnErrorClass::INCONSISTENT_SITUATION);
  EXPECT_EQ(contentsOf(scratch / "a" / "x.txt"), "keep");

  // The same file under another spelling is refused by the copy itself.
  const std::string other = location("a") + "." + static_cast<char>(fs::path::preferred_separator) + "x.txt";
  EXPECT_FALSE(file.copyTo(QelClFilename(other.c_str()), false));
  expectError(file, FILE_COULD_NOT_COPY, QelEnErrorClass::IO_PROBLEM);
  EXPECT_EQ(contentsOf(scratch / "a" / "x.txt"), "keep");
}

TEST_F(File, CopyOfMissingFileFails) {
  QelClFile file(QelClFilename(path("missing.txt").c_str()), nullptr);
  EXPECT_FALSE(file.copyTo(QelClFilename(path("copy.txt").c_str()), false));
  expectError(file, FILE_COULD_NOT_COPY, QelEnErrorClass::IO_PROBLEM);
  EXPECT_FALSE(fs::exists(scratch / "copy.txt"));
}

TEST_F(File, RemoveTakesReadOnlyFilesAndReportsMissingOnes) {
  QelClFile file(QelClFilename(write("ro.txt", "text").c_str()), nullptr);
  file.setReadOnly(true);
  ASSERT_TRUE(file.remove());
  expectCleared(file);
  EXPECT_FALSE(fs::exists(scratch / "ro.txt"));

  EXPECT_FALSE(file.remove());
  expectError(file, FILE_COULD_NOT_REMOVE, QelEnErrorClass::IO_NOT_EXISTENT);
}

TEST_F(File, RenameNeverReplaces) {
  QelClFile file(QelClFilename(write("old.txt", "mine").c_str()), nullptr);
  write("taken.txt", "theirs");

  EXPECT_FALSE(file.renameAs(QelClFilename(path("taken.txt").c_str())));
  expectError(file, FILE_COULD_NOT_RENAME, QelEnErrorClass::IO_ALREADY_IN_USE);
  EXPECT_EQ(std::string(file.getAsCString()), path("old.txt"));
  EXPECT_EQ(contentsOf(scratch / "taken.txt"), "theirs");

  ASSERT_TRUE(file.renameAs(QelClFilename(path("new.txt").c_str())));
  expectCleared(file);
  EXPECT_EQ(std::string(file.getAsCString()), path("new.txt"));
  EXPECT_EQ(contentsOf(scratch / "new.txt"), "mine");
  EXPECT_FALSE(fs::exists(scratch / "old.txt"));

  QelClFile missing(QelClFilename(path("gone.txt").c_str()), nullptr);
  EXPECT_FALSE(missing.renameAs(QelClFilename(path("other.txt").c_str())));
  expectError(missing, FILE_COULD_NOT_RENAME, QelEnErrorClass::IO_PERMISSION_DENIED);
}

TEST_F(File, SearchAlongVariableTakesFirstDirectoryThatHasTheName) {
  write("one/tool.cfg", "");
  write("two/tool.cfg", "");
  const std::string list = std::string(1, kListSeparator) + path("none") + kListSeparator +
                           kListSeparator + path("two") + kListSeparator + path("one");
  QelClEnvironmentVariable variable("QEL_TEST_SEARCH_LIST", list.c_str());
  const SearchingFile searcher;

  QelClFilename name("tool.cfg");
  EXPECT_TRUE(searcher.search(name, "QEL_TEST_SEARCH_LIST"));
  EXPECT_EQ(std::string(name.getAsCString()), path("two/tool.cfg"));

  QelClFilename absent("absent.cfg");
  EXPECT_FALSE(searcher.search(absent, "QEL_TEST_SEARCH_LIST"));
  EXPECT_EQ(std::string(absent.getAsCString()), path("one/absent.cfg"));

  // A name that exists as it is stays as it is; an unset variable finds nothing else.
  QelClFilename present(path("one/tool.cfg").c_str());
  EXPECT_TRUE(searcher.search(present, "QEL_TEST_SEARCH_UNSET"));
  QelClFilename bare("tool.cfg");
  EXPECT_FALSE(searcher.search(bare, "QEL_TEST_SEARCH_UNSET"));
  EXPECT_STREQ(bare.getAsCString(), "tool.cfg");
  variable.setNewValue("");
}
