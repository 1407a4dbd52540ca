// CCSIDs and the registry of coded character sets.
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "qel_codepage.h"

namespace {

constexpr QelClCCSID::Entry kRegistry[] = {
#include "ccsid_registry.inc"
};
constexpr std::size_t kRows = sizeof kRegistry / sizeof kRegistry[0];

const QelClCCSID::Entry* findRow(std::uint32_t number) {
  std::size_t low = 0, high = kRows;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (kRegistry[middle].ulNumber == number) return &kRegistry[middle];
    if (kRegistry[middle].ulNumber < number) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return &kRegistry[0];
}

bool namesEqual(const char* a, const char* b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (; lower(*a) == lower(*b); ++a, ++b) {
    if (*a == '\0') return true;
  }
  return false;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

QelClCCSID::QelClCCSID(const char* text) : enCCSID(CCSID_NONE), pstEntry(nullptr) {
  if (isDigit(*text)) {
    enCCSID = static_cast<QelEnCCSID>(std::strtoul(text, nullptr, 10));
    determineProperties();
    return;
  }
  for (const Entry& row : kRegistry) {
    if (namesEqual(row.pszName, text)) {
      enCCSID = static_cast<QelEnCCSID>(row.ulNumber);
      pstEntry = &row;
      return;
    }
  }
  const char* digits = text;
  while (*digits != '\0' && !isDigit(*digits)) ++digits;
  enCCSID = static_cast<QelEnCCSID>(std::strtoul(digits, nullptr, 10));
  pstEntry = &kRegistry[0];
}

void QelClCCSID::determineProperties() const {
  if (pstEntry == nullptr) pstEntry = findRow(enCCSID);
}

bool QelClCCSID::hasFlag(std::uint32_t flag) const {
  determineProperties();
  return (pstEntry->ulFlags & flag) != 0;
}

bool QelClCCSID::isValid() const {
  determineProperties();
  return enCCSID != CCSID_NONE && pstEntry != &kRegistry[0];
}

const char* QelClCCSID::getName() const {
  determineProperties();
  return pstEntry->pszName;
}

bool QelClCCSID::operator==(QelEnCCSID other) const {
  const auto normal = [](std::uint32_t number) { return number == CCSID_UCS2_LITTLE_ENDIAN ? CCSID_UCS2 : number; };
  return normal(enCCSID) == normal(other);
}

bool QelClCCSID::isUCS2LittleEndian() const {
  switch (static_cast<std::uint32_t>(enCCSID)) {
    case 65501: case 13488: case 17584: case 1200: case 61955: return true;
    default: return false;
  }
}

// The host is little-endian: the little-endian forms are its own.
bool QelClCCSID::isUCS2HostEndian() const { return isUCS2LittleEndian(); }

QelEnCCSID QelClCCSID::getCCSIDForUCS2EndianId(const char* mark) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(mark);
  if (bytes[0] == 0xFE && bytes[1] == 0xFF) return CCSID_UCS2_BIG_ENDIAN;
  if (bytes[0] == 0xFF && bytes[1] == 0xFE) return CCSID_UCS2_LITTLE_ENDIAN;
  return CCSID_NONE;
}

QelEnCCSID QelClCCSID::getSystemCCSID() { return static_cast<QelEnCCSID>(qel::platform::systemCodePage()); }

QelEnCCSID QelClCCSID::getConsoleCCSID() {
  static std::uint32_t console = qel::platform::consoleCodePage();  // asked once
  return static_cast<QelEnCCSID>(console);
}
