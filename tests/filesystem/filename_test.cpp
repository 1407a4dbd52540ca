// File names are pure text: every case holds literally on both hosts.
#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string directoryPart(const QelClFilenameABase& name) {
  char out[261];
  name.extractPath(out, true);
  return out;
}

std::string baseName(const QelClFilenameABase& name) {
  char out[261];
  name.extractBaseName(out);
  return out;
}

std::string server(const QelClFilenameABase& name) {
  char out[261];
  name.extractServer(out);
  return out;
}

}  // namespace

TEST(Filename, PartsOfAName) {
  const QelClFilename name("C:\\dir\\file.tar.gz");
  EXPECT_STREQ(name.getName(), "file.tar.gz");
  EXPECT_EQ(baseName(name), "file.tar");
  EXPECT_STREQ(name.getExtension(), ".gz");
  EXPECT_EQ(directoryPart(name), "C:\\dir\\");
  char out[261];
  name.extractPath(out, false);
  EXPECT_STREQ(out, "C:\\dir");
  EXPECT_TRUE(name.hasDrive());
  EXPECT_TRUE(name.isAbsolute());

  const QelClFilename profile(".profile");
  EXPECT_EQ(baseName(profile), "");
  EXPECT_STREQ(profile.getExtension(), ".profile");
  EXPECT_EQ(directoryPart(profile), "");

  EXPECT_STREQ(QelClFilename("dir.d\\file").getExtension(), "");
  EXPECT_STREQ(QelClFilename("a/b\\c").getName(), "c");
}

TEST(Filename, NetworkNames) {
  const QelClFilename name("\\\\srv\\share\\dir\\a.txt");
  EXPECT_STREQ(name.getPathText(), "\\dir\\a.txt");
  EXPECT_EQ(server(name), "\\\\srv\\share");
  EXPECT_EQ(directoryPart(name), "\\\\srv\\share\\dir\\");
  EXPECT_TRUE(name.isAbsolute());

  const QelClFilename share("\\\\srv\\share");
  EXPECT_STREQ(share.getPathText(), "");
  EXPECT_STREQ(share.getName(), "");
  EXPECT_TRUE(share.isAbsolute());

  const QelClFilename serverOnly("\\\\srv");
  EXPECT_STREQ(serverOnly.getPathText(), "\\\\srv");
  EXPECT_EQ(server(serverOnly), "");
  EXPECT_FALSE(serverOnly.isAbsolute());
}

TEST(Filename, StylesAndAbsoluteness) {
  struct Case {
    const char* text;
    QelClPathProperty::QelEnPathStyle style;
    bool absolute;
    bool drive;
  };
  const Case cases[] = {
      {"/usr/lib/x.so", QelClPathProperty::UNIX_STYLE, true, false},
      {"usr/x", QelClPathProperty::UNIX_STYLE, false, false},
      {"\\dir\\x", QelClPathProperty::WINDOWS_STYLE, false, false},
      {"C:dir", QelClPathProperty::WINDOWS_STYLE, false, true},
      {"C:/dir", QelClPathProperty::WINDOWS_STYLE, false, true},
      {"a/b\\c", QelClPathProperty::WINDOWS_STYLE, false, false},
      {"plain", QelClPathProperty::WINDOWS_STYLE, false, false},
      {"", QelClPathProperty::WINDOWS_STYLE, false, false},
  };
  for (const Case& c : cases) {
    const QelClFilename name(c.text);
    EXPECT_EQ(name.getPathStyle(), c.style) << c.text;
    EXPECT_EQ(name.isAbsolute(), c.absolute) << c.text;
    EXPECT_EQ(name.hasDrive(), c.drive) << c.text;
  }
  EXPECT_FALSE(QelClFilename("a/b").isNormalized());
  EXPECT_TRUE(QelClFilename("a\\b").isNormalized());
  char text[] = "/a/b\\c";
  QelClPathProperty::normalizePath(text);
  EXPECT_STREQ(text, "\\a\\b\\c");
}

