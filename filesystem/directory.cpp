// Directories: absolute texts with the host's separator, created, changed to, removed
// and walked up and down level by level.
#include "qel_filesystem.h"

#include <cstring>

#include "filesystem/path_text.h"
#include "platform/platform.h"
#include "qel_util.h"

using qel::platform::kDirectorySeparator;

namespace {

constexpr std::size_t kTextCapacity = 264;
// A directory text: 260 characters and the separator behind them.
constexpr std::size_t kMaxLength = 261;

// The text without its trailing separator, for the time-stamp queries.
void copyWithoutSeparator(char* out, const QelClLocation& location) {
  std::size_t length = location.getLength();
  if (length > 0) --length;
  std::memcpy(out, location.getAsCString(), length);
  out[length] = '\0';
}

}  // namespace

QelClDirectory::QelClDirectory() : clLocation(""), stError{}, ulHostError(0) {
  char text[kMaxLength];
  // A current directory that can't be had leaves the text empty.
  static_cast<void>(qel::platform::currentDirectory(text, sizeof text));
  qel::filesystem::replaceAll(text, qel::platform::kForeignSeparator, kDirectorySeparator);
  clLocation.assign(text, std::strlen(text), false);
}

QelClDirectory::QelClDirectory(const QelClLocation& location) : clLocation(location), stError{}, ulHostError(0) {
  expandRelativeDirectory();
}

QelClDirectory::QelClDirectory(const char* path) : clLocation(path, true), stError{}, ulHostError(0) {
  expandRelativeDirectory();
}

QelClDirectory::QelClDirectory(const QelClDirectory& other)
    : QelClFileABase(other), clLocation(other.clLocation), stError{}, ulHostError(0) {
  expandRelativeDirectory();
}

QelClDirectory::~QelClDirectory() = default;

bool QelClDirectory::isRelativeDirectory(const char* path) { return isRelativePath(path); }

bool QelClDirectory::expandRelativeDirectory(char* path) { return expandRelativePath(path); }

void QelClDirectory::expandRelativeDirectory() {
  clearError();
  if (!takeText(clLocation.getAsCString())) {
    setError(DIRECTORY_EXPANSION_FAILED, QelEnErrorClass::IO_INVALID_NAME);
  }
}

// A text that is still longer than a directory holds fails as an expansion does.
bool QelClDirectory::takeText(const char* text) {
  char work[2 * kTextCapacity];
  qel::filesystem::copyBounded(work, text, sizeof work - 1);
  qel::filesystem::replaceAll(work, qel::platform::kForeignSeparator, kDirectorySeparator);
  const bool taken =
      (!isRelativePath(work) || expandRelativePath(work)) && std::strlen(work) <= kMaxLength;
  clLocation.assign(work, taken ? std::strlen(work) : 0, false);
  return taken;
}

void QelClDirectory::setError(std::uint32_t id, QelEnErrorClass errorClass, std::uint32_t hostError) {
  stError.ulErrorId = id;
  stError.enErrorClass = errorClass;
  ulHostError = hostError;
}

void QelClDirectory::clearError() { setError(NO_ERROR, QelEnErrorClass::UNKNOWN); }

bool QelClDirectory::create() { return create(0, 0); }

bool QelClDirectory::create(unsigned long mode) { return create(mode, 0); }

// Every level from the first one below the root is tested and, when missing, made.
bool QelClDirectory::create(unsigned long, unsigned long) {
  setError(DIRECTORY_COULD_NOT_CREATE, QelEnErrorClass::IO_NOT_EXISTENT);
  const char* text = clLocation.szBuffer;
  const char* pathText = clLocation.pszPathText;
  const char* scan = pathText[0] != '\0' ? pathText + 1 : pathText;
  if (qel::platform::kDriveLetters && clLocation.hasDrive()) scan = pathText + 3;
  char level[kTextCapacity];
  for (const char* end = nullptr; (end = std::strchr(scan, kDirectorySeparator)) != nullptr; scan = end + 1) {
    const std::size_t length = static_cast<std::size_t>(end - text);
    std::memcpy(level, text, length);
    level[length] = '\0';
    if (qel::platform::pathExists(level)) continue;
    if (const qel::platform::Status made = qel::platform::makeDirectory(level); !made) {
      setError(DIRECTORY_COULD_NOT_CREATE, QelEnErrorClass::IO_NOT_EXISTENT, made.error());
      return false;
    }
  }
  clearError();
  return true;
}

