// Objects in memory of the library's allocator: made whole or not at all, and ended.
#ifndef VRNQEL43_MEMORY_MANAGED_OBJECT_H
#define VRNQEL43_MEMORY_MANAGED_OBJECT_H

#include <new>

#include "qel_memory.h"

namespace qel {
namespace memory {

// Constructs T in memory of the library's allocator; nothing is left when T throws.
template <typename T, typename... Arguments>
T* construct(Arguments&&... arguments) {
  void* memory = QelClMemoryManager::malloc(sizeof(T));
  try {
    return new (memory) T(static_cast<Arguments&&>(arguments)...);
  } catch (...) {
    QelClMemoryManager::free(memory);
    throw;
  }
}

// Ends what construct made and clears the pointer; a null pointer is left as it is.
template <typename T>
void destroy(T*& object) {
  if (object == nullptr) return;
  object->~T();
  QelClMemoryManager::free(object);
  object = nullptr;
}

}  // namespace memory
}  // namespace qel

#endif
