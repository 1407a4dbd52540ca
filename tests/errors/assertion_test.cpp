// Tests of assertions and the trace print function.
#include "tests/qel_test.h"

#include <csignal>

namespace {

// GoogleTest's own simple expressions on Windows, POSIX extended ones elsewhere;
// abort() is exit code 3 with the Windows runtime and SIGABRT on POSIX.
#if defined(_WIN32)
const char kDigits[] = "\\d+";
const ::testing::ExitedWithCode kAborted(3);
#else
const char kDigits[] = "[0-9]+";
const ::testing::KilledBySignal kAborted(SIGABRT);
#endif

// The report up to its process id line, as a regular expression.
std::string reportPattern(const std::string& middle) {
  return "\n\\*\\*\\* INTERNAL ERROR OCCURED \\*\\*\\*\n" + middle +
         "\\*\\*\\* ASSERTION FAILED: x > 1\n"
         "\\*\\*\\*             LINE: 42\n"
         "\\*\\*\\*           MODULE: dir/source\\.cpp\n"
         "\\*\\*\\*       PROCESS ID: " + kDigits + "\n\n";
}

}  // namespace

// The message and function lines come only with a message; the macros name the
// expression as written.
TEST(Assertion, ReportsAndAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  QelClEnvironmentVariable("QEL_NO_ASSERT_POPUP", "yes");
  EXPECT_EXIT(qel__assert_msg("x > 1", "dir/source.cpp", 42, "compute", "bad input"), kAborted,
              reportPattern("\\*\\*\\* bad input \\*\\*\\*\n"
                            "\\*\\*\\*         FUNCTION: compute\n"));
  EXPECT_EXIT(qel__assert_msg("x > 1", "dir/source.cpp", 42, "compute", nullptr), kAborted,
              reportPattern(""));
  EXPECT_EXIT(qel__assert("x > 1", "dir/source.cpp", 42), kAborted, reportPattern(""));
  const int value = 0;
  EXPECT_EXIT(QEL_ASSERT_MSG(value == 1, "never"), kAborted, "ASSERTION FAILED: value == 1");
  QEL_ASSERT(value == 0);  // holds: nothing happens
#if !defined(_WIN32)
  // Without QEL_NO_ASSERT_POPUP there is no message box to wait for here.
  QelClEnvironmentVariable("QEL_NO_ASSERT_POPUP", "");
  EXPECT_EXIT(qel__assert("x > 1", "dir/source.cpp", 42), kAborted, reportPattern(""));
#endif
  QelClEnvironmentVariable("QEL_NO_ASSERT_POPUP", "");
}

// The stream form shows the file's name only, the formatted form ends every line.
TEST(TracePrint, StreamAndFormattedForms) {
  std::ostringstream out;
  qel_tprint(out, "/src/lib/trace_point.cpp", 17);
  EXPECT_EQ(out.str(), "[trace_point.cpp:17] ");
  testing::internal::CaptureStdout();
  qel_tprintf("dir/file.cpp", 5, "x\n");
  qel_tprintf("dir/file.cpp", 6, "%s=%d", "y", 3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "[dir/file.cpp: 5] x\n[dir/file.cpp: 6] y=3\n");
}
