// Tests of editing an INI file's text line by line.
#include "tests/qel_test.h"

namespace {

using Change = QelClIniFileText::QelEnChange;
using Fault = QelClIniFileText::QelEnLineFault;

std::string textOf(const QelClIniFileText& text) { return {text.getText(), text.getSize()}; }

std::string valueOf(const QelClIniFileText& text, const char* section, const char* option) {
  const char* value = nullptr;
  return text.getValue(section, option, value) ? value : "(none)";
}

// text with its only occurrence of from replaced by to.
std::string replacedOnce(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(text.find(from, at + 1), std::string::npos) << "not unique: " << from;
  return at == std::string::npos ? text : text.substr(0, at) + to + text.substr(at + from.size());
}

// Files as they are found in the wild. Each case names an option of a section and its
// lines: set replaces those lines, delete removes them. "added = yes" is set into the
// same section and goes behind anchor; a new section [added] with "key = new value"
// adds appended at the end.
struct EditCase {
  const char* what;
  const char* text;
  const char* section;
  const char* option;
  const char* value;  // what a lookup gives
  const char* lines;  // the option's lines in the text
  const char* newValue;
  const char* newLines;  // what set writes in their place
  const char* anchor;
  const char* added;
  const char* appended;
};

const EditCase kEditCases[] = {
    {"git config, tab-indented options",
     "[core]\n\trepositoryformatversion = 0\n\tfilemode = true\n[remote \"origin\"]\n"
     "\turl = git@example.com:me/repo.git\n\tfetch = +refs/heads/*:refs/remotes/origin/*\n[branch \"main\"]\n"
     "\tremote = origin\n",
     "remote \"origin\"", "url", "git@example.com:me/repo.git", "\turl = git@example.com:me/repo.git\n",
     "https://example.com/repo.git", "\turl = https://example.com/repo.git\n",
     "\tfetch = +refs/heads/*:refs/remotes/origin/*\n", "\tadded = yes\n", "\n[added]\nkey = new value\n"},
    {"systemd unit",
     "[Unit]\nDescription=Example daemon\nAfter=network.target\n\n[Service]\nType=simple\n"
     "ExecStart=/usr/bin/exampled --config /etc/example.conf\nRestart=on-failure\n# Restart quickly\n"
     "RestartSec=2\n\n[Install]\nWantedBy=multi-user.target\n",
     "service", "execstart", "/usr/bin/exampled --config /etc/example.conf",
     "ExecStart=/usr/bin/exampled --config /etc/example.conf\n", "/usr/bin/exampled -v",
     "ExecStart=/usr/bin/exampled -v\n", "RestartSec=2\n", "added=yes\n", "\n[added]\nkey = new value\n"},
    {"desktop entry, ';' lists read as comments",
     "[Desktop Entry]\nType=Application\nName=Text Editor\nName[de]=Texteditor\nExec=editor %U\n"
     "Categories=Utility;TextEditor;\n",
     "Desktop Entry", "Categories", "Utility", "Categories=Utility;TextEditor;\n", "Utility;Development;",
     "Categories=\"Utility;Development;\";TextEditor;\n", "Categories=Utility;TextEditor;\n", "added=yes\n",
     "\n[added]\nkey = new value\n"},
    {"Windows setup file, CR LF, comments",
     "; Setup information\r\n[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Sample ; device class\r\n"
     "Provider=%Vendor%\r\n\r\n[Strings]\r\nVendor=\"Example Corp.\"\r\n",
     "Version", "Class", "Sample", "Class=Sample ; device class\r\n", "Media", "Class=Media ; device class\r\n",
     "Provider=%Vendor%\r\n", "added=yes\r\n", "\r\n[added]\r\nkey = new value\r\n"},
    {"php.ini, commented-out and repeated options, an empty section",
     "[PHP]\n; Maximum execution time\nmax_execution_time = 30\n;extension=mysqli\nextension=curl\nextension=gd\n\n"
     "[Date]\n;date.timezone =\n",
     "PHP", "extension", "curl", "extension=curl\n", "openssl", "extension=openssl\n", "extension=gd\n",
     "added=yes\n", "\n[added]\nkey = new value\n"},
    {"setup.cfg, continuation lines",
     "[metadata]\nname = example\nversion = 1.0\n\n[options]\npackages = find:\ninstall_requires =\n"
     "    requests>=2.0\n    click\npython_requires = >=3.8\n",
     "options", "install_requires", "requests>=2.0click", "install_requires =\n    requests>=2.0\n    click\n",
     "requests", "install_requires = requests\n", "python_requires = >=3.8\n", "added = yes\n",
     "\n[added]\nkey = new value\n"},
    {"tox.ini, a continued option last",
     "[tox]\nenvlist = py38, py39\n\n[testenv]\ncommands = pytest {posargs}\ndeps =\n    pytest\n\n    coverage\n",
     "testenv", "deps", "pytestcoverage", "deps =\n    pytest\n\n    coverage\n", "pytest", "deps = pytest\n",
     "    coverage\n", "added = yes\n", "\n[added]\nkey = new value\n"},
    {"pylintrc, a section name with a blank",
     "[MASTER]\nignore=CVS\n\n[MESSAGES CONTROL]\ndisable=missing-docstring,\n        invalid-name\n\n"
     "[FORMAT]\nmax-line-length=100\n",
     "messages control", "disable", "missing-docstring,invalid-name",
     "disable=missing-docstring,\n        invalid-name\n", "all", "disable=all\n", "        invalid-name\n",
     "added=yes\n", "\n[added]\nkey = new value\n"},
    {"byte order mark and CR LF",
     "\xEF\xBB\xBF[Settings]\r\nLanguage=de\r\nTheme=dark\r\n", "Settings", "Language", "de", "Language=de\r\n",
     "fr", "Language=fr\r\n", "Theme=dark\r\n", "added=yes\r\n", "\r\n[added]\r\nkey = new value\r\n"},
    {"lone CR line ends", "[prefs]\rwidth=640\rheight=480\r", "prefs", "width", "640", "width=640\r", "800",
     "width=800\r", "height=480\r", "added=yes\r", "\r[added]\rkey = new value\r"},
    {"duplicate sections: the first is used",
     "[server]\nhost = alpha\n[server]\nhost = beta\nport = 8080\n", "SERVER", "host", "alpha", "host = alpha\n",
     "gamma", "host = gamma\n", "host = alpha\n",
     "added = yes\n", "\n[added]\nkey = new value\n"},
    {"quoted values and comments",
     "[paths]\nroot = \"C:\\\\Program Files\\\\App\" ; install dir\nmotd = \"  Welcome; enjoy  \"\n", "paths", "root",
     "C:\\Program Files\\App", "root = \"C:\\\\Program Files\\\\App\" ; install dir\n", "D:\\App",
     "root = D:\\App ; install dir\n", "motd = \"  Welcome; enjoy  \"\n", "added = yes\n",
     "\n[added]\nkey = new value\n"},
    {"an empty section before the one edited",
     "[empty]\n\n; the next one\n[other]\na = 1\n", "other", "a", "1", "a = 1\n", "2", "a = 2\n", "a = 1\n",
     "added = yes\n", "\n[added]\nkey = new value\n"},
    {"editorconfig, an option before the first section",
     "root = true\n\n[*]\nindent_style = space\nindent_size = 4\n\n[*.md]\ntrim_trailing_whitespace = false\n", "*.md",
     "trim_trailing_whitespace", "false", "trim_trailing_whitespace = false\n", "true",
     "trim_trailing_whitespace = true\n", "trim_trailing_whitespace = false\n", "added = yes\n",
     "\n[added]\nkey = new value\n"},
    {"pip.conf without a line end at the end",
     "[global]\ntimeout = 60\nindex-url = https://pypi.org/simple", "global", "index-url", "https://pypi.org/simple",
     "index-url = https://pypi.org/simple", "https://mirror.example/simple",
     "index-url = https://mirror.example/simple", "index-url = https://pypi.org/simple", "\nadded = yes\n",
     "\n\n[added]\nkey = new value\n"},
    {"smb.conf, indented options and a name with a blank",
     "[global]\n   workgroup = WORKGROUP\n   server string = Samba %v\n# shares\n[homes]\n   comment = Home\n"
     "   browseable = no\n",
     "global", "serverstring", "Samba %v", "   server string = Samba %v\n", "Files",
     "   server string = Files\n", "   server string = Samba %v\n", "   added = yes\n",
     "\n[added]\nkey = new value\n"},
    {"written by the model's writer, tab before '='",
     "\n[Main]\nkey\t= 42\t; note\nname\t= x\n", "Main", "key", "42", "key\t= 42\t; note\n", "43",
     "key\t= 43\t; note\n", "name\t= x\n", "added\t= yes\n", "\n[added]\nkey = new value\n"},
    {"ends with a blank line, empty value behind '='", "[a]\nempty =\n\n", "a", "empty", "", "empty =\n", "x",
     "empty = x\n", "empty =\n", "added = yes\n", "[added]\nkey = new value\n"},
};

TEST(IniFileText, EditsOfRealWorldFiles) {
  for (const auto& c : kEditCases) {
    SCOPED_TRACE(c.what);
    const std::string original = c.text;
    QelClIniFileText text(original.data(), original.size());
    ASSERT_TRUE(text.isUnderstood()) << text.getFaultLine();
    EXPECT_EQ(valueOf(text, c.section, c.option), c.value);

    EXPECT_EQ(text.setValue(c.section, c.option, c.value), Change::UNCHANGED);
    EXPECT_EQ(textOf(text), original);

    EXPECT_EQ(text.setValue(c.section, c.option, c.newValue), Change::CHANGED);
    EXPECT_EQ(textOf(text), replacedOnce(original, c.lines, c.newLines));
    EXPECT_EQ(valueOf(text, c.section, c.option), c.newValue);

    text.assign(original.data(), original.size());
    EXPECT_EQ(text.setValue(c.section, "added", "yes"), Change::CHANGED);
    EXPECT_EQ(textOf(text), replacedOnce(original, c.anchor, std::string(c.anchor) + c.added));
    EXPECT_EQ(valueOf(text, c.section, "added"), "yes");
    EXPECT_EQ(valueOf(text, c.section, c.option), c.value);

    text.assign(original.data(), original.size());
    EXPECT_EQ(text.setValue("added", "key", "new value"), Change::CHANGED);
    EXPECT_EQ(textOf(text), original + c.appended);
    EXPECT_EQ(valueOf(text, "added", "key"), "new value");

    text.assign(original.data(), original.size());
    EXPECT_EQ(text.deleteOption(c.section, c.option), Change::CHANGED);
    EXPECT_EQ(textOf(text), replacedOnce(original, c.lines, ""));
    EXPECT_TRUE(text.isUnderstood());
  }
}

// Values that the plain form would not carry are quoted; the model reads every one back
// as it was set.
TEST(IniFileText, ValuesReadBackByTheModel) {
  QelClEnvironmentVariable("QELINI_HOME", "/u");
  const struct {
    const char* value;
    const char* written;  // empty: not checked
  } cases[] = {
      {"plain value", "plain value"}, {"C:\\dir\\file", "C:\\dir\\file"}, {"", ""}, {"a;b", "\"a;b\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""}, {"'x'", "\"'x'\""}, {"it's", "\"it's\""},
      {"$(QELINI_HOME)/cfg", "\"$(QELINI_HOME)/cfg\""}, {"cost $5", "cost $5"}, {"  padded  ", "\"  padded  \""},
      {"tab\there\nline\rend", "\"tab\\there\\nline\\rend\""}, {"c:\\x;y", "\"c:\\\\x;y\""},
      {"\x01" "A\x7f" "9\x1b" "z", "\"\\x01\"\"A\\x7f\"\"9\\x1bz\""}, {"#not a comment", "#not a comment"},
      {"[not a header]", "[not a header]"}, {"a = b", "a = b"}, {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
  };
  for (const auto& c : cases) {
    const char ini[] = "[s]\nkey = old\n";
    QelClIniFileText text(ini, sizeof ini - 1);
    ASSERT_EQ(text.setValue("s", "key", c.value), Change::CHANGED) << c.value;
    EXPECT_EQ(textOf(text), std::string("[s]\nkey = ") + c.written + "\n");
    EXPECT_EQ(valueOf(text, "s", "key"), c.value);
    QelClIniFile model{QelClFilename("model")};
    model.loadFromCString(textOf(text).c_str(), true);
    const char* value = nullptr;
    EXPECT_TRUE(model.getSection("s") && model.getOption("key", value));
    EXPECT_STREQ(value, c.value);
  }
}

TEST(IniFileText, DeletingSections) {
  const struct {
    const char* text;
    const char* section;
    Change change;
    const char* left;
  } cases[] = {
      {"[a]\nx=1\n[b]\n; about b\ny=2\n  more\n\n; about c\n[c]\nz=3\n", "B", Change::CHANGED,
       "[a]\nx=1\n\n; about c\n[c]\nz=3\n"},
      {"\xEF\xBB\xBF[only]\r\nx=1\r\n", "only", Change::CHANGED, "\xEF\xBB\xBF"},
      {"[a]\nx=1\n[empty]\n; keeps\n", "empty", Change::CHANGED, "[a]\nx=1\n; keeps\n"},
      {"[a]\nx=1\n[b]\ny=2", "b", Change::CHANGED, "[a]\nx=1\n"},
      {"[a]\nx=1\n[a]\ny=2\n", "a", Change::CHANGED, "[a]\ny=2\n"},
      {"[a]\nx=1\n", "b", Change::NOT_FOUND, "[a]\nx=1\n"},
  };
  for (const auto& c : cases) {
    QelClIniFileText text(c.text, std::strlen(c.text));
    EXPECT_EQ(text.deleteSection(c.section), c.change) << c.text;
    EXPECT_EQ(textOf(text), c.left) << c.text;
  }
}

// A new option goes behind the section's header when it has no option; a new section
// is separated from what comes before by an empty line, unless nothing does.
TEST(IniFileText, AddingOptions) {
  const struct {
    const char* text;
    const char* section;
    const char* result;
  } cases[] = {
      {"[empty]\n\n; the next one\n[other]\na = 1\n", "empty",
       "[empty]\nadded = yes\n\n; the next one\n[other]\na = 1\n"},
      {"[empty]", "EMPTY", "[empty]\nadded = yes\n"},
      {"", "s", "[s]\nadded = yes\n"},
      {"\xEF\xBB\xBF", "s", "\xEF\xBB\xBF[s]\nadded = yes\n"},
      {"; only a comment\r\n", "s", "; only a comment\r\n\r\n[s]\r\nadded = yes\r\n"},
      {"[a]\nx=1\n   ", "s", "[a]\nx=1\n   \n[s]\nadded = yes\n"},
  };
  for (const auto& c : cases) {
    QelClIniFileText text(c.text, std::strlen(c.text));
    EXPECT_EQ(text.setValue(c.section, "added", "yes"), Change::CHANGED) << c.text;
    EXPECT_EQ(textOf(text), c.result) << c.text;
  }
}

// The options a listing shows: continuation lines joined, indented options after an
// indented one, an option without a name passed over, the first section only.
TEST(IniFileText, ListingASection) {
  const char ini[] = "[s]\n  a = 1\n  b = 2 ; c\n=hidden\nc = \"x;y\"\n    more\nd=4\n[t]\ne=5\n[s]\nf=6\n";
  QelClIniFileText text(ini, sizeof ini - 1);
  std::string listed;
  for (QelClIniFileTextOptionCursor options(text, "S"); options.isValid(); options.setToNext()) {
    listed += std::string(options.getOption()) + "=" + options.getValue() + "|";
  }
  EXPECT_EQ(listed, "a=1|b=2|c=x;ymore|d=4|");
  QelClIniFileTextOptionCursor options(text, "t");
  EXPECT_TRUE(options.isValid());
  EXPECT_FALSE(options.setToNext());
  EXPECT_TRUE(options.setToFirst());
  EXPECT_STREQ(options.getValue(), "5");
  EXPECT_FALSE(QelClIniFileTextOptionCursor(text, "missing").isValid());
}

// A text with a line that is not understood is refused as a whole, and says which line
// and why; so are names that no line could carry and lines beyond the model's limits.
TEST(IniFileText, Refusals) {
  const std::string longLine = "[s]\nkey = " + std::string(1020, 'v') + "\n";
  const std::string withNul("[s]\nkey = a\0b\n", 14);
  const struct {
    std::string text;
    Fault fault;
    std::uint32_t line;
  } texts[] = {
      {withNul, Fault::NUL_BYTE, 2},
      {longLine, Fault::LINE_TOO_LONG, 2},
      {"\xEF\xBB\xBF[s]\r\nx=1\r\n[broken\r\n", Fault::NO_CLOSING_BRACKET, 3},
      {"[s]\nx=1\njust words\n", Fault::NOT_AN_OPTION, 3},
      {"[s]\n  a = 1\n  b\n", Fault::NOT_AN_OPTION, 3},
      {"; header comment\nstray text\n[s]\n", Fault::OUTSIDE_SECTION, 2},
  };
  for (const auto& t : texts) {
    QelClIniFileText text(t.text.data(), t.text.size());
    EXPECT_FALSE(text.isUnderstood()) << t.text;
    EXPECT_EQ(text.getFault(), t.fault) << t.text;
    EXPECT_EQ(text.getFaultLine(), t.line) << t.text;
    EXPECT_EQ(text.setValue("s", "x", "2"), Change::NOT_UNDERSTOOD);
    EXPECT_EQ(text.deleteOption("s", "x"), Change::NOT_UNDERSTOOD);
    EXPECT_EQ(text.deleteSection("s"), Change::NOT_UNDERSTOOD);
    EXPECT_EQ(textOf(text), t.text);
  }

  QelClIniFileText text("[s]\nkey=1\n", 10);
  const std::string section81(81, 's');
  const std::string name(600, 'n');
  const std::string controls(300, '\x01');
  const struct {
    const char* section;
    const char* option;
    std::string value;
    Change change;
  } changes[] = {
      {section81.c_str(), "key", "1", Change::TOO_LONG},
      {"s", name.c_str(), std::string(1022 - 600, 'v'), Change::CHANGED},
      {"s", name.c_str(), std::string(1022 - 600 + 1, 'w'), Change::TOO_LONG},
      {"s", "key", controls, Change::TOO_LONG},
      {"new", "k", std::string(1019, 'v'), Change::CHANGED},
      {"new", "k2", std::string(1019, 'v'), Change::TOO_LONG},
      {"a]b", "key", "1", Change::INVALID_NAME}, {"", "key", "1", Change::INVALID_NAME},
      {"s", "my key", "1", Change::INVALID_NAME}, {"s", "a=b", "1", Change::INVALID_NAME},
      {"s", "#key", "1", Change::INVALID_NAME}, {"s", "", "1", Change::INVALID_NAME},
  };
  for (const auto& c : changes) {
    const std::string before = textOf(text);
    EXPECT_EQ(text.setValue(c.section, c.option, c.value.c_str()), c.change) << c.section << " " << c.option;
    if (c.change == Change::CHANGED) {
      EXPECT_EQ(valueOf(text, c.section, c.option), c.value);
    } else {
      EXPECT_EQ(textOf(text), before);
    }
  }
  EXPECT_TRUE(text.isUnderstood());
}

// The text is the memory manager's: a failed allocation throws its exception and the
// text stays as it was.
TEST(IniFileText, AllocationFailureLeavesTheText) {
  QelClIniFileText text("[s]\nk=1\n", 8);
  static bool fail = false;
  qelSetNewMemoryManager([](std::size_t size) { return fail ? nullptr : std::malloc(size); },
                         [](void* block, std::size_t size) { return fail ? nullptr : std::realloc(block, size); },
                         std::free);
  fail = true;
  const std::string big(8192, 'x');
  expectThrown([&] { text.append(big.data(), big.size()); },
               {MEMMGR_USER_OUT_OF_MEMORY, QelEnErrorClass::OUT_OF_MEMORY, QelEnErrorSeverity::FATAL,
                QelEnErrorAction::TERMINATE});
  fail = false;
  qelSetNewMemoryManager(std::malloc, nullptr, std::free);
  EXPECT_EQ(textOf(text), "[s]\nk=1\n");
}

}  // namespace
