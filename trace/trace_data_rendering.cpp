// The trace formatter's renderings of a record's data, by type, and the skipping of
// data that is not rendered.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sstream>

#include "qel_trace.h"
#include "qel_util.h"
#include "messages/builtin_message_ids.h"

namespace {

constexpr std::uint32_t kMaxScalar = 128;  // scalar data is shorter than this

using Type = QelEnTraceDataType;

// The low bytes of an integer, low byte first; missing bytes count as zero.
std::uint64_t littleEndian(const unsigned char* bytes, unsigned int count) {
  std::uint64_t value = 0;
  for (unsigned int i = count; i-- > 0;) value = value << 8 | bytes[i];
  return value;
}

template <typename T>
T fromBytes(const unsigned char* bytes) {
  T value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

// The floating-point value in the stream's default notation.
template <typename T>
std::string floatingText(T value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

}  // namespace

void QelClTraceFormatter::skipEntry(std::istream& in, const QelClTraceFileEntry& entry,
                                    bool functionRecord) const {
  const std::uint32_t length = entry.getDataLength();
  if (length == 0 || (in.fail() && !in.eof())) return;
  if (!in.eof()) in.ignore(length);
  if (in.eof()) raise(TRACEFORMAT_UNEXPECTED_EOF, QelEnErrorClass::IO_READ_PROBLEM, __LINE__, functionRecord);
}

void QelClTraceFormatter::formatData(std::istream& in, const QelClTraceFileEntry& entry) const {
  if (in.eof()) raise(TRACEFORMAT_UNEXPECTED_EOF, QelEnErrorClass::IO_READ_PROBLEM, __LINE__);
  const Type type = entry.getType();
  const std::uint32_t length = entry.getDataLength();
  switch (type) {
    case Type::DATA:
    case Type::DATA_CLIPPED:
    case Type::WIDE_STRING: formatHexDump(in, length); return;
    case Type::CSTRING: formatCString(in, length); return;
    case Type::ADDRESS: formatAdrs(in, length); return;
    default: break;
  }
  const auto value = static_cast<std::uint32_t>(type);
  const bool consistent = value != 0 && value <= static_cast<std::uint32_t>(Type::LONG_DOUBLE) &&
                          length < kMaxScalar && (!isFunction(type) || length == 4) &&
                          (type != Type::NO_DATA || length == 0);
  if (!consistent) raise(TRACEFORMAT_FILE_CORRUPTED, QelEnErrorClass::INVALID_DATA, __LINE__);
  unsigned char bytes[kMaxScalar] = {};
  // A datum cut by the file's end renders nothing: the walk raises at its next step.
  if (!in.read(reinterpret_cast<char*>(bytes), length)) return;
  formatScalar(type, bytes, length);
  if (bHex && value >= static_cast<std::uint32_t>(Type::BOOLEAN)) {
    displayBuffer("\n", 1);
    displayIndent();
    displayBuffer("HEX: ", 5);
    const QelClStrepHexDump dump(bytes, length);
    displayBuffer(dump.getAsCString(), std::strlen(dump.getAsCString()));
  }
}

bool QelClTraceFormatter::isFunction(QelEnTraceDataType type) {
  return type == Type::FUNCTION_ENTRY || type == Type::FUNCTION_EXIT;
}

void QelClTraceFormatter::formatScalar(QelEnTraceDataType type, const unsigned char* bytes,
                                       std::uint32_t length) const {
  switch (type) {
    case Type::FUNCTION_ENTRY:
    case Type::FUNCTION_EXIT: {
      ulNestingLevel = static_cast<std::uint32_t>(littleEndian(bytes, 4));
      if (!bShowNesting) return;
      // An exit's label is always the built-in one.
      const char* label = type == Type::FUNCTION_ENTRY ? getMessage(qel::msg::kTraceNestingLevel) : "Nesting level: ";
      displayBuffer(label, std::strlen(label));
      displayNumber(ulNestingLevel);
      return;
    }
    case Type::DATA_NULL: {
      const char* label = getMessage(qel::msg::kTraceNullPointer);
      displayBuffer(label, std::strlen(label));
      return;
    }
    case Type::BOOLEAN:
      if (bytes[0] != 0) displayBuffer("TRUE", 4);
      else displayBuffer("FALSE", 5);
      return;
    case Type::INT8:
    case Type::UINT8: {
      static const char kHex[] = "0123456789ABCDEF";
      char text[5] = {'0', 'x'};
      char* end = text + 2;
      if (bytes[0] >= 16) *end++ = kHex[bytes[0] >> 4];
      *end++ = kHex[bytes[0] & 0xF];
      *end++ = '/';
      displayBuffer(text, static_cast<std::size_t>(end - text));
      displayNumber(bytes[0]);
      if (bytes[0] >= 0x20 && bytes[0] < 0x7F) {
        const char quoted[4] = {'/', '\'', static_cast<char>(bytes[0]), '\''};
        displayBuffer(quoted, sizeof quoted);
      }
      return;
    }
    case Type::INT16: {
      const auto v = static_cast<std::int16_t>(littleEndian(bytes, 2));
      displayNumber(static_cast<std::uint64_t>(v < 0 ? -std::int64_t{v} : v), v < 0);
      return;
    }
    case Type::UINT16: displayNumber(littleEndian(bytes, 2)); return;
    case Type::INT32: {
      const auto v = static_cast<std::int32_t>(littleEndian(bytes, 4));
      displayNumber(static_cast<std::uint64_t>(v < 0 ? -std::int64_t{v} : v), v < 0);
      return;
    }
    case Type::UINT32: displayNumber(littleEndian(bytes, 4)); return;
    case Type::INT64: {
      const std::uint64_t v = littleEndian(bytes, 8);
      displayNumber(v >> 63 != 0 ? 0 - v : v, v >> 63 != 0);
      return;
    }
    case Type::UINT64: displayNumber(littleEndian(bytes, 8)); return;
    case Type::FLOAT32: {
      const std::string text = floatingText(fromBytes<float>(bytes));
      displayBuffer(text.data(), text.size());
      return;
    }
    case Type::FLOAT64:
    case Type::LONG_DOUBLE: {
      // A long double of this host's size, else the 8-byte one of hosts whose long
      // double is a double.
      const std::string text = type == Type::LONG_DOUBLE && length >= sizeof(long double)
                                   ? floatingText(fromBytes<long double>(bytes))
                                   : floatingText(fromBytes<double>(bytes));
      displayBuffer(text.data(), text.size());
      return;
    }
    default: return;  // NO_DATA
  }
}

// Lines of 16 bytes addressed by their offset in the data, each on its own line.
void QelClTraceFormatter::formatHexDump(std::istream& in, std::uint32_t length) const {
  if (length == 0) return;
  displayBuffer("\n", 1);
  for (std::uint32_t offset = 0; offset < length; offset += 16) {
    const std::uint32_t count = std::min<std::uint32_t>(length - offset, 16);
    unsigned char bytes[16];
    if (!in.read(reinterpret_cast<char*>(bytes), count)) {
      raise(TRACEFORMAT_UNEXPECTED_EOF, QelEnErrorClass::IO_READ_PROBLEM, __LINE__);
    }
    displayIndent();
    const QelClStrepHexDump line(offset, bytes, count);
    displayBuffer(line.getAsCString(), std::strlen(line.getAsCString()));
    if (count == 16) displayBuffer("\n", 1);
  }
}

void QelClTraceFormatter::formatCString(std::istream& in, std::uint32_t length) const {
  displayBuffer("\"", 1);
  char chunk[4096];
  for (std::uint32_t rest = length; rest > 0;) {
    const std::uint32_t count = rest < sizeof chunk ? rest : static_cast<std::uint32_t>(sizeof chunk);
    in.read(chunk, count);
    displayBuffer(chunk, static_cast<std::size_t>(in.gcount()));
    if (!in) raise(TRACEFORMAT_UNEXPECTED_EOF, QelEnErrorClass::IO_READ_PROBLEM, __LINE__);
    rest -= count;
  }
  displayBuffer("\"", 1);
}

void QelClTraceFormatter::formatAdrs(std::istream& in, std::uint32_t length) const {
  if (length != 4) raise(TRACEFORMAT_FILE_CORRUPTED, QelEnErrorClass::INVALID_DATA, __LINE__);
  unsigned char bytes[4];
  if (!in.read(reinterpret_cast<char*>(bytes), 4)) {
    raise(TRACEFORMAT_UNEXPECTED_EOF, QelEnErrorClass::IO_READ_PROBLEM, __LINE__);
  }
  const auto address = static_cast<std::uintptr_t>(littleEndian(bytes, 4));
  const QelClStrepAddress text(reinterpret_cast<const void*>(address));  // NOLINT(performance-no-int-to-ptr): shown, never used
  displayBuffer(text.getAsCString(), std::strlen(text.getAsCString()));
}
