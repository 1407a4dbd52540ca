#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

TEST(WinErrorName, TellingRows) {
  EXPECT_STREQ(qelWinGetErrorAsString(0), "NO_ERROR");
  EXPECT_STREQ(qelWinGetErrorAsString(1), "ERROR_INVALID_FUNCTION");
  EXPECT_STREQ(qelWinGetErrorAsString(2), "ERROR_FILE_NOT_FOUND");
  EXPECT_STREQ(qelWinGetErrorAsString(997), "ERROR_IO_PENDING");
  EXPECT_STREQ(qelWinGetErrorAsString(1700), "RPC_S_INVALID_STRING_BINDING");
  EXPECT_STREQ(qelWinGetErrorAsString(1751), "EPT_S_INVALID_ENTRY");
  EXPECT_STREQ(qelWinGetErrorAsString(1899), "EPT_S_CANT_CREATE");
  EXPECT_STREQ(qelWinGetErrorAsString(6118), "ERROR_NO_BROWSER_SERVERS_FOUND");
  EXPECT_STREQ(qelWinGetErrorAsString(static_cast<std::uint32_t>(-8)), "LZERROR_UNKNOWNALG");
  EXPECT_STREQ(qelWinGetErrorAsString(4294967295u), "LZERROR_BADINHANDLE");
  EXPECT_EQ(qelWinGetErrorAsString(35), nullptr);
  EXPECT_NE(qelWinGetErrorAsString(1816), nullptr);
  EXPECT_EQ(qelWinGetErrorAsString(1817), nullptr);
  EXPECT_EQ(qelWinGetErrorAsString(static_cast<std::uint32_t>(-9)), nullptr);
}

// Exactly the codes of the table have names, each its own, in the families of
// the SDK: ERROR_ (483), RPC_ (80), EPT_S_ (4), NO_ERROR and LZERROR_ (8).
TEST(WinErrorName, NamesExactlyTheTableCodes) {
  const char* const ranges =
      "-8-34 36 38-39 50-72 80 82-89 100-114 117-162 164 167 170 173-174 180 182-183 "
      "186-203 205-210 212 214-215 230-234 240 254-255 259 266-267 275-278 282 288 298 317 487 "
      "534-536 994-999 1001-1022 1051-1078 1100-1131 1200-1221 1300-1338 1340-1394 1400-1449 "
      "1500-1503 1700-1728 1730-1737 1739-1753 1755-1757 1759-1762 1764-1816 1898-1900 2138 "
      "2202 2250 2401 2404 6118";
  std::set<long> expected;
  for (const char* p = ranges; *p != '\0';) {
    char* end = nullptr;
    const long first = std::strtol(p, &end, 10);
    long last = first;
    if (*end == '-') last = std::strtol(end + 1, &end, 10);
    for (long code = first; code <= last; ++code) expected.insert(code);
    p = end;
    while (*p == ' ') ++p;
  }
  ASSERT_EQ(expected.size(), 576u);

  std::set<std::string> names;
  int error = 0, rpc = 0, ept = 0, lz = 0;
  for (long code = -10; code <= 7000; ++code) {
    const char* name = qelWinGetErrorAsString(static_cast<std::uint32_t>(code));
    EXPECT_EQ(name != nullptr, expected.count(code) == 1) << code;
    if (name == nullptr) continue;
    names.insert(name);
    error += std::strncmp(name, "ERROR_", 6) == 0;
    rpc += std::strncmp(name, "RPC_", 4) == 0;
    ept += std::strncmp(name, "EPT_S_", 6) == 0;
    lz += std::strncmp(name, "LZERROR_", 8) == 0;
  }
  EXPECT_EQ(names.size(), 576u);
  EXPECT_EQ(error, 483);
  EXPECT_EQ(rpc, 80);
  EXPECT_EQ(ept, 4);
  EXPECT_EQ(lz, 8);
}

TEST(LibraryIdentification, LevelDateAndShipCode) {
  EXPECT_STREQ(qelLibraryGetLevel(), "QELLibR4-49");
  EXPECT_STREQ(qelLibraryGetTod(), "Sep 17 2002");
  EXPECT_TRUE(qelLibraryIsShipCode());
}
