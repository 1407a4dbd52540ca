// The memory pool: chunks carved sequentially out of large blocks.
#include "qel_memory.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>

namespace {

constexpr unsigned int kHeaderSize = sizeof(QelClMemoryPoolBlock);
constexpr unsigned int kPageSize = 4096;
constexpr unsigned int kSmallestBlock = 4096;
constexpr unsigned int kSmallestThreshold = 256;
constexpr unsigned int kLargestThreshold = 65536;
constexpr std::uint64_t kLargestBlock = std::numeric_limits<unsigned int>::max();

// The pool's two throw points carry fixed locations, the same in every build, so
// that applications can tell them apart by module text.
const char kChunkTooBigModule[] = "qel_mempool:643";
constexpr unsigned long kChunkTooBigLine = 643;
const char kCouldNotGrowModule[] = "qel_mempool:321";
constexpr unsigned long kCouldNotGrowLine = 321;

[[noreturn]] void throwAt(QelClException exception, const char* module, unsigned long line) {
  exception.setLocation(module, line);
  throw exception;
}

// A block header at the start of memory, its chunk area directly behind it.
QelClMemoryPoolBlock* placeBlock(void* memory, unsigned int blockSize, unsigned int number) {
  auto* block = new (memory) QelClMemoryPoolBlock;
  block->init(static_cast<char*>(memory) + kHeaderSize, blockSize - kHeaderSize, number);
  return block;
}

}  // namespace

// ---- Block header ------------------------------------------------------------------

void QelClMemoryPoolBlock::init(char* start, unsigned int capacity, unsigned int number) {
  bDetached = start != reinterpret_cast<char*>(this + 1);
  pvLink = bDetached ? start : nullptr;
  ulCapacity = capacity;
  ulUsed = 0;
  ulAllocations = 0;
  ulNumber = number & 0x7FFFFFFFu;
}

void QelClMemoryPoolBlock::reset(void* p) {
  ulUsed = static_cast<std::uint32_t>(static_cast<char*>(p) - getStart());
}

bool QelClMemoryPoolBlock::contains(const void* p) const {
  const auto position = reinterpret_cast<std::uintptr_t>(p);
  const auto start = reinterpret_cast<std::uintptr_t>(getStart());
  return position >= start && position - start <= ulCapacity;
}

// ---- Pool --------------------------------------------------------------------------

QelClMemoryPool::QelClMemoryPool(unsigned int firstBlockSize, unsigned int subsequentBlockSize,
                                 unsigned int switchThreshold)
    : pclFirstBlock(nullptr), pclCurrentBlock(nullptr), ulBlockCount(0), ulSizeInKB(0),
      ulSubsequentBlockSize(alignToPageSize(std::max(subsequentBlockSize, kSmallestBlock))),
      ulSwitchThreshold(std::max(std::min(switchThreshold, kLargestThreshold), kSmallestThreshold)),
      ulInlineLimit(getCapacityForSubsequentBlocks()), pcNext(nullptr), ulInlineRoom(0), ulCurrentNumber(0),
      bExternal(false), pfuErrorHandler(nullptr), pvHandlerData(nullptr) {
  const unsigned int size = alignToPageSize(std::max(firstBlockSize, kSmallestBlock));
  try {
    pclFirstBlock = placeBlock(qelMalloc(size), size, 1);
  } catch (const QelClException&) {
    return;  // a pool without blocks: every allocateB is refused as too big
  }
  pclCurrentBlock = pclFirstBlock;
  ulBlockCount = 1;
  ulSizeInKB = size >> 10;
  adopt();
}

QelClMemoryPool::QelClMemoryPool(void* buffer, unsigned int size)
    : pclFirstBlock(nullptr), pclCurrentBlock(nullptr), ulBlockCount(0), ulSizeInKB(0),
      ulSubsequentBlockSize(0), ulSwitchThreshold(0), ulInlineLimit(0xFFFFFFFFu), pcNext(nullptr), ulInlineRoom(0),
      ulCurrentNumber(0), bExternal(true),
      pfuErrorHandler(nullptr), pvHandlerData(nullptr) {
  try {
    pclFirstBlock = new (qelMalloc(kHeaderSize)) QelClMemoryPoolBlock;
  } catch (const QelClException&) {
    return;
  }
  pclFirstBlock->init(static_cast<char*>(buffer), size, 1);
  pclCurrentBlock = pclFirstBlock;
  ulBlockCount = 1;
  ulSizeInKB = size >> 10;
  adopt();
}

