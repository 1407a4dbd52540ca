// Resource keys, whose text chooses the lock of the buffer guard.
#include <cstring>

#include "qel_trace.h"
#include "trace/buffer_lock.h"

namespace {

const char kKeyCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-@";
constexpr unsigned int kKeyCharacterCount = sizeof kKeyCharacters - 1;  // 65
constexpr std::uint32_t kMaxKeyLength = 255;

char mapKeyCharacter(char c) {
  if (c == '\\') return ':';
  if (std::strchr(kKeyCharacters, c) != nullptr && c != '\0') return c;
  return kKeyCharacters[static_cast<unsigned char>(c) % kKeyCharacterCount];
}

}  // namespace

QelClResourceKeyABase::QelClResourceKeyABase(const char* type, const char* name, const char* instance)
    : ulLength(0), szText{}, pszName(szText) {
  add(type);
  const std::uint32_t typeLength = ulLength;
  add(name);
  pszName = szText + (typeLength != 0 && typeLength < ulLength ? typeLength + 1 : typeLength);
  if (instance != nullptr) add(instance);
}

QelClResourceKeyABase::QelClResourceKeyABase(const QelClResourceKeyABase& other)
    : ulLength(other.ulLength), pszName(szText + (other.pszName - other.szText)) {
  std::memcpy(szText, other.szText, sizeof szText);
}

QelClResourceKeyABase& QelClResourceKeyABase::operator=(const QelClResourceKeyABase& other) {
  if (this == &other) return *this;  // memcpy onto itself is undefined
  ulLength = other.ulLength;
  std::memcpy(szText, other.szText, sizeof szText);
  pszName = szText + (other.pszName - other.szText);
  return *this;
}

QelClResourceKeyABase::~QelClResourceKeyABase() = default;

// Characters beyond the 255 the text has room for are dropped.
void QelClResourceKeyABase::add(const char* part) {
  if (ulLength != 0 && ulLength < kMaxKeyLength) szText[ulLength++] = ':';
  for (const char* c = part; *c != '\0' && ulLength < kMaxKeyLength; ++c) {
    szText[ulLength++] = mapKeyCharacter(*c);
  }
  szText[ulLength] = '\0';
}

// Two texts may share a lock, which only serialises them too.
qel::trace::BufferLock& qel::trace::lockOf(const char* keyText) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (const char* c = keyText; *c != '\0'; ++c) hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
  return g_bufferLocks[hash % kBufferLockCount];
}

bool QelClResourceKeyABase::matches(const char* text) const {
  return std::strncmp(szText, text, ulLength) == 0;
}

QelClResourceKeySemaphore::QelClResourceKeySemaphore(const char* name, const char* instance)
    : QelClResourceKeyABase("SEM32", name, instance) {}
