#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

// An application allocator that counts its calls and fails on request.
struct Counting {
  static int allocations, reallocations, releases;
  static bool failing;
  static void* allocate(std::size_t size) {
    ++allocations;
    return failing ? nullptr : std::malloc(size == 0 ? 1 : size);
  }
  static void* reallocate(void* block, std::size_t size) {
    ++reallocations;
    return failing ? nullptr : std::realloc(block, size);
  }
  static void release(void* block) {
    ++releases;
    std::free(block);
  }
};
int Counting::allocations, Counting::reallocations, Counting::releases;
bool Counting::failing;

class MemoryManager : public ::testing::Test {
protected:
  void SetUp() override {
    Counting::allocations = Counting::reallocations = Counting::releases = 0;
    Counting::failing = false;
  }
  void TearDown() override { QelClMemoryManager::setNewMemoryManager(malloc, nullptr, free); }

  static void installCounting(QelPfuReallocator reallocator = &Counting::reallocate) {
    QelClMemoryManager::setNewMemoryManager(&Counting::allocate, reallocator, &Counting::release);
  }
};

// Runs call, which must throw a QelClExceptionFatal, and checks what it carries.
void expectFatal(const std::function<void()>& call, std::uint32_t id, QelEnErrorClass errorClass,
                 QelEnErrorAction action) {
  try {
    call();
    ADD_FAILURE() << "no exception for identifier " << id;
  } catch (const QelClExceptionFatal& e) {
    EXPECT_EQ(e.getErrorId(), id);
    EXPECT_EQ(e.getErrorClass(), errorClass);
    EXPECT_EQ(e.getErrorSeverity(), QelEnErrorSeverity::FATAL);
    EXPECT_EQ(e.getErrorAction(), action);
    EXPECT_STREQ(e.getCause(), "");
    // The library's throws name the module and line they came from, as "module:line".
    ASSERT_NE(e.getModule(), nullptr);
    EXPECT_EQ(e.getModule(), "memory_manager:" + std::to_string(e.getLine()));
    EXPECT_GT(e.getLine(), 0u);
  }
}

}  // namespace

TEST_F(MemoryManager, StartsWithTheRuntimeAllocator) {
  EXPECT_FALSE(QelClMemoryManager::hasUserDefinedMgr());
  EXPECT_NE(QelClMemoryManager::cv_pfuReallocatorCallback, nullptr);
}

TEST_F(MemoryManager, RuntimeAllocatorGivesBlocksEvenForSizeZero) {
  void* block = qelMalloc(0);
  EXPECT_NE(block, nullptr);
  block = qelRealloc(block, 100);
  std::memset(block, 0xA5, 100);
  qelFree(block);
}

TEST_F(MemoryManager, ApplicationAllocatorFailureIsUserOutOfMemory) {
  installCounting();
  EXPECT_TRUE(QelClMemoryManager::hasUserDefinedMgr());
  Counting::failing = true;
  expectFatal([] { qelMalloc(64); }, MEMMGR_USER_OUT_OF_MEMORY, QelEnErrorClass::OUT_OF_MEMORY,
              QelEnErrorAction::TERMINATE);
  expectFatal([] { QelClMemoryManager::realloc(nullptr, 64); }, MEMMGR_USER_OUT_OF_MEMORY,
              QelEnErrorClass::OUT_OF_MEMORY, QelEnErrorAction::TERMINATE);
}

TEST_F(MemoryManager, NullForSizeZeroIsZeroSizeObject) {
  installCounting();
  Counting::failing = true;
  expectFatal([] { QelClMemoryManager::malloc(0); }, MEMMGR_ZERO_SIZE_OBJECT,
              QelEnErrorClass::INVALID_DATA, QelEnErrorAction::TERMINATE);
  expectFatal([] { qelCalloc(0, 7); }, MEMMGR_ZERO_SIZE_OBJECT, QelEnErrorClass::INVALID_DATA,
              QelEnErrorAction::TERMINATE);
}

TEST_F(MemoryManager, RuntimeReallocToZeroReleasesAndThrows) {
  void* block = qelMalloc(32);
  expectFatal([block] { qelRealloc(block, 0); }, MEMMGR_ZERO_SIZE_OBJECT,
              QelEnErrorClass::INVALID_DATA, QelEnErrorAction::TERMINATE);
}

TEST_F(MemoryManager, MissingReallocatorAbortsAndLeavesTheBlock) {
  installCounting(nullptr);
  char* block = static_cast<char*>(qelMalloc(4));
  std::memcpy(block, "abc", 4);
  expectFatal([block] { qelRealloc(block, 10); }, MEMMGR_NO_USER_REALLOC_FUNC,
              QelEnErrorClass::FUNCTION_NOT_SUPPORTED, QelEnErrorAction::ABORT);
  EXPECT_STREQ(block, "abc");
  qelFree(block);
  EXPECT_EQ(Counting::releases, 1);
}

TEST_F(MemoryManager, RestoringRuntimeMallocBringsBackRealloc) {
  installCounting(nullptr);
  qelSetNewMemoryManager(malloc, nullptr, free);
  EXPECT_FALSE(QelClMemoryManager::hasUserDefinedMgr());
  void* block = qelRealloc(nullptr, 16);
  qelFree(block);
}

TEST_F(MemoryManager, ForwardsToTheInstalledCallbacks) {
  installCounting();
  void* block = qelMalloc(8);
  block = qelRealloc(block, 80);
  qelFree(block);
  qelFree(nullptr);
  QelClMemoryManager::free(nullptr);
  EXPECT_EQ(Counting::allocations, 1);
  EXPECT_EQ(Counting::reallocations, 1);
  EXPECT_EQ(Counting::releases, 1);
}

TEST_F(MemoryManager, CallocZeroesWhatTheAllocatorGives) {
  QelClMemoryManager::setNewMemoryManager(
      [](std::size_t size) {
        void* block = std::malloc(size);
        std::memset(block, 0xCD, size);
        return block;
      },
      &realloc, &free);
  auto* block = static_cast<unsigned char*>(qelCalloc(3, 5));
  const unsigned char zeros[15] = {};
  EXPECT_EQ(std::memcmp(block, zeros, sizeof zeros), 0);
  qelFree(block);
}

TEST_F(MemoryManager, CallocProductBeyond32BitsIsOutOfMemory) {
  expectFatal([] { qelCalloc(0x10000, 0x10000); }, MEMMGR_RUNTIME_OUT_OF_MEMORY,
              QelEnErrorClass::OUT_OF_MEMORY, QelEnErrorAction::TERMINATE);
  installCounting();
  expectFatal([] { qelCalloc(0x20000, 0x10000); }, MEMMGR_USER_OUT_OF_MEMORY,
              QelEnErrorClass::OUT_OF_MEMORY, QelEnErrorAction::TERMINATE);
  EXPECT_EQ(Counting::allocations, 0);
}