QelClMemoryPool::~QelClMemoryPool() {
  // A buffer pool's only block is the header record; the buffer is the caller's.
  for (QelClMemoryPoolBlock* block = pclFirstBlock; block != nullptr;) {
    QelClMemoryPoolBlock* next = block->getNextBlock();
    qelFree(block);
    block = next;
  }
  pclCurrentBlock = nullptr;
  adopt();
  pfuErrorHandler = nullptr;
  pvHandlerData = nullptr;
}

void QelClMemoryPool::settle() const {
  if (pclCurrentBlock == nullptr) return;
  const auto carved = static_cast<unsigned int>(pcNext - pclCurrentBlock->getNextFree());
  if (carved != 0) pclCurrentBlock->allocate(carved);
}

void QelClMemoryPool::adopt() {
  QelClMemoryPoolBlock* const block = pclCurrentBlock;
  pcNext = block != nullptr ? block->getNextFree() : nullptr;
  ulInlineRoom = block != nullptr ? std::min(block->getFreeSize(), ulInlineLimit) : 0;
  ulCurrentNumber = block != nullptr ? block->getNumber() : 0;
}

void* QelClMemoryPool::carveUnlimited(unsigned int size) {
  settle();
  unsigned int blockNumber = 0;
  void* const chunk = carve(size, blockNumber);
  adopt();
  return chunk;
}

// allocateB beyond the inline room: the size limit, then the carving walk.
void* QelClMemoryPool::carveWithLimit(unsigned int size, unsigned int& blockNumber) {
  settle();
  if (pclCurrentBlock != nullptr && size <= getLargestPossibleChunk()) {
    void* const chunk = carve(size, blockNumber);
    adopt();
    return chunk;
  }
  if (pfuErrorHandler != nullptr) {
    pfuErrorHandler(_QelStError{MEMORYPOOL_CHUNK_TOO_BIG, QelEnErrorClass::OUT_OF_MEMORY},
                    pvHandlerData);
    return nullptr;
  }
  throwAt(QelClException(MEMORYPOOL_CHUNK_TOO_BIG, QelEnErrorClass::OUT_OF_MEMORY,
                         QelEnErrorSeverity::NORMAL, QelEnErrorAction::INFORM, nullptr),
          kChunkTooBigModule, kChunkTooBigLine);
}

// Searches forward from the current block for one with room for size bytes,
// adding a block behind the last one when none has. The first block passed over
// with less free space than the switch threshold hands the current-block role to
// the block behind it.
void* QelClMemoryPool::carve(unsigned int size, unsigned int& blockNumber) {
  QelClMemoryPoolBlock* block = pclCurrentBlock;
  if (block == nullptr) return nullptr;
  QelClMemoryPoolBlock* leftBehind = nullptr;
  while (size > block->getFreeSize() && block->getNextBlock() != nullptr) {
    if (leftBehind == nullptr && block->getFreeSize() < ulSwitchThreshold) leftBehind = block;
    block = block->getNextBlock();
  }

  void* chunk = nullptr;
  if (size <= block->getFreeSize()) {
    blockNumber = block->getNumber();
    chunk = block->allocate(size);
  } else if (ulSubsequentBlockSize != 0) {
    try {
      QelClMemoryPoolBlock* added = addBlockBehind(block, size);
      blockNumber = added->getNumber();
      chunk = added->allocate(size);
      if (leftBehind == nullptr && block->getFreeSize() < ulSwitchThreshold) leftBehind = block;
    } catch (const QelClException& e) {
      chunk = reportCouldNotGrow(e);
    }
  }
  if (leftBehind != nullptr) pclCurrentBlock = leftBehind->getNextBlock();
  return chunk;
}

