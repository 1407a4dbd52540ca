// The walk over a trace file by its records' lengths, without formatting them.
#include <cstring>

#include "platform/platform.h"
#include "qel_memory.h"
#include "qel_trace.h"
#include "trace/record_header.h"

namespace {

constexpr unsigned int kBlock = 64 * 1024;
constexpr std::uint32_t kHeader = QelClTraceEntry::HEADER_LENGTH;
constexpr std::uint32_t kMaxScalar = 128;  // the formatter's bound: scalar data is shorter

// Whether the formatter refuses a record of this type and data length.
bool isDamaged(std::uint32_t type, std::uint32_t length) {
  using Type = QelEnTraceDataType;
  switch (static_cast<Type>(type)) {
    case Type::DATA:
    case Type::DATA_CLIPPED:
    case Type::CSTRING:
    case Type::WIDE_STRING: return false;
    case Type::FUNCTION_ENTRY:
    case Type::FUNCTION_EXIT:
    case Type::ADDRESS: return length != 4;
    case Type::NO_DATA: return length != 0;
    default: return type == 0 || type > static_cast<std::uint32_t>(Type::LONG_DOUBLE) || length >= kMaxScalar;
  }
}

}  // namespace

QelClTraceFileScan::QelClTraceFileScan(const char* fileName) {
  auto* block = static_cast<unsigned char*>(QelClMemoryManager::malloc(kBlock));  // may throw: first
  qel::platform::InputFile file = qel::platform::kNoFile;
  qel::platform::Status status = qel::platform::openFileToRead(fileName, file);
  if (!status) {
    QelClMemoryManager::free(block);
    ulHostError = status.error();
    return;
  }
  // block[0] lies at offset base of the file; next is where the next record starts, last
  // where the one before it started.
  std::uint64_t base = 0, next = 0, last = 0, records = 0;
  std::size_t have = 0;
  for (;;) {
    while (next - base + kHeader <= have) {
      const qel::trace::RecordHeader header = qel::trace::RecordHeader::load(block + (next - base));
      if (!bDamaged && isDamaged(header.head & 0x1Fu, header.dataLength)) {
        bDamaged = true;
        ullDamagedOffset = next;
      }
      last = next;
      next += header.recordLength();
      ++records;
    }
    // The start of a header the block ends in moves to the block's front.
    const std::size_t kept = next < base + have ? static_cast<std::size_t>(base + have - next) : 0;
    std::memmove(block, block + (have - kept), kept);
    base += have - kept;
    have = kept;
    std::size_t got = 0;
    status = qel::platform::readFile(file, block + have, kBlock - have, got);
    if (!status || got == 0) break;
    have += got;
  }
  qel::platform::closeReadFile(file);
  QelClMemoryManager::free(block);
  ulHostError = status.error();
  const std::uint64_t length = base + have;
  // Only the last record begun can reach past the end.
  const bool cut = next > length;
  ullWholeRecords = cut ? records - 1 : records;
  ullWholeLength = cut ? last : next;
  ullCutLength = length - ullWholeLength;
}
