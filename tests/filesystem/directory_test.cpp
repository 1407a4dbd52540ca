// Directories in this host's form: the examples are written as on Windows and run on
// POSIX without their drive and with forward slashes. Each test runs in its scratch
// directory as the current directory.
#include "scratch_directory.h"

#include <ctime>
#include <random>
#include <vector>

namespace fs = std::filesystem;

namespace {

// "C:\" on Windows, "/" on POSIX.
std::string rootOf(const std::string& absolute) {
  return kHostSeparator == '\\' ? absolute.substr(0, 3) : std::string(1, kHostSeparator);
}

// realpath -m's textual normalisation, except that ".." above the root gives "".
std::string normalise(const std::string& text, const std::string& currentDirectory) {
  std::string root = rootOf(currentDirectory);
  const bool absolute = text.compare(0, root.size(), root) == 0;
  const std::string rest =
      absolute ? text.substr(root.size()) : currentDirectory.substr(root.size()) + text;
  std::vector<std::string> parts;
  std::string piece;
  for (char c : rest + kHostSeparator) {
    if (c != kHostSeparator) {
      piece += c;
      continue;
    }
    if (piece == "..") {
      if (parts.empty()) return "";
      parts.pop_back();
    } else if (!piece.empty() && piece != ".") {
      parts.push_back(piece);
    }
    piece.clear();
  }
  for (const std::string& part : parts) root += part + kHostSeparator;
  return root;
}

class Directory : public ScratchDirectory {
protected:
  void SetUp() override {
    ScratchDirectory::SetUp();
    fs::current_path(root);
    cwd = fs::current_path().string() + kHostSeparator;
  }

  // The text the directory expands to; an empty one is a failed expansion.
  static void expectExpansion(const QelClDirectory& directory, const std::string& expected) {
    EXPECT_EQ(directory.getAsCString(), expected);
    if (expected.empty()) {
      expectError(directory, DIRECTORY_EXPANSION_FAILED, QelEnErrorClass::IO_INVALID_NAME);
    } else {
      expectError(directory);
    }
  }

  std::string cwd;
};

}  // namespace

TEST_F(Directory, TextsExpandAgainstTheCurrentDirectory) {
  std::string up;
  for (auto i = std::count(cwd.begin(), cwd.end(), kHostSeparator) - 1; i > 0; --i) {
    up += host("..\\");
  }
  const struct {
    std::string text, expected;
  } cases[] = {
      {host("sub\\"), cwd + "sub" + kHostSeparator},
      {"", cwd},
      {host("C:\\a\\b\\..\\c\\"), host("C:\\a\\c\\")},
      {host("C:\\a\\.\\b\\"), host("C:\\a\\b\\")},
      {host("C:\\a\\b"), host("C:\\a\\b\\")},
      {host("C:\\..\\x\\"), ""},
      {up, rootOf(cwd)},
      {up + host("..\\"), ""},
#ifdef _WIN32
      {"C:/a/b", "C:\\a\\b\\"},
      {"C:\\a\\b\\x.\\y..\\", "C:\\a\\"},  // trailing dots
      {"\\\\srv\\share\\a\\..\\..\\", ""},
#else
      {"/a\\b", "/a/b/"},
      {"/a//x./y../", "/a/x./y../"},
      {"\\\\srv\\share\\x", "/srv/share/x/"},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    expectExpansion(QelClDirectory(c.text.c_str()), c.expected);
  }
  EXPECT_EQ(QelClDirectory().getAsCString(), cwd);
  expectExpansion(QelClDirectory(QelClLocation(host(".\\x").c_str())), cwd + "x" + kHostSeparator);
}

TEST_F(Directory, AgreesWithTextualNormalisation) {
  std::mt19937 random(4711);
  const char* pieces[] = {"a", "b", ".", ".."};
  for (int i = 0; i < 4000; ++i) {
    std::string text = random() % 2 == 0 ? rootOf(cwd) : std::string();
    for (auto n = random() % 8; n > 0; --n) {
      text += pieces[random() % 4];
      if (n > 1 || random() % 2 == 0) text += kHostSeparator;
    }
    SCOPED_TRACE(text);
    expectExpansion(QelClDirectory(text.c_str()), normalise(text, cwd));
  }
}

// Only pieces that end at a separator are components. Intermediate texts may pass the
// capacity; the result may not.
TEST_F(Directory, StaticExpansion) {
  std::string deep = host("C:\\"), shallow = deep, back;
  for (int i = 0; i < 100; ++i) deep += host("ab\\");
  for (int i = 0; i < 10; ++i) shallow += host("ab\\");
  for (int i = 0; i < 90; ++i) back += host("..\\");
  const struct {
    std::string text, expected;
  } cases[] = {
      {host("C:\\a\\b"), host("C:\\a\\")},
      {deep, ""},
      {deep + back, shallow},
#ifdef _WIN32
      {"C:dir\\", ""},  // another drive's current directory
#endif
  };
  for (const auto& c : cases) {
    char text[600];
    std::snprintf(text, sizeof text, "%s", c.text.c_str());
    EXPECT_EQ(QelClDirectory::expandRelativeDirectory(text), !c.expected.empty()) << c.text;
    EXPECT_EQ(text, c.expected);
  }

  for (const char* relative : {"C:\\a\\..\\b\\", "C:\\a\\.\\", "a\\"}) {
    EXPECT_TRUE(QelClDirectory::isRelativeDirectory(host(relative).c_str())) << relative;
  }
  EXPECT_FALSE(QelClDirectory::isRelativeDirectory(host("C:\\a\\b\\").c_str()));
  EXPECT_FALSE(QelClFileABase::isRelativePath(host("C:\\").c_str()));
}

