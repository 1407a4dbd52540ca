// Autosave's appends of whole records, the count of those lost, and the durable ring
// file: its making, its move in a forked child and the recovery of abandoned ones.
#include "trace/record_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "qel_memory.h"
#include "trace/record_header.h"
#include "trace/ring_writer.h"

namespace {

using qel::trace::BlockHeader;
using qel::trace::StreamState;

const char kBlockMagic[8] = {'Q', 'E', 'L', 'R', 'I', 'N', 'G', '1'};
const char kRingSuffix[] = ".ring";
constexpr std::uint32_t kRecordOverhead = QelClTraceEntry::HEADER_LENGTH + 2 * QelClTraceEntry::MAX_STRING;
// How far behind the size it noted a recovery looks for an append in flight: what
// other processes appended in the moment between.
constexpr std::uint64_t kPendingSearch = 4u << 20;

// The staging area holds what is held back (less than a record) twice over, so that
// it never has to move onto itself, and one hand-over (at most the data area).
std::uint32_t stagingSizeFor(std::uint32_t ringSize) {
  const std::uint32_t capacity = ringSize - QelClTraceBufferManager::HEADER_SIZE;
  return 2 * (kRecordOverhead + capacity - 1) + capacity;
}

std::uint32_t alignedUp(std::uint32_t size) { return (size + 63u) & ~63u; }

std::uint32_t blockSizeFor(std::uint32_t ringSize) {
  return alignedUp(static_cast<std::uint32_t>(sizeof(BlockHeader)) + stagingSizeFor(ringSize)) + ringSize;
}

// The bytes of the whole records at the front of bytes, and how many there are.
std::uint32_t wholePrefix(const char* bytes, std::uint32_t length, std::uint32_t& records) {
  std::uint64_t at = 0;
  records = 0;
  while (at + QelClTraceEntry::HEADER_LENGTH <= length) {
    const std::uint64_t size =
        qel::trace::RecordHeader::load(reinterpret_cast<const unsigned char*>(bytes + at)).recordLength();
    if (at + size > length) break;
    at += size;
    ++records;
  }
  return static_cast<std::uint32_t>(at);
}

// The ring file of a process: "<trace file>.<process id>.ring".
bool ringPathOf(const char* traceFile, std::uint32_t processId, char* path, std::size_t size) {
  const int length = std::snprintf(path, size, "%s.%lu%s", traceFile, static_cast<unsigned long>(processId),
                                   kRingSuffix);
  return length > 0 && static_cast<std::size_t>(length) < size;
}

void reportLine(const char* text, const char* file) { std::cout << "[QEL: TRACE: " << text << file << "]\n"; }

}  // namespace

qel::trace::RecordFile::RecordFile(const char* traceFile) : pszTraceFile(traceFile) {}

qel::trace::RecordFile::RecordFile(const char* traceFile, std::uint32_t ringSize, bool durable,
                                   platform::Status& reason)
    : pszTraceFile(traceFile) {
  if (!makeBlock(ringSize, platform::currentProcessId(), durable, reason)) {
    makeBlock(ringSize, platform::currentProcessId(), false, reason);
  }
}

qel::trace::RecordFile::~RecordFile() { releaseBlock(); }

bool qel::trace::RecordFile::makeBlock(std::uint32_t ringSize, std::uint32_t processId, bool durable,
                                       platform::Status& reason) {
  const std::uint32_t size = blockSizeFor(ringSize);
  if (durable) {
    if (!ringPathOf(pszTraceFile, processId, acRingPath, sizeof acRingPath)) {
      reason = platform::Status::failure(platform::kNameTooLong);
      acRingPath[0] = '\0';
      return false;
    }
    reason = platform::createMappedFile(acRingPath, size, stMapped);
    if (!reason) {
      acRingPath[0] = '\0';
      return false;
    }
    pcBlock = static_cast<char*>(stMapped.memory);
  } else {
    pcBlock = static_cast<char*>(QelClMemoryManager::calloc(1, size));
  }
  BlockHeader& h = header();
  std::memcpy(h.acMagic, kBlockMagic, sizeof kBlockMagic);
  h.ulProcessId = processId;
  h.ulStagingSize = stagingSizeFor(ringSize);
  h.ulRingSize = ringSize;
  h.ulCurrent.store(0);
  h.astSlots[0] = StreamState{0, 0, QelClTraceBufferManager::HEADER_SIZE, 0, 0};
  return true;
}

