// Tests of the replaceable allocator and the memory pool.
#include "tests/qel_test.h"

namespace {

// The fixture's allocator stands in for an application's: it records the size of
// every request, counts reallocations and releases, and fails on demand. Fresh
// blocks are filled with 0xCD, which calloc must clear.
class MemoryManager : public ::testing::Test {
protected:
  void SetUp() override {
    requests.clear();
    reallocations = releases = 0;
    failing = false;
  }
  void TearDown() override { qelSetNewMemoryManager(malloc, nullptr, free); }

  static void installAllocator(QelPfuReallocator reallocator = &reallocate) {
    qelSetNewMemoryManager(&allocate, reallocator, &release);
  }
  static void* allocate(std::size_t size) {
    requests.push_back(size);
    void* block = failing ? nullptr : std::malloc(size);
    return block != nullptr ? std::memset(block, 0xCD, size) : nullptr;
  }
  static void* reallocate(void* block, std::size_t size) {
    ++reallocations;
    return failing ? nullptr : std::realloc(block, size);
  }
  static void release(void* block) {
    ++releases;
    std::free(block);
  }

  inline static std::vector<std::size_t> requests;
  inline static int reallocations = 0, releases = 0;
  inline static bool failing = false;
};

using Class = QelEnErrorClass;
using Severity = QelEnErrorSeverity;
using Action = QelEnErrorAction;

// What a failure throws, always with an empty cause; fatal ones as QelClExceptionFatal.
// The module text is the throwing source's "module:line", with the same line in the
// line field (0 for any).
struct Failure {
  Thrown thrown;
  bool fatal = true;
  const char* module = "memory_manager";
  unsigned int line = 0;
};

const Failure kUserOutOfMemory{
    {MEMMGR_USER_OUT_OF_MEMORY, Class::OUT_OF_MEMORY, Severity::FATAL, Action::TERMINATE}};
const Failure kRuntimeOutOfMemory{
    {MEMMGR_RUNTIME_OUT_OF_MEMORY, Class::OUT_OF_MEMORY, Severity::FATAL, Action::TERMINATE}};
const Failure kZeroSize{
    {MEMMGR_ZERO_SIZE_OBJECT, Class::INVALID_DATA, Severity::FATAL, Action::TERMINATE}};
const Failure kNoReallocator{
    {MEMMGR_NO_USER_REALLOC_FUNC, Class::FUNCTION_NOT_SUPPORTED, Severity::FATAL, Action::ABORT}};
const Failure kChunkTooBig{{1000802, Class::OUT_OF_MEMORY, Severity::NORMAL, Action::INFORM},
                           false, "qel_mempool", 643};
const Failure kCouldNotGrow{{1000801, Class::OUT_OF_MEMORY, Severity::FATAL, Action::TERMINATE},
                            false, "qel_mempool", 321};

void expectThrown(const std::function<void()>& call, const Failure& expected) {
  expectThrown(call, expected.thrown, [&expected](const QelClException& e) {
    EXPECT_EQ(dynamic_cast<const QelClExceptionFatal*>(&e) != nullptr, expected.fatal);
    EXPECT_STREQ(e.getCause(), "");
    EXPECT_TRUE(expected.line == 0 || e.getLine() == expected.line) << e.getLine();
    EXPECT_GT(e.getLine(), 0u);
    EXPECT_EQ(e.getModule(), expected.module + (":" + std::to_string(e.getLine())));
  });
}

}  // namespace

