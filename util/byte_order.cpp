// In-place byte-order conversion of 16-bit units.
#include "qel_util.h"

#include "util/host_byte_order.h"

namespace {

using qel::kHostIsLittleEndian;

// Swaps the two bytes of each whole unit, from the last unit to the first.
void swapUnits(void* buffer, unsigned int byteCount) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  for (unsigned int unit = byteCount / 2; unit-- > 0;) {
    const unsigned char first = bytes[2 * unit];
    bytes[2 * unit] = bytes[2 * unit + 1];
    bytes[2 * unit + 1] = first;
  }
}

}  // namespace

void qelEndianConvertW16LittleToBig(void* buffer, unsigned int byteCount) {
  swapUnits(buffer, byteCount);
}

void qelEndianConvertW16BigToLittle(void* buffer, unsigned int byteCount) {
  swapUnits(buffer, byteCount);
}

void qelEndianConvertW16HostToBig(void* buffer, unsigned int byteCount) {
  if (kHostIsLittleEndian) swapUnits(buffer, byteCount);
}

void qelEndianConvertW16BigToHost(void* buffer, unsigned int byteCount) {
  if (kHostIsLittleEndian) swapUnits(buffer, byteCount);
}

void qelEndianConvertW16HostToLittle(void* buffer, unsigned int byteCount) {
  if (!kHostIsLittleEndian) swapUnits(buffer, byteCount);
}

void qelEndianConvertW16LittleToHost(void* buffer, unsigned int byteCount) {
  if (!kHostIsLittleEndian) swapUnits(buffer, byteCount);
}
