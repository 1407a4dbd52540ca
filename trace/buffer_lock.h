// The locks behind the trace buffer guards (QelClTraceBufferAccessSemaphore).
#ifndef VRNQEL43_TRACE_BUFFER_LOCK_H
#define VRNQEL43_TRACE_BUFFER_LOCK_H

#include <atomic>
#include <cstdint>

namespace qel {
namespace trace {

// A resource key's text chooses one of the locks by its hash.
constexpr std::uint32_t kBufferLockCount = 64;

// Taking and releasing a lock nobody else wants is one atomic operation each, with no
// call into the system: a record costs nanoseconds. A thread that finds the lock held
// spins a little, then sleeps until the holder releases it.
class BufferLock {
public:
  void lock() {
    std::uint32_t expected = kFree;
    if (!state.compare_exchange_strong(expected, kHeld, std::memory_order_acquire)) wait();
  }
  void unlock() {
    if (state.exchange(kFree, std::memory_order_release) == kContended) wake();
  }

private:
  // Held and contended: a thread may be asleep waiting, so releasing wakes it.
  enum : std::uint32_t { kFree, kHeld, kContended };
  void wait();
  static void wake();

  std::atomic<std::uint32_t> state{kFree};
};

// Constant-initialised and never destroyed, so that they outlive every exit handler.
extern BufferLock g_bufferLocks[kBufferLockCount];

}  // namespace trace
}  // namespace qel

#endif
