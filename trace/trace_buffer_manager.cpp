// The ring arithmetic of the trace buffer, its hand-over to the overflow callback and
// the guard around every write and flush.
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>

#include "qel_trace.h"
#include "trace/buffer_lock.h"
#include "trace/record_header.h"

namespace {

const char kMagic[4] = {'Q', 'E', 'L', 'T'};

// Tries before a thread that finds a buffer lock held goes to sleep: a record is
// written in far less time.
constexpr int kSpins = 100;

// Where threads sleep until a buffer lock is released; one for all locks, as waiting
// is rare. Built on first use and never destroyed, as the locks are.
struct Sleepers {
  std::mutex mutex;
  std::condition_variable released;
};

Sleepers& sleepers() {
  alignas(Sleepers) static unsigned char storage[sizeof(Sleepers)];
  static Sleepers* const shared = new (storage) Sleepers;
  return *shared;
}

// Two moves of size bytes, the second ending where the piece does: length is at
// least size and at most twice it.
template <std::uint32_t size>
void copyEnds(char* to, const char* from, std::uint32_t length) {
  std::memcpy(to, from, size);
  std::memcpy(to + length - size, from + length - size, size);
}

// A record's strings and data are mostly a few bytes: a couple of plain moves copy
// them in less time than a call into the C library, or the string instructions the
// compiler chooses for lengths it knows to be short, take to start.
inline void copyPiece(char* to, const void* source, std::uint32_t length) {
  const auto* from = static_cast<const char*>(source);
  if (length > 32) {
    std::memcpy(to, from, length);
  } else if (length >= 16) {
    copyEnds<16>(to, from, length);
  } else if (length >= 8) {
    copyEnds<8>(to, from, length);
  } else if (length >= 4) {
    copyEnds<4>(to, from, length);
  } else if (length != 0) {
    to[0] = from[0];
    to[length / 2] = from[length / 2];
    to[length - 1] = from[length - 1];
  }
}

}  // namespace

qel::trace::BufferLock qel::trace::g_bufferLocks[kBufferLockCount];

void qel::trace::BufferLock::wait() {
  for (int spin = 0; spin < kSpins; ++spin) {
    std::uint32_t expected = kFree;
    if (state.load(std::memory_order_relaxed) == kFree &&
        state.compare_exchange_weak(expected, kHeld, std::memory_order_acquire)) {
      return;
    }
  }
  // Marked contended before sleeping, under the sleepers' mutex, so that the holder's
  // release cannot pass between the mark and the sleep unseen. Whoever takes the lock
  // here keeps the mark: it may not be the last waiter.
  Sleepers& shared = sleepers();
  std::unique_lock<std::mutex> hold(shared.mutex);
  while (state.exchange(kContended, std::memory_order_acquire) != kFree) shared.released.wait(hold);
}

// A waiter that marked the lock contended holds the sleepers' mutex until it sleeps:
// taking the mutex once makes sure it sleeps before it is notified.
void qel::trace::BufferLock::wake() {
  Sleepers& shared = sleepers();
  { const std::lock_guard<std::mutex> hold(shared.mutex); }
  shared.released.notify_all();
}

QelClTraceBufferAccessSemaphore::QelClTraceBufferAccessSemaphore(const QelClResourceKeySemaphore& key)
    : pvLock(&qel::trace::g_bufferLocks[key.ulGuardIndex]) {
  static_cast<qel::trace::BufferLock*>(pvLock)->lock();
}

QelClTraceBufferAccessSemaphore::~QelClTraceBufferAccessSemaphore() {
  static_cast<qel::trace::BufferLock*>(pvLock)->unlock();
}

// The buffer's first 24 bytes. The positions are offsets from the buffer's first
// byte, so that the header keeps its six 32-bit words on a 64-bit host.
struct QelClTraceBufferManager::Header {
  char acMagic[4];
  std::uint32_t ulCapacity;
  std::uint32_t ulStart;
  std::uint32_t ulLast;
  std::uint32_t ulSaved;
  std::uint32_t ulWrite;
};

