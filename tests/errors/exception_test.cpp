#include <vrnqel43.h>

#include <gtest/gtest.h>

namespace {

const char kCause[] = "Unexpected ICU error";
const char kModule[] = "converter:42";

}  // namespace

// A copy shares the cause and module texts rather than copying them.
TEST(Exception, CopiesCarryTheFourNumbersCauseAndLocation) {
  QelClException original(ICU_PARSE_ERROR, QelEnErrorClass::INVALID_DATA,
                          QelEnErrorSeverity::NORMAL, QelEnErrorAction::INFORM, kCause);
  EXPECT_EQ(original.getModule(), nullptr);
  EXPECT_EQ(original.getLine(), 0u);
  original.setLocation(kModule, 42);
  const QelClException copy(original);
  EXPECT_EQ(copy.getErrorId(), 1001110u);
  EXPECT_EQ(copy.getErrorClass(), QelEnErrorClass::INVALID_DATA);
  EXPECT_EQ(copy.getErrorSeverity(), QelEnErrorSeverity::NORMAL);
  EXPECT_EQ(copy.getErrorAction(), QelEnErrorAction::INFORM);
  EXPECT_EQ(copy.getCause(), kCause);
  EXPECT_EQ(copy.getModule(), kModule);
  EXPECT_EQ(copy.getLine(), 42u);
  EXPECT_TRUE(copy.isQelException());
}

// A fatal exception has severity FATAL (6) whatever its action and is caught by
// every base; a plain one is not fatal. A null cause reads as empty text.
TEST(Exception, FatalIsAlwaysFatalAndCaughtByEveryBase) {
  for (QelEnErrorAction action : {QelEnErrorAction::IGNORE, QelEnErrorAction::RETRY,
                                  QelEnErrorAction::ABORT, QelEnErrorAction::PANIC}) {
    const QelClExceptionFatal e(TRACEFORMAT_FILE_CORRUPTED, QelEnErrorClass::INVALID_DATA, action,
                                nullptr);
    EXPECT_EQ(static_cast<int>(e.getErrorSeverity()), 6);
    EXPECT_EQ(e.getErrorAction(), action);
  }
  const QelClExceptionFatal fatal(MEMMGR_ZERO_SIZE_OBJECT, QelEnErrorClass::INVALID_DATA,
                                  QelEnErrorAction::TERMINATE, nullptr);
  EXPECT_THROW(throw fatal, QelClException);
  try {
    throw fatal;
  } catch (const QelClExceptionABase& base) {
    EXPECT_TRUE(base.isQelException());
    EXPECT_EQ(dynamic_cast<const QelClException&>(base).getErrorId(), 1001004u);
  }
  const QelClException plain(0, QelEnErrorClass::UNKNOWN, QelEnErrorSeverity::NONE,
                             QelEnErrorAction::IGNORE, nullptr);
  const QelClExceptionABase& plainBase = plain;
  EXPECT_EQ(dynamic_cast<const QelClExceptionFatal*>(&plainBase), nullptr);
  EXPECT_STREQ(plain.getCause(), "");
}
