// The header of a record from a trace call, written the same way for the record
// object and for the trace instance's path straight into the buffer, and read back
// by the buffer.
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

// The 20 header bytes of a record whose strings take the given bytes. A null data
// pointer gives DATA_NULL and no data; data beyond the buffer's capacity is cut to it
// and gives DATA_CLIPPED.
inline void writeRecordHeader(unsigned char* header, const QelClTraceEnvironment& environment,
                              QelEnTraceDetail detail, unsigned short component, QelEnTraceDataType type,
                              bool packed, unsigned int messageLength, unsigned int functionLength,
                              const void* data, unsigned int length) {
  std::uint32_t dataLength = length;
  if (data == nullptr) {
    type = QelEnTraceDataType::DATA_NULL;
    dataLength = 0;
  }
  if (dataLength > environment.getBufferSize()) {
    dataLength = environment.getBufferSize();
    type = QelEnTraceDataType::DATA_CLIPPED;
  }
  header[0] = static_cast<unsigned char>((static_cast<unsigned int>(type) & 0x1Fu) | (packed ? 0x20u : 0u) |
                                         (static_cast<unsigned int>(detail) & 3u) << 6);
  header[1] = static_cast<unsigned char>(component & 0xFFu);
  header[2] = static_cast<unsigned char>(messageLength);
  header[3] = static_cast<unsigned char>(functionLength);
  putWord(header + 4, platform::tickCount());
  putWord(header + 8, environment.getProcessId());
  putWord(header + 12, platform::currentThreadId());
  putWord(header + 16, dataLength);
}

}  // namespace trace
}  // namespace qel

#endif
