// vrnqel43: the replaceable allocator through which all of the library's memory flows.
#ifndef VRNQEL43_QEL_MEMORY_H
#define VRNQEL43_QEL_MEMORY_H

#include "qel_errors.h"

// The callbacks have the runtime's own signatures, so that malloc, realloc and
// free can be installed as they are. The library never asks for more than
// 2^32 - 1 bytes at once.
typedef void* (*QelPfuAllocator)(std::size_t size);
typedef void* (*QelPfuReallocator)(void* block, std::size_t size);
typedef void (*QelPfuDeallocator)(void* block);

// Allocation never returns null: a failure throws a QelClExceptionFatal with
// MEMMGR_ZERO_SIZE_OBJECT (a null block for size 0), MEMMGR_RUNTIME_OUT_OF_MEMORY
// (the runtime's malloc failed), MEMMGR_USER_OUT_OF_MEMORY (an application
// allocator failed) or MEMMGR_NO_USER_REALLOC_FUNC (no reallocator installed).
class QEL_API QelClMemoryManager {
public:
  QelClMemoryManager() = delete;

  static void* malloc(unsigned int size);
  static void* realloc(void* block, unsigned int size);
  // count * size must fit 32 bits; a larger product throws the out-of-memory
  // exception of the allocator in force.
  static void* calloc(unsigned int count, unsigned int size);
  static void free(void* block);

  // Replaces the callbacks. A null reallocator together with the runtime's
  // malloc brings back the runtime's realloc. Install before the library
  // allocates anything it will later release.
  static void setNewMemoryManager(QelPfuAllocator allocator, QelPfuReallocator reallocator,
                                  QelPfuDeallocator deallocator);
  static bool hasUserDefinedMgr();

  static QelPfuAllocator cv_pfuAllocatorCallback;
  static QelPfuReallocator cv_pfuReallocatorCallback;
  static QelPfuDeallocator cv_pfuDeallocatorCallback;
};

QEL_C_API void* qelMalloc(unsigned int size);
QEL_C_API void* qelCalloc(unsigned int count, unsigned int size);
QEL_C_API void* qelRealloc(void* block, unsigned int size);
QEL_C_API void qelFree(void* block);
QEL_C_API void qelSetNewMemoryManager(QelPfuAllocator allocator, QelPfuReallocator reallocator,
                                      QelPfuDeallocator deallocator);

#endif