void qel::trace::RecordFile::releaseBlock() {
  if (stMapped.memory != nullptr) {
    platform::closeMappedFile(stMapped, acRingPath);
  } else {
    QelClMemoryManager::free(pcBlock);
  }
  pcBlock = nullptr;
  acRingPath[0] = '\0';
}

std::uint32_t qel::trace::RecordFile::ringOffset() const {
  return alignedUp(static_cast<std::uint32_t>(sizeof(BlockHeader)) + header().ulStagingSize);
}

std::uint32_t qel::trace::RecordFile::maxRecord() const {
  return kRecordOverhead + header().ulRingSize - QelClTraceBufferManager::HEADER_SIZE;
}

StreamState qel::trace::RecordFile::current() const {
  return header().astSlots[header().ulCurrent.load(std::memory_order_acquire) & 1u];
}

void qel::trace::RecordFile::commit(const StreamState& state) {
  BlockHeader& h = header();
  const std::uint32_t next = (h.ulCurrent.load(std::memory_order_relaxed) & 1u) ^ 1u;
  h.astSlots[next] = state;
  h.ulCurrent.store(next, std::memory_order_release);
}

void qel::trace::RecordFile::handOver(const char* first, std::uint32_t firstLength, const char* second,
                                      std::uint32_t secondLength, bool verbose) {
  StreamState state = current();
  moveCarryToFront(state);
  char* stream = staging() + state.carryOffset;
  std::memcpy(stream + state.carryLength, first, firstLength);
  if (secondLength != 0) std::memcpy(stream + state.carryLength + firstLength, second, secondLength);
  const char* end = secondLength != 0 ? second + secondLength : first + firstLength;
  const std::uint32_t total = state.carryLength + firstLength + secondLength;
  state.ringSaved = static_cast<std::uint32_t>(end - getRing());
  auto& ring = *reinterpret_cast<RingHeader*>(getRing());
  const bool wrapped = state.ringSaved == ring.ulLast + 1;
  if (wrapped) state.ringSaved = ring.ulStart;
  append(state, total, 0, verbose, wrapped ? &ring : nullptr);
}

// Where it can move without overlapping itself; otherwise there is room enough behind
// it, as it is shorter than a record and starts in front of its own length.
void qel::trace::RecordFile::moveCarryToFront(StreamState& state) {
  if (state.carryOffset == 0 || state.carryOffset < state.carryLength) return;
  std::memcpy(staging(), staging() + state.carryOffset, state.carryLength);
  state.carryOffset = 0;
  commit(state);
}

std::uint32_t qel::trace::RecordFile::stage(StreamState& state, std::uint32_t ringWrite) {
  const auto& ring = *reinterpret_cast<const RingHeader*>(getRing());
  char* stream = staging() + state.carryOffset + state.carryLength;
  std::uint32_t staged = 0;
  if (state.ringSaved == ringWrite) return state.carryLength;
  if (state.ringSaved > ringWrite) {
    staged = ring.ulLast + 1 - state.ringSaved;
    std::memcpy(stream, getRing() + state.ringSaved, staged);
    state.ringSaved = ring.ulStart;
  }
  std::memcpy(stream + staged, getRing() + state.ringSaved, ringWrite - state.ringSaved);
  staged += ringWrite - state.ringSaved;
  state.ringSaved = ringWrite;
  return state.carryLength + staged;
}

