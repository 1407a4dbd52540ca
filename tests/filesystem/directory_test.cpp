// Directories, their walks and the removal of their trees, in this host's form: the
// examples are written as on Windows and run on POSIX without their drive and with
// forward slashes. Each test works in its scratch directory.
#include "tests/filesystem/scratch_directory.h"

namespace fs = std::filesystem;

namespace {

// "C:\" on Windows, "/" on POSIX.
std::string rootOf(const std::string& absolute) {
  return kHostSeparator == '\\' ? absolute.substr(0, 3) : std::string(1, kHostSeparator);
}

// The lexically normal text with a separator behind, or "" where ".." climbs above the
// root.
std::string normalise(const std::string& text, const std::string& currentDirectory) {
  const bool absolute = text.rfind(rootOf(currentDirectory), 0) == 0;
  const fs::path path = fs::path(absolute ? text : currentDirectory + text) / "";
  int depth = 0;
  for (const fs::path& piece : path.relative_path()) {
    depth += piece == ".." ? -1 : piece == "." || piece.empty() ? 0 : 1;
    if (depth < 0) return "";
  }
  return path.lexically_normal().string();
}

// The text the directory expands to; an empty one is a failed expansion.
void expectExpansion(const QelClDirectory& directory, const std::string& expected) {
  EXPECT_EQ(directory.getAsCString(), expected);
  if (expected.empty()) {
    expectError(directory, DIRECTORY_EXPANSION_FAILED, QelEnErrorClass::IO_INVALID_NAME);
  } else {
    expectError(directory);
  }
}

class Directory : public ScratchDirectory {
protected:
  void SetUp() override {
    ScratchDirectory::SetUp();
    fs::current_path(root);
    cwd = fs::current_path().string() + kHostSeparator;
  }

  std::string cwd;
};

// The tree lies in the scratch directory beside entries that must survive.
class DirectoryRemoval : public ScratchDirectory {
protected:
  void SetUp() override {
    ScratchDirectory::SetUp();
    tree = root / "tree";
    treeText = rootText + "tree" + kHostSeparator;
    makeFile(root / "keep.txt");
    makeFile(root / "tree2" / "keep.txt");  // shares the tree's name as a prefix
    makeFile(root / "target" / "keep.txt");
  }

  // Every entry outside the tree, with the text of the files.
  std::map<std::string, std::string> outside() const {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      const std::string path = entry.path().string();
      if (path + kHostSeparator == treeText || path.rfind(treeText, 0) == 0) continue;
      entries[path] = entry.is_directory() ? "<dir>" : contentsOf(entry.path());
    }
    return entries;
  }

  // Removes the directory from within the scratch directory; expects a refusal that left
  // everything outside the tree alone.
  void expectRefused(const char* text) {
    const auto before = outside();
    fs::current_path(root);
    QelClDirectory directory(text);
    EXPECT_FALSE(directory.removeAll(true));
    fs::current_path(previous);
    expectError(directory, DIRECTORY_COULD_NOT_REMOVE, QelEnErrorClass::IO_INVALID_NAME);
    EXPECT_EQ(outside(), before);
  }

  fs::path tree;
  std::string treeText;
};

using DirectoryWalk = ScratchDirectory;

void* failingAllocator(std::size_t) { return nullptr; }

}  // namespace

