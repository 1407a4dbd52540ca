// Files: the name with its default type, queries, copy, remove and rename, and the
// search of a name along a directory list in an environment variable.
#include "qel_filesystem.h"

#include <cstring>

#include "platform/platform.h"

namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// ASCII case ignored unless exact.
bool sameText(const char* first, const char* second, bool exact) {
  for (; *first != '\0' && *second != '\0'; ++first, ++second) {
    if (exact ? *first != *second : upper(*first) != upper(*second)) return false;
  }
  return *first == *second;
}

}  // namespace

QelClFile::QelClFile(const QelClFilenameABase& name, const char* defaultType)
    : clName(name), stError{NO_ERROR, QelEnErrorClass::UNKNOWN}, ulHostError(0) {
  if (clName.getExtension()[0] == '\0' && defaultType != nullptr) {
    clName.setNewExtension(defaultType);
  }
}

QelClFile::~QelClFile() = default;

const char* QelClFile::getAsCString() const { return clName.getAsCString(); }

QelClFile::operator const char*() const { return clName.getAsCString(); }

bool QelClFile::isExistent() const { return clName.isExistent(); }

bool QelClFile::isDirectory() const { return false; }

bool QelClFile::isFile() const { return true; }

long QelClFile::getDateTimeOfCreation() const {
  return QelClFileABase::getDateTimeOfCreation(clName.getAsCString());
}

long QelClFile::getDateTimeOfLastAccess() const {
  return QelClFileABase::getDateTimeOfLastAccess(clName.getAsCString());
}

long QelClFile::getDateTimeOfLastModification() const {
  return QelClFileABase::getDateTimeOfLastModification(clName.getAsCString());
}

bool QelClFile::isHidden() const { return qel::platform::isHiddenFile(clName.getAsCString()); }

bool QelClFile::isReadOnly() const {
  return qel::platform::isReadOnlyFile(clName.getAsCString());
}

// Reports nothing, as the queries: a file that can't be changed stays as it is.
void QelClFile::setReadOnly(bool readOnly) {
  static_cast<void>(qel::platform::setReadOnlyFile(clName.getAsCString(), readOnly));
}

unsigned long QelClFile::getFileSize() const {
  std::uint64_t size = 0;
  if (!qel::platform::fileSize(clName.getAsCString(), size)) return 0;
  return static_cast<unsigned long>(size);
}

const char* QelClFile::getFileType() const {
  const char* extension = clName.getExtension();
  return extension[0] == '.' ? extension + 1 : extension;
}

bool QelClFile::copyTo(const QelClLocation& directory, bool keepAttributes) {
  return copyTo(QelClFilename(directory, clName.getName(), nullptr), keepAttributes);
}

bool QelClFile::copyTo(const QelClFilenameABase& target, bool keepAttributes) {
  const bool exact = clName.getPathStyle() == QelClPathProperty::UNIX_STYLE;
  if (sameText(target.getAsCString(), clName.getAsCString(), exact)) {
    setError(FILE_COULD_NOT_COPY_SELF, QelEnErrorClass::INCONSISTENT_SITUATION);
    return false;
  }
  if (const qel::platform::Status copied = qel::platform::copyFile(clName.getAsCString(), target.getAsCString());
      !copied) {
    setError(FILE_COULD_NOT_COPY, QelEnErrorClass::IO_PROBLEM, copied.error());
    return false;
  }
  // A copy that stays read-only is no failure of the copy.
  if (!keepAttributes) static_cast<void>(qel::platform::setReadOnlyFile(target.getAsCString(), false));
  clearError();
  return true;
}

bool QelClFile::remove() {
  qel::platform::Status status;
  switch (qel::platform::removeFile(clName.getAsCString(), status)) {
    case qel::platform::FileRemoval::removed:
      clearError();
      return true;
    case qel::platform::FileRemoval::missing:
      setError(FILE_COULD_NOT_REMOVE, QelEnErrorClass::IO_NOT_EXISTENT, status.error());
      return false;
    case qel::platform::FileRemoval::failed:
      break;
  }
  setError(FILE_COULD_NOT_REMOVE, QelEnErrorClass::IO_PERMISSION_DENIED, status.error());
  return false;
}

bool QelClFile::renameAs(const QelClFilenameABase& newName) {
  const qel::platform::Status renamed = qel::platform::renameFile(clName.getAsCString(), newName.getAsCString());
  if (renamed) {
    clName = QelClFilename(newName);
    clearError();
    return true;
  }
  setError(FILE_COULD_NOT_RENAME,
           newName.isExistent() ? QelEnErrorClass::IO_ALREADY_IN_USE : QelEnErrorClass::IO_PERMISSION_DENIED,
           renamed.error());
  return false;
}

// Runs of separators and empty pieces are skipped; a piece too long for a directory
// text can't name one and is skipped too.
bool QelClFile::determineFileInEnvVarPath(QelClFilename& name, const char* variable) const {
  if (name.isExistent()) return true;
  QelClEnvironmentVariableQueryOnly listVariable;
  listVariable.setNewName(variable);
  const char* list = listVariable.getValue();
  if (list == nullptr) return false;
  char directory[261];
  for (const char* piece = list; *piece != '\0';) {
    const char* end = std::strchr(piece, qel::platform::kPathListSeparator);
    if (end == nullptr) end = piece + std::strlen(piece);
    const std::size_t length = static_cast<std::size_t>(end - piece);
    if (length > 0 && length < sizeof directory) {
      std::memcpy(directory, piece, length);
      directory[length] = '\0';
      name.setNewPath(directory);
      if (name.isExistent()) return true;
    }
    piece = *end != '\0' ? end + 1 : end;
  }
  return false;
}

void QelClFile::setError(std::uint32_t id, QelEnErrorClass errorClass, std::uint32_t hostError) {
  stError.ulErrorId = id;
  stError.enErrorClass = errorClass;
  ulHostError = hostError;
}

void QelClFile::clearError() { setError(NO_ERROR, QelEnErrorClass::UNKNOWN); }
