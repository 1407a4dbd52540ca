// Fixed-size bit arrays and their binary stream form.
#include "qel_util.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <ostream>

#include "qel_memory.h"

namespace {

// One byte more than the bits need when the count is a multiple of 8.
unsigned int storageLength(std::uint32_t bitCount) { return (bitCount >> 3) + 1; }

// How much of a stream read is taken before the bytes have arrived.
constexpr unsigned int kReadChunk = 64 * 1024;

unsigned char bitMask(unsigned int index) { return static_cast<unsigned char>(1u << (index % 8)); }

}  // namespace

QelClPersistencyABase::~QelClPersistencyABase() = default;

QelClBitArray::QelClBitArray(unsigned int bitCount)
    : ulBitCount(bitCount),
      pucStorage(static_cast<unsigned char*>(qelCalloc(storageLength(bitCount), 1))) {}

QelClBitArray::QelClBitArray(const QelClBitArray& other)
    : ulBitCount(other.ulBitCount),
      pucStorage(static_cast<unsigned char*>(qelMalloc(storageLength(other.ulBitCount)))) {
  std::memcpy(pucStorage, other.pucStorage, storageLength(ulBitCount));
}

// The new storage is taken before the old is released: a failing allocation leaves
// the array as it was, and assigning an array to itself is harmless.
QelClBitArray& QelClBitArray::operator=(const QelClBitArray& other) {  // NOLINT(bugprone-unhandled-self-assignment): copies first
  auto* storage = static_cast<unsigned char*>(qelMalloc(storageLength(other.ulBitCount)));
  std::memcpy(storage, other.pucStorage, storageLength(other.ulBitCount));
  qelFree(pucStorage);
  pucStorage = storage;
  ulBitCount = other.ulBitCount;
  return *this;
}

QelClBitArray::~QelClBitArray() { qelFree(pucStorage); }

bool QelClBitArray::operator==(const QelClBitArray& other) const {
  const unsigned int length = storageLength(ulBitCount);
  return storageLength(other.ulBitCount) >= length &&
         std::memcmp(pucStorage, other.pucStorage, length) == 0;
}

void QelClBitArray::set(unsigned int index) {
  if (index < ulBitCount) pucStorage[index / 8] |= bitMask(index);
}

void QelClBitArray::clear(unsigned int index) {
  if (index < ulBitCount) pucStorage[index / 8] &= static_cast<unsigned char>(~bitMask(index));
}

bool QelClBitArray::test(unsigned int index) const {
  return index < ulBitCount && (pucStorage[index / 8] & bitMask(index)) != 0;
}

std::uint32_t QelClBitArray::getBitCount() const { return ulBitCount; }

void QelClBitArray::write(std::ostream& out) const {
  char count[sizeof ulBitCount];
  std::memcpy(count, &ulBitCount, sizeof count);
  out.write(count, sizeof count);
  out.write(reinterpret_cast<const char*>(pucStorage), storageLength(ulBitCount));
}

// The stored bits go into new storage of the stored count's length, which replaces
// the old only once every byte has arrived. The storage grows as the bytes arrive,
// so that a count in a short or damaged stream cannot claim a huge block up front.
void QelClBitArray::read(std::istream& in) {
  char count[sizeof ulBitCount];
  if (!in.read(count, sizeof count)) return;
  std::uint32_t bitCount = 0;
  std::memcpy(&bitCount, count, sizeof bitCount);

  const unsigned int length = storageLength(bitCount);
  unsigned int capacity = std::min(length, kReadChunk);
  auto* storage = static_cast<unsigned char*>(qelMalloc(capacity));
  for (unsigned int filled = 0; filled < length;) {
    if (filled == capacity) {
      capacity = length - capacity > capacity ? 2 * capacity : length;
      auto* grown = static_cast<unsigned char*>(qelMalloc(capacity));
      std::memcpy(grown, storage, filled);
      qelFree(storage);
      storage = grown;
    }
    if (!in.read(reinterpret_cast<char*>(storage) + filled, capacity - filled)) {
      qelFree(storage);
      return;
    }
    filled = capacity;
  }
  storage[length - 1] &= static_cast<unsigned char>(bitMask(bitCount) - 1);
  qelFree(pucStorage);
  pucStorage = storage;
  ulBitCount = bitCount;
}
