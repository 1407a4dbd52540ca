#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

// The allocator behind the pool: records every request and fails on demand.
struct Recording {
  static std::vector<std::size_t> requests;
  static int releases;
  static bool failing;
  static void* allocate(std::size_t size) {
    requests.push_back(size);
    return failing ? nullptr : std::malloc(size);
  }
  static void release(void* block) {
    ++releases;
    std::free(block);
  }
};
std::vector<std::size_t> Recording::requests;
int Recording::releases;
bool Recording::failing;

class MemoryPool : public ::testing::Test {
protected:
  void SetUp() override {
    Recording::requests.clear();
    Recording::releases = 0;
    Recording::failing = false;
    qelSetNewMemoryManager(&Recording::allocate, nullptr, &Recording::release);
  }
  void TearDown() override { qelSetNewMemoryManager(malloc, nullptr, free); }
};

struct HandlerCalls {
  int count = 0;
  _QelStError last{};
  static void record(const _QelStError& error, void* data) {
    auto* calls = static_cast<HandlerCalls*>(data);
    ++calls->count;
    calls->last = error;
  }
};

// Runs call, which must throw a plain QelClException (not the fatal one), and
// checks its identifier and location.
QelClException expectThrown(const std::function<void()>& call, std::uint32_t id,
                            const char* module) {
  try {
    call();
    ADD_FAILURE() << "nothing thrown";
  } catch (const QelClExceptionFatal&) {
    ADD_FAILURE() << "QelClExceptionFatal thrown";
  } catch (const QelClException& e) {
    EXPECT_EQ(e.getErrorId(), id);
    EXPECT_EQ(e.getErrorClass(), QelEnErrorClass::OUT_OF_MEMORY);
    EXPECT_STREQ(e.getModule(), module);
    return e;
  }
  return QelClException(0, QelEnErrorClass::UNKNOWN, QelEnErrorSeverity::NONE,
                        QelEnErrorAction::IGNORE, nullptr);
}

unsigned int numberOf(QelClMemoryPool& pool, unsigned int size) {
  unsigned int number = 0;
  EXPECT_NE(pool.allocateB(size, number), nullptr);
  return number;
}

}  // namespace

TEST_F(MemoryPool, SizesAreRaisedRoundedAndClamped) {
  QelClMemoryPool smallest(0, 0, 0);
  EXPECT_EQ(Recording::requests, std::vector<std::size_t>{4096});
  EXPECT_EQ(smallest.getCapacityForFirstBlock(), 4072u);
  EXPECT_EQ(smallest.getCapacityForSubsequentBlocks(), 4072u);
  EXPECT_EQ(smallest.getCurrentFreeSize(), 4072u);
  EXPECT_EQ(smallest.getSwitchThreshold(), 256u);
  EXPECT_EQ(smallest.getBlockCount(), 1u);
  EXPECT_EQ(smallest.getSizeInKB(), 4u);

  QelClMemoryPool rounded(5000, 5000, 100000);
  EXPECT_EQ(rounded.getCapacityForFirstBlock(), 8168u);
  EXPECT_EQ(rounded.getCapacityForSubsequentBlocks(), 8168u);
  EXPECT_EQ(rounded.getSwitchThreshold(), 65536u);
  EXPECT_EQ(rounded.getSizeInKB(), 8u);

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
  EXPECT_EQ(numberOf(pool, 4060), 1u);
  EXPECT_EQ(numberOf(pool, 4), 2u);
  EXPECT_EQ(pool.getSizeInKB(), 8u);

  // A block passed over with less than the threshold free is not searched again.
  QelClMemoryPool passing(4096, 4096, 256);
  EXPECT_EQ(numberOf(passing, 4072 - 300), 1u);
  EXPECT_EQ(numberOf(passing, 400), 2u);  // block 1 keeps 300 free, stays current
  EXPECT_EQ(numberOf(passing, 200), 1u);
  EXPECT_EQ(numberOf(passing, 200), 2u);  // block 1 is left with 100 and passed over
  EXPECT_EQ(numberOf(passing, 8), 2u);

  // Past several such blocks, the first one's successor becomes current.
  QelClMemoryPool chain(4096, 4096, 256);
  for (int i = 0; i < 3; ++i) chain.allocateUnlimited(4072);
  chain.deleteAll();
  EXPECT_EQ(numberOf(chain, 4072 - 300), 1u);
  EXPECT_EQ(numberOf(chain, 3700), 2u);  // block 2 keeps 372
  EXPECT_EQ(numberOf(chain, 4000), 3u);  // block 3 keeps 72
  EXPECT_EQ(numberOf(chain, 320), 2u);   // block 2 keeps 52
  EXPECT_EQ(numberOf(chain, 100), 1u);   // block 1 keeps 200, still current
  EXPECT_EQ(numberOf(chain, 250), 4u);
  EXPECT_EQ(numberOf(chain, 52), 2u);
}

