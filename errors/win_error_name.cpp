// Symbolic names of Windows system error codes, and the library's identification.
#include "qel_errors.h"

#include <algorithm>
#include <iterator>

namespace {

struct WinError {
  std::int32_t code;
  const char* name;
};

// Sorted by code taken as a signed number.
constexpr WinError kWinErrors[] = {
#define QEL_WIN_ERROR(code, name) {code, name},
#include "errors/win_error_names.inc"
};

}  // namespace

const char* qelWinGetErrorAsString(std::uint32_t code) {
  // Codes above 2^31 are the negative file-expansion codes.
  const auto wanted = static_cast<std::int32_t>(code);
  const auto* end = std::end(kWinErrors);
  const auto* row = std::lower_bound(std::begin(kWinErrors), end, wanted,
                                     [](const WinError& e, std::int32_t c) { return e.code < c; });
  return row != end && row->code == wanted ? row->name : nullptr;
}

const char* qelLibraryGetLevel() { return "QELLibR4-49"; }

const char* qelLibraryGetTod() { return "Sep 17 2002"; }

bool qelLibraryIsShipCode() { return true; }
