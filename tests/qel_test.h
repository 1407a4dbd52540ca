// What the test programs share: the library, GoogleTest, the standard headers used
// throughout, and the checks of error records and of the exceptions a call throws.
#ifndef VRNQEL43_TESTS_QEL_TEST_H
#define VRNQEL43_TESTS_QEL_TEST_H

#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

inline const _QelStError& errorOf(const _QelStError& error) { return error; }
template <class Object>
const _QelStError& errorOf(const Object& object) {
  return object.getError();
}

// The error record of an object, or the record itself; no arguments: a cleared record.
template <class Object>
void expectError(const Object& object, std::uint32_t id = NO_ERROR,
                 QelEnErrorClass errorClass = QelEnErrorClass::UNKNOWN) {
  EXPECT_EQ(errorOf(object).ulErrorId, id);
  EXPECT_EQ(errorOf(object).enErrorClass, errorClass);
}

// What a call throws; a null cause is not checked.
struct Thrown {
  std::uint32_t id;
  QelEnErrorClass errorClass;
  QelEnErrorSeverity severity;
  QelEnErrorAction action;
  const char* cause = nullptr;
};

// Runs the call, which must throw the library's exception as expected; more checks
// the rest of it.
inline void expectThrown(const std::function<void()>& call, const Thrown& expected,
                         const std::function<void(const QelClException&)>& more = nullptr) {
  try {
    call();
    ADD_FAILURE() << "nothing thrown for identifier " << expected.id;
  } catch (const QelClException& e) {
    EXPECT_EQ(e.getErrorId(), expected.id);
    EXPECT_EQ(e.getErrorClass(), expected.errorClass) << expected.id;
    EXPECT_EQ(e.getErrorSeverity(), expected.severity) << expected.id;
    EXPECT_EQ(e.getErrorAction(), expected.action) << expected.id;
    if (expected.cause != nullptr) {
      EXPECT_STREQ(e.getCause(), expected.cause);
    }
    if (more) more(e);
  }
}

#endif