TEST_F(Directory, CreateMakesEveryMissingLevel) {
  QelClDirectory levels(host("new1\\new2\\").c_str());
  EXPECT_FALSE(levels.isExistent());
  EXPECT_TRUE(levels.create());
  expectError(levels);
  EXPECT_TRUE(fs::is_directory(root / "new1" / "new2"));
  EXPECT_TRUE(levels.create());

  makeFile(root / "blocker");
  QelClDirectory blocked(host("blocker\\sub\\").c_str());
  EXPECT_FALSE(blocked.create());
  expectError(blocked, DIRECTORY_COULD_NOT_CREATE, QelEnErrorClass::IO_NOT_EXISTENT);
}

TEST_F(Directory, SetAsCurrent) {
  QelClDirectory sub("sub");
  ASSERT_TRUE(sub.create());
  EXPECT_TRUE(sub.setAsCurrent());
  expectError(sub);
  EXPECT_EQ(fs::current_path(), fs::path(cwd + "sub"));

  QelClDirectory missing((cwd + "missing").c_str());
  EXPECT_FALSE(missing.setAsCurrent());
  expectError(missing, DIRECTORY_COULD_NOT_CHANGE, QelEnErrorClass::IO_NOT_EXISTENT);
  EXPECT_EQ(fs::current_path(), fs::path(cwd + "sub"));
}

TEST_F(Directory, AttachAndDetachLevels) {
  QelClDirectory directory(host("C:\\a\\b\\").c_str());
  EXPECT_EQ(directory.getNumOfSubDirs(), 2u);
  directory.attachSubDir(QelClLocation(host("..\\x\\").c_str()));
  EXPECT_STREQ(directory.getAsCString(), host("C:\\a\\x\\").c_str());
  directory.attachSubDir(QelClLocation("p\\q"));
  EXPECT_STREQ(directory.getAsCString(), host("C:\\a\\x\\p\\q\\").c_str());
  EXPECT_EQ(directory.getNumOfSubDirs(), 4u);

  EXPECT_TRUE(directory.detachLastSubDir());
  EXPECT_STREQ(directory.getAsCString(), host("C:\\a\\x\\p\\").c_str());
  EXPECT_FALSE(directory.detachSubDirs(5));
  EXPECT_STREQ(directory.getAsCString(), host("C:\\").c_str());
  EXPECT_EQ(directory.getNumOfSubDirs(), 0u);
  expectError(directory, DIRECTORY_COULD_NOT_DETACH, QelEnErrorClass::LOGIC);

  directory.attachSubDir(QelClLocation("z"));  // success leaves the error record alone
  EXPECT_STREQ(directory.getAsCString(), host("C:\\z\\").c_str());
  expectError(directory, DIRECTORY_COULD_NOT_DETACH, QelEnErrorClass::LOGIC);
  EXPECT_TRUE(directory.detachSubDirs(0));
  expectError(directory);

  directory.attachSubDir(QelClLocation(host("..\\..\\").c_str()));
  expectExpansion(directory, "");
  EXPECT_FALSE(directory.detachLastSubDir());

#ifdef _WIN32
  QelClDirectory share("\\\\srv\\share\\x\\");
  EXPECT_EQ(share.getNumOfSubDirs(), 1u);
  EXPECT_TRUE(share.detachLastSubDir());
  EXPECT_STREQ(share.getAsCString(), "\\\\srv\\share\\");
  EXPECT_FALSE(share.detachLastSubDir());
#endif
}

TEST_F(Directory, IsAFileSystemObject) {
  const QelClDirectory directory;
  const QelClFileABase& object = directory;
  EXPECT_EQ(object.getAsCString(), cwd);
  EXPECT_EQ(static_cast<const char*>(object), cwd);
  EXPECT_TRUE(object.isExistent());
  EXPECT_TRUE(object.isDirectory());
  EXPECT_FALSE(object.isFile());
  EXPECT_TRUE(QelClLocation(cwd.c_str()).isExistent());

  const QelClDirectory missing("missing");
  EXPECT_FALSE(missing.isExistent());
  const long now = static_cast<long>(std::time(nullptr));
  const long stamps[][2] = {
      {object.getDateTimeOfCreation(), missing.getDateTimeOfCreation()},
      {object.getDateTimeOfLastAccess(), missing.getDateTimeOfLastAccess()},
      {object.getDateTimeOfLastModification(), missing.getDateTimeOfLastModification()}};
  for (const auto& stamp : stamps) {
    EXPECT_GT(stamp[0], now - 86400);
    EXPECT_LT(stamp[0], now + 86400);
    EXPECT_EQ(stamp[1], 0);
  }
}
