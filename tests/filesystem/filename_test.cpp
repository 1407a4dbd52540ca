// File names and locations are pure text: every case holds literally on both hosts.
#include "tests/qel_test.h"

namespace {

constexpr auto kUnix = QelClPathProperty::UNIX_STYLE;
constexpr auto kWindows = QelClPathProperty::WINDOWS_STYLE;

// The directory part with or without its separator, the base name, or the server.
enum Part { kDirectory, kBareDirectory, kBase, kServer };
std::string part(const QelClFilenameABase& name, Part which) {
  char out[261];
  if (which == kBase) {
    name.extractBaseName(out);
  } else if (which == kServer) {
    name.extractServer(out);
  } else {
    name.extractPath(out, which == kDirectory);
  }
  return out;
}

// Whether the text lies inside the object: a copy owns its text.
template <class Object>
bool ownsText(const Object& object, const char* text) {
  const char* begin = reinterpret_cast<const char*>(&object);
  return text >= begin && text < begin + sizeof object;
}

}  // namespace

TEST(Filename, PartsStylesAndAbsoluteness) {
  const struct {
    const char *text, *name, *base, *extension, *directory;  // null: not checked
    QelClPathProperty::QelEnPathStyle style;
    bool absolute, drive;
  } cases[] = {
      {"C:\\dir\\file.tar.gz", "file.tar.gz", "file.tar", ".gz", "C:\\dir\\", kWindows, true, true},
      {".profile", ".profile", "", ".profile", "", kWindows, false, false},
      {"dir.d\\file", "file", "file", "", "dir.d\\", kWindows, false, false},
      {"a/b\\c", "c", "c", "", "a/b\\", kWindows, false, false},
      {"/usr/lib/x.so", "x.so", "x", ".so", "/usr/lib/", kUnix, true, false},
      {"usr/x", "x", "x", "", "usr/", kUnix, false, false},
      {"\\dir\\x", "x", "x", "", "\\dir\\", kWindows, false, false},
      {"C:dir", nullptr, nullptr, nullptr, nullptr, kWindows, false, true},
      {"C:/dir", "dir", "dir", "", "C:/", kWindows, false, true},
      {"plain", "plain", "plain", "", "", kWindows, false, false},
      {"", "", "", "", "", kWindows, false, false},
      {"\\\\srv\\share\\dir\\a.txt", "a.txt", "a", ".txt", "\\\\srv\\share\\dir\\", kWindows, true,
       false},
      {"\\\\srv\\share", "", nullptr, nullptr, nullptr, kWindows, true, false},
      {"\\\\srv", nullptr, nullptr, nullptr, nullptr, kWindows, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const QelClFilename name(c.text);
    const std::string parts[] = {name.getName(), part(name, kBase), name.getExtension(),
                                 part(name, kDirectory)};
    const char* expected[] = {c.name, c.base, c.extension, c.directory};
    for (int i = 0; i < 4; ++i) {
      if (expected[i] != nullptr) {
        EXPECT_EQ(parts[i], expected[i]) << "name, base, extension, directory: " << i;
      }
    }
    EXPECT_EQ(name.getPathStyle(), c.style);
    EXPECT_EQ(name.isAbsolute(), c.absolute);
    EXPECT_EQ(name.hasDrive(), c.drive);
  }
  EXPECT_EQ(part(QelClFilename("C:\\dir\\file.tar.gz"), kBareDirectory), "C:\\dir");
  EXPECT_FALSE(QelClFilename("a/b").isNormalized());
  EXPECT_TRUE(QelClFilename("a\\b").isNormalized());
  char text[] = "/a/b\\c";
  QelClPathProperty::normalizePath(text);
  EXPECT_STREQ(text, "\\a\\b\\c");

  // Network names: the path text behind the server and share.
  const struct {
    const char *text, *pathText, *server;
  } network[] = {{"\\\\srv\\share\\dir\\a.txt", "\\dir\\a.txt", "\\\\srv\\share"},
                 {"\\\\srv\\share", "", "\\\\srv\\share"},
                 {"\\\\srv", "\\\\srv", ""}};
  for (const auto& c : network) {
    EXPECT_STREQ(QelClFilename(c.text).getPathText(), c.pathText) << c.text;
    EXPECT_EQ(part(QelClFilename(c.text), kServer), c.server) << c.text;
  }
}

// Texts are cut at 260 characters; an extension that no longer fits is refused.
TEST(Filename, JoiningPartsAndLongTexts) {
  const std::string longDirectory(250, 'd'), text(300, 'x');
  const struct {
    std::string directory;
    const char *name, *extension;
    std::string expected;
  } cases[] = {
      {"C:\\tmp", "a", "txt", "C:\\tmp\\a.txt"}, {"C:\\tmp\\", "a", ".txt", "C:\\tmp\\a.txt"},
      {"", "a", ".txt", "a.txt"}, {"/var", "a", nullptr, "/var/a"}, {"d", "a", "", "d\\a."},
      {longDirectory, "abcde", "txt", longDirectory + "\\abcde.txt"},
      {longDirectory, "abcdef", "txt", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QelClFilename(c.directory.c_str(), c.name, c.extension).getAsCString(), c.expected);
  }
  EXPECT_EQ(QelClFilename("/var", "a", nullptr).getPathStyle(), kUnix);
  EXPECT_STREQ(QelClFilename(QelClLocation("/usr/lib"), "x", "so").getAsCString(), "/usr/lib/x.so");
  const QelClFilename nested("C:\\tmp", "sub\\a.txt", nullptr);  // the name's directory part
  EXPECT_STREQ(nested.getName(), "a.txt");
  EXPECT_EQ(part(nested, kDirectory), "C:\\tmp\\sub\\");

  const QelClFilename whole(text.c_str());
  EXPECT_EQ(whole.getLength(), 260u);
  EXPECT_EQ(whole.getAsCString(), text.substr(0, 260));
  EXPECT_EQ(QelClFilename(text.c_str(), "name", nullptr).getLength(), 260u);
  EXPECT_STREQ(QelClFilename(text.c_str(), 261u).getAsCString(), "");
  EXPECT_STREQ(QelClFilename("a.txtXYZ", 5u).getAsCString(), "a.txt");
  EXPECT_STREQ(QelClFilename("a\0bc", 4u).getAsCString(), "a");
  QelClFilename full((longDirectory + "\\abcde.txt").c_str());
  full.setNewExtension("text");
  EXPECT_STREQ(full.getAsCString(), "");
}

// Each change applies to what the one before left. A base name's dot starts what the
// old extension replaces; arguments may lie in the name itself.
TEST(Filename, SettersReplaceParts) {
  QelClFilename name("d\\a.txt");
  const struct {
    std::function<void()> change;
    const char *text, *extension;
    QelClPathProperty::QelEnPathStyle style;
  } steps[] = {
      {[&] { name.setNewExtension(""); }, "d\\a", "", kWindows},
      {[&] { name.setNewExtension(".doc"); }, "d\\a.doc", ".doc", kWindows},
      {[&] { name.setNewExtension("doc"); }, "d\\a.doc", ".doc", kWindows},
      {[&] { name.setNewBaseName("b"); }, "d\\b.doc", ".doc", kWindows},
      {[&] { name.setNewBaseName("c.x"); }, "d\\c.doc", ".doc", kWindows},
      {[&] { name.setNewName("b"); }, "d\\b", "", kWindows},
      {[&] { name.setNewName("c.ini"); }, "d\\c.ini", ".ini", kWindows},
      {[&] { name.setNewPath("/new"); }, "/new/c.ini", ".ini", kUnix},
      {[&] { name.setNewPath(QelClLocation("D:\\x")); }, "D:\\x\\c.ini", ".ini", kWindows},
      {[&] { name.setNew(QelClLocation("E:\\y\\"), "b.doc"); }, "E:\\y\\b.doc", ".doc", kWindows},
  };
  for (const auto& step : steps) {
    step.change();
    EXPECT_STREQ(name.getAsCString(), step.text);
    EXPECT_STREQ(name.getExtension(), step.extension) << step.text;
    EXPECT_EQ(name.getPathStyle(), step.style) << step.text;
  }
  name.setNewExtension(name.getName());
  EXPECT_STREQ(name.getAsCString(), "E:\\y\\b.b.doc");

  // Removing the path drops server and directory; the style stays.
  QelClFilename network("\\\\srv\\share\\d\\a.txt");
  network.removePath();
  EXPECT_STREQ(network.getAsCString(), "a.txt");
  EXPECT_EQ(network.getLength(), 5u);
  EXPECT_STREQ(network.getExtension(), ".txt");
  EXPECT_FALSE(network.isAbsolute());
  QelClFilename unix("/usr/lib/x.so");
  unix.removePath();
  EXPECT_STREQ(unix.getAsCString(), "x.so");
  EXPECT_EQ(unix.getPathStyle(), kUnix);
}

// Windows names compare without case, UNIX names with it; the directory is no part of
// the base name or the pattern. The comparisons: P path, B base name, E extension, W
// wildcard pattern.
TEST(Filename, Comparisons) {
  const char* windows = "C:\\Dir\\Sub\\File.TXT";
  const char* unix = "/usr/Lib/x.SO";
  const struct {
    const char* name;
    char comparison;
    const char* other;
    bool expected;
  } cases[] = {
      {windows, 'P', "c:\\dir\\sub\\other.doc", true},
      {windows, 'P', "C:\\dir\\other\\File.TXT", false},
      {"C:\\dir\\a", 'P', "C:\\dir\\deeper\\b", true}, {"a.txt", 'P', "C:\\x\\a.txt", true},
      {windows, 'B', "file.doc", true}, {windows, 'B', "files.txt", false},
      {windows, 'B', "fil.txt", false}, {windows, 'E', ".txt", true}, {windows, 'E', "txt", true},
      {windows, 'E', "tx", false}, {windows, 'E', "", false}, {"README", 'E', "", true},
      {"README", 'E', ".", false}, {windows, 'W', "*.txt", true}, {windows, 'W', "f?le.*", true},
      {windows, 'W', "Sub*", false}, {unix, 'P', "/usr/Lib/y", true},
      {unix, 'P', "/usr/lib/x.SO", false}, {unix, 'B', "/X.SO", false}, {unix, 'E', "SO", true},
      {unix, 'E', "so", false}, {unix, 'W', "*.so", false}, {unix, 'W', "*.SO", true},
  };
  for (const auto& c : cases) {
    const QelClFilename name(c.name);
    const bool result = c.comparison == 'P'   ? name.matchesPath(QelClFilename(c.other))
                        : c.comparison == 'B' ? name.matchesBase(QelClFilename(c.other))
                        : c.comparison == 'E' ? name.matchesExtension(c.other)
                                              : name.matchesWildcardPattern(c.other);
    EXPECT_EQ(result, c.expected) << c.name << " " << c.comparison << " " << c.other;
  }

  // 8.3 names; the last one is of UNIX style.
  for (const char* fat :
       {"C:\\DOS\\README.TXT", "ABCDEFGH\\ABCDEFGH.ABC", "\\\\srv\\share\\A.TXT"}) {
    EXPECT_TRUE(QelClFilename(fat).isStyleFAT_8_3()) << fat;
  }
  for (const char* other : {"C:\\LONGDIRNM\\X.TXT", "C:\\A.B\\X.TXT", "LONGNAME9.TXT", "A.HTML",
                            "A*B.TXT", "1:\\A.TXT", "DOS/README.TXT"}) {
    EXPECT_FALSE(QelClFilename(other).isStyleFAT_8_3()) << other;
  }
}

// A copy or assignment owns its text; assigning a text does not normalise it.
TEST(Filename, CopiesOwnTheirText) {
  QelClFilename original("\\\\srv\\share\\dir\\a.txt");
  const QelClFilename copy(original);
  original.setNewName("changed");
  EXPECT_STREQ(copy.getAsCString(), "\\\\srv\\share\\dir\\a.txt");
  EXPECT_STREQ(copy.getPathText(), "\\dir\\a.txt");
  QelClFilename assigned("x");
  assigned = copy;
  EXPECT_STREQ(assigned.getExtension(), ".txt");
  EXPECT_TRUE(ownsText(assigned, assigned.getName()));

  QelClLocation location("\\\\srv\\share\\a");
  const QelClLocation copiedLocation(location);
  location = "x/y";
  EXPECT_STREQ(location.getAsCString(), "x/y/");
  EXPECT_EQ(location.getPathStyle(), kUnix);
  EXPECT_STREQ(copiedLocation.getAsCString(), "\\\\srv\\share\\a\\");
  location = copiedLocation;
  EXPECT_STREQ(location.getAsCString(), "\\\\srv\\share\\a\\");
  EXPECT_TRUE(location.isAbsolute());
  EXPECT_TRUE(ownsText(location, location.getAsCString()));
}

// Locations end with the separator of their style.
TEST(Location, TextsAndRoots) {
  const struct {
    const char *text, *expected;
  } cases[] = {{"C:\\dir", "C:\\dir\\"}, {"/usr/lib", "/usr/lib/"},  {"", ""},
               {"name", "name\\"},       {"\\\\srv\\share", "\\\\srv\\share\\"}};
  for (const auto& c : cases) {
    const QelClLocation location(c.text);
    EXPECT_STREQ(location.getAsCString(), c.expected);
    EXPECT_EQ(location.getLength(), std::string(c.expected).size()) << c.text;
  }
  const QelClLocation unix("/usr/lib");
  EXPECT_EQ(unix.getPathStyle(), kUnix);
  EXPECT_FALSE(unix.isNormalized());
  const QelClLocation normalized("/usr/lib", true);
  EXPECT_STREQ(normalized.getAsCString(), "\\usr\\lib\\");
  EXPECT_EQ(normalized.getPathStyle(), kWindows);
  EXPECT_TRUE(normalized.isNormalized());
  EXPECT_STREQ(QelClLocation("C:\\dirXYZ", 6u, false).getAsCString(), "C:\\dir\\");
  EXPECT_STREQ(QelClLocation("a\0b", 3u, false).getAsCString(), "a\\");
  EXPECT_STREQ(QelClLocation(QelClFilename("C:\\dir\\a.txt")).getAsCString(), "C:\\dir\\");
  EXPECT_STREQ(QelClLocation(QelClFilename("a.txt")).getAsCString(), "");
  EXPECT_STREQ(QelClLocation(QelClFilename("\\\\srv\\share\\d\\a.txt")).getAsCString(),
               "\\\\srv\\share\\d\\");
  EXPECT_STREQ(QelClLocation(QelClFilename("/var/log/x"), true).getAsCString(), "\\var\\log\\");

  for (const char* root : {"C:\\", "/", "\\\\srv\\share\\", "\\\\srv\\share", "z:"}) {
    EXPECT_TRUE(QelClLocation(root).isRoot()) << root;
  }
  for (const char* other : {"C:\\a\\", "\\", "/a/", "\\\\srv\\share\\x\\", "a", ""}) {
    EXPECT_FALSE(QelClLocation(other).isRoot()) << other;
  }

  // 260 characters fit with the separator behind them; longer texts are refused.
  const QelClLocation full(std::string(260, 'a').c_str());
  EXPECT_EQ(full.getLength(), 261u);
  EXPECT_EQ(full.getAsCString()[260], '\\');
  const std::string tooLong(261, 'a');
  EXPECT_STREQ(QelClLocation(tooLong.c_str()).getAsCString(), "");
  EXPECT_STREQ(QelClLocation(tooLong.c_str(), 300u, false).getAsCString(), "");
  QelClLocation assigned("x");
  assigned = tooLong.c_str();
  EXPECT_STREQ(assigned.getAsCString(), "");
}
