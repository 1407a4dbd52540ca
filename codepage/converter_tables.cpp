// The built-in single-byte tables, generated from the published mappings.
#include <cstdint>

#include "qel_codepage.h"

namespace {

struct SingleByteTable {
  std::uint32_t ccsid;
  unsigned char values[512];  // UCS-2 of each byte, high byte first
};
constexpr SingleByteTable kToUcs2[] = {
#include "tables/sbcs_to_ucs2.inc"
};

#include "tables/ucs2_to_sbcs.inc"

}  // namespace

const unsigned char* qelGetSBCStoUCS2Table(std::uint32_t ccsid) {
  std::size_t low = 0, high = sizeof kToUcs2 / sizeof kToUcs2[0];
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (kToUcs2[middle].ccsid == ccsid) return kToUcs2[middle].values;
    if (kToUcs2[middle].ccsid < ccsid) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return nullptr;
}

const unsigned char* qelGetUCS2toSBCSTable(std::uint32_t ccsid) {
  if (ccsid == 500) return kUcs2To500;
  if (ccsid == 850) return kUcs2To850;
  return nullptr;
}
