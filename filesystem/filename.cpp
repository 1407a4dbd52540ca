// The general file name, whose parts can be replaced one by one.
#include "qel_filesystem.h"

#include <cstring>

#include "filesystem/path_text.h"

using qel::filesystem::copyBounded;

QelClFilename::QelClFilename(const char* text) : QelClFilenameABase(text) {}

QelClFilename::QelClFilename(const void* text, unsigned int length)
    : QelClFilenameABase(text, length) {}

QelClFilename::QelClFilename(const char* directory, const char* name, const char* extension)
    : QelClFilenameABase(directory, name, extension) {}

QelClFilename::QelClFilename(const QelClLocation& directory, const char* name,
                             const char* extension)
    : QelClFilenameABase(directory.getAsCString(), name, extension) {}

QelClFilename::QelClFilename(const QelClFilenameABase& other) : QelClFilenameABase(other) {}

QelClFilename& QelClFilename::operator=(const QelClFilename& other) = default;

QelClFilename& QelClFilename::operator=(const QelClTmpFilename& other) {
  QelClFilenameABase::operator=(other);
  return *this;
}

void QelClFilename::setNewName(const char* name) {
  const QelClLocation directory(*this, false);
  init(directory.getAsCString(), name, nullptr);
}

// A dot inside baseName starts the part that the old extension replaces.
void QelClFilename::setNewBaseName(const char* baseName) {
  char extension[MAX_LENGTH + 1];
  std::strcpy(extension, pszExtension);
  setNewName(baseName);
  if (extension[0] != '\0') writeExtension(extension + 1);
}

void QelClFilename::setNewExtension(const char* extension) {
  char text[MAX_LENGTH + 2];
  const std::size_t length = copyBounded(text, extension, MAX_LENGTH + 1);
  if (length == 0) {
    *pszExtension = '\0';
    ulLength = static_cast<std::uint32_t>(pszExtension - szBuffer);
    return;
  }
  writeExtension(text[0] == '.' ? text + 1 : text);
}

// "." and the text at the extension position, which stays where it is.
void QelClFilename::writeExtension(const char* withoutDot) {
  const std::size_t offset = static_cast<std::size_t>(pszExtension - szBuffer);
  const std::size_t length = std::strlen(withoutDot);
  if (offset + 1 + length > MAX_LENGTH) {
    clear();
    return;
  }
  szBuffer[offset] = '.';
  std::memcpy(szBuffer + offset + 1, withoutDot, length + 1);
  ulLength = static_cast<std::uint32_t>(offset + 1 + length);
}

void QelClFilename::setNewPath(const char* directory) {
  char name[MAX_LENGTH + 1];
  std::strcpy(name, pszName);
  init(directory, name, nullptr);
}

void QelClFilename::setNewPath(const QelClLocation& directory) {
  setNewPath(directory.getAsCString());
}

void QelClFilename::setNew(const QelClLocation& directory, const char* name) {
  init(directory.getAsCString(), name, nullptr);
}

// A network prefix goes with the directory; the style stays.
void QelClFilename::removePath() {
  if (pszName == pszPathText) return;
  const std::size_t length = ulLength - static_cast<std::size_t>(pszName - szBuffer);
  std::memmove(szBuffer, pszName, length + 1);
  pszFullText = pszPathText = pszName = szBuffer;
  determineExtension();
  ulLength = static_cast<std::uint32_t>(length);
}