bool QelClDirectory::setAsCurrent() {
  if (const qel::platform::Status changed = qel::platform::changeDirectory(clLocation.getAsCString()); !changed) {
    setError(DIRECTORY_COULD_NOT_CHANGE, QelEnErrorClass::IO_NOT_EXISTENT, changed.error());
    return false;
  }
  clearError();
  return true;
}

bool QelClDirectory::remove() {
  qel::platform::Status status;
  switch (qel::platform::removeDirectory(clLocation.getAsCString(), status)) {
    case qel::platform::RemoveResult::removed:
      clearError();
      return true;
    case qel::platform::RemoveResult::inUse:
      setError(DIRECTORY_COULD_NOT_REMOVE, QelEnErrorClass::IO_STILL_IN_USE, status.error());
      return false;
    case qel::platform::RemoveResult::failed:
      break;
  }
  setError(DIRECTORY_COULD_NOT_REMOVE, QelEnErrorClass::IO_INVALID_NAME, status.error());
  return false;
}

// Only a failure touches the error record.
void QelClDirectory::attachSubDir(const QelClLocation& subDirectory) {
  char joined[2 * kTextCapacity];
  const std::size_t length = clLocation.ulLength;
  std::memcpy(joined, clLocation.szBuffer, length);
  std::strcpy(joined + length, subDirectory.pszPathText);
  if (!takeText(joined)) setError(DIRECTORY_EXPANSION_FAILED, QelEnErrorClass::IO_INVALID_NAME);
}

// The text is cut behind the separator in front of the last component. An empty
// directory, like a root, has no level to detach.
bool QelClDirectory::detachLastSubDir() {
  const char* text = clLocation.szBuffer;
  std::size_t cut = 0;
  if (!clLocation.isRoot()) {
    for (std::size_t end = clLocation.ulLength; end >= 2 && cut == 0; --end) {
      if (text[end - 2] == kDirectorySeparator) cut = end - 1;
    }
  }
  if (cut == 0) {
    setError(DIRECTORY_COULD_NOT_DETACH, QelEnErrorClass::LOGIC);
    return false;
  }
  clLocation.assign(text, cut, false);
  clearError();
  return true;
}

bool QelClDirectory::detachSubDirs(unsigned int count) {
  for (; count > 0; --count) {
    if (!detachLastSubDir()) return false;
  }
  clearError();
  return true;
}

unsigned int QelClDirectory::getNumOfSubDirs() const {
  const unsigned int separators = qelStrCount(clLocation.pszPathText, kDirectorySeparator);
  return separators > 0 ? separators - 1 : 0;
}

const char* QelClDirectory::getAsCString() const { return clLocation.getAsCString(); }

QelClDirectory::operator const char*() const { return clLocation.getAsCString(); }

bool QelClDirectory::isExistent() const { return clLocation.isExistent(); }

bool QelClDirectory::isDirectory() const { return true; }

bool QelClDirectory::isFile() const { return false; }

long QelClDirectory::getDateTimeOfCreation() const {
  char text[kTextCapacity];
  copyWithoutSeparator(text, clLocation);
  return QelClFileABase::getDateTimeOfCreation(text);
}

long QelClDirectory::getDateTimeOfLastAccess() const {
  char text[kTextCapacity];
  copyWithoutSeparator(text, clLocation);
  return QelClFileABase::getDateTimeOfLastAccess(text);
}

long QelClDirectory::getDateTimeOfLastModification() const {
  char text[kTextCapacity];
  copyWithoutSeparator(text, clLocation);
  return QelClFileABase::getDateTimeOfLastModification(text);
}
