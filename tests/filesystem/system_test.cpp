// Environment variables, the temporary directory they name, temporary and backup file
// names, the operating-system family and the mode probes of streams and descriptors.
#include "tests/filesystem/scratch_directory.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// The name is the prefix, random characters of the alphabet up to 8, then "." and the
// process id's last three digits, units first: ".432" in process 1234.
void expectTemporaryName(const QelClTmpFilename& name, const std::string& prefix) {
  std::string suffix = ".";
  for (auto id = QelClProcessProperty().getProcessId(); suffix.size() < 4; id /= 10) {
    suffix += static_cast<char>('0' + id % 10);
  }
  const std::string text = name.getName();
  ASSERT_EQ(text.size(), 12u) << text;
  EXPECT_EQ(text.substr(0, prefix.size()), prefix);
  for (std::size_t i = prefix.size(); i < 8; ++i) {
    EXPECT_NE(std::strchr("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ@#!%_", text[i]), nullptr) << text;
  }
  EXPECT_EQ(text.substr(8), suffix);
  EXPECT_EQ(name.getExtension(), suffix);
}

using TmpFilename = ScratchDirectory;

// The test's own variable goes after each test, and the temporary directory's variables
// get their values back.
class EnvironmentVariable : public ::testing::Test {
protected:
  static constexpr const char* kName = "QEL_TEST_VARIABLE";
  static constexpr const char* kSaved[3] = {"TMP", "TEMP", "TMPDIR"};
  void SetUp() override {
    for (int i = 0; i < 3; ++i) saved[i] = std::getenv(kSaved[i]) ? std::getenv(kSaved[i]) : "";
  }
  void TearDown() override {
    QelClEnvironmentVariable(kName, "");
    for (int i = 0; i < 3; ++i) QelClEnvironmentVariable(kSaved[i], saved[i].c_str());
  }
  static QelClEnvironmentVariableQueryOnly query(const char* name = kName) {
    QelClEnvironmentVariableQueryOnly q;
    q.setNewName(name);
    return q;
  }

  std::string saved[3];
};

}  // namespace

TEST_F(EnvironmentVariable, SetAppendAndRemove) {
  EXPECT_FALSE(query().hasValue());
  EXPECT_EQ(query().getValue(), nullptr);
  EXPECT_FALSE(query().hasValueEnabled());
  EXPECT_FALSE(QelClEnvironmentVariableQueryOnly().hasValue());  // the name "?"

  QelClEnvironmentVariable variable(kName, "C:\\a");
  EXPECT_STREQ(query().getValue(), "C:\\a");
  EXPECT_STREQ(variable.getValue(), "C:\\a");
  EXPECT_STREQ(QelClEnvironmentVariableQueryOnly(variable).getValue(), "C:\\a");
  EXPECT_TRUE(variable.appendValue(";C:\\bin"));  // directly behind the value
  EXPECT_STREQ(query().getValue(), "C:\\a;C:\\bin");
  EXPECT_FALSE(variable.setNewValue(nullptr));  // definitions without value change nothing
  variable.resetValue();
  EXPECT_STREQ(query().getValue(), "C:\\a;C:\\bin");
  EXPECT_FALSE(QelClEnvironmentVariable("QEL_TEST_NEVER_SET", nullptr).hasValue());
  EXPECT_TRUE(variable.setNewValue(""));
  EXPECT_FALSE(query().hasValue());
  EXPECT_TRUE(variable.appendValue(";C:\\bin"));
  EXPECT_STREQ(query().getValue(), ";C:\\bin");

  for (const char* enabled : {"on", "ON", "Yes", "true", "TRUE", "tRuE", "1"}) {
    variable.setNewValue(enabled);
    EXPECT_TRUE(query().hasValueEnabled()) << enabled;
  }
  for (const char* disabled : {"2", "enabled", "TRUE1", "ONE", "0", "no", " on", "YE"}) {
    variable.setNewValue(disabled);
    EXPECT_FALSE(query().hasValueEnabled()) << disabled;
  }
}

// Names hold 40 characters; name, "=" and value 302.
TEST_F(EnvironmentVariable, OverlongNamesAndDefinitionsAreRefused) {
  const std::string longest(40, 'Q');
  QelClEnvironmentVariable fits(longest.c_str(), "v");
  EXPECT_STREQ(query(longest.c_str()).getValue(), "v");
  fits.setNewValue("");
  QelClEnvironmentVariable refused((longest + "Z").c_str(), "v");
  EXPECT_FALSE(refused.hasValue());
  EXPECT_FALSE(refused.setNewValue("v"));

  const std::string value(302 - std::strlen(kName) - 1, 'v');
  QelClEnvironmentVariable variable(kName, "");
  EXPECT_TRUE(variable.setNewValue(value.c_str()));
  EXPECT_FALSE(variable.setNewValue((value + "w").c_str()));
  EXPECT_EQ(query().getValue(), value);
  EXPECT_FALSE(variable.appendValue("w"));
}

