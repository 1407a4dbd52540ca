// Runs of ASCII between UTF-8 and UCS-2, many characters at a time: the fast path of
// the UTF-8 algorithms, which fall back to one character at a time where a run ends.
#ifndef VRNQEL43_CODEPAGE_ASCII_RUNS_H
#define VRNQEL43_CODEPAGE_ASCII_RUNS_H

#include <cstddef>

namespace qel::codepage {

// Widens the ASCII bytes at the start of source (at most count) into UCS-2 units, low
// byte first; target has room for 2 * count bytes. Returns the bytes widened; a few
// ASCII bytes at the end may be left for the caller.
std::size_t widenAscii(const unsigned char* source, std::size_t count, char* target);
// Narrows the UCS-2 units below U+0080 at the start of source (at most count units)
// into bytes; target has room for count bytes. Returns the units narrowed; a few at
// the end may be left for the caller.
std::size_t narrowAscii(const unsigned char* source, std::size_t count, unsigned char* target);

}  // namespace qel::codepage

#endif
