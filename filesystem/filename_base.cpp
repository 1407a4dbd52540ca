// File names: construction, joining of parts and the analysis of name and extension.
#include "qel_filesystem.h"

#include <cstring>

#include "filesystem/path_text.h"
#include "platform/platform.h"

using qel::filesystem::copyBounded;

QelClFilenameABase::QelClFilenameABase()
    : szBuffer{}, pszName(nullptr), pszExtension(nullptr), ulLength(0) {
  clear();
}

QelClFilenameABase::QelClFilenameABase(const char* text)
    : szBuffer{}, pszName(nullptr), pszExtension(nullptr), ulLength(0) {
  init(text);
}

QelClFilenameABase::QelClFilenameABase(const void* text, unsigned int length)
    : szBuffer{}, pszName(nullptr), pszExtension(nullptr), ulLength(0) {
  if (length > MAX_LENGTH) {
    clear();
    return;
  }
  copyBounded(szBuffer, static_cast<const char*>(text), length);
  QelClPathProperty::init(szBuffer);
  determineParts();
}

QelClFilenameABase::QelClFilenameABase(const char* directory, const char* name,
                                       const char* extension)
    : szBuffer{}, pszName(nullptr), pszExtension(nullptr), ulLength(0) {
  init(directory, name, extension);
}

QelClFilenameABase::QelClFilenameABase(const QelClFilenameABase& other)
    : QelClPathProperty(other), szBuffer{}, pszName(nullptr), pszExtension(nullptr), ulLength(0) {
  *this = other;
}

// Every pointer keeps its position, now in this object's buffer.
QelClFilenameABase& QelClFilenameABase::operator=(const QelClFilenameABase& other) {
  if (this == &other) return *this;
  std::memcpy(szBuffer, other.szBuffer, other.ulLength + 1);
  relocate(other, szBuffer);
  pszName = szBuffer + (other.pszName - other.szBuffer);
  pszExtension = szBuffer + (other.pszExtension - other.szBuffer);
  ulLength = other.ulLength;
  return *this;
}

void QelClFilenameABase::clear() {
  szBuffer[0] = '\0';
  QelClPathProperty::init(szBuffer);
  determineParts();
}

void QelClFilenameABase::init(const char* text) {
  copyBounded(szBuffer, text, MAX_LENGTH);
  QelClPathProperty::init(szBuffer);
  determineParts();
}

// The name follows the directory with the separator of the directory's style, which
// stays the style of the whole name. The parts are read before the buffer changes, so
// they may lie in it.
void QelClFilenameABase::init(const char* directory, const char* name, const char* extension) {
  char joined[MAX_LENGTH + 1];
  std::size_t length = copyBounded(joined, directory, MAX_LENGTH);
  QelClPathProperty::init(joined);
  const std::ptrdiff_t pathOffset = pszPathText - joined;
  const char separator = getPathSep(pszPathText);
  if (length > 0 && length < MAX_LENGTH && joined[length - 1] != separator) {
    joined[length++] = separator;
  }
  length += copyBounded(joined + length, name, MAX_LENGTH - length);
  if (extension != nullptr) {
    const std::size_t extensionLength = std::strlen(extension);
    const bool dotted = extension[0] == '.';
    if (length + extensionLength + (dotted ? 0 : 1) > MAX_LENGTH) {
      clear();
      return;
    }
    if (!dotted) joined[length++] = '.';
    length += copyBounded(joined + length, extension, extensionLength);
  }
  std::memcpy(szBuffer, joined, length + 1);
  pszFullText = szBuffer;
  pszPathText = szBuffer + pathOffset;
  determineParts();
}

// The name starts behind the last backslash of the path text, or behind its last
// forward slash when it has no backslash, whatever the style.
void QelClFilenameABase::determineParts() {
  ulLength = static_cast<std::uint32_t>(std::strlen(szBuffer));
  char* separator = std::strrchr(pszPathText, '\\');
  if (separator == nullptr) separator = std::strrchr(pszPathText, '/');
  pszName = separator != nullptr ? separator + 1 : pszPathText;
  determineExtension();
}

void QelClFilenameABase::determineExtension() {
  char* dot = std::strrchr(pszName, '.');
  pszExtension = dot != nullptr ? dot : pszName + std::strlen(pszName);
}

bool QelClFilenameABase::isExistent() const { return qel::platform::pathExists(szBuffer); }
