// The header of a record from a trace call, made the same way for the record object
// and for the trace instance's path straight into the buffer.
#ifndef VRNQEL43_TRACE_RECORD_HEADER_H
#define VRNQEL43_TRACE_RECORD_HEADER_H

#include <cstring>

#include "platform/platform.h"
#include "qel_trace.h"
#include "util/host_byte_order.h"

namespace qel {
namespace trace {

// The bytes an unpacked record keeps of a text: its characters, at most 255. A known
// count spares the scan for the end.
inline unsigned int keptLength(const char* text, unsigned int known = QelClTraceInstance::UNKNOWN_LENGTH) {
  if (known != QelClTraceInstance::UNKNOWN_LENGTH) {
    return known < QelClTraceEntry::MAX_STRING ? known : QelClTraceEntry::MAX_STRING;
  }
  const void* end = std::memchr(text, '\0', QelClTraceEntry::MAX_STRING);
  return end == nullptr ? QelClTraceEntry::MAX_STRING : static_cast<unsigned int>(static_cast<const char*>(end) - text);
}

// A record's words go low byte first, whatever the host.
inline void putWord(unsigned char* at, std::uint32_t value) {
  if (kHostIsLittleEndian) {
    std::memcpy(at, &value, sizeof value);
  } else {
    for (unsigned int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
  }
}

inline std::uint32_t getWord(const unsigned char* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// The 20 header bytes of a record as five words: the first, the head word, holds the
// kind byte, the component and the two string lengths, lowest byte first
// (QelClTraceInstance::makeHeadWord). Kept in registers until it
// is stored where the record goes, so that no byte is written twice.
struct RecordHeader {
  std::uint32_t head;
  std::uint32_t tick;
  std::uint32_t processId;
  std::uint32_t threadId;
  std::uint32_t dataLength;

  static RecordHeader load(const unsigned char* at) {
    return {getWord(at), getWord(at + 4), getWord(at + 8), getWord(at + 12), getWord(at + 16)};
  }
  void store(unsigned char* at) const {
    if (kHostIsLittleEndian) {
      // Two words at a time: fewer moves than one by one.
      const std::uint64_t first = std::uint64_t{tick} << 32 | head, second = std::uint64_t{threadId} << 32 | processId;
      std::memcpy(at, &first, sizeof first);
      std::memcpy(at + 8, &second, sizeof second);
      std::memcpy(at + 16, &dataLength, sizeof dataLength);
      return;
    }
    putWord(at, head);
    putWord(at + 4, tick);
    putWord(at + 8, processId);
    putWord(at + 12, threadId);
    putWord(at + 16, dataLength);
  }
  std::uint32_t messageLength() const { return head >> 16 & 0xFFu; }
  std::uint32_t functionLength() const { return head >> 24; }
  // The bytes of the whole record: header, strings and data.
  std::uint64_t recordLength() const {
    return std::uint64_t{QelClTraceEntry::HEADER_LENGTH} + messageLength() + functionLength() + dataLength;
  }
};

// A record's header from its first word, stamped now.
inline RecordHeader stampHeader(const QelClTraceEnvironment& environment, std::uint32_t head,
                                std::uint32_t dataLength) {
  return {head, platform::tickCount(), environment.getProcessId(), platform::currentThreadId(), dataLength};
}

// The header of a record whose strings take the given bytes. A null data pointer gives
// DATA_NULL and no data; data beyond the buffer's capacity is cut to it and gives
// DATA_CLIPPED.
inline RecordHeader makeRecordHeader(const QelClTraceEnvironment& environment, QelEnTraceDetail detail,
                                     unsigned short component, QelEnTraceDataType type, bool packed,
                                     unsigned int messageLength, unsigned int functionLength, const void* data,
                                     unsigned int length) {
  std::uint32_t dataLength = length;
  if (data == nullptr) {
    type = QelEnTraceDataType::DATA_NULL;
    dataLength = 0;
  }
  if (dataLength > environment.getBufferSize()) {
    dataLength = environment.getBufferSize();
    type = QelEnTraceDataType::DATA_CLIPPED;
  }
  const std::uint32_t head =
      QelClTraceInstance::makeHeadWord(detail, component, type, messageLength, functionLength);
  return stampHeader(environment, packed ? head | 0x20u : head, dataLength);
}

}  // namespace trace
}  // namespace qel

#endif
