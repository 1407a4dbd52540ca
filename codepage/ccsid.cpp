// CCSIDs and the registry of coded character sets.
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/platform.h"
#include "qel_codepage.h"

namespace {

constexpr QelClCCSID::Entry kRegistry[] = {
#include "codepage/ccsid_registry.inc"
};
constexpr std::size_t kRows = sizeof kRegistry / sizeof kRegistry[0];

struct Alias {
  const char* pszName;
  std::uint32_t ulNumber;
};
constexpr Alias kAliases[] = {
#include "codepage/ccsid_aliases.inc"
};

using Entry = QelClCCSID::Entry;

const Entry* findRow(std::uint32_t number) {
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

// The registry number that text, all decimal digits, stands for; CCSID_NONE for any
// other text and for a number outside the registry.
QelEnCCSID registryNumber(const char* text) {
  if (*text == '\0') return CCSID_NONE;
  std::uint64_t number = 0;
  for (; *text != '\0'; ++text) {
    if (!isDigit(*text)) return CCSID_NONE;
    number = number * 10 + static_cast<std::uint64_t>(*text - '0');
    if (number > 0xFFFFFFFFu) return CCSID_NONE;
  }
  const Entry* row = findRow(static_cast<std::uint32_t>(number));
  return row == &kRegistry[0] ? CCSID_NONE : static_cast<QelEnCCSID>(row->ulNumber);
}

// The rest of text after prefix, matched in any case; null when text does not start
// with it.
const char* afterPrefix(const char* text, const char* prefix) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (lower(*text) != *prefix) return nullptr;
  }
  return text;
}

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

QelEnCCSID QelClCCSID::findByName(const char* text) {
  if (text == nullptr || *text == '\0') return CCSID_NONE;
  if (isDigit(*text)) return registryNumber(text);
  for (const Entry& row : kRegistry) {
    if (row.ulNumber != CCSID_NONE && namesEqual(row.pszName, text)) return static_cast<QelEnCCSID>(row.ulNumber);
  }
  for (const Alias& alias : kAliases) {
    if (namesEqual(alias.pszName, text)) return static_cast<QelEnCCSID>(alias.ulNumber);
  }
  // IBM's and the PC world's way of naming a code page by its number.
  for (const char* prefix : {"ibm-", "ibm", "cp"}) {
    const char* number = afterPrefix(text, prefix);
    if (number != nullptr && isDigit(*number)) return registryNumber(number);
  }
  return CCSID_NONE;
}

const QelClCCSID::Entry* QelClCCSID::getRegistry(std::size_t& count) {
  count = kRows - 1;
  return &kRegistry[1];
}