TEST(Filename, JoiningParts) {
  EXPECT_STREQ(QelClFilename("C:\\tmp", "a", "txt").getAsCString(), "C:\\tmp\\a.txt");
  EXPECT_STREQ(QelClFilename("C:\\tmp\\", "a", ".txt").getAsCString(), "C:\\tmp\\a.txt");
  EXPECT_STREQ(QelClFilename("", "a", ".txt").getAsCString(), "a.txt");
  const QelClFilename unix("/var", "a", nullptr);
  EXPECT_STREQ(unix.getAsCString(), "/var/a");
  EXPECT_EQ(unix.getPathStyle(), QelClPathProperty::UNIX_STYLE);
  EXPECT_STREQ(QelClFilename("d", "a", "").getAsCString(), "d\\a.");
  EXPECT_STREQ(QelClFilename(QelClLocation("/usr/lib"), "x", "so").getAsCString(), "/usr/lib/x.so");
  // Separators inside the name stay in the directory part.
  const QelClFilename nested("C:\\tmp", "sub\\a.txt", nullptr);
  EXPECT_STREQ(nested.getName(), "a.txt");
  EXPECT_EQ(directoryPart(nested), "C:\\tmp\\sub\\");
}

TEST(Filename, LongTextsAreCutOrRefused) {
  const std::string text(300, 'x');
  const QelClFilename whole(text.c_str());
  EXPECT_EQ(whole.getLength(), 260u);
  EXPECT_EQ(std::string(whole.getAsCString()), text.substr(0, 260));

  const QelClFilename joined(text.c_str(), "name", nullptr);
  EXPECT_EQ(joined.getLength(), 260u);

  // An extension that no longer fits is refused: the name is empty.
  const std::string directory(250, 'd');
  EXPECT_EQ(QelClFilename(directory.c_str(), "abcde", "txt").getLength(), 260u);
  EXPECT_STREQ(QelClFilename(directory.c_str(), "abcdef", "txt").getAsCString(), "");
  QelClFilename full((directory + "\\abcde.txt").c_str());
  full.setNewExtension("text");
  EXPECT_STREQ(full.getAsCString(), "");
  EXPECT_STREQ(QelClFilename(text.c_str(), 261u).getAsCString(), "");
  EXPECT_STREQ(QelClFilename("a.txtXYZ", 5u).getAsCString(), "a.txt");
  EXPECT_STREQ(QelClFilename("a\0bc", 4u).getAsCString(), "a");
}

TEST(Filename, SettersReplaceParts) {
  QelClFilename name("a.txt");
  name.setNewExtension("");
  EXPECT_STREQ(name.getAsCString(), "a");
  name.setNewExtension(".doc");
  EXPECT_STREQ(name.getAsCString(), "a.doc");
  name.setNewExtension("doc");
  EXPECT_STREQ(name.getAsCString(), "a.doc");
  EXPECT_STREQ(name.getExtension(), ".doc");

  QelClFilename base("d\\a.txt");
  base.setNewBaseName("b");
  EXPECT_STREQ(base.getAsCString(), "d\\b.txt");
  base.setNewBaseName("c.x");  // the dot starts what the old extension replaces
  EXPECT_STREQ(base.getAsCString(), "d\\c.txt");

  QelClFilename whole("d\\a.txt");
  whole.setNewName("b");
  EXPECT_STREQ(whole.getAsCString(), "d\\b");
  whole.setNewName("c.ini");
  EXPECT_STREQ(whole.getExtension(), ".ini");

  QelClFilename moved("C:\\old\\a.txt");
  moved.setNewPath("/new");
  EXPECT_STREQ(moved.getAsCString(), "/new/a.txt");
  EXPECT_EQ(moved.getPathStyle(), QelClPathProperty::UNIX_STYLE);
  moved.setNewPath(QelClLocation("D:\\x"));
  EXPECT_STREQ(moved.getAsCString(), "D:\\x\\a.txt");
  moved.setNew(QelClLocation("E:\\y\\"), "b.doc");
  EXPECT_STREQ(moved.getAsCString(), "E:\\y\\b.doc");
  moved.setNewExtension(moved.getName());  // arguments may lie in the name itself
  EXPECT_STREQ(moved.getAsCString(), "E:\\y\\b.b.doc");
}

TEST(Filename, RemovePathDropsServerAndDirectory) {
  QelClFilename name("\\\\srv\\share\\d\\a.txt");
  name.removePath();
  EXPECT_STREQ(name.getAsCString(), "a.txt");
  EXPECT_EQ(name.getLength(), 5u);
  EXPECT_STREQ(name.getExtension(), ".txt");
  EXPECT_FALSE(name.isAbsolute());

  QelClFilename unix("/usr/lib/x.so");
  unix.removePath();
  EXPECT_STREQ(unix.getAsCString(), "x.so");
  EXPECT_EQ(unix.getPathStyle(), QelClPathProperty::UNIX_STYLE);  // the style stays
}

