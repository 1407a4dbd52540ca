// Locations: directory paths held as values, always ending with their separator.
#include "qel_filesystem.h"

#include <algorithm>
#include <cstring>

#include "filesystem/path_text.h"
#include "platform/platform.h"

using qel::filesystem::boundedLength;

QelClLocation::QelClLocation(const char* path, bool normalize) : szBuffer{}, ulLength(0) {
  const std::size_t length = boundedLength(path, MAX_LENGTH + 1);
  assign(path, length <= MAX_LENGTH ? length : 0, normalize);
}

QelClLocation::QelClLocation(const void* text, unsigned int length, bool normalize)
    : szBuffer{}, ulLength(0) {
  const std::size_t taken = boundedLength(static_cast<const char*>(text),
                                          std::min<std::size_t>(length, MAX_LENGTH + 1));
  assign(static_cast<const char*>(text), taken <= MAX_LENGTH ? taken : 0, normalize);
}

QelClLocation::QelClLocation(const QelClFilenameABase& name, bool normalize)
    : szBuffer{}, ulLength(0) {
  assign(name.getAsCString(), static_cast<std::size_t>(name.getName() - name.getAsCString()),
         normalize);
}

QelClLocation::QelClLocation(const QelClLocation& other)
    : QelClPathProperty(other), szBuffer{}, ulLength(0) {
  *this = other;
}

QelClLocation& QelClLocation::operator=(const QelClLocation& other) {
  if (this == &other) return *this;
  std::memcpy(szBuffer, other.szBuffer, other.ulLength + 1);
  relocate(other, szBuffer);
  ulLength = other.ulLength;
  return *this;
}

QelClLocation& QelClLocation::operator=(const char* path) {
  const std::size_t length = boundedLength(path, MAX_LENGTH + 1);
  assign(path, length <= MAX_LENGTH ? length : 0, false);
  return *this;
}

// text may lie in the own buffer.
void QelClLocation::assign(const char* text, std::size_t length, bool normalize) {
  if (length > 0) std::memmove(szBuffer, text, length);
  szBuffer[length] = '\0';
  init(normalize);
}

// The separator is appended after the analysis, so the path text of a bare
// \\server\share (empty, at the end) becomes that separator.
void QelClLocation::init(bool normalize) {
  QelClPathProperty::init(szBuffer);
  ulLength = static_cast<std::uint32_t>(std::strlen(szBuffer));
  const char separator = getPathSep(pszPathText);
  if (ulLength > 0 && szBuffer[ulLength - 1] != separator) {
    szBuffer[ulLength++] = separator;
    szBuffer[ulLength] = '\0';
  }
  if (normalize) {
    normalizePath(pszPathText);
    enStyle = getStyle(pszPathText);
  }
}

bool QelClLocation::isExistent() const { return qel::platform::pathExists(szBuffer); }

bool QelClLocation::isRoot() const {
  if (!isAbsolute()) return false;
  if (pszPathText == pszFullText) return ulLength == (hasDrive() ? 3u : 1u);
  return pszPathText[0] != '\0' && pszPathText[1] == '\0';
}