// A null block for size zero is a zero-size object, else the allocator's failure;
// so is a calloc product beyond 32 bits, which no allocator is asked for.
TEST_F(MemoryManager, FailedRequestsThrowFatal) {
  void* block = qelMalloc(32);
  expectThrown([block] { qelRealloc(block, 0); }, kZeroSize);  // the runtime released it
  expectThrown([] { qelCalloc(0x10000, 0x10000); }, kRuntimeOutOfMemory);
  installAllocator();
  EXPECT_TRUE(QelClMemoryManager::hasUserDefinedMgr());
  expectThrown([] { qelCalloc(0x20000, 0x10000); }, kUserOutOfMemory);
  EXPECT_TRUE(requests.empty());
  failing = true;
  expectThrown([] { qelMalloc(64); }, kUserOutOfMemory);
  expectThrown([] { QelClMemoryManager::realloc(nullptr, 64); }, kUserOutOfMemory);
  expectThrown([] { QelClMemoryManager::malloc(0); }, kZeroSize);
  expectThrown([] { qelCalloc(0, 7); }, kZeroSize);
}

TEST_F(MemoryManager, MissingReallocatorAbortsAndLeavesTheBlock) {
  installAllocator(nullptr);
  char* block = static_cast<char*>(qelMalloc(4));
  std::memcpy(block, "abc", 4);
  expectThrown([block] { qelRealloc(block, 10); }, kNoReallocator);
  EXPECT_STREQ(block, "abc");
  qelFree(block);
  EXPECT_EQ(releases, 1);
}

// The runtime's allocator at start, and again once malloc is installed without a
// reallocator: realloc comes back with it, and size zero still gives a block. An
// installed allocator gets every call but those for a null block; calloc clears what
// it gives.
TEST_F(MemoryManager, ForwardsToTheInstalledCallbacks) {
  EXPECT_FALSE(QelClMemoryManager::hasUserDefinedMgr());
  EXPECT_NE(QelClMemoryManager::cv_pfuReallocatorCallback, nullptr);
  installAllocator(nullptr);
  qelSetNewMemoryManager(malloc, nullptr, free);
  EXPECT_FALSE(QelClMemoryManager::hasUserDefinedMgr());
  void* block = qelMalloc(0);
  EXPECT_NE(block, nullptr);
  block = qelRealloc(block, 100);
  std::memset(block, 0xA5, 100);
  qelFree(block);

  installAllocator();
  auto* cleared = static_cast<unsigned char*>(qelCalloc(3, 5));
  const unsigned char zeros[15] = {};
  EXPECT_EQ(std::memcmp(cleared, zeros, sizeof zeros), 0);
  qelFree(qelRealloc(cleared, 80));
  qelFree(nullptr);
  QelClMemoryManager::free(nullptr);
  EXPECT_EQ(requests, std::vector<std::size_t>{15});
  EXPECT_EQ(reallocations, 1);
  EXPECT_EQ(releases, 1);
}

// ---- The memory pool, on the fixture's allocator ------------------------------------

namespace {

class MemoryPool : public MemoryManager {
protected:
  void SetUp() override {
    MemoryManager::SetUp();
    installAllocator(nullptr);
  }
  // Pool errors from here on go to the handler, which notes their identifiers.
  void handleErrors(QelClMemoryPool& pool) { pool.setErrorHandler(&record, &handled); }
  static void record(const _QelStError& error, void* data) {
    EXPECT_EQ(error.enErrorClass, Class::OUT_OF_MEMORY);
    static_cast<std::vector<std::uint32_t>*>(data)->push_back(error.ulErrorId);
  }
  std::vector<std::uint32_t> handled;
};

using Numbers = std::vector<unsigned int>;

void* allocateB(QelClMemoryPool& pool, unsigned int size) {
  unsigned int number = 0;
  return pool.allocateB(size, number);
}

// Carves each size with allocateB in turn: the numbers of the chunks' blocks.
Numbers numbersOf(QelClMemoryPool& pool, std::initializer_list<unsigned int> sizes) {
  Numbers numbers;
  for (unsigned int size : sizes) {
    unsigned int number = 0;
    EXPECT_NE(pool.allocateB(size, number), nullptr) << size;
    numbers.push_back(number);
  }
  return numbers;
}

void allocateUnlimited(QelClMemoryPool& pool, std::initializer_list<unsigned int> sizes) {
  for (unsigned int size : sizes) pool.allocateUnlimited(size);
}

// First and subsequent capacity, switch threshold, block count, size in KiB and
// current free space.
Numbers shapeOf(const QelClMemoryPool& pool) {
  return {pool.getCapacityForFirstBlock(), pool.getCapacityForSubsequentBlocks(),
          pool.getSwitchThreshold(),       pool.getBlockCount(),
          pool.getSizeInKB(),              pool.getCurrentFreeSize()};
}

}  // namespace