TEST_F(MemoryPool, LargeRequestsGetBlocksOfTheirOwn) {
  QelClMemoryPool pool(4096, 4096, 256);
  std::memset(pool.allocateUnlimited(100000), 0x5A, 100000);
  EXPECT_EQ(Recording::requests.back(), 102400u);
  EXPECT_EQ(pool.getSizeInKB(), 4u + 100);
  // Above a standard block's capacity but below its size: never a standard block.
  pool.allocateUnlimited(4080);
  EXPECT_EQ(Recording::requests.back(), 8192u);
  EXPECT_EQ(pool.getBlockCount(), 3u);
  EXPECT_EQ(pool.getSizeInKB(), 4u + 100 + 8);

  // The limit of allocateB is the first block's free space, not the current one's.
  QelClMemoryPool roomy(65536, 4096, 65536);
  EXPECT_EQ(numberOf(roomy, 8000), 1u);
  roomy.allocateUnlimited(60000);        // block 2 of 61440, now current
  EXPECT_EQ(numberOf(roomy, 4080), 3u);  // within the limit, a block of its own
  EXPECT_EQ(roomy.getSizeInKB(), 64u + 60 + 8);

  QelClMemoryPool tight(8192, 4096, 65536);
  EXPECT_EQ(numberOf(tight, 8000), 1u);
  tight.allocateUnlimited(4080);  // block 2 of 8192, current with 4088 free
  EXPECT_EQ(tight.getCurrentFreeSize(), 4088u);
  EXPECT_EQ(tight.getLargestPossibleChunk(), 4072u);
  HandlerCalls calls;
  tight.setErrorHandler(&HandlerCalls::record, &calls);
  unsigned int number = 0;
  EXPECT_EQ(tight.allocateB(4084, number), nullptr);
  EXPECT_EQ(calls.count, 1);
  EXPECT_NE(tight.allocateUnlimited(4084), nullptr);
  EXPECT_EQ(tight.getBlockCount(), 2u);
}

TEST_F(MemoryPool, ChunkTooBigIsThrownOrHandled) {
  QelClMemoryPool pool(4096, 4096, 256);
  const QelClException e = expectThrown(
      [&pool] {
        unsigned int number = 0;
        pool.allocateB(4073, number);
      },
      1000802, "qel_mempool:643");
  EXPECT_EQ(e.getErrorSeverity(), QelEnErrorSeverity::NORMAL);
  EXPECT_EQ(e.getErrorAction(), QelEnErrorAction::INFORM);
  EXPECT_STREQ(e.getCause(), "");
  EXPECT_EQ(e.getLine(), 643u);

  HandlerCalls calls;
  pool.setErrorHandler(&HandlerCalls::record, &calls);
  unsigned int number = 0;
  EXPECT_EQ(pool.allocateB(0xFFFFFFFFu, number), nullptr);
  EXPECT_EQ(calls.count, 1);
  EXPECT_EQ(calls.last.ulErrorId, 1000802u);
  EXPECT_EQ(calls.last.enErrorClass, QelEnErrorClass::OUT_OF_MEMORY);
}

TEST_F(MemoryPool, CouldNotGrowIsThrownOrHandled) {
  QelClMemoryPool pool(4096, 4096, 256);
  pool.allocateUnlimited(4072);
  Recording::failing = true;
  const QelClException e =
      expectThrown([&pool] { pool.allocateUnlimited(8); }, 1000801, "qel_mempool:321");
  EXPECT_EQ(e.getErrorSeverity(), QelEnErrorSeverity::FATAL);
  EXPECT_EQ(e.getErrorAction(), QelEnErrorAction::TERMINATE);
  EXPECT_EQ(e.getLine(), 321u);

  HandlerCalls calls;
  pool.setErrorHandler(&HandlerCalls::record, &calls);
  unsigned int number = 0;
  EXPECT_EQ(pool.allocateB(8, number), nullptr);
  EXPECT_EQ(calls.count, 1);
  EXPECT_EQ(calls.last.ulErrorId, 1000801u);
  EXPECT_EQ(calls.last.enErrorClass, QelEnErrorClass::OUT_OF_MEMORY);
  EXPECT_EQ(pool.getBlockCount(), 1u);
  EXPECT_EQ(pool.getSizeInKB(), 4u);

  // A block that 32-bit sizes cannot express is not even asked for.
  Recording::failing = false;
  const std::size_t requests = Recording::requests.size();
  EXPECT_EQ(pool.allocateUnlimited(0xFFFFF000u), nullptr);
  EXPECT_EQ(calls.count, 2);
  EXPECT_EQ(Recording::requests.size(), requests);
}