QelClTraceBufferManager::QelClTraceBufferManager(const QelClResourceKeySemaphore& key, char* buffer,
                                                 unsigned int size)
    : pclKey(&key), pcBuffer(buffer), pfuCallback(nullptr), pvContext(nullptr), bDirty(false) {
  Header& h = header();
  if (std::memcmp(h.acMagic, kMagic, sizeof kMagic) == 0) return;
  std::memcpy(h.acMagic, kMagic, sizeof kMagic);
  h.ulCapacity = size - HEADER_SIZE;
  h.ulStart = HEADER_SIZE;
  h.ulLast = h.ulStart + h.ulCapacity - 1;
  h.ulSaved = h.ulWrite = h.ulStart;
}

QelClTraceBufferManager::~QelClTraceBufferManager() {
  pcBuffer = nullptr;
  pfuCallback = nullptr;
}

QelClTraceBufferManager::Header& QelClTraceBufferManager::header() const {
  static_assert(sizeof(Header) == HEADER_SIZE, "the buffer header is six 32-bit words");
  return *reinterpret_cast<Header*>(pcBuffer);
}

void QelClTraceBufferManager::setOverflowCallback(QelPfuTraceOverflow callback, void* context) {
  pfuCallback = callback;
  pvContext = context;
}

void QelClTraceBufferManager::write(const QelClTraceEntry& entry) {
  const unsigned char* record = entry.getRecord();
  const char* strings = reinterpret_cast<const char*>(record + QelClTraceEntry::HEADER_LENGTH);
  write(record, strings, strings + entry.getMessageLength(), entry.getData());
}

void QelClTraceBufferManager::write(const unsigned char* recordHeader, const char* message, const char* function,
                                    const void* data) {
  const std::uint32_t messageLength = recordHeader[2], functionLength = recordHeader[3];
  const std::uint32_t dataLength = qel::trace::getWord(recordHeader + 16);
  const std::uint32_t stringsEnd = QelClTraceEntry::HEADER_LENGTH + messageLength + functionLength;
  QelClTraceBufferAccessSemaphore guard(*pclKey);
  bDirty = true;
  Header& h = header();
  if (stringsEnd + dataLength < h.ulLast - h.ulWrite + 1) {
    // The usual case: the record ends before the data area does.
    char* at = pcBuffer + h.ulWrite;
    std::memcpy(at, recordHeader, QelClTraceEntry::HEADER_LENGTH);
    copyPiece(at + QelClTraceEntry::HEADER_LENGTH, message, messageLength);
    copyPiece(at + QelClTraceEntry::HEADER_LENGTH + messageLength, function, functionLength);
    copyPiece(at + stringsEnd, data, dataLength);
    h.ulWrite += stringsEnd + dataLength;
    return;
  }
  write(reinterpret_cast<const char*>(recordHeader), QelClTraceEntry::HEADER_LENGTH);
  write(message, messageLength);
  write(function, functionLength);
  write(static_cast<const char*>(data), dataLength);
}

void QelClTraceBufferManager::flush() {
  QelClTraceBufferAccessSemaphore guard(*pclKey);
  if (!bDirty) return;
  overflow();
  bDirty = false;
}

// One call never brings more than the capacity, so the rest after a wrap fits.
void QelClTraceBufferManager::write(const char* bytes, unsigned int length) {
  if (length == 0) return;
  Header& h = header();
  const std::uint32_t room = h.ulLast - h.ulWrite + 1;
  if (length < room) {
    std::memcpy(pcBuffer + h.ulWrite, bytes, length);
    h.ulWrite += length;
    return;
  }
  std::memcpy(pcBuffer + h.ulWrite, bytes, room);
  h.ulWrite = h.ulLast + 1;
  overflow();
  std::memcpy(pcBuffer + h.ulStart, bytes + room, length - room);
  h.ulWrite = h.ulStart + (length - room);
}

void QelClTraceBufferManager::overflow() {
  if (pfuCallback == nullptr) return;
  Header& h = header();
  _QelStTraceOverflow record{pvContext, pcBuffer + h.ulSaved, 0, nullptr, 0};
  if (h.ulSaved >= h.ulWrite) {
    record.ulFirstLength = h.ulLast - h.ulSaved + 1;
    record.pcSecond = pcBuffer + h.ulStart;
    record.ulSecondLength = h.ulWrite - h.ulStart;
  } else {
    record.ulFirstLength = h.ulWrite - h.ulSaved;
  }
  pfuCallback(&record);
  h.ulSaved = h.ulWrite;
}
