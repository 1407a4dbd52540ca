// The byte order of the host the library is built for.
#ifndef VRNQEL43_UTIL_HOST_BYTE_ORDER_H
#define VRNQEL43_UTIL_HOST_BYTE_ORDER_H

namespace qel {

constexpr bool kHostIsLittleEndian =
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    false;
#else
    true;
#endif

}  // namespace qel

#endif
