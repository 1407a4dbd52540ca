/// \file
/// vrnqel43: the replaceable allocator through which all of the library's memory flows,
/// and the memory pool that carves chunks out of its blocks.
#ifndef VRNQEL43_QEL_MEMORY_H
#define VRNQEL43_QEL_MEMORY_H

#include "qel_errors.h"

/// The callbacks have the runtime's own signatures, so that malloc, realloc and
/// free can be installed as they are. The library never asks for more than
/// 2^32 - 1 bytes at once.
typedef void* (*QelPfuAllocator)(std::size_t size);
/// The reallocator callback: realloc's signature.
typedef void* (*QelPfuReallocator)(void* block, std::size_t size);
/// The deallocator callback: free's signature.
typedef void (*QelPfuDeallocator)(void* block);

/// Allocation never returns null: a failure throws a QelClExceptionFatal with
/// MEMMGR_ZERO_SIZE_OBJECT (a null block for size 0), MEMMGR_RUNTIME_OUT_OF_MEMORY
/// (the runtime's malloc failed), MEMMGR_USER_OUT_OF_MEMORY (an application
/// allocator failed) or MEMMGR_NO_USER_REALLOC_FUNC (no reallocator installed).
class QEL_API QelClMemoryManager {
public:
  QelClMemoryManager() = delete;

  /// A block of size bytes from the installed allocator; never null.
  static void* malloc(unsigned int size);
  /// Resizes block through the installed reallocator; never null.
  static void* realloc(void* block, unsigned int size);
  /// count * size must fit 32 bits; a larger product throws the out-of-memory
  /// exception of the allocator in force.
  static void* calloc(unsigned int count, unsigned int size);
  /// Returns block to the installed deallocator; null does nothing.
  static void free(void* block);

  /// Replaces the callbacks. A null reallocator together with the runtime's
  /// malloc brings back the runtime's realloc. Install before the library
  /// allocates anything it will later release.
  static void setNewMemoryManager(QelPfuAllocator allocator, QelPfuReallocator reallocator,
                                  QelPfuDeallocator deallocator);
  /// Whether an allocator other than the runtime's malloc is installed.
  static bool hasUserDefinedMgr();

  /// The allocator in force (std::malloc at start).
  static QelPfuAllocator cv_pfuAllocatorCallback;
  /// The reallocator in force (std::realloc at start); null when none is installed.
  static QelPfuReallocator cv_pfuReallocatorCallback;
  /// The deallocator in force (std::free at start).
  static QelPfuDeallocator cv_pfuDeallocatorCallback;
};

/// QelClMemoryManager::malloc under a plain name.
QEL_C_API void* qelMalloc(unsigned int size);
/// QelClMemoryManager::calloc under a plain name.
QEL_C_API void* qelCalloc(unsigned int count, unsigned int size);
/// QelClMemoryManager::realloc under a plain name.
QEL_C_API void* qelRealloc(void* block, unsigned int size);
/// QelClMemoryManager::free under a plain name.
QEL_C_API void qelFree(void* block);
/// QelClMemoryManager::setNewMemoryManager under a plain name.
QEL_C_API void qelSetNewMemoryManager(QelPfuAllocator allocator, QelPfuReallocator reallocator,
                                      QelPfuDeallocator deallocator);

// ---- Memory pool -----------------------------------------------------------------

/// The header of one pool block: where its chunk area lies, how much of it is
/// carved, the following block, and the block's number. An owning pool keeps the
/// header at the start of the block, with the chunk area directly behind it; a pool
/// in a caller's buffer keeps it in a record of its own, which then holds the
/// buffer's address in place of the following block (such a block never has one).
/// Positions are 32-bit offsets into the chunk area, so that the header is six
/// 32-bit words on a 64-bit host.
// cppcheck-suppress noConstructor ; the header lies in raw block memory, set up by init
class QEL_API QelClMemoryPoolBlock {
public:
  /// Sets up an empty header for a chunk area of capacity bytes at start, numbered number.
  void init(char* start, unsigned int capacity, unsigned int number);
  /// Carves size bytes at the next free position. No bounds check: callers check
  /// getFreeSize() first.
  void* allocate(unsigned int size) {
    char* chunk = getNextFree();
    ulUsed += size;
    ++ulAllocations;
    return chunk;
  }
  /// Makes the whole chunk area free again and clears the count.
  void reset() {
    ulUsed = 0;
    ulAllocations = 0;
  }
  /// Carving goes on at p, a position inside the chunk area; the count stays.
  void reset(void* p);

