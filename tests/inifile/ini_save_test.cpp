// Tests of writing the INI model back, in place and atomically.
#include "tests/qel_test.h"

namespace {

// The file's text, line ends as LF: the writer writes in text mode, CR LF on Windows.
std::string readFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{});
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

// Every live section and option of a model, one line each.
std::string dump(const QelClIniFile& file) {
  std::string text;
  for (QelClIniFileSectionCursor sections(file); sections.isValid(); sections.setToNext()) {
    if (*sections.getSection() == '\0') continue;
    text += "[" + std::string(sections.getSection()) + "]\n";
    for (QelClIniFileOptionCursor options(sections); options.isValid(); options.setToNext()) {
      if (*options.getOption() == '\0') continue;
      text += std::string(options.getOption()) + "=" + options.getValue() + "|" + options.getComment() + "\n";
    }
  }
  return text;
}

// A writer whose streaming pieces the tests reach.
class Writer : public QelClIniFileSave {
public:
  using QelClIniFileSave::QelClIniFileSave;
  using QelClIniFileSave::saveOption;
  using QelClIniFileSave::saveOptionBool;
  using QelClIniFileSave::saveSection;
};

class IniSave : public ::testing::Test {
protected:
  void TearDown() override { std::remove(name.c_str()); }
  // Loads text, saves it to the file and returns what was written.
  std::string saved(const char* text, bool continuation = false) {
    QelClIniFileSave writer{QelClFilename(name.c_str())};
    writer.loadFromCString(text, continuation);
    EXPECT_TRUE(writer.save());
    return readFile(name);
  }
  std::string name = std::string("save_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
};

TEST_F(IniSave, LayoutAndQuoting) {
  EXPECT_EQ(saved("[Main]\nkey = 42 ; note\n"), "\n[Main]\nkey\t= 42\t; note\n");
  const struct {
    const char* value;
    const char* written;
  } cases[] = {
      {"\"a;b\"", "\"a;b\""}, {"\"a\\tb\"", "\"a\\tb\""}, {"\"say\\\"hi\"", "say\"hi"},
      {"\"c:\\\\dir;x\"", "\"c:\\\\dir;x\""},
      {"\"\\x1b\\a\\b\\f\\n\\r\\v\\x7f\"", "\"\\x1b\\a\\b\\f\\n\\r\\v\\x7f\""},
  };
  for (const auto& c : cases) {
    const std::string text = std::string("[s]\nv = ") + c.value + "\n";
    EXPECT_EQ(saved(text.c_str()), std::string("\n[s]\nv\t= ") + c.written + "\n") << c.value;
  }
  // Deleted entries and empty values leave no trace; an empty section keeps its header.
  QelClIniFileSave writer{QelClFilename(name.c_str())};
  writer.loadFromCString("[gone]\na = 1\n[kept]\nb = 2\nc = 3\nempty =\n[bare]\n", false);
  writer.deleteSection("gone");
  writer.deleteOption("kept", "c");
  EXPECT_TRUE(writer.save());
  EXPECT_TRUE(writer.save()) << "a second save writes the model again";
  const std::string once = "\n[kept]\nb\t= 2\n\n[bare]\n";
  EXPECT_EQ(readFile(name), once + once);
}

TEST_F(IniSave, StreamingPieces) {
  Writer writer{QelClFilename(name.c_str())};
  std::ofstream stream;
  // The section opens the file on first use; the unsigned value is decimal again after
  // the hex escape.
  const bool written[] = {
      writer.saveSection(stream, "typed", "the types"), writer.saveOption(stream, "int", -5, nullptr),
      writer.saveOption(stream, "char", '\n', ""), writer.saveOption(stream, "quote", '\'', nullptr),
      writer.saveOption(stream, "esc", '\x1b', nullptr), writer.saveOption(stream, "uint", 4000000000u, nullptr),
      writer.saveOption(stream, "long", 12L, nullptr), writer.saveOption(stream, "ulong", 13ul, nullptr),
      writer.saveOptionBool(stream, "yes", true, nullptr), writer.saveOptionBool(stream, "no", false, nullptr)};
  for (std::size_t i = 0; i < std::size(written); ++i) EXPECT_TRUE(written[i]) << "piece " << i;
  stream.close();
  EXPECT_EQ(readFile(name), "\n[typed]\t; the types\nint\t= -5\nchar\t= '\\n'\nquote\t= '''\nesc\t= '\\x1b'\n"
                            "uint\t= 4000000000\nlong\t= 12\nulong\t= 13\nyes\t= ON\nno\t= OFF\n");
  QelClIniFile back{QelClFilename(name.c_str())};
  ASSERT_TRUE(back.load(false));
  char c = 0;
  const char* quote = nullptr;
  ASSERT_TRUE(back.getSection("typed"));
  EXPECT_TRUE(back.getOption("quote", quote));
  EXPECT_STREQ(quote, "'") << "three single quotes read back as one";
  EXPECT_TRUE(back.getOption("esc", c));
  EXPECT_EQ(c, '\x1b');

  QelClIniFileSave unwritable{QelClFilename("no_such_directory/x.ini")};
  unwritable.addSection("s");
  EXPECT_FALSE(unwritable.save());
}

// Files in the styles met in practice read, written and read again give the same
// model: values and end-of-line comments kept, comment lines dropped.
TEST_F(IniSave, RealWorldFilesSurviveARoundTrip) {
  const struct {
    const char* style;
    const char* text;
    bool continuation;
  } files[] = {
      {"setup.cfg", "[metadata]\nname = mypkg\nversion = 1.2.3 ; bumped by the release script\n"
                    "[options]\ninstall_requires =\n    requests>=2.0\n    click\n"
                    "[tool:pytest]\naddopts = -ra -q\ntestpaths =\n\ttests\n\tintegration\n",
       true},
      {"systemd", "# /etc/systemd/journald.conf\n[Journal]\n#Storage=auto\nCompress=yes\n"
                  "SystemMaxUse=500M\nForwardToSyslog=no\n",
       false},
      {"desktop", "[Desktop Entry]\nType=Application\nName=Text Editor\nName[de]=Texteditor\n"
                  "Exec=gedit %U\nIcon=accessories-text-editor\nCategories=GNOME;GTK;Utility;\nMimeType=text/plain;\n",
       false},
      {"krb5.conf", "[libdefaults]\n\tdefault_realm = EXAMPLE.COM\ndns_lookup_kdc = true\n"
                    "[realms]\nEXAMPLE.COM = {\n\tkdc = kerberos.example.com\n}\n"
                    "[domain_realm]\n.example.com = EXAMPLE.COM\n",
       false},
      {"Windows setup", "; setup information\r\n[Version]\r\nSignature=\"$Windows NT$\"\r\n"
                        "[Strings]\r\nDiskName = \"Setup Disk #1\" ; the label\r\nPath = C:\\Program Files\\App\r\n"
                        "Tab = \"a\\tb;c\"\r\n",
       false},
  };
  for (const auto& f : files) {
    std::ofstream(name, std::ios::binary) << f.text;
    QelClIniFileSave first{QelClFilename(name.c_str())};
    ASSERT_TRUE(first.load(f.continuation)) << f.style;
    const std::string model = dump(first);
    ASSERT_TRUE(first.save()) << f.style;
    QelClIniFile second{QelClFilename(name.c_str())};
    ASSERT_TRUE(second.load(f.continuation)) << f.style;
    EXPECT_EQ(dump(second), model) << f.style;
  }
  std::ofstream(name, std::ios::binary) << files[0].text;
  QelClIniFile setup{QelClFilename(name.c_str())};
  setup.load(true);
  const char* value = nullptr;
  ASSERT_TRUE(setup.getSection("options") && setup.getOption("install_requires", value));
  EXPECT_STREQ(value, "requests>=2.0click") << "continuations join without a separator";
}

}  // namespace