TEST_F(MemoryPool, SizesAreRaisedRoundedAndClamped) {
  EXPECT_EQ(shapeOf(QelClMemoryPool(0, 0, 0)), (Numbers{4072, 4072, 256, 1, 4, 4072}));
  EXPECT_EQ(requests, std::vector<std::size_t>{4096});
  const QelClMemoryPool rounded(5000, 5000, 100000);
  EXPECT_EQ(shapeOf(rounded), (Numbers{8168, 8168, 65536, 1, 8, 8168}));
  EXPECT_EQ(rounded.getAlignedSizeFor(5), 8u);
  EXPECT_EQ(rounded.getAlignedSizeFor(8), 8u);
  EXPECT_EQ(rounded.getAlignedSizeFor(0xFFFFFFFEu), 0xFFFFFFFCu);
  EXPECT_EQ(rounded.alignToPageSize(1), 4096u);
  EXPECT_EQ(rounded.alignToPageSize(8192), 8192u);
  EXPECT_EQ(rounded.alignToPageSize(8193), 12288u);
  EXPECT_EQ(rounded.alignToPageSize(0xFFFFF001u), 0xFFFFF000u);
}

TEST_F(MemoryPool, ChunksFollowEachOtherInTheirBlocks) {
  QelClMemoryPool pool(4096, 4096, 256);
  EXPECT_FALSE(pool.isExternal());
  unsigned int number = 0;
  auto* first = static_cast<char*>(pool.allocateB(5, number));
  EXPECT_EQ(number, pool.getFirstBlockNumber());
  EXPECT_EQ(pool.allocateB(1, number), first + 8);
  EXPECT_EQ(numbersOf(pool, {4060, 4}), (Numbers{1, 2}));
  EXPECT_EQ(pool.getSizeInKB(), 8u);

  // A block passed over with less than the threshold free is not searched again:
  // block 1 keeps 300 free and stays current, then is left with 100 and passed over.
  QelClMemoryPool passing(4096, 4096, 256);
  EXPECT_EQ(numbersOf(passing, {4072 - 300, 400, 200, 200, 8}), (Numbers{1, 2, 1, 2, 2}));

  // Past several such blocks, the first one's successor becomes current: blocks 2
  // and 3 keep 372 and 72, then block 2 keeps 52 while block 1 keeps 200, current.
  QelClMemoryPool chain(4096, 4096, 256);
  allocateUnlimited(chain, {4072, 4072, 4072});
  chain.deleteAll();
  EXPECT_EQ(numbersOf(chain, {4072 - 300, 3700, 4000, 320, 100, 250, 52}),
            (Numbers{1, 2, 3, 2, 1, 4, 2}));
}