  /// The start of the chunk area.
  char* getStart() const {
    char* const behind = reinterpret_cast<char*>(const_cast<QelClMemoryPoolBlock*>(this + 1));
    return QEL_UNLIKELY(bDetached) ? static_cast<char*>(pvLink) : behind;
  }
  /// Where the next chunk would be carved.
  char* getNextFree() const { return getStart() + ulUsed; }
  /// The size of the chunk area in bytes.
  unsigned int getCapacity() const { return ulCapacity; }
  /// The bytes not yet carved.
  unsigned int getFreeSize() const { return ulCapacity - ulUsed; }
  /// Chunks carved since the last reset.
  std::uint32_t getAllocations() const { return ulAllocations; }
  /// The block's number in its pool (the first is 1).
  std::uint32_t getNumber() const { return ulNumber; }
  /// The following block, or null for the last block and for a block in a caller's buffer.
  QelClMemoryPoolBlock* getNextBlock() const {
    return bDetached ? nullptr : static_cast<QelClMemoryPoolBlock*>(pvLink);
  }
  /// Links next behind this block (headers at the start of their block only).
  void setNextBlock(QelClMemoryPoolBlock* next) { pvLink = next; }
  /// True when p lies in the chunk area or directly behind it.
  bool contains(const void* p) const;

private:
  /// The following block for a header at the start of its block, the chunk area
  /// for a header in a record of its own.
  void* pvLink;
  std::uint32_t ulCapacity;
  std::uint32_t ulUsed;
  std::uint32_t ulAllocations;
  /// Numbers stay below 2^31: every block takes at least a page, so 2^31 blocks
  /// would need 8 TiB.
  std::uint32_t ulNumber : 31;
  std::uint32_t bDetached : 1;
};

static_assert(sizeof(QelClMemoryPoolBlock) == 24, "a pool block header is six 32-bit words");

/// Receives a pool's failure (the error record) with the data given to setErrorHandler.
typedef void (*QelPfuMemoryPoolErrorHandler)(const _QelStError& error, void* data);

/// A region allocator: chunks are carved one behind the other out of large blocks
/// and released all at once (deleteAll) or back to a mark (deleteAt); there is no
/// per-chunk free. An owning pool takes its blocks from qelMalloc and grows by
/// blocks of the subsequent size; a pool in a caller's buffer never grows.
/// Failures go to the error handler when one is installed (the call then returns
/// null), else they are thrown as QelClException: MEMORYPOOL_CHUNK_TOO_BIG for an
/// allocateB request above getLargestPossibleChunk(), MEMORYPOOL_COULD_NOT_GROW
/// when no memory for a new block can be had. A full buffer pool returns null.
class QEL_API QelClMemoryPool {
public:
  /// Block sizes include the 24-byte header; both are raised to at least 4096 and
  /// rounded up to whole pages. The switch threshold is clamped to 256...65536.
  /// When the first block cannot be had, the pool is made without blocks.
  QelClMemoryPool(unsigned int firstBlockSize, unsigned int subsequentBlockSize,
                  unsigned int switchThreshold);
  /// A pool inside buffer; the buffer stays the caller's.
  QelClMemoryPool(void* buffer, unsigned int size);
  QelClMemoryPool(const QelClMemoryPool&) = delete;
  QelClMemoryPool& operator=(const QelClMemoryPool&) = delete;
  ~QelClMemoryPool();

  /// blockNumber receives the number of the block the chunk was carved from.
  /// Carving from the current block is inline while the chunk fits the room the
  /// pool keeps for it (at most the block's free space and a subsequent block's
  /// capacity, so within the limit); chunks of size 0 and everything else take the
  /// out-of-line paths.
  void* allocateB(unsigned int size, unsigned int& blockNumber) {
    const std::uint64_t aligned = roundedUp(size);
    if (QEL_LIKELY(aligned - 1 < ulInlineRoom)) {
      blockNumber = ulCurrentNumber;
      return carveInline(aligned);
    }
    return carveWithLimit(getAlignedSizeFor(size), blockNumber);
  }
  /// No size limit: a request too large for a standard block gets a block of its own.
  void* allocateUnlimited(unsigned int size) {
    const std::uint64_t aligned = roundedUp(size);
    if (QEL_LIKELY(aligned - 1 < ulInlineRoom)) return carveInline(aligned);
    return carveUnlimited(getAlignedSizeFor(size));
  }
  /// Releases every chunk. Blocks behind the first that were not used since the
  /// previous deleteAll are returned to the allocator; the others are kept.
  void deleteAll();
  /// A mark for deleteAt: where the next chunk of the current block would start.
  void* getCurrentStateHandle() const;
  /// Releases what was carved after mark; a mark outside every block does nothing.
  void deleteAt(void* mark);
  /// Installs handler, called with data on every failure in place of a throw; null restores throwing.
  void setErrorHandler(QelPfuMemoryPoolErrorHandler handler, void* data);

