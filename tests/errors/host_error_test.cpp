// The host's error codes as error classes and texts: errno values on POSIX, system
// error codes on Windows, each host through its own table.
#include "tests/qel_test.h"

#include <cerrno>

namespace {

struct HostCode {
  std::uint32_t code;
  QelEnErrorClass errorClass;
};

#ifdef _WIN32
// ERROR_FILE_NOT_FOUND, _PATH_NOT_FOUND, _ACCESS_DENIED, _NOT_ENOUGH_MEMORY,
// _SHARING_VIOLATION, _FILE_EXISTS, _DISK_FULL, _INVALID_NAME, _DIR_NOT_EMPTY,
// _ALREADY_EXISTS, _DIRECTORY; 1460 (ERROR_TIMEOUT) has no class.
const HostCode kHostCodes[] = {
    {2, QelEnErrorClass::IO_NOT_EXISTENT},      {3, QelEnErrorClass::IO_NOT_EXISTENT},
    {5, QelEnErrorClass::IO_PERMISSION_DENIED}, {8, QelEnErrorClass::OUT_OF_MEMORY},
    {32, QelEnErrorClass::IO_STILL_IN_USE},     {80, QelEnErrorClass::IO_ALREADY_IN_USE},
    {112, QelEnErrorClass::RESOURCE_EXHAUSTED}, {123, QelEnErrorClass::IO_INVALID_NAME},
    {145, QelEnErrorClass::IO_STILL_IN_USE},    {183, QelEnErrorClass::IO_ALREADY_IN_USE},
    {267, QelEnErrorClass::IO_INVALID_NAME},    {1460, QelEnErrorClass::UNKNOWN}};
#else
const HostCode kHostCodes[] = {
    {ENOENT, QelEnErrorClass::IO_NOT_EXISTENT},     {ENOTDIR, QelEnErrorClass::IO_NOT_EXISTENT},
    {EACCES, QelEnErrorClass::IO_PERMISSION_DENIED}, {ENOMEM, QelEnErrorClass::OUT_OF_MEMORY},
    {EBUSY, QelEnErrorClass::IO_STILL_IN_USE},      {EEXIST, QelEnErrorClass::IO_ALREADY_IN_USE},
    {ENOSPC, QelEnErrorClass::RESOURCE_EXHAUSTED},  {ENAMETOOLONG, QelEnErrorClass::IO_INVALID_NAME},
    {ENOTEMPTY, QelEnErrorClass::IO_STILL_IN_USE},  {EISDIR, QelEnErrorClass::IO_INVALID_NAME},
    {ESRCH, QelEnErrorClass::UNKNOWN_PROCESS},      {ETIMEDOUT, QelEnErrorClass::UNKNOWN}};
#endif

// A code that no host knows.
constexpr std::uint32_t kUnknownCode = 100000;

std::string textOf(std::uint32_t code) {
  char buffer[256];
  EXPECT_EQ(qelHostErrorGetText(code, buffer, sizeof buffer), buffer);
  return buffer;
}

}  // namespace

TEST(HostError, ClassesOfTheHostsCodes) {
  for (const HostCode& row : kHostCodes) EXPECT_EQ(qelHostErrorGetClass(row.code), row.errorClass) << row.code;
  EXPECT_EQ(qelHostErrorGetClass(0), QelEnErrorClass::UNKNOWN);
  EXPECT_EQ(qelHostErrorGetClass(kUnknownCode), QelEnErrorClass::UNKNOWN);
}

// The host's own text, one line without its end; texts of different codes differ.
TEST(HostError, TextsAreTheHostsOwnLines) {
  std::set<std::string> texts;
  for (const HostCode& row : kHostCodes) {
    const std::string text = textOf(row.code);
#ifndef _WIN32
    EXPECT_EQ(text, std::strerror(static_cast<int>(row.code)));
#endif
    ASSERT_FALSE(text.empty()) << row.code;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << row.code;
    EXPECT_NE(text.back(), ' ') << row.code;
    EXPECT_EQ(text.rfind("Unknown error", 0), std::string::npos) << text;
    EXPECT_STREQ(QelClHostErrorText(row.code).getText(), text.c_str());
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), std::size(kHostCodes));
  EXPECT_EQ(textOf(kUnknownCode), "Unknown error 100000");
  EXPECT_EQ(textOf(0), "");
  EXPECT_STREQ(QelClHostErrorText(0).getText(), "");
}

// A buffer too small keeps the start of the text; no buffer gets nothing.
TEST(HostError, TextsAreCutToTheBuffer) {
  const std::string full = textOf(kHostCodes[0].code);
  char small[6] = "xxxxx";
  EXPECT_STREQ(qelHostErrorGetText(kHostCodes[0].code, small, sizeof small), full.substr(0, 5).c_str());
  char untouched[2] = "x";
  EXPECT_EQ(qelHostErrorGetText(kHostCodes[0].code, untouched, 0), untouched);
  EXPECT_STREQ(untouched, "x");
  EXPECT_EQ(qelHostErrorGetText(kHostCodes[0].code, nullptr, 10), nullptr);
}
