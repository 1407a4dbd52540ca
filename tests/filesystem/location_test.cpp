// Locations are pure text: every case holds literally on both hosts.
#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <string>

TEST(Location, EndsWithTheSeparatorOfItsStyle) {
  const QelClLocation windows("C:\\dir");
  EXPECT_STREQ(windows.getAsCString(), "C:\\dir\\");
  EXPECT_EQ(windows.getLength(), 7u);

  const QelClLocation unix("/usr/lib");
  EXPECT_STREQ(unix.getAsCString(), "/usr/lib/");
  EXPECT_EQ(unix.getPathStyle(), QelClPathProperty::UNIX_STYLE);
  EXPECT_FALSE(unix.isNormalized());

  const QelClLocation normalized("/usr/lib", true);
  EXPECT_STREQ(normalized.getAsCString(), "\\usr\\lib\\");
  EXPECT_EQ(normalized.getPathStyle(), QelClPathProperty::WINDOWS_STYLE);
  EXPECT_TRUE(normalized.isNormalized());

  const QelClLocation empty("");
  EXPECT_STREQ(empty.getAsCString(), "");
  EXPECT_EQ(empty.getLength(), 0u);

  EXPECT_STREQ(QelClLocation("name").getAsCString(), "name\\");
  EXPECT_STREQ(QelClLocation("C:\\dirXYZ", 6u, false).getAsCString(), "C:\\dir\\");
  EXPECT_STREQ(QelClLocation("a\0b", 3u, false).getAsCString(), "a\\");
  EXPECT_STREQ(QelClLocation("\\\\srv\\share").getAsCString(), "\\\\srv\\share\\");
}

TEST(Location, OfAFileName) {
  EXPECT_STREQ(QelClLocation(QelClFilename("C:\\dir\\a.txt")).getAsCString(), "C:\\dir\\");
  EXPECT_STREQ(QelClLocation(QelClFilename("a.txt")).getAsCString(), "");
  EXPECT_STREQ(QelClLocation(QelClFilename("\\\\srv\\share\\d\\a.txt")).getAsCString(),
               "\\\\srv\\share\\d\\");
  EXPECT_STREQ(QelClLocation(QelClFilename("/var/log/x"), true).getAsCString(), "\\var\\log\\");
}

TEST(Location, Roots) {
  for (const char* root : {"C:\\", "/", "\\\\srv\\share\\", "\\\\srv\\share", "z:"}) {
    EXPECT_TRUE(QelClLocation(root).isRoot()) << root;
  }
  for (const char* other : {"C:\\a\\", "\\", "/a/", "\\\\srv\\share\\x\\", "a", ""}) {
    EXPECT_FALSE(QelClLocation(other).isRoot()) << other;
  }
}

TEST(Location, AssignmentAndCopies) {
  QelClLocation location("\\\\srv\\share\\a");
  location = "x/y";  // no normalisation
  EXPECT_STREQ(location.getAsCString(), "x/y/");
  EXPECT_EQ(location.getPathStyle(), QelClPathProperty::UNIX_STYLE);

  QelClLocation original("\\\\srv\\share\\a");
  const QelClLocation copy(original);
  original = "other";
  EXPECT_STREQ(copy.getAsCString(), "\\\\srv\\share\\a\\");
  EXPECT_TRUE(copy.isAbsolute());
  location = copy;
  EXPECT_STREQ(location.getAsCString(), "\\\\srv\\share\\a\\");
  EXPECT_TRUE(location.isAbsolute());
  const char* object = reinterpret_cast<const char*>(&location);
  EXPECT_TRUE(location.getAsCString() >= object && location.getAsCString() < object + sizeof location);
}

TEST(Location, TextsBeyondTheCapacityAreRefused) {
  const std::string longest(260, 'a');
  const QelClLocation full(longest.c_str());
  EXPECT_EQ(full.getLength(), 261u);
  EXPECT_EQ(full.getAsCString()[260], '\\');

  const std::string tooLong(261, 'a');
  EXPECT_STREQ(QelClLocation(tooLong.c_str()).getAsCString(), "");
  EXPECT_STREQ(QelClLocation(tooLong.c_str(), 300u, false).getAsCString(), "");
  QelClLocation assigned("x");
  assigned = tooLong.c_str();
  EXPECT_STREQ(assigned.getAsCString(), "");
}
