// Reading one record back from a trace file.
#include <cstring>

#include "qel_trace.h"

QelClTraceFileEntry::QelClTraceFileEntry(const QelClTraceEnvironment& environment)
    : QelClTraceEntry(environment), acFunctionName{}, ulFunctionNameLength(0), acMessage{},
      ulMessageLength(0) {}

void QelClTraceFileEntry::clear() {
  std::memset(aucRecord, 0, HEADER_LENGTH);
  ulRecordLength = 0;
  acFunctionName[0] = acMessage[0] = '\0';
  ulFunctionNameLength = ulMessageLength = 0;
}

// The stored bytes of one string as text; packed ones count towards the compression.
std::uint32_t QelClTraceFileEntry::decode(char* text, const char* stored, std::uint32_t length) const {
  if (!isCompressed()) {
    std::memcpy(text, stored, length);
    text[length] = '\0';
    return length;
  }
  const std::uint32_t characters = deCompressCString(text, stored, length);
  pclEnvironment->recordCompressionRate(characters, length);
  return characters;
}

bool QelClTraceFileEntry::read(std::istream& in) {
  in.read(reinterpret_cast<char*>(aucRecord), HEADER_LENGTH);
  if (in.fail()) {
    clear();
    return false;
  }
  const std::uint32_t messageBytes = getMessageLength(), functionBytes = getFunctionNameLength();
  char* strings = reinterpret_cast<char*>(aucRecord + HEADER_LENGTH);
  in.read(strings, messageBytes + functionBytes);
  if (in.fail()) {
    clear();
    return false;
  }
  ulRecordLength = HEADER_LENGTH + messageBytes + functionBytes;
  ulMessageLength = decode(acMessage, strings, messageBytes);
  ulFunctionNameLength = decode(acFunctionName, strings + messageBytes, functionBytes);
  return in.good();
}
