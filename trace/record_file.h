// Autosave's side of the trace file: the ring's hand-overs appended as whole records,
// in one write each, with the front of a record cut by a wrap held back until its rest
// arrives; the records lost to failed appends counted; the durable ring file that
// keeps all of it, ring included, beyond the end of the process.
#ifndef VRNQEL43_TRACE_RECORD_FILE_H
#define VRNQEL43_TRACE_RECORD_FILE_H

#include <atomic>
#include <cstdint>

#include "platform/platform.h"
#include "trace/ring_writer.h"

namespace qel {
namespace trace {

// Where the records between the ring and the file stand. Kept in two slots, of which
// the block header names the current one, so that the state moves in one store.
struct StreamState {
  // The front of a record held back: staging bytes [carryOffset, carryOffset + carryLength).
  std::uint32_t carryOffset;
  std::uint32_t carryLength;
  // The ring offset where the bytes not yet staged begin.
  std::uint32_t ringSaved;
  // An append in flight: the staged bytes from carryOffset on, this many, appended to
  // a file that had pendingFrom bytes before; 0 when none is.
  std::uint32_t pendingLength;
  std::uint64_t pendingFrom;
};

// The block's first bytes; the staging area follows, then the ring (its buffer header
// and data area). The same layout on the heap and in a durable ring file.
struct BlockHeader {
  char acMagic[8];
  std::uint32_t ulProcessId;
  std::uint32_t ulStagingSize;
  std::uint32_t ulRingSize;
  std::atomic<std::uint32_t> ulCurrent;
  StreamState astSlots[2];
};

class RecordFile {
public:
  // A block for a ring of ringSize bytes, on the heap or, when durable, in the ring
  // file beside traceFile (the heap when that file can't be made; reason then holds
  // the host's code). traceFile must outlive the object. Raises the memory manager's
  // exception when memory runs out.
  RecordFile(const char* traceFile, std::uint32_t ringSize, bool durable, platform::Status& reason);
  // Removes the ring file.
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  char* getRing() const { return pcBlock + ringOffset(); }
  bool isDurable() const { return stMapped.memory != nullptr; }
  const char* getRingFileName() const { return acRingPath; }

  // Appends the whole records of what was held back and the ring's blocks (the second
  // may be null); holds back the front of a record they end in. With verbose, the
  // trace's verbose lines report the file operations. Safe inside a signal handler
  // when not verbose.
  void handOver(const char* first, std::uint32_t firstLength, const char* second, std::uint32_t secondLength,
                bool verbose);
  // Forgets what is held back and the ring's unsaved bytes, from the ring offset on;
  // in the child of a fork, which must not write its parent's records. A durable
  // block moves to a ring file of the child's own (to the heap when that fails);
  // getRing() may change.
  void startAfresh(std::uint32_t ringWrite, std::uint32_t processId);

  // After a crash save, which keeps the buffer's lock: nothing more is appended, and
  // flushes must not wait for the lock.
  void close() { bClosed = true; }
  bool isClosed() const { return bClosed; }

  std::uint64_t getLostRecordCount() const { return ullLost; }
  std::uint32_t getHostError() const { return ulHostError; }

  // Appends the unsaved records of the ring files beside traceFile whose writers are
  // gone, and removes those files. Returns the records appended.
  static std::uint64_t saveAbandoned(const char* traceFile);

private:
  explicit RecordFile(const char* traceFile);
  BlockHeader& header() const { return *reinterpret_cast<BlockHeader*>(pcBlock); }
  char* staging() const { return pcBlock + sizeof(BlockHeader); }
  std::uint32_t ringOffset() const;
  std::uint32_t maxRecord() const;
  StreamState current() const;
  void commit(const StreamState& state);
  // Sets up a fresh block of the sizes for ringSize, on the heap or in a new ring file.
  bool makeBlock(std::uint32_t ringSize, std::uint32_t processId, bool durable, platform::Status& reason);
  void releaseBlock();
  // Moves what is held back to the staging area's front where that is needed.
  void moveCarryToFront(StreamState& state);
  // Stages the ring's bytes from the state's saved offset up to ringWrite behind what
  // is held back.
  std::uint32_t stage(StreamState& state, std::uint32_t ringWrite);
  // Appends the staged stream of total bytes but its first skip bytes (which are in
  // the file already), then holds back the rest. After a hand-over at a wrap, the
  // ring's write position moves to its start.
  void append(StreamState state, std::uint32_t total, std::uint32_t skip, bool verbose,
              RingHeader* wrappedRing);
  // Appends bytes, which hold records, in one write; what fails counts them as lost.
  // pending is committed first for a durable block, with the file's size before.
  void write(StreamState pending, const char* bytes, std::uint32_t length, std::uint32_t records, bool verbose);
  // Recovery of an abandoned block: whether the append in flight reached the file.
  bool isPendingInFile(const StreamState& state);
  bool isValidBlock() const;

  const char* pszTraceFile;
  char* pcBlock = nullptr;
  platform::MappedFile stMapped;
  char acRingPath[1100] = {};
  std::uint64_t ullLost = 0;
  std::uint32_t ulHostError = 0;
  bool bClosed = false;
};

}  // namespace trace
}  // namespace qel

#endif
