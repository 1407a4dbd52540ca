// The replaceable allocator.
#include "qel_memory.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/platform.h"

#define QEL_MODULE "memory_manager"
#include "errors/throw_at.h"

QelPfuAllocator QelClMemoryManager::cv_pfuAllocatorCallback = &std::malloc;
QelPfuReallocator QelClMemoryManager::cv_pfuReallocatorCallback = &std::realloc;
QelPfuDeallocator QelClMemoryManager::cv_pfuDeallocatorCallback = &std::free;

namespace {

bool isRuntimeMalloc(QelPfuAllocator allocator) {
  const auto identity = [](QelPfuAllocator function) {
    return qel::platform::resolveFunction(reinterpret_cast<const void*>(function));
  };
  return identity(allocator) == identity(&std::malloc);
}

// Throws the fatal exception for a request of size that came back null.
[[noreturn]] void throwAllocationFailure(std::size_t size) {
  if (size == 0) {
    QEL_THROW(QelClExceptionFatal(MEMMGR_ZERO_SIZE_OBJECT, QelEnErrorClass::INVALID_DATA,
                                  QelEnErrorAction::TERMINATE, nullptr));
  }
  if (QelClMemoryManager::hasUserDefinedMgr()) {
    QEL_THROW(QelClExceptionFatal(MEMMGR_USER_OUT_OF_MEMORY, QelEnErrorClass::OUT_OF_MEMORY,
                                  QelEnErrorAction::TERMINATE, nullptr));
  }
  QEL_THROW(QelClExceptionFatal(MEMMGR_RUNTIME_OUT_OF_MEMORY, QelEnErrorClass::OUT_OF_MEMORY,
                                QelEnErrorAction::TERMINATE, nullptr));
}

}  // namespace

void* QelClMemoryManager::malloc(unsigned int size) {
  void* block = cv_pfuAllocatorCallback(size);
  if (block == nullptr) throwAllocationFailure(size);
  return block;
}

void* QelClMemoryManager::realloc(void* block, unsigned int size) {
  if (cv_pfuReallocatorCallback == nullptr) {
    QEL_THROW(QelClExceptionFatal(MEMMGR_NO_USER_REALLOC_FUNC,
                                  QelEnErrorClass::FUNCTION_NOT_SUPPORTED, QelEnErrorAction::ABORT,
                                  nullptr));
  }
  void* grown = cv_pfuReallocatorCallback(block, size);
  if (grown == nullptr) throwAllocationFailure(size);
  return grown;
}

void* QelClMemoryManager::calloc(unsigned int count, unsigned int size) {
  const std::uint64_t bytes = std::uint64_t{count} * size;
  if (bytes > std::numeric_limits<unsigned int>::max()) throwAllocationFailure(bytes);
  void* block = malloc(static_cast<unsigned int>(bytes));
  std::memset(block, 0, static_cast<std::size_t>(bytes));
  return block;
}

void QelClMemoryManager::free(void* block) {
  if (block != nullptr) cv_pfuDeallocatorCallback(block);
}

void QelClMemoryManager::setNewMemoryManager(QelPfuAllocator allocator,
                                             QelPfuReallocator reallocator,
                                             QelPfuDeallocator deallocator) {
  cv_pfuAllocatorCallback = allocator;
  cv_pfuReallocatorCallback =
      (reallocator == nullptr && isRuntimeMalloc(allocator)) ? &std::realloc : reallocator;
  cv_pfuDeallocatorCallback = deallocator;
}

bool QelClMemoryManager::hasUserDefinedMgr() { return !isRuntimeMalloc(cv_pfuAllocatorCallback); }

void* qelMalloc(unsigned int size) { return QelClMemoryManager::malloc(size); }

void* qelCalloc(unsigned int count, unsigned int size) {
  return QelClMemoryManager::calloc(count, size);
}

void* qelRealloc(void* block, unsigned int size) { return QelClMemoryManager::realloc(block, size); }

void qelFree(void* block) { QelClMemoryManager::free(block); }

void qelSetNewMemoryManager(QelPfuAllocator allocator, QelPfuReallocator reallocator,
                            QelPfuDeallocator deallocator) {
  QelClMemoryManager::setNewMemoryManager(allocator, reallocator, deallocator);
}
