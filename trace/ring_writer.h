// Writing a record into the trace buffer's ring: inline, so that the trace call
// writes its record with no call between the filter test and the ring.
#ifndef VRNQEL43_TRACE_RING_WRITER_H
#define VRNQEL43_TRACE_RING_WRITER_H

#include <cstring>
#include <mutex>

#include "qel_trace.h"
#include "trace/buffer_lock.h"
#include "trace/record_header.h"

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

namespace qel {
namespace trace {

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
[[gnu::always_inline]] inline void copyPiece(char* to, const void* source, std::uint32_t length) {
  const auto* from = static_cast<const char*>(source);
  if (length >= 8) {
    if (length <= 16) {
      copyEnds<8>(to, from, length);
    } else if (length <= 32) {
      copyEnds<16>(to, from, length);
    } else {
      std::memcpy(to, from, length);
    }
  } else if (length >= 4) {
    copyEnds<4>(to, from, length);
  } else if (length != 0) {
    to[0] = from[0];
    to[length / 2] = from[length / 2];
    to[length - 1] = from[length - 1];
  }
}

struct RingWriter {
  using RingHeader = QelClTraceBufferManager::Header;

  // The write position is stored after the bytes it covers, and read before them: a
  // crash save on another thread, or a recovery from a durable ring the process left,
  // sees only bytes that were written whole.
  static void publishWrite(RingHeader& h, std::uint32_t position) {
    __atomic_store_n(&h.ulWrite, position, __ATOMIC_RELEASE);
  }
  static std::uint32_t writtenUpTo(const RingHeader& h) { return __atomic_load_n(&h.ulWrite, __ATOMIC_ACQUIRE); }

  static QelClTraceBufferManager::Header& header(const QelClTraceBufferManager& manager) {
    static_assert(sizeof(QelClTraceBufferManager::Header) == QelClTraceBufferManager::HEADER_SIZE,
                  "the buffer header is six 32-bit words");
    return *reinterpret_cast<QelClTraceBufferManager::Header*>(manager.pcBuffer);
  }

  // The lock that the key's text chooses.
  static BufferLock& lockOf(const QelClResourceKeyABase& key) { return g_bufferLocks[key.ulGuardIndex]; }

  // A record from its header and as many bytes of the message, the function name and
  // the data as the header gives, under the buffer's lock. Always inline: a call
  // would hand the header over through memory.
  [[gnu::always_inline]] static void write(QelClTraceBufferManager& manager, const RecordHeader& record,
                                           const char* message, const char* function, const void* data) {
    const std::uint32_t messageLength = record.messageLength(), functionLength = record.functionLength();
    const std::uint32_t stringsEnd = QelClTraceEntry::HEADER_LENGTH + messageLength + functionLength;
    const std::lock_guard<BufferLock> guard(lockOf(*manager.pclKey));
    manager.bDirty = true;
    QelClTraceBufferManager::Header& h = header(manager);
    if (stringsEnd + record.dataLength < h.ulLast - h.ulWrite + 1) {
      // The usual case: the record ends before the data area does.
      char* at = manager.pcBuffer + h.ulWrite;
      record.store(reinterpret_cast<unsigned char*>(at));
      copyPiece(at + QelClTraceEntry::HEADER_LENGTH, message, messageLength);
      copyPiece(at + QelClTraceEntry::HEADER_LENGTH + messageLength, function, functionLength);
      copyPiece(at + stringsEnd, data, record.dataLength);
      publishWrite(h, h.ulWrite + stringsEnd + record.dataLength);
      return;
    }
    unsigned char bytes[QelClTraceEntry::HEADER_LENGTH];
    record.store(bytes);
    manager.write(reinterpret_cast<const char*>(bytes), QelClTraceEntry::HEADER_LENGTH);
    manager.write(message, messageLength);
    manager.write(function, functionLength);
    manager.write(static_cast<const char*>(data), record.dataLength);
  }

  [[gnu::always_inline]] static void write(QelClTraceEnvironment& environment, const RecordHeader& record,
                                           const char* message, const char* function, const void* data) {
    write(*environment.pclManager, record, message, function, data);
  }

  // A fatal signal's save: the unsaved records of an autosaving environment with crash
  // save to the trace file, quietly, with calls that are safe in a signal handler.
  static void saveOnCrash(QelClTraceEnvironment& environment);
  // The ring's bytes since the last hand-over to the record file, quietly.
  static void handOverUnsaved(QelClTraceEnvironment& environment);
  // In the child of a fork: the child's process id, no lock held, nothing of the
  // parent's to save, a ring file of its own.
  static void continueInChild(QelClTraceEnvironment& environment);

  // Into the environment's buffer; with autoflush straight on to the file. The flag
  // is read before the lock is taken, so that its load does not wait for the lock.
  static void add(QelClTraceEnvironment& environment, const RecordHeader& record, const char* message,
                  const char* function, const void* data) {
    const bool autoflush = environment.pclSettings->hasFlag(QelClTraceSettings::AUTOFLUSH);
    write(*environment.pclManager, record, message, function, data);
    if (autoflush) environment.pclManager->flush();
  }
};

}  // namespace trace
}  // namespace qel

#endif