// TMP, then TEMP, then TMPDIR on POSIX, then the host's default.
TEST_F(EnvironmentVariable, TemporaryDirectory) {
  for (const char* name : kSaved) QelClEnvironmentVariable(name, "");
#ifdef _WIN32
  EXPECT_STREQ(qelGetTmpDirectory(), "C:\\");
#else
  EXPECT_STREQ(qelGetTmpDirectory(), "/tmp");
  QelClEnvironmentVariable("TMPDIR", "/var/tmpdir");
  EXPECT_STREQ(qelGetTmpDirectory(), "/var/tmpdir");
#endif
  QelClEnvironmentVariable("TEMP", "/from/temp");
  EXPECT_STREQ(qelGetTmpDirectory(), "/from/temp");
  QelClEnvironmentVariable("TMP", "C:\\from\\tmp");
  EXPECT_STREQ(qelGetTmpDirectory(), "C:\\from\\tmp");
  const QelClTmpFilename name;
  EXPECT_EQ(std::string(name.getAsCString()).substr(0, 12), "C:\\from\\tmp\\");
  expectTemporaryName(name, "TMP");
}

// A backup name has ".BAK" behind the extension.
TEST_F(TmpFilename, TemporaryAndBackupNames) {
  expectTemporaryName(QelClTmpFilename("C:\\t", "LOG"), "LOG");
  expectTemporaryName(QelClTmpFilename("C:\\t", "ABCDEFGH"), "ABCDE");
  expectTemporaryName(QelClTmpFilename("C:\\t", ""), "");
  expectTemporaryName(QelClTmpFilename(QelClLocation("/t")), "TMP");
  const QelClTmpFilename inDirectory(QelClLocation("C:\\t"), "X");
  expectTemporaryName(inDirectory, "X");
  EXPECT_EQ(std::string(inDirectory.getAsCString()).substr(0, 5), "C:\\t\\");
  const QelClTmpFilename likeModel(QelClFilename("/var/tmp/model.txt"), "M");
  expectTemporaryName(likeModel, "M");
  EXPECT_EQ(std::string(likeModel.getAsCString()).substr(0, 9), "/var/tmp/");

  const QelClBakFilename backup(QelClFilename("d\\a.txt"));
  EXPECT_STREQ(backup.getAsCString(), "d\\a.txt.BAK");
  EXPECT_STREQ(backup.getExtension(), ".txt.BAK");
  EXPECT_EQ(backup.getLength(), 11u);
  const QelClBakFilename plain(QelClFilename("a"));
  EXPECT_STREQ(plain.getAsCString(), "a.BAK");
  EXPECT_STREQ(plain.getExtension(), ".BAK");
  EXPECT_STREQ(QelClBakFilename(QelClFilename(std::string(257, 'x').c_str())).getAsCString(), "");
}

// Names made in the same millisecond repeat the generator's draws: existing names are
// skipped.
TEST_F(TmpFilename, AvoidsExistingEntries) {
  const QelClLocation location(rootText.c_str());
  std::set<std::string> names;
  for (int i = 0; i < 10; ++i) {
    const QelClTmpFilename name(location, "T");
    EXPECT_FALSE(name.isExistent());
    makeFile(name.getAsCString());
    EXPECT_TRUE(name.isExistent());
    names.insert(name.getAsCString());
  }
  EXPECT_EQ(names.size(), 10u);
}

// Streams are always binary; on Windows the probes leave a text descriptor in text mode.
TEST(SystemQueries, FamilyAndModes) {
#ifdef _WIN32
  EXPECT_EQ(qelGetOperatingSystemId(), 512u);
#else
  EXPECT_EQ(qelGetOperatingSystemId(), 0u);
#endif
  std::istringstream in("x");
  std::ostringstream out;
  EXPECT_TRUE(qelFileIsOpenedInBinaryMode(in));
  EXPECT_TRUE(qelFileIsOpenedInBinaryMode(out));
  EXPECT_FALSE(qelFileIsOpenedInTextMode(in));
  EXPECT_FALSE(qelFileIsOpenedInTextMode(out));

  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  const int fd = fileno(file);
#ifdef _WIN32
  _setmode(fd, _O_TEXT);
  EXPECT_TRUE(qelFileIsOpenedInTextMode(fd));
  EXPECT_FALSE(qelFileIsOpenedInBinaryMode(fd));
  EXPECT_TRUE(qelFileIsOpenedInTextMode(fd));
  _setmode(fd, _O_BINARY);
#endif
  EXPECT_TRUE(qelFileIsOpenedInBinaryMode(fd));
  EXPECT_FALSE(qelFileIsOpenedInTextMode(fd));
  std::fclose(file);
  EXPECT_FALSE(qelFileIsOpenedInBinaryMode(-1));
  EXPECT_FALSE(qelFileIsOpenedInTextMode(-1));
}
