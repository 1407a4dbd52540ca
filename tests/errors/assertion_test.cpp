#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <string>

namespace {

// GoogleTest's own simple expressions on Windows, POSIX extended ones elsewhere.
#if defined(_WIN32)
const char kDigits[] = "\\d+";
#else
const char kDigits[] = "[0-9]+";
#endif

// The report up to its process id line, as a regular expression.
std::string reportPattern(const std::string& middle) {
  return "\n\\*\\*\\* INTERNAL ERROR OCCURED \\*\\*\\*\n" + middle +
         "\\*\\*\\* ASSERTION FAILED: x > 1\n"
         "\\*\\*\\*             LINE: 42\n"
         "\\*\\*\\*           MODULE: dir/source\\.cpp\n"
         "\\*\\*\\*       PROCESS ID: " + kDigits + "\n\n";
}

class Assertion : public ::testing::Test {
protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QelClEnvironmentVariable("QEL_NO_ASSERT_POPUP", "yes");
  }
  void TearDown() override { QelClEnvironmentVariable("QEL_NO_ASSERT_POPUP", ""); }
};

}  // namespace

TEST_F(Assertion, ReportsMessageAndFunctionBeforeTheExpression) {
  EXPECT_DEATH(qel__assert_msg("x > 1", "dir/source.cpp", 42, "compute", "bad input"),
               reportPattern("\\*\\*\\* bad input \\*\\*\\*\n"
                             "\\*\\*\\*         FUNCTION: compute\n"));
}

TEST_F(Assertion, FunctionWithoutMessageIsNotShown) {
  EXPECT_DEATH(qel__assert_msg("x > 1", "dir/source.cpp", 42, "compute", nullptr),
               reportPattern(""));
  EXPECT_DEATH(qel__assert("x > 1", "dir/source.cpp", 42), reportPattern(""));
}

TEST_F(Assertion, MacroNamesTheExpressionAndEndsByAbort) {
  const int value = 0;
  EXPECT_DEATH(QEL_ASSERT_MSG(value == 1, "never"), "ASSERTION FAILED: value == 1");
  QEL_ASSERT(value == 0);  // holds: nothing happens
}

// abort() is SIGABRT on POSIX and exit code 3 with the Windows runtime.
TEST_F(Assertion, EndsTheProcessByAbort) {
#if defined(_WIN32)
  EXPECT_EXIT(qel__assert("false", "f.cpp", 1), ::testing::ExitedWithCode(3), "ASSERTION FAILED");
#else
  EXPECT_EXIT(qel__assert("false", "f.cpp", 1), ::testing::KilledBySignal(SIGABRT),
              "ASSERTION FAILED");
  // Without QEL_NO_ASSERT_POPUP there is no message box to wait for here.
  QelClEnvironmentVariable("QEL_NO_ASSERT_POPUP", "");
  EXPECT_EXIT(qel__assert("false", "f.cpp", 1), ::testing::KilledBySignal(SIGABRT),
              "ASSERTION FAILED");
#endif
}

TEST(TracePrint, StreamFormShowsTheNameOnly) {
  std::ostringstream out;
  qel_tprint(out, "/src/lib/trace_point.cpp", 17);
  EXPECT_EQ(out.str(), "[trace_point.cpp:17] ");
}

TEST(TracePrint, FormattedFormEndsEveryLine) {
  testing::internal::CaptureStdout();
  qel_tprintf("dir/file.cpp", 5, "x\n");
  qel_tprintf("dir/file.cpp", 6, "%s=%d", "y", 3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "[dir/file.cpp: 5] x\n[dir/file.cpp: 6] y=3\n");
}