// The state that says an append is in flight keeps the old stream, so that a recovery
// rebuilds it; the state after the append holds back the front of the cut record. A
// record longer than any the ring can hold is damage: the stream is dropped from it.
//
// A hand-over at a wrap ends at the data area's end, where the ring's write position
// stands until the ring writes the rest of the cut record at the start. The state then
// says saved up to the start, and the write position moves to the start first: a
// ring left with both at the start is empty, one left written up to the end behind a
// state saved up to the start holds a whole new lap. (Between the two stores the state
// still says an append is in flight, whose records the recovery finds in the file.)
void qel::trace::RecordFile::append(StreamState state, std::uint32_t total, std::uint32_t skip, bool verbose,
                                    RingHeader* wrappedRing) {
  const StreamState before = current();
  const char* stream = staging() + state.carryOffset;
  std::uint32_t records = 0;
  const std::uint32_t whole = wholePrefix(stream, total, records);
  std::uint32_t skipped = 0;
  const std::uint32_t alreadyIn = skip != 0 ? wholePrefix(stream, skip, skipped) : 0;
  if (whole > alreadyIn) {
    StreamState pending = before;
    pending.pendingLength = whole;
    write(pending, stream + alreadyIn, whole - alreadyIn, records - skipped, verbose);
  }
  std::uint32_t held = total - whole;
  if (held >= QelClTraceEntry::HEADER_LENGTH &&
      RecordHeader::load(reinterpret_cast<const unsigned char*>(stream + whole)).recordLength() > maxRecord()) {
    ++ullLost;
    held = 0;
  }
  if (wrappedRing != nullptr) RingWriter::publishWrite(*wrappedRing, wrappedRing->ulStart);
  commit(StreamState{state.carryOffset + (total - held), held, state.ringSaved, 0, 0});
}

void qel::trace::RecordFile::write(StreamState pending, const char* bytes, std::uint32_t length,
                                   std::uint32_t records, bool verbose) {
  platform::Status status;
  const int fd = platform::openFileToAppend(pszTraceFile, status);
  if (fd < 0) {
    if (verbose) {
      std::cout << "[QEL: TRACE: could not open: " << pszTraceFile << " (errno: " << status.error() << ")]"
                << std::endl;
    }
  } else {
    std::uint64_t size = 0;
    const bool sized = static_cast<bool>(platform::descriptorSize(fd, size));
    if (verbose) {
      reportLine("writing file: ", pszTraceFile);
      if (sized && size != 0) std::cout << "[QEL: TRACE: file exists with size: " << size << "]\n";
    }
    if (isDurable()) {
      pending.pendingFrom = size;
      commit(pending);
    }
    status = platform::appendWhole(fd, bytes, length);
    const platform::Status closed = platform::closeFile(fd);
    if (verbose) {
      std::cout << "[QEL: TRACE: bytes written: " << (status ? length : 0u) << " file status: " << closed.error()
                << "]" << std::endl;
    }
  }
  if (status) return;
  ullLost += records;
  ulHostError = status.error();
  if (verbose) {
    char reason[256];
    platform::hostErrorText(status.error(), reason, sizeof reason);
    std::cout << "[QEL: TRACE: records lost: " << ullLost << " (" << reason << ")]" << std::endl;
  }
}

void qel::trace::RecordFile::startAfresh(std::uint32_t ringWrite, std::uint32_t processId) {
  if (isDurable()) {
    // The parent's file stays the parent's: the child lets go of its copy of the hold.
    const BlockHeader& parent = header();
    const std::uint32_t ringSize = parent.ulRingSize;
    char ring[QelClTraceBufferManager::HEADER_SIZE];
    std::memcpy(ring, getRing(), sizeof ring);
    platform::closeMappedFile(stMapped, nullptr);
    pcBlock = nullptr;
    platform::Status reason;
    try {
      if (!makeBlock(ringSize, processId, true, reason)) makeBlock(ringSize, processId, false, reason);
    } catch (...) {
      std::abort();  // no memory for a ring in the child: it can't trace without its parent's
    }
    std::memcpy(getRing(), ring, sizeof ring);
    ringWrite = QelClTraceBufferManager::HEADER_SIZE;
  }
  auto& ring = *reinterpret_cast<RingHeader*>(getRing());
  // An empty ring whose positions stand at the data area's end would read as a full one.
  if (ringWrite == ring.ulLast + 1) ringWrite = ring.ulStart;
  ring.ulSaved = ringWrite;
  RingWriter::publishWrite(ring, ringWrite);
  header().ulProcessId = processId;
  commit(StreamState{0, 0, ringWrite, 0, 0});
}

