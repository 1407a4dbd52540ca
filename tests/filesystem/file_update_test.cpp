// Replacing files as a whole: the new contents or the old ones, never a mix; one
// writer at a time; the host's reason with every failure.
#include <chrono>
#include <thread>

#include "tests/filesystem/scratch_directory.h"

namespace {

class FileUpdate : public ScratchDirectory {
protected:
  std::string lockOf(const std::string& name) const { return at(name) + ".lock"; }
  bool write(QelClFileUpdate& update, const std::string& text) { return update.write(text.data(), text.size()); }
};

TEST_F(FileUpdate, CommitReplacesAndKeepsPermissions) {
  makeFile(root / "app.ini", "old contents\n");
  std::filesystem::permissions(root / "app.ini", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                                      std::filesystem::perms::group_read);
  const auto before = std::filesystem::status(root / "app.ini").permissions();
  {
    QelClFileUpdate update{QelClFilename(at("app.ini").c_str())};
    ASSERT_TRUE(update.lock());
    EXPECT_TRUE(std::filesystem::exists(lockOf("app.ini")));
    EXPECT_TRUE(write(update, "new "));
    EXPECT_TRUE(write(update, "contents\n"));
    EXPECT_EQ(contentsOf(root / "app.ini"), "old contents\n") << "nothing changes before the commit";
    EXPECT_TRUE(update.commit());
    EXPECT_FALSE(update.isLocked());
    EXPECT_FALSE(update.commit()) << "one commit per lock";
  }
  EXPECT_EQ(contentsOf(root / "app.ini"), "new contents\n");
  EXPECT_FALSE(std::filesystem::exists(lockOf("app.ini")));
  EXPECT_EQ(std::filesystem::status(root / "app.ini").permissions(), before);

  QelClFileUpdate fresh{QelClFilename(at("new.ini").c_str())};
  EXPECT_TRUE(write(fresh, "made\n")) << "a write takes the lock itself";
  EXPECT_TRUE(fresh.commit());
  EXPECT_EQ(contentsOf(root / "new.ini"), "made\n");
}

TEST_F(FileUpdate, AnUpdateWithoutCommitChangesNothing) {
  makeFile(root / "app.ini", "kept\n");
  {
    QelClFileUpdate update{QelClFilename(at("app.ini").c_str())};
    EXPECT_TRUE(write(update, "lost"));
  }
  EXPECT_EQ(contentsOf(root / "app.ini"), "kept\n");
  EXPECT_FALSE(std::filesystem::exists(lockOf("app.ini")));
  QelClFileUpdate abandoned{QelClFilename(at("app.ini").c_str())};
  EXPECT_TRUE(write(abandoned, "lost"));
  abandoned.abandon();
  EXPECT_FALSE(abandoned.commit());
  EXPECT_EQ(contentsOf(root / "app.ini"), "kept\n");
}

// The second writer waits while the first holds the lock, and gets it when the first
// commits; one that waits too short fails and says so.
TEST_F(FileUpdate, OneWriterAtATime) {
  QelClFileUpdate first{QelClFilename(at("app.ini").c_str())};
  ASSERT_TRUE(first.lock());
  QelClFileUpdate second{QelClFilename(at("app.ini").c_str())};
  EXPECT_FALSE(second.lock(50));
  EXPECT_EQ(second.getError().ulErrorId, FILE_COULD_NOT_LOCK);
  EXPECT_EQ(second.getError().enErrorClass, QelEnErrorClass::IO_ALREADY_IN_USE);
  EXPECT_NE(second.getHostError(), 0u);

  std::thread committer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(write(first, "first\n"));
    EXPECT_TRUE(first.commit());
  });
  EXPECT_TRUE(second.lock(10000));
  committer.join();
  EXPECT_EQ(contentsOf(root / "app.ini"), "first\n") << "the second writer reads after the first";
  EXPECT_TRUE(write(second, "second\n"));
  EXPECT_TRUE(second.commit());
  EXPECT_EQ(contentsOf(root / "app.ini"), "second\n");
}

// A lock file that no live writer holds (its writer was killed) is taken over.
TEST_F(FileUpdate, AnAbandonedLockFileIsTakenOver) {
  makeFile(root / "app.ini", "old\n");
  makeFile(root / "app.ini.lock", "half written");
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(5);
  std::filesystem::last_write_time(root / "app.ini.lock", old);
  QelClFileUpdate update{QelClFilename(at("app.ini").c_str())};
  ASSERT_TRUE(update.lock(5000));
  EXPECT_TRUE(write(update, "new\n"));
  EXPECT_TRUE(update.commit());
  EXPECT_EQ(contentsOf(root / "app.ini"), "new\n");
}

TEST_F(FileUpdate, FailuresCarryTheHostsReason) {
  makeFile(root / "readonly.ini", "read only\n");
  std::filesystem::permissions(root / "readonly.ini", kAllWrite, std::filesystem::perm_options::remove);
  std::filesystem::create_directories(root / "dir.ini");
  const struct {
    std::string name;
    QelEnErrorClass errorClass;
  } cases[] = {
      {at("missing") + kHostSeparator + "app.ini", QelEnErrorClass::IO_NOT_EXISTENT},
      {at("readonly.ini"), QelEnErrorClass::IO_PERMISSION_DENIED},
      {at("dir.ini"), QelEnErrorClass::UNKNOWN},  // the class depends on the host
  };
  for (const auto& c : cases) {
    QelClFileUpdate update{QelClFilename(c.name.c_str())};
    EXPECT_FALSE(update.lock()) << c.name;
    EXPECT_EQ(update.getError().ulErrorId, FILE_COULD_NOT_LOCK) << c.name;
    if (c.errorClass != QelEnErrorClass::UNKNOWN) {
      EXPECT_EQ(update.getError().enErrorClass, c.errorClass) << c.name;
    }
    EXPECT_NE(update.getHostError(), 0u) << c.name;
    EXPECT_STRNE(QelClHostErrorText(update.getHostError()).getText(), "") << c.name;
    EXPECT_FALSE(std::filesystem::exists(c.name + ".lock")) << c.name;
  }
  EXPECT_EQ(contentsOf(root / "readonly.ini"), "read only\n");
}

#ifndef _WIN32
// The link stays; the file it names gets the new contents.
TEST_F(FileUpdate, ALinkIsFollowed) {
  makeFile(root / "real" / "app.ini", "old\n");
  std::filesystem::create_symlink("real/app.ini", root / "app.ini");
  QelClFileUpdate update{QelClFilename(at("app.ini").c_str())};
  EXPECT_TRUE(write(update, "new\n"));
  EXPECT_TRUE(update.commit());
  EXPECT_TRUE(std::filesystem::is_symlink(root / "app.ini"));
  EXPECT_EQ(contentsOf(root / "real" / "app.ini"), "new\n");
}
#endif

}  // namespace
