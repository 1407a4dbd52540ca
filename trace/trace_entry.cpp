// Building one record from a trace call.
#include <cstring>

#include "qel_process.h"
#include "qel_trace.h"

QelClTraceEntry::QelClTraceEntry(const QelClTraceEnvironment& environment)
    : pclEnvironment(&environment), aucRecord{}, ulRecordLength(0), pvData(nullptr) {}

QelClTraceEntry::QelClTraceEntry(const QelClTraceEnvironment& environment, QelEnTraceDetail detail,
                                 unsigned short component, QelEnTraceDataType type,
                                 const char* function, const char* message, const void* data,
                                 unsigned int length)
    : pclEnvironment(&environment), pvData(data) {
  std::uint32_t dataLength = length;
  if (data == nullptr) {
    type = QelEnTraceDataType::DATA_NULL;
    dataLength = 0;
  }
  if (dataLength > environment.getBufferSize()) {
    dataLength = environment.getBufferSize();
    type = QelEnTraceDataType::DATA_CLIPPED;
  }
  aucRecord[0] = 0;
  setType(type);
  setDetail(detail);
  aucRecord[1] = static_cast<unsigned char>(component & 0xFFu);
  writeWord(4, qelGetTimeStamp());
  writeWord(8, environment.getProcessId());
  writeWord(12, QelClThreadProperty().getThreadId());
  writeWord(16, dataLength);
  const bool packed = environment.getSettings().hasFlag(QelClTraceSettings::COMPRESSION);
  if (packed) aucRecord[0] = static_cast<unsigned char>(aucRecord[0] | 0x20u);
  const unsigned int messageLength = putString(HEADER_LENGTH, message, packed);
  const unsigned int functionLength = putString(HEADER_LENGTH + messageLength, function, packed);
  aucRecord[2] = static_cast<unsigned char>(messageLength);
  aucRecord[3] = static_cast<unsigned char>(functionLength);
  ulRecordLength = HEADER_LENGTH + messageLength + functionLength;
}

QelClTraceEntry::~QelClTraceEntry() { pvData = nullptr; }

void QelClTraceEntry::setType(QelEnTraceDataType type) {
  aucRecord[0] = static_cast<unsigned char>((aucRecord[0] & ~0x1Fu) | (static_cast<unsigned int>(type) & 0x1Fu));
}

void QelClTraceEntry::setDetail(QelEnTraceDetail detail) {
  aucRecord[0] = static_cast<unsigned char>((aucRecord[0] & 0x3Fu) | (static_cast<unsigned int>(detail) & 3u) << 6);
}

void QelClTraceEntry::writeWord(unsigned int offset, std::uint32_t value) {
  for (unsigned int i = 0; i < 4; ++i) aucRecord[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

// The text's first 255 characters, or as much of it as packs into 255 bytes.
unsigned int QelClTraceEntry::putString(unsigned int offset, const char* text, bool packed) {
  char* target = reinterpret_cast<char*>(aucRecord + offset);
  if (packed) return compressCString(target, text, MAX_STRING);
  const void* end = std::memchr(text, '\0', MAX_STRING);
  const auto length = end == nullptr ? MAX_STRING : static_cast<unsigned int>(static_cast<const char*>(end) - text);
  std::memcpy(target, text, length);
  return length;
}
