// Building one record from a trace call.
#include <cstring>

#include "qel_trace.h"
#include "trace/record_header.h"

QelClTraceEntry::QelClTraceEntry(const QelClTraceEnvironment& environment)
    : pclEnvironment(&environment), aucRecord{}, ulRecordLength(0), pvData(nullptr) {}

// The strings go behind the header: each text's first 255 characters, or as much of
// it as packs into 255 bytes.
QelClTraceEntry::QelClTraceEntry(const QelClTraceEnvironment& environment, QelEnTraceDetail detail,
                                 unsigned short component, QelEnTraceDataType type,
                                 const char* function, const char* message, const void* data,
                                 unsigned int length)
    : pclEnvironment(&environment), pvData(data) {
  const bool packed = environment.getSettings().hasFlag(QelClTraceSettings::COMPRESSION);
  char* strings = reinterpret_cast<char*>(aucRecord + HEADER_LENGTH);
  unsigned int messageLength = 0, functionLength = 0;
  if (packed) {
    messageLength = compressCString(strings, message, MAX_STRING);
    functionLength = compressCString(strings + messageLength, function, MAX_STRING);
  } else {
    messageLength = qel::trace::keptLength(message);
    std::memcpy(strings, message, messageLength);
    functionLength = qel::trace::keptLength(function);
    std::memcpy(strings + messageLength, function, functionLength);
  }
  qel::trace::makeRecordHeader(environment, detail, component, type, packed, messageLength, functionLength, data,
                               length)
      .store(aucRecord);
  ulRecordLength = HEADER_LENGTH + messageLength + functionLength;
}

QelClTraceEntry::~QelClTraceEntry() { pvData = nullptr; }