// A standard block when size fits one, else a block of its own. Throws as the
// allocator does, also for a block that 32-bit sizes cannot express.
QelClMemoryPoolBlock* QelClMemoryPool::addBlockBehind(QelClMemoryPoolBlock* last,
                                                      unsigned int size) {
  std::uint64_t blockSize = ulSubsequentBlockSize;
  if (size > getCapacityForSubsequentBlocks()) {
    blockSize = std::uint64_t{size} + kHeaderSize;
    if constexpr (kAligned) blockSize = (blockSize + kPageSize - 1) / kPageSize * kPageSize;
  }
  if (blockSize > kLargestBlock) {
    throw QelClExceptionFatal(MEMORYPOOL_COULD_NOT_GROW, QelEnErrorClass::OUT_OF_MEMORY,
                              QelEnErrorAction::TERMINATE, nullptr);
  }
  const auto size32 = static_cast<unsigned int>(blockSize);
  void* memory = qelMalloc(size32);
  ulSizeInKB += size32 >> 10;
  ++ulBlockCount;
  QelClMemoryPoolBlock* added = placeBlock(memory, size32, ulBlockCount);
  last->setNextBlock(added);
  return added;
}

// The pool could not take memory for a new block: the allocator's exception goes
// on as MEMORYPOOL_COULD_NOT_GROW with its class, severity, action and cause.
void* QelClMemoryPool::reportCouldNotGrow(const QelClException& cause) {
  if (pfuErrorHandler != nullptr) {
    pfuErrorHandler(_QelStError{MEMORYPOOL_COULD_NOT_GROW, cause.getErrorClass()}, pvHandlerData);
    return nullptr;
  }
  throwAt(QelClException(MEMORYPOOL_COULD_NOT_GROW, cause.getErrorClass(),
                         cause.getErrorSeverity(), cause.getErrorAction(), cause.getCause()),
          kCouldNotGrowModule, kCouldNotGrowLine);
}

void QelClMemoryPool::deleteAll() {
  if (pclFirstBlock == nullptr) return;
  settle();
  if (pclFirstBlock->getNextBlock() != nullptr) {
    // From the end of the chain back: blocks unused since the last reset are
    // returned, used ones are reset and kept in their order.
    QelClMemoryPoolBlock* reversed = nullptr;
    for (QelClMemoryPoolBlock* block = pclFirstBlock->getNextBlock(); block != nullptr;) {
      QelClMemoryPoolBlock* next = block->getNextBlock();
      block->setNextBlock(reversed);
      reversed = block;
      block = next;
    }
    QelClMemoryPoolBlock* kept = nullptr;
    while (reversed != nullptr) {
      QelClMemoryPoolBlock* block = reversed;
      reversed = block->getNextBlock();
      if (block->getAllocations() == 0) {
        ulSizeInKB -= (block->getCapacity() + kHeaderSize) >> 10;
        --ulBlockCount;
        qelFree(block);
      } else {
        block->reset();
        block->setNextBlock(kept);
        kept = block;
      }
    }
    pclFirstBlock->setNextBlock(kept);
  }
  pclCurrentBlock = pclFirstBlock;
  pclFirstBlock->reset();
  adopt();
}

void* QelClMemoryPool::getCurrentStateHandle() const { return pcNext; }

void QelClMemoryPool::deleteAt(void* mark) {
  settle();
  for (QelClMemoryPoolBlock* block = pclFirstBlock; block != nullptr;
       block = block->getNextBlock()) {
    if (block->contains(mark)) {
      for (QelClMemoryPoolBlock* behind = block->getNextBlock(); behind != nullptr;
           behind = behind->getNextBlock()) {
        behind->reset();
      }
      block->reset(mark);
      adopt();
      return;
    }
  }
}

void QelClMemoryPool::setErrorHandler(QelPfuMemoryPoolErrorHandler handler, void* data) {
  pfuErrorHandler = handler;
  pvHandlerData = data;
}

unsigned int QelClMemoryPool::getCurrentFreeSize() const {
  settle();
  return pclCurrentBlock != nullptr ? pclCurrentBlock->getFreeSize() : 0;
}

unsigned int QelClMemoryPool::getCapacityForFirstBlock() const {
  return pclFirstBlock != nullptr ? pclFirstBlock->getCapacity() : 0;
}

unsigned int QelClMemoryPool::getLargestPossibleChunk() const {
  settle();
  const unsigned int firstFree = pclFirstBlock != nullptr ? pclFirstBlock->getFreeSize() : 0;
  return std::max(firstFree, getCapacityForSubsequentBlocks());
}

unsigned int QelClMemoryPool::alignToPageSize(unsigned int size) const {
  const unsigned int below = size & ~(kPageSize - 1);
  if (below == size) return size;
  // The page above, unless it lies beyond the largest size.
  return below <= std::numeric_limits<unsigned int>::max() - kPageSize ? below + kPageSize : below;
}
