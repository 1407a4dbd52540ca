// The locks behind the trace buffer guards (QelClTraceBufferAccessSemaphore).
#ifndef VRNQEL43_TRACE_BUFFER_LOCK_H
#define VRNQEL43_TRACE_BUFFER_LOCK_H

#include <atomic>
#include <cstdint>

namespace qel {
namespace trace {

// A resource key's text chooses one of the locks by its hash.
constexpr std::uint32_t kBufferLockCount = 64;

// Taking a lock nobody holds is one atomic exchange; releasing it is a plain store,
// with no call into the system: a record costs nanoseconds. A thread that finds the
// lock held spins a little, then yields its processor, then naps a little at a time
// until the lock is free: a record holds it for nanoseconds, a hand-over for as long
// as writing the buffer to its file takes.
class BufferLock {
public:
  void lock() {
    if (held.exchange(true, std::memory_order_acquire)) wait();
  }
  void unlock() { held.store(false, std::memory_order_release); }
  // Waits at most about milliseconds for the lock; a crash save must not wait for one
  // that the crashed thread holds.
  bool tryLockFor(std::uint32_t milliseconds);
  // In the child of a fork, whose only thread holds no lock, whatever the parent's did.
  void reset() { held.store(false, std::memory_order_relaxed); }

private:
  void wait();

  std::atomic<bool> held{false};
};

// Constant-initialised and never destroyed, so that they outlive every exit handler.
// Hidden where the object format knows visibility, so that the library reaches them
// without looking their address up.
#if defined(__ELF__)
extern BufferLock g_bufferLocks[kBufferLockCount] __attribute__((visibility("hidden")));
#else
extern BufferLock g_bufferLocks[kBufferLockCount];
#endif

// The lock that a resource key's text chooses: every key of the same text shares it.
BufferLock& lockOf(const char* keyText);

}  // namespace trace
}  // namespace qel

#endif