bool qel::trace::RecordFile::isValidBlock() const {
  const BlockHeader& h = header();
  if (stMapped.size < sizeof(BlockHeader) || std::memcmp(h.acMagic, kBlockMagic, sizeof kBlockMagic) != 0) {
    return false;
  }
  if (h.ulRingSize <= QelClTraceBufferManager::HEADER_SIZE || h.ulRingSize > (1u << 25) ||
      h.ulStagingSize != stagingSizeFor(h.ulRingSize) || stMapped.size < blockSizeFor(h.ulRingSize)) {
    return false;
  }
  const auto& ring = *reinterpret_cast<const RingHeader*>(getRing());
  const StreamState state = current();
  const std::uint32_t end = ring.ulStart + ring.ulCapacity;
  const std::uint32_t written = RingWriter::writtenUpTo(ring);
  return ring.ulCapacity == h.ulRingSize - QelClTraceBufferManager::HEADER_SIZE &&
         ring.ulStart == QelClTraceBufferManager::HEADER_SIZE && ring.ulLast + 1 == end &&
         written >= ring.ulStart && written <= end && state.ringSaved >= ring.ulStart && state.ringSaved <= end &&
         state.carryLength < maxRecord() && state.carryOffset <= h.ulStagingSize &&
         state.carryLength <= h.ulStagingSize - state.carryOffset &&
         state.pendingLength <= h.ulStagingSize - state.carryOffset &&
         state.pendingLength <= state.carryLength + ring.ulCapacity;
}

// The append in flight went in as one write, at or behind the size noted before it:
// at a record boundary from there on, the file holds it whole, or, where it ends, a
// cut front of it, which is cut off again.
bool qel::trace::RecordFile::isPendingInFile(const StreamState& state) {
  std::uint64_t size = 0;
  platform::Status status;
  const int fd = platform::openFileToAppend(pszTraceFile, status);
  if (fd < 0) return false;
  if (!platform::descriptorSize(fd, size) || size <= state.pendingFrom) {
    static_cast<void>(platform::closeFile(fd));
    return false;
  }
  const std::uint64_t window = size - state.pendingFrom < kPendingSearch + state.pendingLength
                                   ? size - state.pendingFrom
                                   : kPendingSearch + state.pendingLength;
  auto* tail = static_cast<char*>(QelClMemoryManager::malloc(static_cast<unsigned int>(window)));
  platform::InputFile in = platform::kNoFile;
  std::size_t total = 0;
  if (platform::openFileToRead(pszTraceFile, in)) {
    std::size_t got = 0;
    // Up to the noted size the file is skipped, a block at a time.
    for (std::uint64_t skipped = 0; skipped < state.pendingFrom; skipped += got) {
      const std::uint64_t want = state.pendingFrom - skipped < window ? state.pendingFrom - skipped : window;
      if (!platform::readFile(in, tail, static_cast<std::size_t>(want), got) || got == 0) break;
    }
    while (total < window && platform::readFile(in, tail + total, window - total, got) && got != 0) total += got;
    platform::closeReadFile(in);
  }
  const char* pending = staging() + state.carryOffset;
  bool found = false;
  for (std::uint64_t at = 0; at + QelClTraceEntry::HEADER_LENGTH <= total && !found;) {
    const std::uint64_t rest = total - at;
    const std::uint64_t compare = rest < state.pendingLength ? rest : state.pendingLength;
    if (std::memcmp(tail + at, pending, static_cast<std::size_t>(compare)) == 0) {
      found = compare == state.pendingLength;
      if (!found && state.pendingFrom + total == size) {
        static_cast<void>(platform::truncateDescriptor(fd, state.pendingFrom + at));
      }
      if (!found) break;
    }
    at += RecordHeader::load(reinterpret_cast<const unsigned char*>(tail + at)).recordLength();
  }
  QelClMemoryManager::free(tail);
  static_cast<void>(platform::closeFile(fd));
  return found;
}

