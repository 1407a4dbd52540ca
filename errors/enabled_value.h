// The rule every switch variable of the library follows: which values mean "on".
#ifndef VRNQEL43_ERRORS_ENABLED_VALUE_H
#define VRNQEL43_ERRORS_ENABLED_VALUE_H

namespace qel {
namespace errors {

// True for "ON", "YES", "TRUE" or "1" in any case; false for null or anything else.
// Kept at the bottom of the library: assertions read QEL_NO_ASSERT_POPUP with it,
// below the environment-variable classes of the file-system family.
bool isEnabledValue(const char* value);

}  // namespace errors
}  // namespace qel

#endif
