// The growth of the library's growing byte buffers.
#include "memory/growing_buffer.h"

#include <climits>

#define QEL_MODULE "growing_buffer"
#include "errors/throw_at.h"

void qel::memory::GrowingBuffer::enlarge(std::size_t room) {
  std::size_t capacity = ulCapacity < 256 ? 256 : ulCapacity;
  while (capacity - ulSize < room && capacity <= UINT_MAX) capacity *= 2;
  if (capacity > UINT_MAX) {
    if (UINT_MAX - ulSize < room) {
      QEL_THROW(QelClExceptionFatal(MEMMGR_RUNTIME_OUT_OF_MEMORY, QelEnErrorClass::OUT_OF_MEMORY,
                                    QelEnErrorAction::TERMINATE, nullptr));
    }
    capacity = UINT_MAX;
  }
  char* larger = static_cast<char*>(QelClMemoryManager::malloc(static_cast<unsigned int>(capacity)));
  if (ulSize != 0) std::memcpy(larger, pchData, ulSize);
  if (pchData != nullptr) QelClMemoryManager::free(pchData);
  pchData = larger;
  ulCapacity = capacity;
}
