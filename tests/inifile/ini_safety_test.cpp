// INI files are never lost: the reader tells what it could not read, and the atomic
// save leaves the old or the new file, also when the writer is killed or the disk is
// full.
#include "tests/qel_test.h"

#include <chrono>

#ifndef _WIN32
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/small_file_system.h"
#endif

namespace {

std::string contentsOf(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{});
}

void writeFile(const std::string& name, const std::string& text) {
  std::ofstream(name, std::ios::binary | std::ios::trunc) << text;
}

std::string valueOf(QelClIniFile& file, const char* section, const char* option) {
  const char* value = nullptr;
  return file.getSection(section) && file.getOption(option, value) ? value : "(none)";
}

class IniSafety : public ::testing::Test {
protected:
  void TearDown() override {
    std::remove(name.c_str());
    std::remove((name + ".lock").c_str());
  }
  std::string name = std::string("safety_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
};

TEST_F(IniSafety, TheReaderTellsWhatItCouldNotRead) {
  const struct {
    std::string bytes;
    QelClIniFile::QelEnReadResult result;
    std::uint32_t line;
    const char* lastValue;  // of [s] v, the last option read
  } cases[] = {
      {"[s]\n; comment\n\nv = 1\n", QelClIniFile::READ_WHOLE, 0, "1"},
      {"\xEF\xBB\xBF[s]\r\nv = 1\r\n", QelClIniFile::READ_WHOLE, 0, "1"},
      {"[s]\rw = 0\rv = 1\r", QelClIniFile::READ_WHOLE, 0, "1"},
      {"[s]\r\n\r\rv = 1", QelClIniFile::READ_WHOLE, 0, "1"},
      {"top = x\n[s]\nv = 1\n", QelClIniFile::READ_OUTSIDE_SECTION, 1, "1"},
      {"[s]\nno equals sign\nv = 1\n", QelClIniFile::READ_BAD_LINE, 2, "1"},
      {"[s]\n[broken\nv = 1\n", QelClIniFile::READ_BAD_LINE, 2, "1"},
      {std::string("[s]\nv = 1\nw = a\0b\n", 18), QelClIniFile::READ_BINARY_CONTENT, 3, "1"},
      {"[s]\nv = 1\nlong = " + std::string(2000, 'x') + "\nv = 2\n", QelClIniFile::READ_LINE_TOO_LONG, 3, "1"},
  };
  for (const auto& c : cases) {
    writeFile(name, c.bytes);
    QelClIniFile file{QelClFilename(name.c_str())};
    EXPECT_TRUE(file.load(true)) << c.bytes;
    EXPECT_EQ(file.getReadResult(), c.result) << c.bytes;
    EXPECT_EQ(file.isReadWhole(), c.result == QelClIniFile::READ_WHOLE) << c.bytes;
    EXPECT_EQ(file.getReadResultLine(), c.line) << c.bytes;
    EXPECT_EQ(valueOf(file, "s", "v"), c.lastValue) << c.bytes;
  }

  QelClIniFile missing{QelClFilename("safety_none.ini")};
  EXPECT_FALSE(missing.load(true));
  EXPECT_EQ(missing.getReadResult(), QelClIniFile::READ_NOT_OPENED);
  EXPECT_EQ(missing.getError().ulErrorId, FILE_COULD_NOT_READ);
  EXPECT_EQ(missing.getError().enErrorClass, QelEnErrorClass::IO_NOT_EXISTENT);
  EXPECT_EQ(qelHostErrorGetClass(missing.getHostError()), QelEnErrorClass::IO_NOT_EXISTENT);
}

// The same bytes as save(), in one step; the lock keeps a second writer out from the
// load to the save.
TEST_F(IniSafety, TheAtomicSaveWritesWhatSaveWrites) {
  const char* text = "[Main]\nkey = 42 ; note\nq = \"a;b\"\n[Other]\nx = 1\n";
  const std::string inPlace = name + ".inplace";
  {
    QelClIniFileSave writer{QelClFilename(inPlace.c_str())};
    writer.loadFromCString(text, false);
    ASSERT_TRUE(writer.save());
  }
  writeFile(name, text);
  QelClIniFileSave writer{QelClFilename(name.c_str())};
  ASSERT_TRUE(writer.lock());
  ASSERT_TRUE(writer.load(false));
  QelClIniFileSave other{QelClFilename(name.c_str())};
  EXPECT_FALSE(other.lock(20));
  EXPECT_EQ(other.getError().ulErrorId, FILE_COULD_NOT_LOCK);
  EXPECT_TRUE(writer.saveAtomic());
  EXPECT_FALSE(writer.isLocked());
  EXPECT_EQ(contentsOf(name), contentsOf(inPlace));
  EXPECT_TRUE(other.lock(20)) << "the lock ends with the save";
  other.unlock();
  std::remove(inPlace.c_str());
}

// Blocks over a megabyte are refused: the reader's block comes from the memory manager,
// so a file too large for memory ends in its exception.
void* smallOnly(std::size_t size) { return size > (1u << 20) ? nullptr : std::malloc(size); }
void* smallOnlyRealloc(void* block, std::size_t size) { return size > (1u << 20) ? nullptr : std::realloc(block, size); }

TEST_F(IniSafety, AFileTooLargeForMemoryEndsInTheManagersException) {
  writeFile(name, "[s]\nv = " + std::string(3u << 20, 'x') + "\n");
  QelClIniFile file{QelClFilename(name.c_str())};
  qelSetNewMemoryManager(smallOnly, smallOnlyRealloc, std::free);
  EXPECT_THROW(file.load(true), QelClExceptionFatal);
  qelSetNewMemoryManager(std::malloc, nullptr, std::free);
}

#ifndef _WIN32
// A model of about 3.4 MB whose every value is tagged.
std::string bigModel(char tag) {
  std::string text;
  for (int s = 0; s < 400; ++s) {
    text += "[section" + std::to_string(s) + "]\n";
    for (int o = 0; o < 200; ++o) text += "option" + std::to_string(o) + " = " + std::string(30, tag) + "\n";
  }
  return text;
}

// The writer is killed at random moments of its save: the file is always exactly the
// old or the new one, and the next writer takes over the killed one's lock file.
TEST_F(IniSafety, AKilledSaveLeavesTheOldOrTheNewFile) {
  QelClIniFileSave a{QelClFilename(name.c_str())};
  QelClIniFileSave b{QelClFilename(name.c_str())};
  a.loadFromCString(bigModel('a').c_str(), false);
  b.loadFromCString(bigModel('b').c_str(), false);
  ASSERT_TRUE(b.saveAtomic());
  const std::string newer = contentsOf(name);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(a.saveAtomic());
  // The kills fall anywhere in one and a half times what a save takes on this build.
  const auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
  const std::string older = contentsOf(name);
  ASSERT_GT(older.size(), 3000000u);

  std::mt19937 random(12345);
  int changed = 0;
  for (int round = 0; round < 50; ++round) {
    QelClIniFileSave& writer = round % 2 == 0 ? b : a;
    const std::string before = contentsOf(name);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(writer.saveAtomic() ? 0 : 1);
    usleep(std::uniform_int_distribution<useconds_t>(0, static_cast<useconds_t>(saveTime.count() * 3 / 2))(random));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string after = contentsOf(name);
    ASSERT_TRUE(after == older || after == newer) << "round " << round << ": " << after.size() << " bytes";
    if (after != before) ++changed;
  }
  EXPECT_GT(changed, 0) << "no save was ever finished: the kills came too early to test anything";
  EXPECT_TRUE(a.saveAtomic()) << "the killed writer's lock file is taken over";
  EXPECT_EQ(contentsOf(name), older);
}

// On a full file system the save fails with the host's reason and the file stays as
// it was. The test mounts a small file system of its own, which needs root.
TEST_F(IniSafety, AFullDiskLeavesTheFileAsItWas) {
  const SmallFileSystem small("safety_tmpfs", "256k");
  if (!small.isMounted()) GTEST_SKIP() << "no small file system could be mounted here (needs root)";
  const std::string file = small / "app.ini";
  writeFile(file, "[s]\nv = original\n");
  QelClIniFileSave writer{QelClFilename(file.c_str())};
  ASSERT_TRUE(writer.load(false));
  for (int s = 0; s < 8000; ++s) writer.addOption("s", ("option" + std::to_string(s)).c_str(), std::string(100, 'x').c_str());
  EXPECT_FALSE(writer.saveAtomic());
  EXPECT_EQ(writer.getError().ulErrorId, FILE_COULD_NOT_WRITE);
  EXPECT_EQ(writer.getError().enErrorClass, QelEnErrorClass::RESOURCE_EXHAUSTED);
  EXPECT_STREQ(QelClHostErrorText(writer.getHostError()).getText(), "No space left on device");
  EXPECT_TRUE(contentsOf(file) == "[s]\nv = original\n");
  EXPECT_FALSE(std::filesystem::exists(file + ".lock"));
}
#endif

}  // namespace
