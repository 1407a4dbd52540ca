// The ring arithmetic of the trace buffer, its hand-over to the overflow callback and
// the guard around every write and flush.
#include <chrono>
#include <cstring>
#include <thread>

#include "qel_trace.h"
#include "trace/ring_writer.h"

namespace {

const char kMagic[4] = {'Q', 'E', 'L', 'T'};

// Tries before a thread that finds a buffer lock held yields its processor, and
// yields before it naps: a record is written in far less time, a hand-over in
// microseconds.
constexpr int kSpins = 100;
constexpr int kYields = 20;
constexpr auto kNap = std::chrono::microseconds(50);

}  // namespace

qel::trace::BufferLock qel::trace::g_bufferLocks[kBufferLockCount];

void qel::trace::BufferLock::wait() {
  for (int round = 0;; ++round) {
    if (!held.load(std::memory_order_relaxed) && !held.exchange(true, std::memory_order_acquire)) return;
    if (round >= kSpins + kYields) {
      std::this_thread::sleep_for(kNap);
    } else if (round >= kSpins) {
      std::this_thread::yield();
    }
  }
}

bool qel::trace::BufferLock::tryLockFor(std::uint32_t milliseconds) {
  for (std::uint32_t waited = 0;; ++waited) {
    if (!held.exchange(true, std::memory_order_acquire)) return true;
    if (waited >= milliseconds) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

QelClTraceBufferAccessSemaphore::QelClTraceBufferAccessSemaphore(const QelClResourceKeySemaphore& key)
    : pvLock(&qel::trace::RingWriter::lockOf(key)) {
  static_cast<qel::trace::BufferLock*>(pvLock)->lock();
}

QelClTraceBufferAccessSemaphore::~QelClTraceBufferAccessSemaphore() {
  static_cast<qel::trace::BufferLock*>(pvLock)->unlock();
}

QelClTraceBufferManager::QelClTraceBufferManager(const QelClResourceKeySemaphore& key, char* buffer,
                                                 unsigned int size)
    : pclKey(&key), pcBuffer(buffer), pfuCallback(nullptr), pvContext(nullptr), bDirty(false) {
  Header& h = qel::trace::RingWriter::header(*this);
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
  qel::trace::RingWriter::write(*this, qel::trace::RecordHeader::load(recordHeader), message, function, data);
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
  Header& h = qel::trace::RingWriter::header(*this);
  const std::uint32_t room = h.ulLast - h.ulWrite + 1;
  if (length < room) {
    std::memcpy(pcBuffer + h.ulWrite, bytes, length);
    qel::trace::RingWriter::publishWrite(h, h.ulWrite + length);
    return;
  }
  std::memcpy(pcBuffer + h.ulWrite, bytes, room);
  qel::trace::RingWriter::publishWrite(h, h.ulLast + 1);
  overflow();
  std::memcpy(pcBuffer + h.ulStart, bytes + room, length - room);
  qel::trace::RingWriter::publishWrite(h, h.ulStart + (length - room));
}

void QelClTraceBufferManager::overflow() {
  if (pfuCallback == nullptr) return;
  Header& h = qel::trace::RingWriter::header(*this);
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
