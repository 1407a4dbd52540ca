// Tests of the built-in message table.
#include "tests/qel_test.h"

namespace {

// Every entry joined by a NUL, as one block of bytes.
std::string wholeTable(const char* const* table, unsigned long entries) {
  std::string bytes;
  for (unsigned long n = 0; n < entries; ++n) bytes.append(table[n]).push_back('\0');
  return bytes;
}

}  // namespace

// The texts are the product's own wording, shown by many operations: the digest of
// the whole table catches a change to any character of any text, or to the number of
// entries. When a change is meant, the failure prints the digest to put here.
TEST(BuiltInTable, TextsAreExact) {
  unsigned long entries = 0;
  const char* const* table = qelMsgCatGetBuiltInTable(&entries);
  ASSERT_EQ(entries, 274u);
  EXPECT_EQ(qelMsgCatGetBuiltInTable(nullptr), table);
  const std::string bytes = wholeTable(table, entries);
  char digest[33];
  QelClSignature(bytes.data(), static_cast<unsigned long>(bytes.size())).getDigestAsHex(digest);
  EXPECT_STREQ(digest, "5fa9dae01dc1ba16f9206bb863b4ed93");
  EXPECT_STREQ(table[0], "[QEL_MSGTAB_SIGNATURE] 274");  // a check of the joining
  EXPECT_STREQ(table[273], "[QEL-LIBRARY]");
}

// The message that names each error value is the enumerator's own name.
TEST(BuiltInTable, NamesTheErrorVocabularies) {
  const char* const* table = qelMsgCatGetBuiltInTable(nullptr);
#define QEL_ERROR_ID(name, value, message) \
  EXPECT_STREQ(table[qelErrorGetIdAsMessageId(name)], #name);
#define QEL_ERROR_CLASS(name, value, message) \
  EXPECT_STREQ(table[qelErrorGetClassAsMessageId(QelEnErrorClass::name)], #name);
#define QEL_ERROR_SEVERITY(name, value, message) \
  EXPECT_STREQ(table[qelErrorGetSeverityAsMessageId(QelEnErrorSeverity::name)], #name);
#define QEL_ERROR_ACTION(name, value, message) \
  EXPECT_STREQ(table[qelErrorGetActionAsMessageId(QelEnErrorAction::name)], #name);
#include <qel_errortables.inc>
}
