// What the file-system tests share: a fresh directory under the temporary directory for
// each test, removed afterwards, and the contents of files.
#ifndef VRNQEL43_TESTS_FILESYSTEM_SCRATCH_DIRECTORY_H
#define VRNQEL43_TESTS_FILESYSTEM_SCRATCH_DIRECTORY_H

#include "tests/qel_test.h"

#ifdef _WIN32
constexpr char kHostSeparator = '\\';
#else
constexpr char kHostSeparator = '/';
#endif

constexpr std::filesystem::perms kAllWrite = std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write;

// A Windows example in this host's form: on POSIX without its drive and with slashes.
inline std::string host(std::string text) {
#ifndef _WIN32
  if (text.size() >= 2 && text[1] == ':') text.erase(0, 2);
  std::replace(text.begin(), text.end(), '\\', '/');
#endif
  return text;
}

inline std::string contentsOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ScratchDirectory : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    previous = std::filesystem::current_path();
    root = std::filesystem::temp_directory_path() /
           ("qel_" + std::to_string(QelClProcessProperty().getProcessId()) + "_" +
            test->test_suite_name() + "_" + test->name());
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    rootText = root.string() + kHostSeparator;
  }
  void TearDown() override {
    std::filesystem::current_path(previous);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (!entry.is_symlink()) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
      }
    }
    std::filesystem::remove_all(root);
  }

  // A file holding its own name, or the given text, and every missing directory above it.
  static void makeFile(const std::filesystem::path& path, const char* text = nullptr) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << (text ? text : path.filename().string());
  }
  // The scratch entry's text in this host's form.
  std::string at(const std::string& name) const {
    return (root / name).make_preferred().string();
  }

  std::filesystem::path previous;
  std::filesystem::path root;
  std::string rootText;  // with the separator behind
};

#endif