TEST(Filename, Comparisons) {
  const QelClFilename windows("C:\\Dir\\Sub\\File.TXT");
  EXPECT_TRUE(windows.matchesPath(QelClFilename("c:\\dir\\sub\\other.doc")));
  EXPECT_FALSE(windows.matchesPath(QelClFilename("C:\\dir\\other\\File.TXT")));
  EXPECT_TRUE(QelClFilename("C:\\dir\\a").matchesPath(QelClFilename("C:\\dir\\deeper\\b")));
  EXPECT_TRUE(QelClFilename("a.txt").matchesPath(QelClFilename("C:\\x\\a.txt")));
  EXPECT_TRUE(windows.matchesBase(QelClFilename("file.doc")));
  EXPECT_FALSE(windows.matchesBase(QelClFilename("files.txt")));
  EXPECT_FALSE(windows.matchesBase(QelClFilename("fil.txt")));
  EXPECT_TRUE(windows.matchesExtension(".txt"));
  EXPECT_TRUE(windows.matchesExtension("txt"));
  EXPECT_FALSE(windows.matchesExtension("tx"));
  EXPECT_FALSE(windows.matchesExtension(""));
  EXPECT_TRUE(QelClFilename("README").matchesExtension(""));
  EXPECT_FALSE(QelClFilename("README").matchesExtension("."));
  EXPECT_TRUE(windows.matchesWildcardPattern("*.txt"));
  EXPECT_TRUE(windows.matchesWildcardPattern("f?le.*"));
  EXPECT_FALSE(windows.matchesWildcardPattern("Sub*"));  // the directory is not part of it

  const QelClFilename unix("/usr/Lib/x.SO");
  EXPECT_TRUE(unix.matchesPath(QelClFilename("/usr/Lib/y")));
  EXPECT_FALSE(unix.matchesPath(QelClFilename("/usr/lib/x.SO")));
  EXPECT_FALSE(unix.matchesBase(QelClFilename("/X.SO")));
  EXPECT_TRUE(unix.matchesExtension("SO"));
  EXPECT_FALSE(unix.matchesExtension("so"));
  EXPECT_FALSE(unix.matchesWildcardPattern("*.so"));
  EXPECT_TRUE(unix.matchesWildcardPattern("*.SO"));
}

TEST(Filename, EightDotThree) {
  EXPECT_TRUE(QelClFilename("C:\\DOS\\README.TXT").isStyleFAT_8_3());
  EXPECT_TRUE(QelClFilename("ABCDEFGH\\ABCDEFGH.ABC").isStyleFAT_8_3());
  EXPECT_TRUE(QelClFilename("\\\\srv\\share\\A.TXT").isStyleFAT_8_3());
  EXPECT_FALSE(QelClFilename("C:\\LONGDIRNM\\X.TXT").isStyleFAT_8_3());
  EXPECT_FALSE(QelClFilename("C:\\A.B\\X.TXT").isStyleFAT_8_3());
  EXPECT_FALSE(QelClFilename("LONGNAME9.TXT").isStyleFAT_8_3());
  EXPECT_FALSE(QelClFilename("A.HTML").isStyleFAT_8_3());
  EXPECT_FALSE(QelClFilename("A*B.TXT").isStyleFAT_8_3());
  EXPECT_FALSE(QelClFilename("1:\\A.TXT").isStyleFAT_8_3());
  EXPECT_FALSE(QelClFilename("DOS/README.TXT").isStyleFAT_8_3());  // UNIX_STYLE
}

TEST(Filename, CopiesOwnTheirText) {
  QelClFilename original("\\\\srv\\share\\dir\\a.txt");
  const QelClFilename copy(original);
  original.setNewName("changed");
  EXPECT_STREQ(copy.getAsCString(), "\\\\srv\\share\\dir\\a.txt");
  EXPECT_STREQ(copy.getPathText(), "\\dir\\a.txt");

  QelClFilename assigned("x");
  assigned = copy;
  EXPECT_STREQ(assigned.getName(), "a.txt");
  EXPECT_STREQ(assigned.getExtension(), ".txt");
  const char* object = reinterpret_cast<const char*>(&assigned);
  EXPECT_TRUE(assigned.getName() > object && assigned.getName() < object + sizeof assigned);
}
