// Directories in this host's form: the examples are written as on Windows and run on
// POSIX without their drive and with forward slashes.
#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::string host(std::string text) {
#ifndef _WIN32
  if (text.size() >= 2 && text[1] == ':') text.erase(0, 2);
  std::replace(text.begin(), text.end(), '\\', '/');
#endif
  return text;
}

// "C:\" on Windows, "/" on POSIX.
std::string rootOf(const std::string& absolute) {
  return kSeparator == '\\' ? absolute.substr(0, 3) : std::string(1, kSeparator);
}

void expectError(const QelClDirectory& directory, std::uint32_t id, QelEnErrorClass errorClass) {
  EXPECT_EQ(directory.getError().ulErrorId, id) << directory.getAsCString();
  EXPECT_EQ(directory.getError().enErrorClass, errorClass) << directory.getAsCString();
}

void expectCleared(const QelClDirectory& directory) {
  expectError(directory, NO_ERROR, QelEnErrorClass::UNKNOWN);
}

// Each test runs in a scratch directory of its own as the current directory.
class Directory : public ::testing::Test {
protected:
  void SetUp() override {
    previous = fs::current_path();
    scratch = fs::temp_directory_path() /
              ("qel_dir_" + std::to_string(QelClProcessProperty().getProcessId()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(scratch);
    fs::current_path(scratch);
    cwd = fs::current_path().string() + kSeparator;
  }
  void TearDown() override {
    fs::current_path(previous);
    fs::remove_all(scratch);
  }

  fs::path previous;
  fs::path scratch;
  std::string cwd;
};

// The non-empty pieces between separators.
std::vector<std::string> components(const std::string& text) {
  std::vector<std::string> pieces(1);
  for (char c : text) {
    if (c != kSeparator) pieces.back() += c;
    else if (!pieces.back().empty()) pieces.emplace_back();
  }
  if (pieces.back().empty()) pieces.pop_back();
  return pieces;
}

// realpath -m's textual normalisation, except that ".." above the root fails.
bool normalise(const std::string& text, const std::string& currentDirectory, std::string& out) {
  const std::string root = rootOf(currentDirectory);
  std::vector<std::string> parts;
  std::string rest = text;
  if (text.compare(0, root.size(), root) == 0) {
    rest = text.substr(root.size());
  } else {
    parts = components(currentDirectory.substr(root.size()));
  }
  for (const std::string& piece : components(rest)) {
    if (piece == ".") continue;
    if (piece != "..") {
      parts.push_back(piece);
    } else if (parts.empty()) {
      return false;
    } else {
      parts.pop_back();
    }
  }
  out = root;
  for (const std::string& part : parts) out += part + kSeparator;
  return true;
}

}  // namespace

TEST_F(Directory, RelativeTextsExpandAgainstTheCurrentDirectory) {
  EXPECT_EQ(QelClDirectory().getAsCString(), cwd);
  const QelClDirectory sub(host("sub\\").c_str());
  EXPECT_EQ(sub.getAsCString(), cwd + "sub" + kSeparator);
  expectCleared(sub);
  EXPECT_EQ(QelClDirectory("").getAsCString(), cwd);
  EXPECT_EQ(QelClDirectory(QelClLocation(host(".\\x").c_str())).getAsCString(), cwd + "x" + kSeparator);

  EXPECT_STREQ(QelClDirectory(host("C:\\a\\b\\..\\c\\").c_str()).getAsCString(), host("C:\\a\\c\\").c_str());
  EXPECT_STREQ(QelClDirectory(host("C:\\a\\.\\b\\").c_str()).getAsCString(), host("C:\\a\\b\\").c_str());
  EXPECT_STREQ(QelClDirectory(host("C:\\a\\b").c_str()).getAsCString(), host("C:\\a\\b\\").c_str());
#ifdef _WIN32
  EXPECT_STREQ(QelClDirectory("C:/a/b").getAsCString(), "C:\\a\\b\\");
  EXPECT_STREQ(QelClDirectory("C:\\a\\b\\x.\\y..\\").getAsCString(), "C:\\a\\");  // trailing dots
#else
  EXPECT_STREQ(QelClDirectory("/a\\b").getAsCString(), "/a/b/");
  EXPECT_STREQ(QelClDirectory("/a//x./y../").getAsCString(), "/a/x./y../");
  EXPECT_STREQ(QelClDirectory("\\\\srv\\share\\x").getAsCString(), "/srv/share/x/");
#endif
}

TEST_F(Directory, ExpansionAboveTheRootFails) {
  const QelClDirectory aboveRoot(host("C:\\..\\x\\").c_str());
  EXPECT_STREQ(aboveRoot.getAsCString(), "");
  expectError(aboveRoot, DIRECTORY_EXPANSION_FAILED, QelEnErrorClass::IO_INVALID_NAME);

  const auto depth = std::count(cwd.begin(), cwd.end(), kSeparator) - 1;
  std::string up;
  for (auto i = depth; i > 0; --i) up += host("..\\");
  const QelClDirectory root(up.c_str());
  EXPECT_EQ(root.getAsCString(), rootOf(cwd));
  expectCleared(root);
  const QelClDirectory beyond((up + host("..\\")).c_str());
  EXPECT_STREQ(beyond.getAsCString(), "");
  expectError(beyond, DIRECTORY_EXPANSION_FAILED, QelEnErrorClass::IO_INVALID_NAME);
}

TEST_F(Directory, StaticExpansion) {
  char text[600];
  std::snprintf(text, sizeof text, "%s", host("C:\\a\\b").c_str());
  EXPECT_TRUE(QelClDirectory::expandRelativeDirectory(text));
  EXPECT_STREQ(text, host("C:\\a\\").c_str());  // the last piece is not a component

  EXPECT_TRUE(QelClDirectory::isRelativeDirectory(host("C:\\a\\..\\b\\").c_str()));
  EXPECT_TRUE(QelClDirectory::isRelativeDirectory(host("C:\\a\\.\\").c_str()));
  EXPECT_TRUE(QelClDirectory::isRelativeDirectory(host("a\\").c_str()));
  EXPECT_FALSE(QelClDirectory::isRelativeDirectory(host("C:\\a\\b\\").c_str()));
  EXPECT_FALSE(QelClFileABase::isRelativePath(host("C:\\").c_str()));

  // Intermediate texts may pass the capacity; the result may not.
  std::string deep = host("C:\\");
  for (int i = 0; i < 100; ++i) deep += host("ab\\");
  std::snprintf(text, sizeof text, "%s", deep.c_str());
  EXPECT_FALSE(QelClFileABase::expandRelativePath(text));
  EXPECT_STREQ(text, "");
  for (int i = 0; i < 90; ++i) deep += host("..\\");
  std::snprintf(text, sizeof text, "%s", deep.c_str());
  ASSERT_TRUE(QelClFileABase::expandRelativePath(text));
  EXPECT_EQ(std::string(text).size(), host("C:\\").size() + 30u);
#ifdef _WIN32
  std::snprintf(text, sizeof text, "C:dir\\");  // another drive's current directory
  EXPECT_FALSE(QelClFileABase::expandRelativePath(text));
#endif
}

TEST_F(Directory, AgreesWithTextualNormalisation) {
  std::mt19937 random(4711);
  const char* pieces[] = {"a", "b", ".", ".."};
  for (int i = 0; i < 4000; ++i) {
    std::string text = random() % 2 == 0 ? rootOf(cwd) : std::string();
    for (auto n = random() % 8; n > 0; --n) {
      text += pieces[random() % 4];
      if (n > 1 || random() % 2 == 0) text += kSeparator;
    }
    std::string expected;
    const bool expanded = normalise(text, cwd, expected);
    const QelClDirectory directory(text.c_str());
    EXPECT_EQ(directory.getAsCString(), expanded ? expected : std::string()) << text;
    EXPECT_EQ(directory.getError().ulErrorId, expanded ? 0u : DIRECTORY_EXPANSION_FAILED) << text;
  }
}

TEST_F(Directory, CreateMakesEveryMissingLevel) {
  QelClDirectory levels(host("new1\\new2\\").c_str());
  EXPECT_FALSE(levels.isExistent());
  EXPECT_TRUE(levels.create());
  expectCleared(levels);
  EXPECT_TRUE(fs::is_directory(scratch / "new1" / "new2"));
  EXPECT_TRUE(levels.create());

  std::ofstream(scratch / "blocker") << "x";
  QelClDirectory blocked(host("blocker\\sub\\").c_str());
  EXPECT_FALSE(blocked.create());
  expectError(blocked, DIRECTORY_COULD_NOT_CREATE, QelEnErrorClass::IO_NOT_EXISTENT);
}

TEST_F(Directory, RemoveTakesOnlyEmptyDirectories) {
  QelClDirectory full(host("full\\inner\\").c_str());
  ASSERT_TRUE(full.create());
  ASSERT_TRUE(full.detachLastSubDir());
  EXPECT_FALSE(full.remove());
  expectError(full, DIRECTORY_COULD_NOT_REMOVE, QelEnErrorClass::IO_INVALID_NAME);
  EXPECT_TRUE(fs::exists(scratch / "full"));

  QelClDirectory inner(host("full\\inner").c_str());
  EXPECT_TRUE(inner.remove());
  expectCleared(inner);
  EXPECT_FALSE(fs::exists(scratch / "full" / "inner"));
  EXPECT_FALSE(inner.remove());
  EXPECT_EQ(inner.getError().ulErrorId, DIRECTORY_COULD_NOT_REMOVE);
}

TEST_F(Directory, SetAsCurrent) {
  QelClDirectory sub("sub");
  ASSERT_TRUE(sub.create());
  EXPECT_TRUE(sub.setAsCurrent());
  expectCleared(sub);
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
  expectCleared(directory);

  directory.attachSubDir(QelClLocation(host("..\\..\\").c_str()));
  EXPECT_STREQ(directory.getAsCString(), "");
  expectError(directory, DIRECTORY_EXPANSION_FAILED, QelEnErrorClass::IO_INVALID_NAME);
  EXPECT_FALSE(directory.detachLastSubDir());
}

#ifdef _WIN32
TEST_F(Directory, NetworkDirectories) {
  QelClDirectory share("\\\\srv\\share\\x\\");
  EXPECT_EQ(share.getNumOfSubDirs(), 1u);
  EXPECT_TRUE(share.detachLastSubDir());
  EXPECT_STREQ(share.getAsCString(), "\\\\srv\\share\\");
  EXPECT_FALSE(share.detachLastSubDir());
  EXPECT_STREQ(QelClDirectory("\\\\srv\\share\\a\\..\\..\\").getAsCString(), "");
}
#endif

TEST_F(Directory, IsAFileSystemObject) {
  const QelClDirectory directory;
  const QelClFileABase& object = directory;
  EXPECT_EQ(object.getAsCString(), cwd);
  EXPECT_EQ(static_cast<const char*>(object), cwd);
  EXPECT_TRUE(object.isExistent());
  EXPECT_TRUE(object.isDirectory());
  EXPECT_FALSE(object.isFile());
  const long now = static_cast<long>(std::time(nullptr));
  for (long stamp : {object.getDateTimeOfCreation(), object.getDateTimeOfLastAccess(),
                     object.getDateTimeOfLastModification()}) {
    EXPECT_GT(stamp, now - 86400);
    EXPECT_LT(stamp, now + 86400);
  }
  EXPECT_TRUE(QelClLocation(cwd.c_str()).isExistent());

  const QelClDirectory missing("missing");
  EXPECT_FALSE(missing.isExistent());
  EXPECT_EQ(missing.getDateTimeOfCreation(), 0);
  EXPECT_EQ(missing.getDateTimeOfLastAccess(), 0);
  EXPECT_EQ(missing.getDateTimeOfLastModification(), 0);

  std::ofstream(scratch / "file.txt") << "x";
  EXPECT_TRUE(QelClFilename("file.txt").isExistent());
  EXPECT_FALSE(QelClFilename("other.txt").isExistent());
}
