// Tests of error records, their message numbers, exceptions, Windows error names and the library's level.
#include "tests/qel_test.h"

#include <type_traits>

namespace {

using Rows = std::vector<std::pair<long long, std::uint32_t>>;

// Every value in [first, last] that map names, with its message, in ascending order.
template <typename Value>
Rows mappedValues(long long first, long long last, std::uint32_t (*map)(Value)) {
  Rows rows;
  for (long long value = first; value <= last; ++value) {
    const std::uint32_t message = map(static_cast<Value>(value));
    if (message != 0) rows.emplace_back(value, message);
  }
  return rows;
}

auto fieldsOf(const _QelStUserError& e) {
  return std::make_tuple(e.ulErrorId, e.enErrorClass, e.enErrorSeverity, e.enErrorAction);
}
auto fieldsOf(const QelClException& e) {
  return std::make_tuple(e.getErrorId(), e.getErrorClass(), e.getErrorSeverity(),
                         e.getErrorAction());
}

}  // namespace

// The message table names the identifiers in ascending order of identifier, in
// blocks 50-55, 60-77 and 84-118; everything between the rows has no message.
TEST(ErrorIdMapping, NamesEveryIdentifierInTableOrder) {
  const Rows rows = mappedValues(0, 1002000, qelErrorGetIdAsMessageId);
  std::vector<std::uint32_t> expected;
  for (std::uint32_t n = 50; n <= 118; ++n) {
    if (n <= 55 || (n >= 60 && n <= 77) || n >= 84) expected.push_back(n);
  }
  std::vector<std::uint32_t> messages;
  for (const auto& [id, message] : rows) {
    messages.push_back(message);
    // No error, the console interface's 201-205, or a group's 1000000 + 100 * n + k.
    EXPECT_TRUE(id == 0 || (id >= 201 && id <= 205) || (id > 1000000 && (id - 1000000) % 100 >= 1))
        << id;
  }
  EXPECT_EQ(messages, expected);

  const std::pair<std::uint32_t, std::uint32_t> telling[] = {
      {NO_ERROR, 50}, {CONUI_MSGCAT_CORRUPTED, 55}, {1000001, 60}, {1000404, 77},
      {1000601, 84}, {MEMMGR_USER_OUT_OF_MEMORY, 97}, {1001118, 118}, {0xFFFFFFFFu, 0}};
  for (const auto& [id, message] : telling) EXPECT_EQ(qelErrorGetIdAsMessageId(id), message) << id;
}

// Classes, severities and actions by value over a range around their enumerators
// (which message names which enumerator is the built-in table's test).
TEST(ErrorEnumMapping, NamesTheValuesInValueOrder) {
  const Rows classes = mappedValues(-1000, 2000, qelErrorGetClassAsMessageId);
  ASSERT_EQ(classes.size(), 27u);
  for (std::size_t i = 0; i < classes.size(); ++i) EXPECT_EQ(classes[i].second, 119 + i) << i;
  EXPECT_EQ(mappedValues(-100, 100, qelErrorGetSeverityAsMessageId),
            (Rows{{0, 146}, {1, 147}, {2, 148}, {5, 149},
                  {6, 150}, {7, 151}, {8, 152}, {10, 153}}));
  // USER is named before RETRYDELAY.
  EXPECT_EQ(mappedValues(-100, 100, qelErrorGetActionAsMessageId),
            (Rows{{0, 154}, {1, 155}, {2, 156}, {3, 157}, {4, 159},
                  {5, 158}, {6, 160}, {8, 161}, {10, 162}}));
}

TEST(ErrorRecords, ArePlainValuesInFieldOrder) {
  static_assert(std::is_trivially_copyable<_QelStError>::value &&
                std::is_standard_layout<_QelStError>::value && sizeof(_QelStError) == 8);
  static_assert(std::is_trivially_copyable<_QelStUserError>::value &&
                sizeof(_QelStUserError) == 16 && offsetof(_QelStUserError, enErrorAction) == 12);
  EXPECT_EQ(fieldsOf(_QelStUserError()),
            std::make_tuple(0u, QelEnErrorClass::UNKNOWN, QelEnErrorSeverity::NONE,
                            QelEnErrorAction::IGNORE));
}

