// Removal of directory trees. Each tree is built in the test's own directory beside
// entries that must survive; every test checks that nothing outside the tree changed.
#include "scratch_directory.h"

#include <map>

namespace fs = std::filesystem;

namespace {

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
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
      if (it->path() == tree) {
        it.disable_recursion_pending();
        continue;
      }
      entries[it->path().string()] = it->is_directory() ? "<dir>" : contentsOf(it->path());
    }
    return entries;
  }

  // Removes the tree from within the scratch directory; expects a refusal that left
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

}  // namespace

// Links to directories and files outside the tree go without what they point to, where
// this host has links.
TEST_F(DirectoryRemoval, RecursiveRemovalTakesTheWholeTree) {
  for (const char* file : {"a.txt", ".hidden", "sub/b.txt", "sub/deeper/c", "a.b/x", ".cfg/y"}) {
    makeFile(tree / fs::path(file));
  }
  fs::create_directories(tree / "sub" / "empty");
  std::error_code failure;
  fs::create_directory_symlink(root / "target", tree / "linked", failure);
  if (!failure) fs::create_symlink(root / "keep.txt", tree / "sub" / "linked.txt", failure);
  const auto before = outside();

  QelClDirectory directory(treeText.c_str());
  EXPECT_TRUE(directory.removeAll(true));
  expectError(directory);
  EXPECT_FALSE(fs::exists(tree));
  EXPECT_EQ(outside(), before);
  EXPECT_FALSE(directory.removeAll(true));
  expectError(directory, DIRECTORY_COULD_NOT_REMOVE, QelEnErrorClass::IO_INVALID_NAME);
}

TEST_F(DirectoryRemoval, WithoutRecursionOnlyAnEmptyDirectoryGoes) {
  makeFile(tree / "a.txt");
  QelClDirectory directory(treeText.c_str());
  EXPECT_FALSE(directory.removeAll(false));
  expectError(directory, DIRECTORY_COULD_NOT_REMOVE, QelEnErrorClass::IO_INVALID_NAME);
  EXPECT_TRUE(fs::exists(tree / "a.txt"));

  fs::remove(tree / "a.txt");
  EXPECT_TRUE(directory.remove());
  expectError(directory);
  EXPECT_FALSE(fs::exists(tree));
}

// A read-only file goes on POSIX, as unlink allows; the Windows runtime refuses it.
TEST_F(DirectoryRemoval, ReadOnlyFiles) {
  makeFile(tree / "locked.txt");
  fs::permissions(tree / "locked.txt", kAllWrite, fs::perm_options::remove);
#ifdef _WIN32
  expectRefused(treeText.c_str());
  EXPECT_TRUE(fs::exists(tree / "locked.txt"));
#else
  EXPECT_TRUE(QelClDirectory(treeText.c_str()).removeAll(true));
  EXPECT_FALSE(fs::exists(tree));
#endif
}

// A directory whose text failed to expand is empty: it stands for no directory, and
// certainly not for the current one.
TEST_F(DirectoryRemoval, AnEmptyDirectoryTextRemovesNothing) {
  std::string aboveRoot;
  for (auto n = std::count(rootText.begin(), rootText.end(), kHostSeparator); n > 0; --n) {
    aboveRoot += std::string("..") + kHostSeparator;
  }
  fs::current_path(root);
  EXPECT_STREQ(QelClDirectory(aboveRoot.c_str()).getAsCString(), "");
  expectRefused(aboveRoot.c_str());
}

#ifndef _WIN32
// A sub-directory that no directory can stand for stays with its contents, and so does
// the tree: a POSIX name with a backslash, which a directory reads as a separator, and
// a path beyond a directory's 261 characters, which would leave the directory empty.
TEST_F(DirectoryRemoval, SubDirectoriesNoDirectoryCanHoldStay) {
  const std::string deep(261 - treeText.size(), 'd');
  for (const std::string& name : {std::string("..\\target"), deep}) {
    makeFile(tree / name / "x");
    expectRefused(treeText.c_str());
    EXPECT_TRUE(fs::exists(tree / name / "x"));
    fs::remove_all(tree / name);
  }
}
#endif