TEST_F(MemoryPool, LargeRequestsGetBlocksOfTheirOwn) {
  QelClMemoryPool pool(4096, 4096, 256);
  std::memset(pool.allocateUnlimited(100000), 0x5A, 100000);
  // Above a standard block's capacity but below its size: never a standard block.
  pool.allocateUnlimited(4080);
  EXPECT_EQ(requests, (std::vector<std::size_t>{4096, 102400, 8192}));
  EXPECT_EQ(pool.getBlockCount(), 3u);
  EXPECT_EQ(pool.getSizeInKB(), 4u + 100 + 8);

  // The limit of allocateB is the first block's free space, not the current one's:
  // block 2 of 61440 is current, and 4080 is within the limit, in a block of its own.
  QelClMemoryPool roomy(65536, 4096, 65536);
  EXPECT_EQ(numbersOf(roomy, {8000}), Numbers{1});
  roomy.allocateUnlimited(60000);
  EXPECT_EQ(numbersOf(roomy, {4080}), Numbers{3});
  EXPECT_EQ(roomy.getSizeInKB(), 64u + 60 + 8);

  QelClMemoryPool tight(8192, 4096, 65536);
  EXPECT_EQ(numbersOf(tight, {8000}), Numbers{1});
  tight.allocateUnlimited(4080);  // block 2 of 8192, current with 4088 free
  EXPECT_EQ(tight.getCurrentFreeSize(), 4088u);
  EXPECT_EQ(tight.getLargestPossibleChunk(), 4072u);
  handleErrors(tight);
  EXPECT_EQ(allocateB(tight, 4084), nullptr);
  EXPECT_EQ(handled, std::vector<std::uint32_t>{1000802});
  EXPECT_NE(tight.allocateUnlimited(4084), nullptr);
  EXPECT_EQ(tight.getBlockCount(), 2u);
}

TEST_F(MemoryPool, FailuresAreThrownOrHandled) {
  QelClMemoryPool pool(4096, 4096, 256);
  expectThrown([&pool] { allocateB(pool, 4073); }, kChunkTooBig);
  pool.allocateUnlimited(4072);
  failing = true;
  expectThrown([&pool] { pool.allocateUnlimited(8); }, kCouldNotGrow);
  handleErrors(pool);
  EXPECT_EQ(allocateB(pool, 0xFFFFFFFFu), nullptr);
  EXPECT_EQ(allocateB(pool, 8), nullptr);
  EXPECT_EQ(shapeOf(pool), (Numbers{4072, 4072, 256, 1, 4, 0}));

  // A block that 32-bit sizes cannot express is not even asked for.
  failing = false;
  const std::size_t asked = requests.size();
  EXPECT_EQ(pool.allocateUnlimited(0xFFFFF000u), nullptr);
  EXPECT_EQ(handled, (std::vector<std::uint32_t>{1000802, 1000801, 1000801}));
  EXPECT_EQ(requests.size(), asked);
}

TEST_F(MemoryPool, PoolWhoseFirstBlockFailedHasNoBlocks) {
  failing = true;
  QelClMemoryPool owning(4096, 4096, 256);
  QelClMemoryPool buffered(nullptr, 100);
  failing = false;
  for (QelClMemoryPool* pool : {&owning, &buffered}) {
    EXPECT_EQ(pool->getBlockCount(), 0u);
    EXPECT_EQ(pool->getCapacityForFirstBlock(), 0u);
    EXPECT_EQ(pool->getCurrentStateHandle(), nullptr);
    EXPECT_EQ(pool->allocateUnlimited(8), nullptr);
    expectThrown([pool] { allocateB(*pool, 8); }, kChunkTooBig);
    pool->deleteAll();
  }
}

TEST_F(MemoryPool, BufferPoolServesUntilFullAndNeverGrows) {
  std::vector<char> buffer(1001);
  {
    QelClMemoryPool pool(buffer.data() + 1, 1000);
    EXPECT_EQ(requests, std::vector<std::size_t>{24});
    EXPECT_EQ(shapeOf(pool), (Numbers{1000, 0, 0, 1, 0, 1000}));
    EXPECT_TRUE(pool.isExternal());
    for (int i = 0; i < 10; ++i) {
      auto* chunk = static_cast<char*>(pool.allocateUnlimited(99));
      EXPECT_EQ(chunk, buffer.data() + 1 + 100 * i);
      std::memset(chunk, 'x', 100);
    }
    EXPECT_EQ(pool.allocateUnlimited(4), nullptr);
    expectThrown([&pool] { allocateB(pool, 4); }, kChunkTooBig);
    pool.deleteAll();
    EXPECT_EQ(pool.getCurrentFreeSize(), 1000u);
    EXPECT_EQ(numbersOf(pool, {1000}), Numbers{1});
  }
  EXPECT_EQ(requests.size(), 1u);
  EXPECT_EQ(releases, 1);
  EXPECT_EQ(buffer[0], '\0');
}