std::uint64_t qel::trace::RecordFile::saveAbandoned(const char* traceFile) {
  const char* slash = std::strrchr(traceFile, platform::kDirectorySeparator);
  if (platform::kDriveLetters) {
    // Windows takes either separator.
    const char* foreign = std::strrchr(traceFile, platform::kForeignSeparator);
    if (foreign != nullptr && (slash == nullptr || foreign > slash)) slash = foreign;
  }
  const std::size_t directoryLength = slash != nullptr ? static_cast<std::size_t>(slash - traceFile) + 1 : 0;
  const char* base = traceFile + directoryLength;
  char pattern[1100];
  if (std::snprintf(pattern, sizeof pattern, "%.*s*.*", static_cast<int>(directoryLength), traceFile) >=
      static_cast<int>(sizeof pattern)) {
    return 0;
  }
  char name[512];
  platform::DirectoryEntry entry{name, sizeof name, 0};
  platform::DirectorySearch search = nullptr;
  platform::Status status;
  std::uint64_t saved = 0;
  const std::size_t baseLength = std::strlen(base);
  for (platform::SearchStep step = platform::beginDirectorySearch(pattern, search, entry, status);
       step == platform::SearchStep::found || step == platform::SearchStep::nameTooLong;
       step = platform::nextDirectoryEntry(search, entry, status)) {
    const std::size_t length = std::strlen(name);
    const std::size_t suffix = sizeof kRingSuffix - 1;
    if (step != platform::SearchStep::found || length <= baseLength + 1 + suffix ||
        std::strncmp(name, base, baseLength) != 0 || name[baseLength] != '.' ||
        std::strcmp(name + length - suffix, kRingSuffix) != 0 ||
        std::strspn(name + baseLength + 1, "0123456789") != length - baseLength - 1 - suffix) {
      continue;
    }
    RecordFile abandoned(traceFile);
    if (std::snprintf(abandoned.acRingPath, sizeof abandoned.acRingPath, "%.*s%s", static_cast<int>(directoryLength),
                      traceFile, name) >= static_cast<int>(sizeof abandoned.acRingPath) ||
        !platform::openAbandonedMappedFile(abandoned.acRingPath, abandoned.stMapped)) {
      abandoned.acRingPath[0] = '\0';
      continue;
    }
    abandoned.pcBlock = static_cast<char*>(abandoned.stMapped.memory);
    if (!abandoned.isValidBlock()) {
      // Not a ring file of ours, or one damaged: it stays as it is.
      platform::closeMappedFile(abandoned.stMapped, nullptr);
      abandoned.pcBlock = nullptr;
      abandoned.acRingPath[0] = '\0';
      continue;
    }
    const StreamState before = abandoned.current();
    StreamState state = before;
    const std::uint32_t skip = state.pendingLength != 0 && abandoned.isPendingInFile(state) ? state.pendingLength : 0;
    state.pendingLength = 0;
    abandoned.moveCarryToFront(state);
    // What a later try starts from: the same stream, its front where it is now.
    StreamState retry = state;
    retry.pendingLength = before.pendingLength;
    const auto& ring = *reinterpret_cast<const RingHeader*>(abandoned.getRing());
    const std::uint32_t total = abandoned.stage(state, RingWriter::writtenUpTo(ring));
    std::uint32_t records = 0, skipped = 0;
    wholePrefix(abandoned.staging() + state.carryOffset, total, records);
    if (skip != 0) wholePrefix(abandoned.staging() + state.carryOffset, skip, skipped);
    abandoned.append(state, total, skip, false, nullptr);
    if (abandoned.ulHostError == 0) {
      saved += records - skipped;
    } else {
      // The file can't take them now: the ring file keeps them for the next try.
      abandoned.commit(retry);
      platform::closeMappedFile(abandoned.stMapped, nullptr);
      abandoned.pcBlock = nullptr;
      abandoned.acRingPath[0] = '\0';
    }
  }
  if (search != nullptr) platform::endDirectorySearch(search);
  return saved;
}
