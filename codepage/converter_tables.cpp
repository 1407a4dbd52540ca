// The built-in code-page tables, generated from the published mappings in codepage/ucm.
#include <cstdint>

#include "qel_codepage.h"

namespace {

struct SingleByteTable {
  std::uint32_t ccsid;
  unsigned char values[512];  // UCS-2 of each byte, high byte first
};
constexpr SingleByteTable kToUcs2[] = {
#include "codepage/sbcs_to_ucs2.inc"
};

#include "codepage/ucs2_to_sbcs.inc"

// Every byte value is a lead byte: the ASCII-based double-byte code pages are read two
// bytes per character.
constexpr unsigned char kLeadBytes[256] = {
#define QEL_SIXTEEN 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1
    QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN,
    QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN, QEL_SIXTEEN,
#undef QEL_SIXTEEN
};

#include "codepage/dbcs_to_ucs2.inc"

// The record with the CCSID, by binary search of records sorted by CCSID.
template <typename Record, std::size_t N>
const Record* findRecord(const Record (&records)[N], std::uint32_t ccsid, std::uint32_t Record::*key) {
  std::size_t low = 0, high = N;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (records[middle].*key == ccsid) return &records[middle];
    if (records[middle].*key < ccsid) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return nullptr;
}

}  // namespace

const unsigned char* qelGetSBCStoUCS2Table(std::uint32_t ccsid) {
  const SingleByteTable* record = findRecord(kToUcs2, ccsid, &SingleByteTable::ccsid);
  return record == nullptr ? nullptr : record->values;
}

const unsigned char* qelGetUCS2toSBCSTable(std::uint32_t ccsid) {
  if (ccsid == 500) return kUcs2To500;
  if (ccsid == 850) return kUcs2To850;
  return nullptr;
}

const _QelStDBCSTable* qelGetDBCStoUCS2Table(std::uint32_t ccsid, bool& isEbcdic) {
  const _QelStDBCSTable* record = findRecord(kDoubleByteTables, ccsid, &_QelStDBCSTable::ulCCSID);
  if (record != nullptr) isEbcdic = record->ucEBCDIC != 0;
  return record;
}

const void* qelGetEUCtoUCS2Table(std::uint32_t) { return nullptr; }