TEST_F(MemoryPool, DeleteAllKeepsTheWorkingSet) {
  {
    QelClMemoryPool pool(4096, 4096, 256);
    allocateUnlimited(pool, {4072, 4072, 4072, 4072});
    pool.deleteAll();  // all four were used: all kept
    EXPECT_EQ(shapeOf(pool), (Numbers{4072, 4072, 256, 4, 16, 4072}));

    // Use blocks 1 and 2, pass over 3 and 4 to a block of its own (number 5).
    allocateUnlimited(pool, {4072, 4072, 5000});
    pool.deleteAll();
    EXPECT_EQ(shapeOf(pool), (Numbers{4072, 4072, 256, 3, 4 + 4 + 8, 4072}));
    EXPECT_EQ(releases, 2);

    // The next block takes the block count as its number: 4, behind block 5.
    allocateUnlimited(pool, {4072, 4072, 8168});
    EXPECT_EQ(numbersOf(pool, {8}), Numbers{4});

    pool.deleteAll();
    pool.deleteAll();  // nothing carved in between: only the first block stays
    EXPECT_EQ(shapeOf(pool), (Numbers{4072, 4072, 256, 1, 4, 4072}));
  }
  EXPECT_EQ(releases, static_cast<int>(requests.size()));
}

TEST_F(MemoryPool, DeleteAtReleasesBackToTheMark) {
  QelClMemoryPool pool(4096, 4096, 256);
  allocateB(pool, 100);
  void* mark = pool.getCurrentStateHandle();
  for (int i = 0; i < 10; ++i) allocateB(pool, 100);
  EXPECT_EQ(numbersOf(pool, {4000}), Numbers{2});  // block 1 stays current

  pool.deleteAt(mark);
  EXPECT_EQ(pool.getCurrentFreeSize(), 4072u - 100);
  EXPECT_EQ(allocateB(pool, 3972), mark);
  EXPECT_EQ(numbersOf(pool, {4000}), Numbers{2});  // block 2 was reset to its whole capacity
  EXPECT_EQ(pool.getBlockCount(), 2u);

  char outside = 0;
  pool.deleteAt(&outside);
  pool.deleteAt(nullptr);
  EXPECT_EQ(pool.getCurrentFreeSize(), 72u);
}

TEST_F(MemoryPool, ChunksNeverOverlapOrOverrun) {
  QelClMemoryPool pool(8192, 4096, 512);
  for (int round = 0; round < 3; ++round) {
    std::vector<std::pair<unsigned char*, unsigned int>> chunks;
    for (unsigned int i = 0; i < 3000; ++i) {
      const unsigned int size = (i * 7919u) % (i % 50 == 0 ? 9000u : 200u);
      unsigned int number = 0;
      void* chunk = size <= pool.getLargestPossibleChunk() && i % 2 == 0
                        ? pool.allocateB(size, number)
                        : pool.allocateUnlimited(size);
      ASSERT_NE(chunk, nullptr);
      chunks.emplace_back(static_cast<unsigned char*>(chunk), size);
      std::memset(chunk, static_cast<int>(i & 0xFF), size);
    }
    for (unsigned int i = 0; i < chunks.size(); ++i) {
      const std::string written(chunks[i].second, static_cast<char>(i & 0xFF));
      ASSERT_EQ(std::memcmp(chunks[i].first, written.data(), written.size()), 0) << "chunk " << i;
    }
    pool.deleteAll();
  }
}
