// glibc's iconv as a benchmark peer: one pass over a whole source into a target buffer.
#ifndef VRNQEL43_BENCH_ICONV_PASS_H
#define VRNQEL43_BENCH_ICONV_PASS_H

#include <iconv.h>

#include <string>
#include <vector>

// Resets the converter's state, then converts all of source; returns iconv's result
// ((size_t)-1 when it stopped at an invalid or incomplete sequence).
inline std::size_t convertByIconv(iconv_t converter, const std::string& source, std::vector<char>& target) {
  char* in = const_cast<char*>(source.data());
  std::size_t inLeft = source.size();
  char* out = target.data();
  std::size_t outLeft = target.size();
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  return iconv(converter, &in, &inLeft, &out, &outLeft);
}

#endif
