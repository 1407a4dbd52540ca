// ICU's result codes as error records, and the converters that ICU provides (on hosts
// with ICU; the Windows build has none, so there such pairs are unsupported).
#include "tests/qel_test.h"

#ifndef _WIN32
#include <unicode/ucnv.h>
#endif

namespace {

QelClCCSID ccsid(std::uint32_t number) { return QelClCCSID(static_cast<QelEnCCSID>(number)); }

TEST(IcuInterface, MapsResultCodes) {
  EXPECT_NO_THROW(QelClIcuInterface::handleIcuErrorCode(U_ZERO_ERROR));
  EXPECT_NO_THROW(QelClIcuInterface::handleIcuErrorCode(U_USING_FALLBACK_WARNING));
  expectThrown([] { QelClIcuInterface::handleIcuErrorCode(U_BUFFER_OVERFLOW_ERROR); },
               {CPCONVERTER_TOO_BIG, QelEnErrorClass::USER_DATA_ERROR, QelEnErrorSeverity::NORMAL,
                QelEnErrorAction::INFORM});
  _QelStUserError user;
  QelClIcuInterface::mapIcuError(user, U_MEMORY_ALLOCATION_ERROR);
  EXPECT_EQ(user.ulErrorId, ICU_MEMORY_ALLOCATION_ERROR);
  EXPECT_EQ(user.enErrorClass, QelEnErrorClass::OUT_OF_MEMORY);
  EXPECT_EQ(user.enErrorSeverity, QelEnErrorSeverity::FATAL);
  EXPECT_EQ(user.enErrorAction, QelEnErrorAction::INFORM);
  _QelStError error{1, QelEnErrorClass::LOGIC};
  QelClIcuInterface::mapIcuError(error, U_USING_DEFAULT_WARNING);
  EXPECT_EQ(error.ulErrorId, 0u) << "a listed warning is no error";
  EXPECT_EQ(QelClIcuInterface::getQelErrorIdForIcuError(U_TRUNCATED_CHAR_FOUND), CPCONVERTER_INCOMPLETE);
  EXPECT_EQ(QelClIcuInterface::getQelErrorClassForIcuError(U_FILE_ACCESS_ERROR), QelEnErrorClass::IO_PROBLEM);
  EXPECT_EQ(QelClIcuInterface::getQelErrorActionForIcuError(U_INTERNAL_PROGRAM_ERROR), QelEnErrorAction::ABORT);
  EXPECT_EQ(QelClIcuInterface::getQelErrorSeverityForIcuError(U_ILLEGAL_ARGUMENT_ERROR), QelEnErrorSeverity::INTERNAL);
  EXPECT_EQ(QelClIcuInterface::getQelErrorIdForIcuError(static_cast<UErrorCode>(QelClIcuInterface::ERROR_LIMIT_CODE)),
            ICU_ERROR_LIMIT);
  for (const std::int32_t unknown : {-1, 21, 65804}) {
    expectThrown([unknown] { QelClIcuInterface::getQelErrorIdForIcuError(static_cast<UErrorCode>(unknown)); },
                 {ICU_UNEXPECTED_ICU_ERROR, QelEnErrorClass::UNKNOWN, QelEnErrorSeverity::INTERNAL,
                  QelEnErrorAction::ABORT, "Unexpected ICU error"});
  }
}

// The system's code page is always a target: through the library's own functions, ICU,
// or the platform's conversion.
TEST(IcuInterface, SystemCodePageIsATarget) {
  const QelClUnicode2CodePageConverter converter(QelClCCSID::getSystemCCSID());
  if (QelClCCSID::getSystemCCSID() == 0) GTEST_SKIP() << "the host's code set has no CCSID";
  char target[8] = {};
  ASSERT_TRUE(converter.isSupported());
  EXPECT_EQ(converter.convertBytes(target, sizeof target, "A\0b\0", 4), 2u);
  EXPECT_EQ(std::string(target, 2), "Ab");
}

#ifdef _WIN32
TEST(IcuInterface, WithoutIcuSuchPairsAreUnsupported) {
  _QelStError error{0, QelEnErrorClass::UNKNOWN};
  EXPECT_EQ(qelGetICUConverter(943, error), nullptr);
  EXPECT_EQ(error.ulErrorId, ICU_UNSUPPORTED_ERROR);
  const QelClCodePage2UnicodeConverter converter(ccsid(943));
  EXPECT_FALSE(converter.isSupported());
  EXPECT_FALSE(converter.requiresExternalICUData());
}
#else
std::string icuName(const void* handle) {
  UErrorCode status = U_ZERO_ERROR;
  return ucnv_getName(static_cast<const UConverter*>(handle), &status);
}

TEST(IcuInterface, OpensConvertersByCcsid) {
  _QelStError error{0, QelEnErrorClass::UNKNOWN};
  const void* first = qelGetICUConverter(932, error);
  const void* second = qelGetICUConverter(942, error);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(icuName(first), icuName(second));
  qelDeleteICUConverter(first);
  qelDeleteICUConverter(second);
  EXPECT_EQ(qelGetICUConverter(1394, error), nullptr) << "ICU has no table for it";
  EXPECT_EQ(error.ulErrorId, ICU_FILE_ACCESS_ERROR);

  const QelClCodePage2CodePageConverter sjis(ccsid(943), ccsid(1208));
  EXPECT_TRUE(sjis.requiresExternalICUData());
  EXPECT_FALSE(sjis.requiresExternalICONVRoutine());
  char target[16];
  const char* source = "A\x82\xA0";  // A, HIRAGANA LETTER A
  EXPECT_EQ(std::string(target, sjis.convertBytes(target, sizeof target, &source, 3)), "A\xE3\x81\x82");
  EXPECT_EQ(sjis.getError().ulErrorId, 0u);
  const QelClCodePage2CodePageConverter toGb(ccsid(1208), ccsid(18030));
  EXPECT_EQ(std::string(target, toGb.convertBytes(target, sizeof target, "\xE4\xB8\xAD", 3)), "\xD6\xD0");
  EXPECT_EQ(std::string(target, toGb.convertBytes(target, 1, "\xE4\xB8\xAD", 3)), "\xD6") << "a target too small";
  EXPECT_EQ(toGb.getError().ulErrorId, CPCONVERTER_TOO_BIG);
  EXPECT_EQ(std::string(target, toGb.convertBytes(target, sizeof target, "", 0)), "\xD0") << "ICU keeps the rest";
}

// Every code point outside the surrogates and noncharacters, through the library's UTF-8
// algorithm both ways, gives what ICU gives.
TEST(IcuInterface, Utf8AlgorithmAgreesWithIcu) {
  std::u16string text;
  for (char32_t point = 1; point <= 0x10FFFF; point += point < 0x800 ? 1 : 7) {
    if ((point >= 0xD800 && point <= 0xDFFF) || (point >= 0xFDD0 && point <= 0xFDEF) || (point & 0xFFFE) == 0xFFFE) {
      continue;
    }
    if (point <= 0xFFFF) {
      text += static_cast<char16_t>(point);
    } else {
      text += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    }
  }
  const auto units = static_cast<unsigned int>(2 * text.size());
  std::string icuUtf8(2 * units, '\0');
  UErrorCode status = U_ZERO_ERROR;
  icuUtf8.resize(static_cast<std::size_t>(ucnv_convert("UTF-8", "UTF-16LE", icuUtf8.data(), static_cast<int32_t>(icuUtf8.size()),
                                                      reinterpret_cast<const char*>(text.data()), static_cast<int32_t>(units),
                                                      &status)));
  ASSERT_EQ(status, U_ZERO_ERROR);

  const QelClUnicode2CodePageConverter toUtf8(CCSID_UTF8);
  std::string utf8(2 * units, '\0');
  utf8.resize(toUtf8.convertBytes(utf8.data(), static_cast<unsigned int>(utf8.size()),
                                  reinterpret_cast<const char*>(text.data()), units));
  EXPECT_TRUE(utf8 == icuUtf8);
  const QelClCodePage2UnicodeConverter fromUtf8(CCSID_UTF8);
  std::u16string back(text.size(), u'\0');
  const unsigned int written = fromUtf8.convertBytes(reinterpret_cast<char*>(back.data()), units, icuUtf8.data(),
                                                     static_cast<unsigned int>(icuUtf8.size()));
  EXPECT_EQ(written, units);
  EXPECT_TRUE(back == text);
}
#endif

}  // namespace
