#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>
#include <vector>

namespace {

using Rows = std::vector<std::pair<long long, std::uint32_t>>;

// Every value in [first, last] that maps to a message, in ascending order of value.
template <typename Map>
Rows mappedValues(long long first, long long last, Map map) {
  Rows rows;
  for (long long value = first; value <= last; ++value) {
    const std::uint32_t message = map(value);
    if (message != 0) rows.emplace_back(value, message);
  }
  return rows;
}

std::vector<std::uint32_t> messagesOf(const Rows& rows) {
  std::vector<std::uint32_t> messages;
  for (const auto& row : rows) messages.push_back(row.second);
  return messages;
}

std::vector<std::uint32_t> range(std::uint32_t first, std::uint32_t last) {
  std::vector<std::uint32_t> numbers;
  for (std::uint32_t n = first; n <= last; ++n) numbers.push_back(n);
  return numbers;
}

}  // namespace

// The message table names the identifiers in ascending order of identifier, in
// blocks 50-55, 60-77 and 84-118; everything between the rows has no message.
TEST(ErrorIdMapping, NamesEveryIdentifierInTableOrder) {
  const Rows rows = mappedValues(0, 1002000, [](long long v) {
    return qelErrorGetIdAsMessageId(static_cast<std::uint32_t>(v));
  });
  std::vector<std::uint32_t> expected = range(50, 55);
  for (std::uint32_t n : range(60, 77)) expected.push_back(n);
  for (std::uint32_t n : range(84, 118)) expected.push_back(n);
  EXPECT_EQ(messagesOf(rows), expected);

  for (const auto& row : rows) {
    const long long id = row.first;
    const bool consoleUi = id >= 201 && id <= 205;
    const bool grouped = id > 1000000 && (id - 1000000) % 100 >= 1;
    EXPECT_TRUE(id == 0 || consoleUi || grouped) << id;
  }
}

TEST(ErrorIdMapping, TellingRows) {
  EXPECT_EQ(qelErrorGetIdAsMessageId(NO_ERROR), 50u);
  EXPECT_EQ(qelErrorGetIdAsMessageId(0), 50u);
  EXPECT_EQ(qelErrorGetIdAsMessageId(CONUI_MSGCAT_CORRUPTED), 55u);
  EXPECT_EQ(qelErrorGetIdAsMessageId(1000001), 60u);
  EXPECT_EQ(qelErrorGetIdAsMessageId(1000404), 77u);
  EXPECT_EQ(qelErrorGetIdAsMessageId(1000601), 84u);
  EXPECT_EQ(qelErrorGetIdAsMessageId(MEMMGR_USER_OUT_OF_MEMORY), 97u);
  EXPECT_EQ(qelErrorGetIdAsMessageId(1001118), 118u);
  EXPECT_EQ(qelErrorGetIdAsMessageId(1000000), 0u);
  EXPECT_EQ(qelErrorGetIdAsMessageId(1000004), 0u);
  EXPECT_EQ(qelErrorGetIdAsMessageId(1001119), 0u);
  EXPECT_EQ(qelErrorGetIdAsMessageId(0xFFFFFFFFu), 0u);
}

TEST(ErrorClassMapping, NamesTheClassesInValueOrder) {
  const Rows rows = mappedValues(-1000, 2000, [](long long v) {
    return qelErrorGetClassAsMessageId(static_cast<QelEnErrorClass>(v));
  });
  EXPECT_EQ(messagesOf(rows), range(119, 145));
  EXPECT_EQ(qelErrorGetClassAsMessageId(QelEnErrorClass::UNKNOWN), 119u);
  EXPECT_EQ(qelErrorGetClassAsMessageId(QelEnErrorClass::USER_ERROR), 122u);
  EXPECT_EQ(qelErrorGetClassAsMessageId(QelEnErrorClass::IO_INVALID_NAME), 141u);
  EXPECT_EQ(qelErrorGetClassAsMessageId(QelEnErrorClass::HARDWARE_NOT_SUPPORTED), 145u);
  EXPECT_EQ(qelErrorGetClassAsMessageId(static_cast<QelEnErrorClass>(3)), 0u);
  EXPECT_EQ(qelErrorGetClassAsMessageId(static_cast<QelEnErrorClass>(904)), 0u);
  EXPECT_EQ(static_cast<int>(QelEnErrorClass::IO_PERMISSION_DENIED), 503);
}

TEST(ErrorSeverityMapping, NamesTheSeveritiesInValueOrder) {
  const Rows rows = mappedValues(-100, 100, [](long long v) {
    return qelErrorGetSeverityAsMessageId(static_cast<QelEnErrorSeverity>(v));
  });
  EXPECT_EQ(messagesOf(rows), range(146, 153));
  const Rows expectedValues{{0, 146}, {1, 147}, {2, 148}, {5, 149},
                            {6, 150}, {7, 151}, {8, 152}, {10, 153}};
  EXPECT_EQ(rows, expectedValues);
  EXPECT_EQ(qelErrorGetSeverityAsMessageId(QelEnErrorSeverity::PANIC), 153u);
}

TEST(ErrorActionMapping, UserIsNamedBeforeRetryDelay) {
  const Rows rows = mappedValues(-100, 100, [](long long v) {
    return qelErrorGetActionAsMessageId(static_cast<QelEnErrorAction>(v));
  });
  const Rows expectedValues{{0, 154}, {1, 155}, {2, 156}, {3, 157}, {4, 159},
                            {5, 158}, {6, 160}, {8, 161}, {10, 162}};
  EXPECT_EQ(rows, expectedValues);
  EXPECT_EQ(qelErrorGetActionAsMessageId(QelEnErrorAction::RETRYDELAY), 159u);
  EXPECT_EQ(qelErrorGetActionAsMessageId(QelEnErrorAction::USER), 158u);
  EXPECT_EQ(qelErrorGetActionAsMessageId(QelEnErrorAction::PANIC), 162u);
}

TEST(ErrorRecords, ArePlainValuesInFieldOrder) {
  static_assert(std::is_trivially_copyable<_QelStError>::value, "");
  static_assert(std::is_standard_layout<_QelStError>::value, "");
  static_assert(sizeof(_QelStError) == 8, "");
  static_assert(std::is_trivially_copyable<_QelStUserError>::value, "");
  static_assert(sizeof(_QelStUserError) == 16, "");
  static_assert(offsetof(_QelStUserError, enErrorAction) == 12, "");

  const _QelStUserError none;
  EXPECT_EQ(none.ulErrorId, 0u);
  EXPECT_EQ(none.enErrorClass, QelEnErrorClass::UNKNOWN);
  EXPECT_EQ(none.enErrorSeverity, QelEnErrorSeverity::NONE);
  EXPECT_EQ(none.enErrorAction, QelEnErrorAction::IGNORE);

  const _QelStUserError full(INIFILE_INVAL_OPTION, QelEnErrorClass::USER_DATA_ERROR,
                             QelEnErrorSeverity::WARNING, QelEnErrorAction::USER);
  const _QelStUserError copy = full;
  EXPECT_EQ(copy.ulErrorId, 1000002u);
  EXPECT_EQ(copy.enErrorClass, QelEnErrorClass::USER_DATA_ERROR);
  EXPECT_EQ(copy.enErrorSeverity, QelEnErrorSeverity::WARNING);
  EXPECT_EQ(copy.enErrorAction, QelEnErrorAction::USER);
}
