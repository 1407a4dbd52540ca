#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char kCause[] = "Unexpected ICU error";
const char kModule[] = "converter:42";

QelClException makeException() {
  return QelClException(ICU_PARSE_ERROR, QelEnErrorClass::INVALID_DATA,
                        QelEnErrorSeverity::NORMAL, QelEnErrorAction::INFORM, kCause);
}

}  // namespace

TEST(Exception, StoresItsFourNumbersAndCause) {
  const QelClException e = makeException();
  EXPECT_EQ(e.getErrorId(), 1001110u);
  EXPECT_EQ(e.getErrorClass(), QelEnErrorClass::INVALID_DATA);
  EXPECT_EQ(e.getErrorSeverity(), QelEnErrorSeverity::NORMAL);
  EXPECT_EQ(e.getErrorAction(), QelEnErrorAction::INFORM);
  EXPECT_EQ(e.getCause(), kCause);
  EXPECT_EQ(e.getModule(), nullptr);
  EXPECT_EQ(e.getLine(), 0u);
  EXPECT_TRUE(e.isQelException());
}

TEST(Exception, NullCauseReadsAsEmptyText) {
  const QelClException e(0, QelEnErrorClass::UNKNOWN, QelEnErrorSeverity::NONE,
                         QelEnErrorAction::IGNORE, nullptr);
  ASSERT_NE(e.getCause(), nullptr);
  EXPECT_STREQ(e.getCause(), "");
}

TEST(Exception, FatalAlwaysHasSeverityFatal) {
  for (QelEnErrorAction action : {QelEnErrorAction::IGNORE, QelEnErrorAction::RETRY,
                                  QelEnErrorAction::ABORT, QelEnErrorAction::PANIC}) {
    const QelClExceptionFatal e(TRACEFORMAT_FILE_CORRUPTED, QelEnErrorClass::INVALID_DATA, action,
                                nullptr);
    EXPECT_EQ(static_cast<int>(e.getErrorSeverity()), 6);
    EXPECT_EQ(e.getErrorAction(), action);
    EXPECT_TRUE(e.isQelException());
  }
}

TEST(Exception, CopiesShareTheTexts) {
  QelClException original = makeException();
  original.setLocation(kModule, 42);
  const QelClException copy(original);
  EXPECT_EQ(copy.getCause(), original.getCause());
  EXPECT_EQ(copy.getModule(), kModule);
  EXPECT_EQ(copy.getLine(), 42u);
  EXPECT_EQ(copy.getErrorId(), original.getErrorId());
}

TEST(Exception, FatalIsCaughtByEveryBase) {
  const QelClExceptionFatal fatal(MEMMGR_ZERO_SIZE_OBJECT, QelEnErrorClass::INVALID_DATA,
                                  QelEnErrorAction::TERMINATE, nullptr);
  EXPECT_THROW(throw fatal, QelClExceptionFatal);
  EXPECT_THROW(throw fatal, QelClException);
  EXPECT_THROW(throw fatal, QelClExceptionABase);
  try {
    throw fatal;
  } catch (const QelClExceptionABase& base) {
    EXPECT_TRUE(base.isQelException());
    EXPECT_EQ(dynamic_cast<const QelClException&>(base).getErrorId(), 1001004u);
  }
}

TEST(Exception, PlainExceptionIsNotCaughtAsFatal) {
  bool caughtAsFatal = false;
  bool caughtAsException = false;
  try {
    try {
      throw makeException();
    } catch (const QelClExceptionFatal&) {
      caughtAsFatal = true;
    }
  } catch (const QelClException&) {
    caughtAsException = true;
  }
  EXPECT_FALSE(caughtAsFatal);
  EXPECT_TRUE(caughtAsException);
}

// The library's own throws name the module and line they came from, as
// "module:line" with the same line in both fields.
TEST(Exception, LibraryThrowsCarryTheirLocation) {
  QelClMemoryManager::setNewMemoryManager([](std::size_t) -> void* { return nullptr; }, nullptr,
                                          [](void*) {});
  try {
    qelMalloc(1);
    FAIL() << "no exception";
  } catch (const QelClException& e) {
    ASSERT_NE(e.getModule(), nullptr);
    const std::string module = e.getModule();
    EXPECT_EQ(module, "memory_manager:" + std::to_string(e.getLine()));
    EXPECT_GT(e.getLine(), 0u);
  }
  QelClMemoryManager::setNewMemoryManager(malloc, nullptr, free);
}
