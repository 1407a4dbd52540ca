// The memory of the INI model's nodes: blocks of their own, or carved from a file's
// node store.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>

#include "platform/platform.h"
#include "qel_inifile.h"
#include "qel_memory.h"

// Under AddressSanitizer the parts of a chunk that belong to no node (headers, what is
// not carved yet) are marked unaddressable, so that a write past a node's end is
// caught as it is between blocks of their own.
#if defined(__SANITIZE_ADDRESS__)
#define QEL_INI_NODE_POISONING 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QEL_INI_NODE_POISONING 1
#endif
#endif
#if defined(QEL_INI_NODE_POISONING)
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(address, size) static_cast<void>(size)
#define ASAN_UNPOISON_MEMORY_REGION(address, size) static_cast<void>(size)
#endif

namespace {

constexpr std::size_t kAlignment = alignof(std::max_align_t);
// A node header holds the node's chunk, or null for a block of its own; a chunk
// header holds the chunk's count of holds. Both keep what follows them aligned.
constexpr std::size_t kHeaderSize = kAlignment;

constexpr std::size_t aligned(std::size_t size) { return (size + kAlignment - 1) & ~(kAlignment - 1); }

}  // namespace

// One hold for each live node carved from the chunk, and one while the store carves
// from it.
struct QelClIniFileNodeStore::Chunk {
  std::size_t ulHolds;
};

QelClIniFileNodeStore::~QelClIniFileNodeStore() {
  if (pclChunk != nullptr) release(pclChunk);
}

void QelClIniFileNodeStore::release(Chunk* chunk) {
  if (--chunk->ulHolds == 0) QelClMemoryManager::free(chunk);
}

// The chunks double in size up to the largest, which a large file then fills densely
// from end to end. A chunk of a huge page and more is backed by huge pages where the
// host has them, which saves most of the page faults of filling it; its nodes then
// start on a huge page boundary, so that every page they fill is a huge one, and the
// block's head before it is never touched beyond the chunk header.
void* QelClIniFileNodeStore::carve(std::size_t size) {
  const std::size_t need = kHeaderSize + aligned(size);
  if (static_cast<std::size_t>(pcEnd - pcFree) < need) {
    const std::size_t chunkSize = std::max(std::size_t{ulNextChunkSize}, kHeaderSize + need);
    std::size_t huge = qel::platform::hugePageSize();
    if (chunkSize < huge) huge = 0;
    const std::size_t blockSize = huge == 0 ? chunkSize : kHeaderSize + huge + chunkSize;
    auto* const block = static_cast<char*>(QelClMemoryManager::malloc(static_cast<unsigned int>(blockSize)));
    if (pclChunk != nullptr) release(pclChunk);
    pclChunk = new (block) Chunk{1};
    pcFree = block + kHeaderSize;
    pcEnd = block + chunkSize;
    if (huge != 0) {
      pcFree += (huge - reinterpret_cast<std::uintptr_t>(pcFree) % huge) % huge;
      pcEnd = pcFree + chunkSize;
      qel::platform::adviseHugePages(pcFree, chunkSize);
    }
    ulNextChunkSize = std::min(chunkSize * 2, std::size_t{LARGEST_CHUNK_SIZE});
    ASAN_POISON_MEMORY_REGION(pcFree, static_cast<std::size_t>(pcEnd - pcFree));
  }
  char* const header = pcFree;
  pcFree += need;
  ++pclChunk->ulHolds;
  ASAN_UNPOISON_MEMORY_REGION(header, kHeaderSize + size);
  new (header) Chunk*(pclChunk);
  ASAN_POISON_MEMORY_REGION(header, kHeaderSize);
  return header + kHeaderSize;
}

void* QelClIniFileNode::operator new(std::size_t size) {
  auto* const header = static_cast<char*>(QelClMemoryManager::malloc(static_cast<unsigned int>(kHeaderSize + size)));
  new (header) QelClIniFileNodeStore::Chunk*(nullptr);
  return header + kHeaderSize;
}

void* QelClIniFileNode::operator new(std::size_t size, QelClIniFileNodeStore& store) { return store.carve(size); }

void QelClIniFileNode::operator delete(void* node) {
  if (node == nullptr) return;
  char* const header = static_cast<char*>(node) - kHeaderSize;
  ASAN_UNPOISON_MEMORY_REGION(header, kHeaderSize);
  QelClIniFileNodeStore::Chunk* const chunk = *reinterpret_cast<QelClIniFileNodeStore::Chunk**>(header);
  if (chunk != nullptr) {
    ASAN_POISON_MEMORY_REGION(header, kHeaderSize);
    QelClIniFileNodeStore::release(chunk);
  } else {
    QelClMemoryManager::free(header);
  }
}

// Only for a constructor that throws (none does): the node goes as any other.
void QelClIniFileNode::operator delete(void* node, QelClIniFileNodeStore&) { operator delete(node); }
