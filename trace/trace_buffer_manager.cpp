// The ring arithmetic of the trace buffer, its hand-over to the overflow callback and
// the guard around every write and flush.
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "memory/managed_object.h"
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
    : pvLock(&qel::trace::lockOf(key.getText())) {
  static_cast<qel::trace::BufferLock*>(pvLock)->lock();
}

QelClTraceBufferAccessSemaphore::~QelClTraceBufferAccessSemaphore() {
  static_cast<qel::trace::BufferLock*>(pvLock)->unlock();
}

void qel::trace::Ring::attach(BufferLock& lock, char* buffer, std::uint32_t size) {
  pclLock = &lock;
  pcBuffer = buffer;
  RingHeader& h = header();
  if (std::memcmp(h.acMagic, kMagic, sizeof kMagic) == 0) return;
  std::memcpy(h.acMagic, kMagic, sizeof kMagic);
  h.ulCapacity = size - QelClTraceBufferManager::HEADER_SIZE;
  h.ulStart = QelClTraceBufferManager::HEADER_SIZE;
  h.ulLast = h.ulStart + h.ulCapacity - 1;
  h.ulSaved = h.ulWrite = h.ulStart;
}

void qel::trace::Ring::flush() {
  const std::lock_guard<BufferLock> guard(*pclLock);
  if (!bDirty) return;
  overflow();
  bDirty = false;
}

void qel::trace::Ring::write(const char* bytes, std::uint32_t length) {
  if (length == 0) return;
  RingHeader& h = header();
  const std::uint32_t room = h.ulLast - h.ulWrite + 1;
  if (length < room) {
    std::memcpy(pcBuffer + h.ulWrite, bytes, length);
    RingWriter::publishWrite(h, h.ulWrite + length);
    return;
  }
  std::memcpy(pcBuffer + h.ulWrite, bytes, room);
  RingWriter::publishWrite(h, h.ulLast + 1);
  overflow();
  std::memcpy(pcBuffer + h.ulStart, bytes + room, length - room);
  RingWriter::publishWrite(h, h.ulStart + (length - room));
}

void qel::trace::Ring::overflow() {
  if (pfuCallback == nullptr) return;
  RingHeader& h = header();
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

// The lock is the one the key's text chooses when the manager is made.
QelClTraceBufferManager::QelClTraceBufferManager(const QelClResourceKeySemaphore& key, char* buffer,
                                                 unsigned int size)
    : pclRing(qel::memory::construct<qel::trace::Ring>()) {
  pclRing->attach(qel::trace::lockOf(key.getText()), buffer, size);
}

QelClTraceBufferManager::~QelClTraceBufferManager() { qel::memory::destroy(pclRing); }

void QelClTraceBufferManager::setOverflowCallback(QelPfuTraceOverflow callback, void* context) {
  pclRing->pfuCallback = callback;
  pclRing->pvContext = context;
}

void QelClTraceBufferManager::write(const QelClTraceEntry& entry) {
  const unsigned char* record = entry.getRecord();
  const char* strings = reinterpret_cast<const char*>(record + QelClTraceEntry::HEADER_LENGTH);
  write(record, strings, strings + entry.getMessageLength(), entry.getData());
}

void QelClTraceBufferManager::write(const unsigned char* recordHeader, const char* message, const char* function,
                                    const void* data) {
  qel::trace::RingWriter::write(*pclRing, qel::trace::RecordHeader::load(recordHeader), message, function, data);
}

void QelClTraceBufferManager::flush() { pclRing->flush(); }
