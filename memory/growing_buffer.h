// A byte buffer in the library's allocator that only grows, for work areas whose size
// the input decides.
#ifndef VRNQEL43_MEMORY_GROWING_BUFFER_H
#define VRNQEL43_MEMORY_GROWING_BUFFER_H

#include <cstddef>
#include <cstring>

#include "qel_memory.h"

namespace qel {
namespace memory {

class GrowingBuffer {
public:
  GrowingBuffer() = default;
  ~GrowingBuffer() {
    if (pchData != nullptr) QelClMemoryManager::free(pchData);
  }
  GrowingBuffer(const GrowingBuffer&) = delete;
  GrowingBuffer& operator=(const GrowingBuffer&) = delete;

  char* data() { return pchData; }
  const char* data() const { return pchData; }
  std::size_t size() const { return ulSize; }
  void clear() { ulSize = 0; }
  // Room for room more bytes after the size, keeping what is there; returns where they start.
  char* reserve(std::size_t room) {
    if (ulCapacity - ulSize < room) enlarge(room);
    return pchData + ulSize;
  }
  // Counts count bytes written after the size as held.
  void grow(std::size_t count) { ulSize += count; }
  void append(const char* bytes, std::size_t count) {
    if (count == 0) return;
    std::memcpy(reserve(count), bytes, count);
    ulSize += count;
  }
  // Drops the first count bytes.
  void dropFront(std::size_t count) {
    if (count < ulSize) std::memmove(pchData, pchData + count, ulSize - count);
    ulSize = count < ulSize ? ulSize - count : 0;
  }

private:
  // Doubles the capacity until room more bytes fit; a size beyond what the allocator
  // takes at once throws as memory that ran out.
  void enlarge(std::size_t room);

  char* pchData = nullptr;
  std::size_t ulSize = 0;
  std::size_t ulCapacity = 0;
};

}  // namespace memory
}  // namespace qel

#endif
