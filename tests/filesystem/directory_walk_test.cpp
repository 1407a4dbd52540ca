// Directory walks in this host's form: the examples are written as on Windows and run
// on POSIX under the test's own directory.
#include "scratch_directory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace fs = std::filesystem;

namespace {

using DirectoryWalk = ScratchDirectory;

// What a walk reports for one entry.
struct Entry {
  std::string withPath;
  bool directory, subDirectory, parent, current, hidden, readOnly, textFile;
};

std::map<std::string, Entry> walkAll(QelClDirectoryWalk& walk) {
  std::map<std::string, Entry> entries;
  for (; walk.isValid(); walk.setToNext()) {
    EXPECT_EQ(entries.count(walk.getNameWithoutPath()), 0u) << walk.getNameWithoutPath();
    entries[walk.getNameWithoutPath()] = {
        walk.getNameWithPath(),  walk.isDirectory(),          walk.isSubDirectory(),
        walk.isParentDirectory(), walk.isCurrentDirectory(), walk.isHidden(),
        walk.isReadOnly(),       walk.matchesWildcardPattern("*.TXT")};
  }
  return entries;
}

void expectError(const _QelStError& error, std::uint32_t id, QelEnErrorClass errorClass) {
  EXPECT_EQ(error.ulErrorId, id);
  EXPECT_EQ(error.enErrorClass, errorClass);
}

// Removes what a test made outside its scratch directory.
struct RemovedAtExit {
  ~RemovedAtExit() { fs::remove_all(path); }
  fs::path path;
};

}  // namespace

// Wine shows dot files to Windows programs as hidden, as the POSIX walk does.
TEST_F(DirectoryWalk, YieldsEveryEntryOnceWithItsKind) {
  makeFile(root / "a.txt");
  makeFile(root / "locked");
  fs::permissions(root / "locked", kAllWrite, fs::perm_options::remove);
  for (const char* name : {"sub", "a.b", ".cfg"}) fs::create_directory(root / name);

  QelClDirectoryWalk walk{QelClDirectory(rootText.c_str())};
  const auto entries = walkAll(walk);
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.first);
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", ".cfg", "a.b", "a.txt", "locked", "sub"}));
  for (const auto& [name, entry] : entries) {
    EXPECT_EQ(entry.withPath, rootText + name);
    EXPECT_EQ(entry.directory, name != "a.txt" && name != "locked") << name;
    EXPECT_EQ(entry.subDirectory, name == "sub" || name == "a.b" || name == ".cfg") << name;
    EXPECT_EQ(entry.parent, name == "..") << name;
    EXPECT_EQ(entry.current, name == ".") << name;
    EXPECT_EQ(entry.hidden, name == ".cfg") << name;
    EXPECT_EQ(entry.readOnly, name == "locked") << name;
    EXPECT_EQ(entry.textFile, name == "a.txt") << name;
  }
  EXPECT_FALSE(walk.isValid());
  EXPECT_FALSE(walk.setToNext());
  expectError(walk.getError(), NO_ERROR, QelEnErrorClass::UNKNOWN);
}

TEST_F(DirectoryWalk, NameWithAndWithoutPath) {
#ifdef _WIN32
  const std::string data = "C:\\data\\";
  if (fs::exists(data)) GTEST_SKIP() << "C:\\data exists already";
  RemovedAtExit made{data};
#else
  const std::string data = rootText + "data/";
#endif
  makeFile(data + "a.txt");
  QelClDirectoryWalk walk{QelClLocation(data.c_str())};
  while (walk.isValid() && std::strcmp(walk.getNameWithoutPath(), "a.txt") != 0) walk.setToNext();
  ASSERT_TRUE(walk.isValid());
  EXPECT_EQ(walk.getNameWithPath(), data + "a.txt");
  EXPECT_TRUE(walk.matchesWildcardPattern("*.TXT"));
  EXPECT_FALSE(walk.matchesWildcardPattern("*.doc"));
}

TEST_F(DirectoryWalk, AMissingDirectoryIsInvalidAtOnce) {
  makeFile(root / "file");
  QelClDirectoryWalk walk{QelClLocation((rootText + "missing").c_str())};
  EXPECT_FALSE(walk.isValid());
  EXPECT_FALSE(walk.setToNext());
  EXPECT_FALSE(walk.isDirectory());
  expectError(walk.getError(), DIRWALK_COULD_NOT_INIT, QelEnErrorClass::IO_PROBLEM);

  _QelStError error{};  // the walker on its own reports into the caller's record
  QelClOSSDirectoryWalker walker(QelClLocation((rootText + "file").c_str()), error);
  EXPECT_FALSE(walker.isValid());
  expectError(error, DIRWALK_COULD_NOT_INIT, QelEnErrorClass::IO_PROBLEM);
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
  expectError(refused.getError(), DIRWALK_COULD_NOT_INIT, QelEnErrorClass::IO_PROBLEM);

  QelClDirectoryWalk walk{QelClLocation(directory.c_str())};
  for (; walk.isValid(); walk.setToNext()) {
    EXPECT_STRNE(walk.getNameWithoutPath(), "name-beyond-the-entry-text");
    EXPECT_LE(std::strlen(walk.getNameWithPath()), 263u);
  }
  EXPECT_TRUE(walk.getError().ulErrorId == DIRWALK_COULD_NOT_INIT ||
              walk.getError().ulErrorId == DIRWALK_NO_CONTINUATION);
}

namespace {
void* failingAllocator(std::size_t) { return nullptr; }
}  // namespace

TEST(DirectoryWalkAllocation, AWalkWithoutWalkerIsInvalid) {
  QelClMemoryManager::setNewMemoryManager(&failingAllocator, nullptr, free);
  QelClDirectoryWalk walk{QelClLocation(".")};
  QelClMemoryManager::setNewMemoryManager(malloc, nullptr, free);
  EXPECT_FALSE(walk.isValid());
  EXPECT_FALSE(walk.setToNext());
  expectError(walk.getError(), DIRWALK_COULD_NOT_INIT, QelEnErrorClass::OUT_OF_MEMORY);
  EXPECT_STREQ(walk.getNameWithPath(), "");
  EXPECT_STREQ(walk.getNameWithoutPath(), "");
}
