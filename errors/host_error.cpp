// The host's error codes as error classes and as the host's own texts.
#include "platform/platform.h"
#include "qel_errors.h"

QelEnErrorClass qelHostErrorGetClass(std::uint32_t code) { return qel::platform::hostErrorClass(code); }

const char* qelHostErrorGetText(std::uint32_t code, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return buffer;
  if (code == 0) {
    buffer[0] = '\0';
  } else {
    qel::platform::hostErrorText(code, buffer, size);
  }
  return buffer;
}

QelClHostErrorText::QelClHostErrorText(std::uint32_t code) : szText() {
  qelHostErrorGetText(code, szText, sizeof szText);
}
