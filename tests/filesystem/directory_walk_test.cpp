// Directory walks in this host's form under the test's own directory.
#include "scratch_directory.h"

#include <cstdlib>
#include <cstring>
#include <map>

namespace fs = std::filesystem;

namespace {

using DirectoryWalk = ScratchDirectory;

void* failingAllocator(std::size_t) { return nullptr; }

}  // namespace

// Wine shows dot files to Windows programs as hidden, as the POSIX walk does.
TEST_F(DirectoryWalk, YieldsEveryEntryOnceWithItsKind) {
  makeFile(root / "a.txt");
  makeFile(root / "locked");
  fs::permissions(root / "locked", kAllWrite, fs::perm_options::remove);
  for (const char* name : {"sub", "a.b", ".cfg"}) fs::create_directory(root / name);

  // The kinds in the order directory, sub-directory, parent, current, hidden, read-only,
  // matching "*.TXT".
  const std::map<std::string, std::string> expected = {
      {".", "1001000"},     {"..", "1010000"},  {".cfg", "1100100"}, {"a.b", "1100000"},
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
  EXPECT_FALSE(walk.isValid());
  EXPECT_FALSE(walk.setToNext());
  expectError(walk);
}

#ifdef _WIN32
// Names in a directory right below the drive's root.
TEST_F(DirectoryWalk, NameWithAndWithoutPathBelowTheRoot) {
  const std::string data = "C:\\data\\";
  if (fs::exists(data)) GTEST_SKIP() << "C:\\data exists already";
  makeFile(data + "a.txt");
  QelClDirectoryWalk walk{QelClLocation(data.c_str())};
  while (walk.isValid() && std::strcmp(walk.getNameWithoutPath(), "a.txt") != 0) walk.setToNext();
  const bool found = walk.isValid();
  const std::string withPath = walk.getNameWithPath();
  fs::remove_all(data);
  ASSERT_TRUE(found);
  EXPECT_EQ(withPath, data + "a.txt");
}
#endif

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
      text += std::string(rest > 150 ? 100 : rest - 1, letter);
      text += kHostSeparator;
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