// Random texts of "a", "b", "." and ".." against the model, and the texts that only a
// directory reads so.
TEST_F(Directory, TextsExpandAgainstTheCurrentDirectory) {
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
  const struct {
    std::string text, expected;
  } cases[] = {
      {host("sub\\"), cwd + "sub" + kHostSeparator}, {host("C:\\..\\x\\"), ""},
#ifdef _WIN32
      {"C:/a/b", "C:\\a\\b\\"}, {"C:\\a\\b\\x.\\y..\\", "C:\\a\\"},  // trailing dots
      {"\\\\srv\\share\\a\\..\\..\\", ""},
#else
      {"/a\\b", "/a/b/"}, {"/a//x./y../", "/a/x./y../"}, {"\\\\srv\\share\\x", "/srv/share/x/"},
#endif
  };
  for (const auto& c : cases) expectExpansion(QelClDirectory(c.text.c_str()), c.expected);
  expectExpansion(QelClDirectory(QelClLocation(host(".\\x").c_str())), cwd + "x" + kHostSeparator);
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
      {host("C:\\a\\b"), host("C:\\a\\")}, {deep, ""}, {deep + back, shallow},
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

TEST_F(Directory, CreateEveryMissingLevelAndSetAsCurrent) {
  QelClDirectory levels(host("new1\\new2\\").c_str());
  EXPECT_FALSE(levels.isExistent());
  EXPECT_TRUE(levels.create());
  expectError(levels);
  EXPECT_TRUE(fs::is_directory(root / "new1" / "new2"));
  EXPECT_TRUE(levels.create());
  EXPECT_TRUE(levels.setAsCurrent());
  expectError(levels);
  EXPECT_EQ(fs::current_path(), fs::path(cwd + host("new1\\new2")));

  makeFile(root / "blocker");
  QelClDirectory blocked((cwd + host("blocker\\sub\\")).c_str());
  EXPECT_FALSE(blocked.create());
  expectError(blocked, DIRECTORY_COULD_NOT_CREATE, QelEnErrorClass::IO_NOT_EXISTENT);
  EXPECT_FALSE(blocked.setAsCurrent());
  expectError(blocked, DIRECTORY_COULD_NOT_CHANGE, QelEnErrorClass::IO_NOT_EXISTENT);
  EXPECT_EQ(fs::current_path(), fs::path(cwd + host("new1\\new2")));
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

// The directory made without text is the current one.
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

// Wine shows dot files to Windows programs as hidden, as the POSIX walk does.
TEST_F(DirectoryWalk, YieldsEveryEntryOnceWithItsKind) {
  makeFile(root / "a.txt");
  makeFile(root / "locked");
  fs::permissions(root / "locked", kAllWrite, fs::perm_options::remove);
  for (const char* name : {"sub", "a.b", ".cfg"}) fs::create_directory(root / name);

  // The kinds in the order directory, sub-directory, parent, current, hidden, read-only,
  // matching "*.TXT".
  const std::map<std::string, std::string> expected = {
      {".", "1001000"},     {"..", "1010000"},     {".cfg", "1100100"}, {"a.b", "1100000"},
      {"a.txt", "0000001"}, {"locked", "0000010"}, {"sub", "1100000"}};
  std::map<std::string, std::string> kinds;
  QelClDirectoryWalk walk{QelClDirectory(rootText.c_str())};
  for (; walk.isValid(); walk.setToNext()) {
    const std::string name = walk.getNameWithoutPath();
    EXPECT_EQ(kinds.count(name), 0u) << name;
    EXPECT_EQ(walk.getNameWithPath(), rootText + name);
    for (bool kind : {walk.isDirectory(), walk.isSubDirectory(), walk.isParentDirectory(),
                      walk.isCurrentDirectory(), walk.isHidden(), walk.isReadOnly(),
                      walk.matchesWildcardPattern("*.TXT")}) {
      kinds[name] += kind ? '1' : '0';
    }
  }
  EXPECT_EQ(kinds, expected);
  EXPECT_FALSE(walk.setToNext());
  expectError(walk);
#ifdef _WIN32
  // Names in a directory right below the drive's root.
  const std::string data = "C:\\data\\";
  if (fs::exists(data)) GTEST_SKIP() << "C:\\data exists already";
  makeFile(data + "a.txt");
  std::string withPath;
  {  // the walk ends before its directory goes
    QelClDirectoryWalk below{QelClLocation(data.c_str())};
    while (below.isValid() && std::strcmp(below.getNameWithoutPath(), "a.txt") != 0) {
      below.setToNext();
    }
    withPath = below.getNameWithPath();
  }
  fs::remove_all(data);
  EXPECT_EQ(withPath, data + "a.txt");
#endif
}

// A walk without walker: one whose memory could not be had.
TEST_F(DirectoryWalk, AMissingDirectoryIsInvalidAtOnce) {
  makeFile(root / "file");
  QelClDirectoryWalk walk{QelClLocation((rootText + "missing").c_str())};
  EXPECT_FALSE(walk.isValid());
  EXPECT_FALSE(walk.setToNext());
  EXPECT_FALSE(walk.isDirectory());
  expectError(walk, DIRWALK_COULD_NOT_INIT, QelEnErrorClass::IO_PROBLEM);
  _QelStError error{};  // the walker on its own reports into the caller's record
  QelClOSSDirectoryWalker walker(QelClLocation((rootText + "file").c_str()), error);
  EXPECT_FALSE(walker.isValid());
  expectError(error, DIRWALK_COULD_NOT_INIT, QelEnErrorClass::IO_PROBLEM);

  QelClMemoryManager::setNewMemoryManager(&failingAllocator, nullptr, free);
  QelClDirectoryWalk withoutWalker{QelClLocation(".")};
  QelClMemoryManager::setNewMemoryManager(malloc, nullptr, free);
  EXPECT_FALSE(withoutWalker.isValid());
  EXPECT_FALSE(withoutWalker.setToNext());
  expectError(withoutWalker, DIRWALK_COULD_NOT_INIT, QelEnErrorClass::OUT_OF_MEMORY);
  EXPECT_STREQ(withoutWalker.getNameWithPath(), "");
  EXPECT_STREQ(withoutWalker.getNameWithoutPath(), "");
}

// The entry text holds 263 characters: the directory text with "*.*" behind it, then
// with each name behind it. What does not fit is refused and never written.
TEST_F(DirectoryWalk, EntryTextKeepsItsCapacity) {
  const auto deepDirectory = [this](std::size_t length) {
    std::string text = rootText;
    for (char letter = 'a'; text.size() < length; ++letter) {
      const std::size_t rest = length - text.size();
      text += std::string(rest > 150 ? 100 : rest - 1, letter) + kHostSeparator;
    }
    return text;
  };
  const std::string tooLong = deepDirectory(261), directory = deepDirectory(250);
  std::error_code failure;
  fs::create_directories(tooLong, failure);
  if (failure) GTEST_SKIP() << "no paths of 261 characters here";
  makeFile(directory + "x");
  makeFile(directory + "name-beyond-the-entry-text");

  // The location appends the 261st character, its separator.
  QelClDirectoryWalk refused{QelClLocation(tooLong.substr(0, 260).c_str())};
  fs::remove(tooLong);  // beyond what the Windows runtime lists, for the clean-up
  EXPECT_FALSE(refused.isValid());
  expectError(refused, DIRWALK_COULD_NOT_INIT, QelEnErrorClass::IO_PROBLEM);
  QelClDirectoryWalk walk{QelClLocation(directory.c_str())};
  for (; walk.isValid(); walk.setToNext()) {
    EXPECT_STRNE(walk.getNameWithoutPath(), "name-beyond-the-entry-text");
    EXPECT_LE(std::strlen(walk.getNameWithPath()), 263u);
  }
  EXPECT_TRUE(walk.getError().ulErrorId == DIRWALK_COULD_NOT_INIT ||
              walk.getError().ulErrorId == DIRWALK_NO_CONTINUATION);
}

// Links to directories and files outside the tree go without what they point to, where
// this host has links. A read-only file goes on POSIX, as unlink allows.
TEST_F(DirectoryRemoval, RecursiveRemovalTakesTheWholeTree) {
  for (const char* file : {"a.txt", ".hidden", "sub/b.txt", "sub/deeper/c", "a.b/x", ".cfg/y"}) {
    makeFile(tree / fs::path(file));
  }
  fs::create_directories(tree / "sub" / "empty");
  std::error_code failure;
  fs::create_directory_symlink(root / "target", tree / "linked", failure);
  if (!failure) fs::create_symlink(root / "keep.txt", tree / "sub" / "linked.txt", failure);
#ifndef _WIN32
  fs::permissions(tree / "sub" / "b.txt", kAllWrite, fs::perm_options::remove);
#endif
  const auto before = outside();
  QelClDirectory directory(treeText.c_str());
  EXPECT_TRUE(directory.removeAll(true));
  expectError(directory);
  EXPECT_FALSE(fs::exists(tree));
  EXPECT_EQ(outside(), before);
  EXPECT_FALSE(directory.removeAll(true));
  expectError(directory, DIRECTORY_COULD_NOT_REMOVE, QelEnErrorClass::IO_INVALID_NAME);
}

// Without recursion only an empty directory goes; the Windows runtime refuses to remove
// a read-only file.
TEST_F(DirectoryRemoval, WhatStays) {
  makeFile(tree / "a.txt");
  QelClDirectory directory(treeText.c_str());
  EXPECT_FALSE(directory.removeAll(false));
  expectError(directory, DIRECTORY_COULD_NOT_REMOVE, QelEnErrorClass::IO_INVALID_NAME);
  EXPECT_TRUE(fs::exists(tree / "a.txt"));
#ifdef _WIN32
  fs::permissions(tree / "a.txt", kAllWrite, fs::perm_options::remove);
  expectRefused(treeText.c_str());
  EXPECT_TRUE(fs::exists(tree / "a.txt"));
  fs::permissions(tree / "a.txt", fs::perms::owner_write, fs::perm_options::add);
#endif
  fs::remove(tree / "a.txt");
  EXPECT_TRUE(directory.remove());
  expectError(directory);
  EXPECT_FALSE(fs::exists(tree));

  // A directory whose text failed to expand is empty: it stands for no directory, and
  // certainly not for the current one.
  std::string aboveRoot;
  for (auto n = std::count(rootText.begin(), rootText.end(), kHostSeparator); n > 0; --n) {
    aboveRoot += std::string("..") + kHostSeparator;
  }
  fs::current_path(root);
  EXPECT_STREQ(QelClDirectory(aboveRoot.c_str()).getAsCString(), "");
  expectRefused(aboveRoot.c_str());
#ifndef _WIN32
  // A sub-directory that no directory can stand for stays with its contents, and so does
  // the tree: a POSIX name with a backslash, which a directory reads as a separator, and
  // a path beyond a directory's 261 characters, which would leave the directory empty.
  const std::string deep(261 - treeText.size(), 'd');
  for (const std::string& name : {std::string("..\\target"), deep}) {
    makeFile(tree / name / "x");
    expectRefused(treeText.c_str());
    EXPECT_TRUE(fs::exists(tree / name / "x"));
    fs::remove_all(tree / name);
  }
#endif
}