TEST_F(MemoryPool, PoolWhoseFirstBlockFailedHasNoBlocks) {
  Recording::failing = true;
  QelClMemoryPool owning(4096, 4096, 256);
  QelClMemoryPool buffered(nullptr, 100);
  Recording::failing = false;
  for (QelClMemoryPool* pool : {&owning, &buffered}) {
    EXPECT_EQ(pool->getBlockCount(), 0u);
    EXPECT_EQ(pool->getCapacityForFirstBlock(), 0u);
    EXPECT_EQ(pool->getCurrentStateHandle(), nullptr);
    EXPECT_EQ(pool->allocateUnlimited(8), nullptr);
    expectThrown(
        [pool] {
          unsigned int number = 0;
          pool->allocateB(8, number);
        },
        1000802, "qel_mempool:643");
    pool->deleteAll();
  }
}

TEST_F(MemoryPool, BufferPoolServesUntilFullAndNeverGrows) {
  std::vector<char> buffer(1001);
  {
    QelClMemoryPool pool(buffer.data() + 1, 1000);
    EXPECT_EQ(Recording::requests, std::vector<std::size_t>{24});
    EXPECT_EQ(pool.getCapacityForFirstBlock(), 1000u);
    EXPECT_EQ(pool.getSizeInKB(), 0u);
    EXPECT_TRUE(pool.isExternal());
    for (int i = 0; i < 10; ++i) {
      auto* chunk = static_cast<char*>(pool.allocateUnlimited(99));
      EXPECT_EQ(chunk, buffer.data() + 1 + 100 * i);
      std::memset(chunk, 'x', 100);
    }
    EXPECT_EQ(pool.allocateUnlimited(4), nullptr);
    expectThrown(
        [&pool] {
          unsigned int number = 0;
          pool.allocateB(4, number);
        },
        1000802, "qel_mempool:643");
    pool.deleteAll();
    EXPECT_EQ(pool.getCurrentFreeSize(), 1000u);
    EXPECT_EQ(numberOf(pool, 1000), 1u);
  }
  EXPECT_EQ(Recording::requests.size(), 1u);
  EXPECT_EQ(Recording::releases, 1);
  EXPECT_EQ(buffer[0], '\0');
}

TEST_F(MemoryPool, DeleteAllKeepsTheWorkingSet) {
  {
    QelClMemoryPool pool(4096, 4096, 256);
    for (int i = 0; i < 4; ++i) pool.allocateUnlimited(4072);
    pool.deleteAll();  // all four were used: all kept
    EXPECT_EQ(pool.getBlockCount(), 4u);
    EXPECT_EQ(pool.getCurrentFreeSize(), pool.getCapacityForFirstBlock());

    // Use blocks 1 and 2, pass over 3 and 4 to a block of its own (number 5).
    pool.allocateUnlimited(4072);
    pool.allocateUnlimited(4072);
    pool.allocateUnlimited(5000);
    pool.deleteAll();
    EXPECT_EQ(pool.getBlockCount(), 3u);
    EXPECT_EQ(pool.getSizeInKB(), 4u + 4 + 8);
    EXPECT_EQ(Recording::releases, 2);

    // The next block takes the block count as its number: 4, behind block 5.
    pool.allocateUnlimited(4072);
    pool.allocateUnlimited(4072);
    pool.allocateUnlimited(8168);
    EXPECT_EQ(numberOf(pool, 8), 4u);

    pool.deleteAll();
    pool.deleteAll();  // nothing carved in between: only the first block stays
    EXPECT_EQ(pool.getBlockCount(), 1u);
    EXPECT_EQ(pool.getSizeInKB(), 4u);
  }
  EXPECT_EQ(Recording::releases, static_cast<int>(Recording::requests.size()));
}

TEST_F(MemoryPool, DeleteAtReleasesBackToTheMark) {
  QelClMemoryPool pool(4096, 4096, 256);
  unsigned int number = 0;
  pool.allocateB(100, number);
  void* mark = pool.getCurrentStateHandle();
  for (int i = 0; i < 10; ++i) pool.allocateB(100, number);
  EXPECT_EQ(numberOf(pool, 4000), 2u);  // block 1 stays current

  pool.deleteAt(mark);
  EXPECT_EQ(pool.getCurrentFreeSize(), 4072u - 100);
  EXPECT_EQ(pool.allocateB(3972, number), mark);
  EXPECT_EQ(numberOf(pool, 4000), 2u);  // block 2 was reset to its whole capacity
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
      for (unsigned int k = 0; k < chunks[i].second; ++k) {
        ASSERT_EQ(chunks[i].first[k], i & 0xFF) << "chunk " << i << " overwritten";
      }
    }
    pool.deleteAll();
  }
}
