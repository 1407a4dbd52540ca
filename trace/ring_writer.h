// The trace buffer's ring, what an environment records through, and writing a record
// into the ring: inline, so that the trace call writes its record with no call between
// the filter test and the ring.
#ifndef VRNQEL43_TRACE_RING_WRITER_H
#define VRNQEL43_TRACE_RING_WRITER_H

#include <cstring>
#include <mutex>

#include "qel_trace.h"
#include "trace/buffer_lock.h"
#include "trace/record_header.h"

namespace qel {
namespace trace {

class RecordFile;

// The buffer's first 24 bytes. The positions are offsets from the buffer's first
// byte, so that the header keeps its six 32-bit words on a 64-bit host.
struct RingHeader {
  char acMagic[4];
  std::uint32_t ulCapacity;
  std::uint32_t ulStart;
  std::uint32_t ulLast;
  std::uint32_t ulSaved;
  std::uint32_t ulWrite;
};
static_assert(sizeof(RingHeader) == QelClTraceBufferManager::HEADER_SIZE, "the buffer header is six 32-bit words");

// A trace buffer as the record path sees it (QelClTraceBufferManager, and each trace
// environment's own): the caller's buffer, the lock its key chooses, found once, the
// overflow callback and whether anything was written since the last flush.
struct Ring {
  char* pcBuffer = nullptr;
  BufferLock* pclLock = nullptr;
  QelPfuTraceOverflow pfuCallback = nullptr;
  void* pvContext = nullptr;
  bool bDirty = false;

  // Takes buffer of size bytes over; a header that carries the magic already is kept
  // as it is. size must exceed the header.
  void attach(BufferLock& lock, char* buffer, std::uint32_t size);
  RingHeader& header() const { return *reinterpret_cast<RingHeader*>(pcBuffer); }
  // Bytes into the ring, the caller holding its lock; the end of the data area hands
  // over and wraps. One call never brings more than the capacity.
  void write(const char* bytes, std::uint32_t length);
  // Hands what was written since the last hand-over to the callback, if there is one.
  void overflow();
  // Under the lock: hands over, if anything was written since the last flush.
  void flush();
};

// A trace environment as the record path, the crash save and a fork's child see it:
// its ring, with autosave the record file whose block holds the buffer, its settings
// and its process id, which a fork's child replaces.
struct Recorder {
  Recorder(const QelClTraceSettings& settings, std::uint32_t& processId)
      : pclSettings(&settings), pulProcessId(&processId) {}

  Ring clRing;
  RecordFile* pclRecordFile = nullptr;
  const QelClTraceSettings* pclSettings;
  std::uint32_t* pulProcessId;
};

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
  // The write position is stored after the bytes it covers, and read before them: a
  // crash save on another thread, or a recovery from a durable ring the process left,
  // sees only bytes that were written whole.
  static void publishWrite(RingHeader& h, std::uint32_t position) {
    __atomic_store_n(&h.ulWrite, position, __ATOMIC_RELEASE);
  }
  static std::uint32_t writtenUpTo(const RingHeader& h) { return __atomic_load_n(&h.ulWrite, __ATOMIC_ACQUIRE); }

  // A record from its header and as many bytes of the message, the function name and
  // the data as the header gives, under the buffer's lock. Always inline: a call
  // would hand the header over through memory.
  [[gnu::always_inline]] static void write(Ring& ring, const RecordHeader& record, const char* message,
                                           const char* function, const void* data) {
    const std::uint32_t messageLength = record.messageLength(), functionLength = record.functionLength();
    const std::uint32_t stringsEnd = QelClTraceEntry::HEADER_LENGTH + messageLength + functionLength;
    const std::lock_guard<BufferLock> guard(*ring.pclLock);
    ring.bDirty = true;
    RingHeader& h = ring.header();
    if (stringsEnd + record.dataLength < h.ulLast - h.ulWrite + 1) {
      // The usual case: the record ends before the data area does.
      char* at = ring.pcBuffer + h.ulWrite;
      record.store(reinterpret_cast<unsigned char*>(at));
      copyPiece(at + QelClTraceEntry::HEADER_LENGTH, message, messageLength);
      copyPiece(at + QelClTraceEntry::HEADER_LENGTH + messageLength, function, functionLength);
      copyPiece(at + stringsEnd, data, record.dataLength);
      publishWrite(h, h.ulWrite + stringsEnd + record.dataLength);
      return;
    }
    unsigned char bytes[QelClTraceEntry::HEADER_LENGTH];
    record.store(bytes);
    ring.write(reinterpret_cast<const char*>(bytes), QelClTraceEntry::HEADER_LENGTH);
    ring.write(message, messageLength);
    ring.write(function, functionLength);
    ring.write(static_cast<const char*>(data), record.dataLength);
  }

  // A fatal signal's save: the unsaved records of an autosaving environment with crash
  // save to the trace file, quietly, with calls that are safe in a signal handler.
  static void saveOnCrash(Recorder& recorder);
  // The ring's bytes since the last hand-over to the record file, quietly.
  static void handOverUnsaved(const Recorder& recorder);
  // In the child of a fork: the child's process id, no lock held, nothing of the
  // parent's to save, a ring file of its own.
  static void continueInChild(Recorder& recorder);

  // Into the environment's buffer; with autoflush straight on to the file. The flag
  // is read before the lock is taken, so that its load does not wait for the lock.
  static void add(Recorder& recorder, const RecordHeader& record, const char* message, const char* function,
                  const void* data) {
    const bool autoflush = recorder.pclSettings->hasFlag(QelClTraceSettings::AUTOFLUSH);
    write(recorder.clRing, record, message, function, data);
    if (autoflush) recorder.clRing.flush();
  }
};

}  // namespace trace
}  // namespace qel

#endif