// A copy shares the cause and module texts rather than copying them.
TEST(Exception, CopiesCarryTheFourNumbersCauseAndLocation) {
  const char cause[] = "Unexpected ICU error";
  const char module[] = "converter:42";
  QelClException original(ICU_PARSE_ERROR, QelEnErrorClass::INVALID_DATA,
                          QelEnErrorSeverity::NORMAL, QelEnErrorAction::INFORM, cause);
  EXPECT_EQ(original.getModule(), nullptr);
  EXPECT_EQ(original.getLine(), 0u);
  original.setLocation(module, 42);
  const QelClException copy(original);
  EXPECT_EQ(fieldsOf(copy), std::make_tuple(1001110u, QelEnErrorClass::INVALID_DATA,
                                            QelEnErrorSeverity::NORMAL, QelEnErrorAction::INFORM));
  EXPECT_EQ(copy.getCause(), cause);
  EXPECT_EQ(copy.getModule(), module);
  EXPECT_EQ(copy.getLine(), 42u);
  EXPECT_TRUE(copy.isQelException());
}

// A fatal exception has severity FATAL (6) whatever its action; a null cause reads as
// empty text.
TEST(Exception, FatalIsAlwaysFatal) {
  for (QelEnErrorAction action : {QelEnErrorAction::IGNORE, QelEnErrorAction::PANIC}) {
    const QelClExceptionFatal e(TRACEFORMAT_FILE_CORRUPTED, QelEnErrorClass::INVALID_DATA, action, nullptr);
    EXPECT_EQ(static_cast<int>(e.getErrorSeverity()), 6);
    EXPECT_EQ(e.getErrorAction(), action);
  }
  const QelClException plain(0, QelEnErrorClass::UNKNOWN, QelEnErrorSeverity::NONE, QelEnErrorAction::IGNORE, nullptr);
  EXPECT_STREQ(plain.getCause(), "");
}

TEST(WinErrorName, TellingRows) {
  const std::pair<std::uint32_t, const char*> rows[] = {
      {0, "NO_ERROR"}, {1, "ERROR_INVALID_FUNCTION"}, {2, "ERROR_FILE_NOT_FOUND"},
      {997, "ERROR_IO_PENDING"}, {1700, "RPC_S_INVALID_STRING_BINDING"},
      {1751, "EPT_S_INVALID_ENTRY"}, {1899, "EPT_S_CANT_CREATE"},
      {6118, "ERROR_NO_BROWSER_SERVERS_FOUND"}, {0xFFFFFFF8u, "LZERROR_UNKNOWNALG"},
      {0xFFFFFFFFu, "LZERROR_BADINHANDLE"}};
  for (const auto& [code, name] : rows) EXPECT_STREQ(qelWinGetErrorAsString(code), name) << code;
}

// Exactly the codes of the table have names, each its own, in the families of
// the SDK: ERROR_ (483), RPC_ (80), EPT_S_ (4), NO_ERROR and LZERROR_ (8).
TEST(WinErrorName, NamesExactlyTheTableCodes) {
  std::istringstream ranges(
      "-8-34 36 38-39 50-72 80 82-89 100-114 117-162 164 167 170 173-174 180 182-183 "
      "186-203 205-210 212 214-215 230-234 240 254-255 259 266-267 275-278 282 288 298 317 487 "
      "534-536 994-999 1001-1022 1051-1078 1100-1131 1200-1221 1300-1338 1340-1394 1400-1449 "
      "1500-1503 1700-1728 1730-1737 1739-1753 1755-1757 1759-1762 1764-1816 1898-1900 2138 "
      "2202 2250 2401 2404 6118");
  std::set<long> expected;
  for (std::string range; ranges >> range;) {
    long first = 0, last = 0;
    if (std::sscanf(range.c_str(), "%ld-%ld", &first, &last) == 1) last = first;
    for (long code = first; code <= last; ++code) expected.insert(code);
  }
  ASSERT_EQ(expected.size(), 576u);

  std::set<std::string> names;
  std::map<std::string, int> families;  // by the text before the first '_'
  for (long code = -10; code <= 7000; ++code) {
    const char* name = qelWinGetErrorAsString(static_cast<std::uint32_t>(code));
    EXPECT_EQ(name != nullptr, expected.count(code) == 1) << code;
    if (name == nullptr) continue;
    names.insert(name);
    ++families[std::string(name, std::strcspn(name, "_"))];
  }
  EXPECT_EQ(names.size(), 576u);
  EXPECT_EQ(families, (std::map<std::string, int>{
                          {"EPT", 4}, {"ERROR", 483}, {"LZERROR", 8}, {"NO", 1}, {"RPC", 80}}));
}

TEST(LibraryIdentification, LevelDateAndShipCode) {
  EXPECT_STREQ(qelLibraryGetLevel(), "QELLibR4-49");
  EXPECT_STREQ(qelLibraryGetTod(), "Sep 17 2002");
  EXPECT_TRUE(qelLibraryIsShipCode());
}
