// A fresh directory under the temporary directory for each test, removed afterwards.
#ifndef VRNQEL43_TESTS_FILESYSTEM_SCRATCH_DIRECTORY_H
#define VRNQEL43_TESTS_FILESYSTEM_SCRATCH_DIRECTORY_H

#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#ifdef _WIN32
constexpr char kHostSeparator = '\\';
#else
constexpr char kHostSeparator = '/';
#endif

constexpr std::filesystem::perms kAllWrite = std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write;

class ScratchDirectory : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    root = std::filesystem::temp_directory_path() /
           ("qel_" + std::to_string(QelClProcessProperty().getProcessId()) + "_" +
            test->test_suite_name() + "_" + test->name());
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    rootText = root.string() + kHostSeparator;
  }
  void TearDown() override {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (!entry.is_symlink()) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
      }
    }
    std::filesystem::remove_all(root);
  }

  // A file holding its own name, and every missing directory above it.
  static void makeFile(const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << path.filename().string();
  }

  std::filesystem::path root;
  std::string rootText;  // with the separator behind
};

#endif
