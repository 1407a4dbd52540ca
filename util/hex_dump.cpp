// Hex-dump lines, pointer text and buffer dumps.
#include "qel_util.h"

#include <algorithm>
#include <iostream>
#include <sstream>

namespace {

constexpr unsigned int kBytesPerLine = 16;
constexpr char kHexDigits[] = "0123456789ABCDEF";

char* appendHex(char* out, std::uint32_t value, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) *out++ = kHexDigits[(value >> shift) & 0xF];
  return out;
}

// Printable characters as the C locale classifies them: a byte that is neither a
// control character nor outside 7-bit ASCII. Fixed here so that a program's
// setlocale does not change the dumps.
bool isShownAsIs(unsigned char byte) { return byte >= 0x20 && byte < 0x7F; }

// The hex columns, the bar and the character column of one line.
void writeBytes(char* out, const unsigned char* data, unsigned int length) {
  length = std::min(length, kBytesPerLine);
  for (unsigned int i = 0; i < kBytesPerLine; ++i) {
    if (i < length) {
      out = appendHex(out, data[i], 2);
    } else {
      *out++ = '_';
      *out++ = '_';
    }
    *out++ = ' ';
    if (i == 7) *out++ = ' ';
  }
  *out++ = '|';
  *out++ = ' ';
  for (unsigned int i = 0; i < kBytesPerLine; ++i) {
    *out++ = i >= length ? '_' : isShownAsIs(data[i]) ? static_cast<char>(data[i]) : '.';
  }
  *out = '\0';
}

void dumpBytes(std::ostream& out, const void* data, std::uint64_t length) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::uint64_t offset = 0; offset < length; offset += kBytesPerLine) {
    const auto rest = static_cast<unsigned int>(std::min<std::uint64_t>(kBytesPerLine, length - offset));
    out << QelClStrepHexDump(static_cast<unsigned int>(offset), bytes + offset, rest).getAsCString()
        << std::endl;
  }
}

}  // namespace

QelClStringRepresentationABase::~QelClStringRepresentationABase() = default;

QelClStrepHexDump::QelClStrepHexDump(const void* data, unsigned int length) {
  writeBytes(szLine, static_cast<const unsigned char*>(data), length);
}

QelClStrepHexDump::QelClStrepHexDump(unsigned int address, const void* data, unsigned int length) {
  char* out = appendHex(szLine, address, 8);
  *out++ = ':';
  *out++ = ' ';
  writeBytes(out, static_cast<const unsigned char*>(data), length);
}

const char* QelClStrepHexDump::getAsCString() const { return szLine; }

QelClStrepAddress::QelClStrepAddress(const void* pointer) {
  std::ostringstream text;
  text << pointer;
  const std::string rendered = text.str();
  const std::size_t length = std::min(rendered.size(), sizeof szText - 1);
  rendered.copy(szText, length);
  szText[length] = '\0';
}

const char* QelClStrepAddress::getAsCString() const { return szText; }

void qelDump(std::ostream& out, const unsigned char* data, unsigned int length) {
  dumpBytes(out, data, length);
}
void qelDump(std::ostream& out, const unsigned short* data, unsigned int count) {
  dumpBytes(out, data, std::uint64_t{count} * sizeof *data);
}
void qelDump(std::ostream& out, const unsigned int* data, unsigned int count) {
  dumpBytes(out, data, std::uint64_t{count} * sizeof *data);
}
void qelDump(std::ostream& out, const std::uint64_t* data, unsigned int count) {
  dumpBytes(out, data, std::uint64_t{count} * sizeof *data);
}

void qelDump(const unsigned char* data, unsigned int length) { qelDump(std::cout, data, length); }
void qelDump(const unsigned short* data, unsigned int count) { qelDump(std::cout, data, count); }
void qelDump(const unsigned int* data, unsigned int count) { qelDump(std::cout, data, count); }
void qelDump(const std::uint64_t* data, unsigned int count) { qelDump(std::cout, data, count); }

void qelDebugDump(const char*, const unsigned char*, unsigned int) {}
void qelDebugDump(const char*, const unsigned short*, unsigned int) {}
void qelDebugDump(const char*, const unsigned int*, unsigned int) {}
void qelDebugDump(const char*, const std::uint64_t*, unsigned int) {}
