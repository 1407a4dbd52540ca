#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

const char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ@#!%_";

// ".432" in process 1234.
std::string processSuffix() {
  std::uint32_t id = QelClProcessProperty().getProcessId();
  std::string suffix = ".";
  for (int i = 0; i < 3; ++i, id /= 10) suffix += static_cast<char>('0' + id % 10);
  return suffix;
}

// The name is the prefix, random characters of the alphabet up to 8, and the suffix.
void expectTemporaryName(const char* name, const std::string& prefix) {
  const std::string text = name;
  ASSERT_EQ(text.size(), 12u) << text;
  EXPECT_EQ(text.substr(0, prefix.size()), prefix);
  for (std::size_t i = prefix.size(); i < 8; ++i) {
    EXPECT_NE(std::strchr(kAlphabet, text[i]), nullptr) << text;
  }
  EXPECT_EQ(text.substr(8), processSuffix());
}

// Sets the variables of the temporary directory for one test and restores them after.
class TemporaryDirectoryVariables : public ::testing::Test {
protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      const char* value = std::getenv(kNames[i]);
      saved[i] = value != nullptr ? value : "";
      wasSet[i] = value != nullptr;
    }
  }
  void TearDown() override {
    for (int i = 0; i < 3; ++i) QelClEnvironmentVariable(kNames[i], wasSet[i] ? saved[i].c_str() : "");
  }
  static void set(const char* name, const char* value) { QelClEnvironmentVariable(name, value); }

  static constexpr const char* kNames[3] = {"TMP", "TEMP", "TMPDIR"};
  std::string saved[3];
  bool wasSet[3] = {};
};

}  // namespace

TEST(TmpFilename, NameOfPrefixRandomCharactersAndProcessId) {
  expectTemporaryName(QelClTmpFilename("C:\\t", "LOG").getName(), "LOG");
  expectTemporaryName(QelClTmpFilename("C:\\t", "ABCDEFGH").getName(), "ABCDE");
  expectTemporaryName(QelClTmpFilename("C:\\t", "").getName(), "");
  expectTemporaryName(QelClTmpFilename(QelClLocation("/t")).getName(), "TMP");
  const QelClTmpFilename inDirectory(QelClLocation("C:\\t"), "X");
  expectTemporaryName(inDirectory.getName(), "X");
  EXPECT_EQ(std::string(inDirectory.getAsCString()).substr(0, 5), "C:\\t\\");
  const QelClTmpFilename likeModel(QelClFilename("/var/tmp/model.txt"), "M");
  EXPECT_EQ(std::string(likeModel.getAsCString()).substr(0, 9), "/var/tmp/");
  expectTemporaryName(likeModel.getName(), "M");
  EXPECT_STREQ(likeModel.getExtension(), processSuffix().c_str());
}

TEST(TmpFilename, AvoidsExistingEntries) {
  const std::filesystem::path directory =
      std::filesystem::temp_directory_path() / ("qel_tmpname_" + std::to_string(QelClProcessProperty().getProcessId()));
  std::filesystem::create_directories(directory);
  const QelClLocation location(directory.string().c_str());
  const QelClTmpFilename first(location, "T");
  EXPECT_FALSE(first.isExistent());
  std::FILE* file = std::fopen(first.getAsCString(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_TRUE(first.isExistent());
  // Made in the same millisecond the generator repeats; the existing name is skipped.
  const QelClTmpFilename second(location, "T");
  EXPECT_STRNE(second.getAsCString(), first.getAsCString());
  EXPECT_FALSE(second.isExistent());
  std::filesystem::remove_all(directory);
}

TEST_F(TemporaryDirectoryVariables, TmpThenTempThenTheHostsDefault) {
  set("TMP", "");
  set("TEMP", "");
  set("TMPDIR", "");
#ifdef _WIN32
  EXPECT_STREQ(qelGetTmpDirectory(), "C:\\");
#else
  EXPECT_STREQ(qelGetTmpDirectory(), "/tmp");
  set("TMPDIR", "/var/tmpdir");
  EXPECT_STREQ(qelGetTmpDirectory(), "/var/tmpdir");
#endif
  set("TEMP", "/from/temp");
  EXPECT_STREQ(qelGetTmpDirectory(), "/from/temp");
  set("TMP", "C:\\from\\tmp");
  EXPECT_STREQ(qelGetTmpDirectory(), "C:\\from\\tmp");
  const QelClTmpFilename name;
  EXPECT_EQ(std::string(name.getAsCString()).substr(0, 12), "C:\\from\\tmp\\");
  expectTemporaryName(name.getName(), "TMP");
}

TEST(BakFilename, AppendsBakBehindTheExtension) {
  const QelClBakFilename backup(QelClFilename("d\\a.txt"));
  EXPECT_STREQ(backup.getAsCString(), "d\\a.txt.BAK");
  EXPECT_STREQ(backup.getExtension(), ".txt.BAK");
  EXPECT_EQ(backup.getLength(), 11u);
  const QelClBakFilename plain(QelClFilename("a"));
  EXPECT_STREQ(plain.getAsCString(), "a.BAK");
  EXPECT_STREQ(plain.getExtension(), ".BAK");
  const std::string longName(257, 'x');
  EXPECT_STREQ(QelClBakFilename(QelClFilename(longName.c_str())).getAsCString(), "");
}