  /// The free bytes of the current block; 0 for a pool without blocks.
  unsigned int getCurrentFreeSize() const;
  /// The chunk area of the first block in bytes; 0 for a pool without blocks.
  unsigned int getCapacityForFirstBlock() const;
  /// The chunk area of each further block in bytes; 0 for a buffer pool, which never grows.
  unsigned int getCapacityForSubsequentBlocks() const {
    return ulSubsequentBlockSize != 0
               ? ulSubsequentBlockSize - static_cast<unsigned int>(sizeof(QelClMemoryPoolBlock))
               : 0;
  }
  /// The larger of the first block's free space and a subsequent block's capacity.
  unsigned int getLargestPossibleChunk() const;
  /// size rounded up to a multiple of 4, or 0xFFFFFFFC when that would wrap.
  unsigned int getAlignedSizeFor(unsigned int size) const {
    return size > 0xFFFFFFFCu ? 0xFFFFFFFCu : (size + 3) & ~3u;
  }
  /// The number of the first block: always 1.
  unsigned int getFirstBlockNumber() const { return 1; }
  /// size rounded up to a multiple of 4096, or down when rounding up would wrap.
  unsigned int alignToPageSize(unsigned int size) const;
  /// The number of blocks the pool holds.
  std::uint32_t getBlockCount() const { return ulBlockCount; }
  /// The sum of (block size >> 10) over all blocks.
  std::uint32_t getSizeInKB() const { return ulSizeInKB; }
  /// The switch threshold, clamped to 256...65536; 0 for a pool in a caller's buffer.
  std::uint32_t getSwitchThreshold() const { return ulSwitchThreshold; }
  /// The first block's memory belongs to the caller (the pool was built in a buffer).
  bool isExternal() const { return bExternal; }

private:
  /// size rounded up to a multiple of 4, in 64 bits so that it cannot wrap, for the
  /// inline paths; the out-of-line ones get getAlignedSizeFor's saturated size.
  static std::uint64_t roundedUp(unsigned int size) {
    static_assert(kAligned, "the inline paths round every chunk size");
    return (std::uint64_t{size} + 3) & ~std::uint64_t{3};
  }
  char* carveInline(std::uint64_t aligned) {
    char* const chunk = pcNext;
    pcNext += aligned;
    ulInlineRoom -= static_cast<std::uint32_t>(aligned);
    return chunk;
  }
  void* carveWithLimit(unsigned int size, unsigned int& blockNumber);
  void* carveUnlimited(unsigned int size);
  void* carve(unsigned int size, unsigned int& blockNumber);
  /// The inline paths carve through pcNext and leave the current block's header
  /// behind; settle brings it up to date (as one allocation: only whether a block
  /// was carved from counts), adopt takes the cursor from the current block after
  /// the out-of-line paths changed it.
  void settle() const;
  void adopt();
  QelClMemoryPoolBlock* addBlockBehind(QelClMemoryPoolBlock* last, unsigned int size);
  void* reportCouldNotGrow(const QelClException& cause);

  QelClMemoryPoolBlock* pclFirstBlock;
  QelClMemoryPoolBlock* pclCurrentBlock;
  std::uint32_t ulBlockCount;
  std::uint32_t ulSizeInKB;
  std::uint32_t ulSubsequentBlockSize;
  std::uint32_t ulSwitchThreshold;
  /// The largest chunk carved inline: a subsequent block's capacity, or no bound
  /// for a pool that never grows (its one block is the first).
  std::uint32_t ulInlineLimit;
  /// The current block's next free byte as the inline paths see it, the bytes they
  /// may still carve from it, and its number.
  char* pcNext;
  std::uint32_t ulInlineRoom;
  std::uint32_t ulCurrentNumber;
  /// Every pool rounds chunk sizes up to multiples of 4 (and own blocks to whole
  /// pages): both constructors set the aligned flag and nothing clears it, so it is
  /// a constant, which the inline paths fold away.
  static constexpr bool kAligned = true;
  bool bExternal;
  QelPfuMemoryPoolErrorHandler pfuErrorHandler;
  void* pvHandlerData;
};

#endif
