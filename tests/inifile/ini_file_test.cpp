// Tests of the INI reader and its section and option cursors.
#include "tests/qel_test.h"

namespace {

struct Report {
  std::uint32_t id;
  unsigned int line;
};

// A model loaded from text, with every report of the error handler.
class Ini {
public:
  explicit Ini(const char* text, bool continuation = false, bool stopAtError = false) : stop(stopAtError) {
    file.setErrorHandler(collect, this);
    loaded = file.loadFromCString(text, continuation);
  }
  // The value of section/option, or "(none)".
  std::string value(const char* section, const char* option) {
    const char* text = nullptr;
    return file.getSection(section) && file.getOption(option, text) ? text : "(none)";
  }
  std::string comment(const char* section, const char* option) {
    const char* text = nullptr;
    const char* note = nullptr;
    return file.getSection(section) && file.getOption(option, text, note) ? note : "(none)";
  }

  QelClIniFile file{QelClFilename("model")};
  std::vector<Report> reports;
  bool loaded = false;

private:
  static bool collect(const _QelStError& error, unsigned int line, void* data) {
    auto& self = *static_cast<Ini*>(data);
    EXPECT_EQ(error.enErrorClass, QelEnErrorClass::USER_DATA_ERROR);
    self.reports.push_back({error.ulErrorId, line});
    return !self.stop;
  }
  bool stop;
};

TEST(IniFile, ValuesAsTheyAreRead) {
  QelClEnvironmentVariable("QELINI_HOME", "/u");
  QelClEnvironmentVariable("QELINI_UNSET", "");
  const struct {
    const char* line;
    const char* value;
    const char* comment;
  } cases[] = {
      {"key = value", "value", ""},
      {"path = C:\\dir\\file ; where it lives  ", "C:\\dir\\file", "where it lives  "},
      {"q = \"  a;b\\tc  \"", "  a;b\tc  ", ""}, {"q = \"open ; to the end", "open ; to the end", ""},
      {"q = x\"  \"  ", "x  ", ""}, {"q = '\\n'", "\n", ""}, {"q = 'x' y", "x y", ""},
      {"q = \"\\x41\\101\\a\\;\\\\\\q\"", "AA\a;\\q", ""}, {"q = \"a\\8b\"", "a", ""},
      {"home = $(QELINI_HOME)/cfg", "/u/cfg", ""}, {"home = $(QELINI_UNSET)/cfg", "/cfg", ""},
      {"home = $(QELINI_HOME", "$(QELINI_HOME", ""}, {"cost = $5 ;", "$5", ""}, {"x = $(QELINI_HOME)  ", "/u", ""},
      {"empty =", "", ""}, {"semi = ;only a comment", "", "only a comment"},
  };
  for (const auto& c : cases) {
    Ini ini((std::string("[s]\n") + c.line).c_str());
    const std::string name = std::string(c.line).substr(0, std::string(c.line).find(' '));
    EXPECT_EQ(ini.value("s", name.c_str()), c.value) << c.line;
    EXPECT_EQ(ini.comment("s", name.c_str()), c.comment) << c.line;
    EXPECT_TRUE(ini.reports.empty()) << c.line;
  }
}

TEST(IniFile, SectionsOptionsAndNames) {
  Ini ini("top = ignored\n  indented = ignored\n[Main]\nkey = value\n[ Main ]\nmy key = 42\n"
          "=value\n[Main]\nkey = shadowed\n");
  EXPECT_TRUE(ini.loaded);
  EXPECT_TRUE(ini.reports.empty());
  EXPECT_EQ(ini.file.getCurrentSection(), nullptr) << "none current after loading";
  EXPECT_EQ(ini.value("MAIN", "KEY"), "value") << "names ignore case; the first section wins";
  EXPECT_EQ(ini.value(" Main ", "mykey"), "42") << "spaces kept in section names, dropped in option names";
  long number = 0;
  EXPECT_TRUE(ini.file.getOption("MYKEY", number));
  EXPECT_EQ(number, 42);
  EXPECT_EQ(ini.value(" Main ", ""), "value") << "an empty name behaves as deleted";
  EXPECT_FALSE(ini.file.getSection("top"));
  EXPECT_FALSE(ini.file.getOption("key", number)) << "no current section after a failed getSection";
  EXPECT_EQ(number, 42) << "output unchanged";
}

TEST(IniFile, BadLinesGoToTheHandler) {
  const char* text = "[a]\nx = 1\nno equals sign\n[broken\ny = 2\n  stray\n\n; comment\n[b]\nz = 3\n";
  Ini going(text);
  EXPECT_TRUE(going.loaded);
  ASSERT_EQ(going.reports.size(), 3u);
  EXPECT_EQ(going.reports[0].id, INIFILE_INVAL_OPTION);
  EXPECT_EQ(going.reports[0].line, 3u);
  EXPECT_EQ(going.reports[1].id, INIFILE_INVAL_SECTION);
  EXPECT_EQ(going.reports[1].line, 4u);
  EXPECT_EQ(going.reports[2].id, INIFILE_INVAL_WHITESPACE);
  EXPECT_EQ(going.reports[2].line, 6u);
  EXPECT_EQ(going.value("a", "y"), "2") << "after a broken header the section before goes on";
  EXPECT_EQ(going.value("b", "z"), "3");

  Ini stopped(text, false, true);
  EXPECT_FALSE(stopped.loaded);
  EXPECT_EQ(stopped.reports.size(), 1u);
  EXPECT_EQ(stopped.value("a", "y"), "(none)") << "nothing read after the stop";
  EXPECT_EQ(stopped.value("a", "x"), "1") << "what was read before stays";

  QelClIniFile quiet(QelClFilename("quiet"));
  EXPECT_TRUE(quiet.loadFromCString(text, false)) << "without a handler bad lines are skipped";
}

TEST(IniFile, ContinuationLines) {
  const char* text = "[s]\nlist = a, ; first\n   b, \"c \" ; second\n\tlast\n[t]\n  lonely\n";
  Ini joined(text, true);
  EXPECT_EQ(joined.value("s", "list"), "a,b, c last");
  EXPECT_EQ(joined.comment("s", "list"), "") << "the last line's comment, none";
  ASSERT_EQ(joined.reports.size(), 1u) << "no option to continue in [t]";
  EXPECT_EQ(joined.reports[0].id, INIFILE_INVAL_WHITESPACE);
  Ini refused(text, false);
  EXPECT_EQ(refused.value("s", "list"), "a,");
  EXPECT_EQ(refused.reports.size(), 3u);
}

// The option of the current section read as Value, printed; "refused" when not read.
template <class Value>
std::string typed(QelClIniFile& file, const char* option) {
  Value value = 1;
  return file.getOption(option, value) ? std::to_string(value) : "refused";
}

TEST(IniFile, TypedLookups) {
  Ini ini("[t]\ncount = 0x10\nbig = 4000000000\nneg = -7\nch = '\\n'\nletter = xyz\nnone =\n"
          "on = Ok\noff = no\nfragment = RUE\n");
  ASSERT_TRUE(ini.file.getSection("t"));
  const std::pair<std::string, std::string> reads[] = {
      {typed<int>(ini.file, "count"), "0"}, {typed<unsigned long>(ini.file, "big"), "4000000000"},
      {typed<unsigned int>(ini.file, "big"), "4000000000"}, {typed<long>(ini.file, "neg"), "-7"},
      {typed<char>(ini.file, "ch"), "10"}, {typed<char>(ini.file, "letter"), "120"},
      {typed<char>(ini.file, "none"), "0"}, {typed<int>(ini.file, "missing"), "refused"},
  };
  for (const auto& [read, expected] : reads) EXPECT_EQ(read, expected);
  for (const char* option : {"on", "none", "fragment", "off"}) {
    bool b = std::strcmp(option, "off") == 0;
    EXPECT_TRUE(ini.file.getOptionBool(option, b));
    EXPECT_EQ(b, std::strcmp(option, "off") != 0) << option;
  }
  int i = 1;
  const char* comment = "unchanged";
  EXPECT_FALSE(ini.file.getOption("missing", i, comment));
  EXPECT_STREQ(comment, "unchanged");
  EXPECT_STREQ(ini.file.getStringAllTrueTokens(), "|ON|TRUE|YES|1|OK|");
}

TEST(IniFile, ChangesKeepDeletedEntriesInPlace) {
  Ini ini("[A]\nx = 1 ; note\n[B]\ny = 2\n");
  EXPECT_TRUE(ini.file.addOption("a", "z", "3"));
  EXPECT_FALSE(ini.file.addOption("A", "X", "again")) << "the section has x";
  EXPECT_FALSE(ini.file.addOption("C", "z", "3"));
  EXPECT_TRUE(ini.file.setNewValue("A", "x", "a much longer value than before"));
  EXPECT_EQ(ini.value("A", "x"), "a much longer value than before");
  EXPECT_EQ(ini.comment("A", "x"), "") << "the longer value reached the comment";
  EXPECT_TRUE(ini.file.setNewValue("A", "x", std::string(2000, 'v').c_str()));
  EXPECT_EQ(ini.value("A", "x").size(), 1021u) << "cut within the option's text";
  EXPECT_TRUE(ini.file.deleteOption("A", "z"));
  EXPECT_EQ(ini.value("A", "z"), "(none)");
  EXPECT_FALSE(ini.file.deleteOption("A", "z"));
  EXPECT_TRUE(ini.file.deleteSection("B"));
  EXPECT_FALSE(ini.file.getSection("B"));
  EXPECT_FALSE(ini.file.setNewValue("B", "y", "3"));
  EXPECT_TRUE(ini.file.addSection("A"));
  EXPECT_TRUE(ini.file.addOption("A", "w", "shadowed section"));  // goes to the first A
  EXPECT_EQ(ini.value("A", "w"), "shadowed section");

  QelClIniFileSectionCursor sections(ini.file);
  std::vector<std::string> names;
  for (; sections.isValid(); sections.setToNext()) names.push_back(sections.getSection());
  EXPECT_EQ(names, (std::vector<std::string>{"A", "", "A"})) << "the deleted section stays, unnamed";
}

TEST(IniFile, LoadingAddsToTheModel) {
  QelClIniFile twice(QelClFilename("twice"));
  twice.loadFromCString("[s]\na = 1\n", false);
  twice.loadFromCString("[s]\na = 2\n", false);
  QelClIniFileSectionCursor sections(twice);
  ASSERT_TRUE(sections.setToNext());
  QelClIniFileOptionCursor second(sections);
  EXPECT_STREQ(second.getValue(), "2");
  EXPECT_FALSE(QelClIniFile(QelClFilename("no_such_file.ini")).load(false));
}

// A model of thousands of options spans many blocks of nodes: deleting the first half
// releases blocks while the file goes on adding nodes, and must not touch the rest.
TEST(IniFile, LargeModelsSurviveDeletesAndAdds) {
  std::string text;
  const auto name = [](int section) { return "s" + std::to_string(section); };
  for (int s = 0; s < 300; ++s) {
    text += "[" + name(s) + "]\n";
    for (int o = 0; o < 20; ++o) text += "o" + std::to_string(o) + " = " + std::to_string(s * 100 + o) + "\n";
  }
  Ini ini(text.c_str());
  for (int s = 0; s < 150; ++s) EXPECT_TRUE(ini.file.deleteSection(name(s).c_str()));
  ini.file.loadFromCString(text.c_str(), false);
  for (int s = 150; s < 300; ++s) {
    EXPECT_TRUE(ini.file.addOption(name(s).c_str(), "added", "x"));
    EXPECT_EQ(ini.value(name(s).c_str(), "o19"), std::to_string(s * 100 + 19));
    EXPECT_EQ(ini.value(name(s).c_str(), "added"), "x");
  }
  EXPECT_EQ(ini.value("s0", "o0"), "0") << "the second load's copy";
}

// Lines and values too long for the fixed buffers are cut, never overrun, and what
// was read before them is kept.
TEST(IniFile, HostileInputIsCut) {
  QelClEnvironmentVariable("QELINI_LONG", std::string(250, 'e').c_str());
  const std::string longName(2000, 'n');
  std::string text = "[" + std::string(100, 's') + "]\nkept = yes\n" + longName + " = 1\n";
  text += "v = " + std::string(900, 'a') + "$(QELINI_LONG)$(QELINI_LONG) ; " + std::string(80, 'c') + "\n";
  text += "after = lost\n";
  Ini ini(text.c_str(), true);
  const std::string section(80, 's');
  EXPECT_EQ(ini.value(section.c_str(), "kept"), "yes");
  EXPECT_EQ(ini.value(section.c_str(), longName.substr(0, 1023).c_str()), "(none)");
  EXPECT_EQ(ini.value(section.c_str(), "after"), "(none)") << "a line over 1023 characters ends the reading";

  EXPECT_TRUE(ini.file.addOption(section.c_str(), longName.c_str(), longName.c_str()));
  EXPECT_TRUE(ini.file.setNewValue(section.c_str(), longName.substr(0, 1024).c_str(), "x"));
  EXPECT_EQ(ini.value(section.c_str(), longName.substr(0, 1024).c_str()), "")
      << "a given name keeps 1024 characters, which leave no room for a value";
  EXPECT_TRUE(ini.file.addOption(section.c_str(), longName.substr(0, 1021).c_str(), "xyz"));
  EXPECT_EQ(ini.value(section.c_str(), longName.substr(0, 1021).c_str()), "x") << "the value is cut to what is left";

  Ini expanded(("[s]\n" + text.substr(text.find("v = "))).c_str());
  EXPECT_EQ(expanded.value("s", "v").size(), 1021u);
  EXPECT_EQ(expanded.comment("s", "v"), "ccc") << "the comment gets the room that is left";
}

TEST(IniFile, EscapesAndQuotedCharacters) {
  const struct {
    const char* text;  // behind the backslash, or from the opening quote
    bool quoted;
    char result;
    std::size_t consumed;
  } cases[] = {
      {"n", false, '\n', 1},  {"v", false, '\v', 1},   {"x41z", false, 'A', 3}, {"xz", false, '\0', 1},
      {"1017", false, '\x0F', 4}, {"777", false, '\xFF', 3}, {"8", false, '\0', 0}, {"\\", false, '\\', 1},
      {"", false, '\0', 0},   {"'a'", true, 'a', 3},     {"'\\t'", true, '\t', 4}, {"'a", true, 'a', 2},
      {"'", true, '\0', 1},
  };
  for (const auto& c : cases) {
    const char* cursor = c.text;
    const char result = c.quoted ? qelIniFileGetQuotedCharacter(cursor) : qelIniFileGetEscCharacter(cursor);
    EXPECT_EQ(result, c.result) << c.text;
    EXPECT_EQ(static_cast<std::size_t>(cursor - c.text), c.consumed) << c.text;
  }
}

TEST(IniCursors, WalkAndPositionByName) {
  Ini ini("[A]\ncount = 0x10\n[B]\n[a]\n");
  QelClIniFileSectionCursor sections(ini.file);
  EXPECT_TRUE(sections.setTo("a"));
  EXPECT_STREQ(sections.getSection(), "A") << "the first match";
  sections.setToNext();
  sections.setToNext();
  EXPECT_TRUE(sections.setTo("A"));
  EXPECT_STREQ(sections.getSection(), "a") << "a cursor on a match stays";
  EXPECT_FALSE(sections.setTo("C"));
  EXPECT_FALSE(sections.setToNext()) << "an invalid cursor stays invalid";

  ASSERT_TRUE(sections.setTo("B"));
  QelClIniFileOptionCursor none(sections);
  EXPECT_FALSE(none.isValid());
  EXPECT_FALSE(none.setToFirst());
  EXPECT_FALSE(QelClIniFileOptionCursor(ini.file).isValid()) << "no current section";

  ASSERT_TRUE(sections.setTo("A"));
  QelClIniFileOptionCursor count(sections);
  int i = 1;
  unsigned long u = 1;
  EXPECT_STREQ(count.getValue(i), "0x10");
  EXPECT_EQ(i, 0);
  count.getValue(u);
  EXPECT_EQ(u, 0u);
  EXPECT_TRUE(count.matches("COUNT"));
  EXPECT_TRUE(ini.file.setNewValue(count, "7"));
  EXPECT_TRUE(ini.file.addOption(sections, "flag", "yes"));
  ASSERT_TRUE(count.setTo("flag"));
  bool flag = false;
  count.getValueBool(flag);
  EXPECT_TRUE(flag);
  EXPECT_TRUE(ini.file.deleteOption(count));
  EXPECT_STREQ(count.getOption(), "") << "deleted, still walked";
  EXPECT_TRUE(ini.file.deleteOption(sections, "count"));
  EXPECT_TRUE(ini.file.deleteSection(sections));
  const QelClIniFile emptyFile(QelClFilename("empty"));
  QelClIniFileSectionCursor empty(emptyFile);
  EXPECT_FALSE(empty.isValid());
  EXPECT_FALSE(empty.setTo("A"));
}

}  // namespace
