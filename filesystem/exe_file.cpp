// Executables: a program name resolved through the host's search for programs.
#include "qel_filesystem.h"

#include "platform/platform.h"

namespace {

bool hasDirectoryPart(const QelClFilename& name) { return name.getName() != name.getAsCString(); }

bool usePathForMissingPrograms() {
  QelClEnvironmentVariableQueryOnly variable;
  variable.setNewName("QEL_NEWPROCESS_USEPATH");
  return variable.hasValueEnabled();
}

}  // namespace

QelClExeFile::QelClExeFile(const QelClFilename& name)
    : QelClFile(name, getDefaultFileType()), bFoundInSystemPath(false) {
  if (hasDirectoryPart(clName)) {
    if (clName.isExistent() || !usePathForMissingPrograms()) return;
    clName.removePath();
  }
  bFoundInSystemPath = search();
}

QelClExeFile::QelClExeFile(const QelClFilename& name, const char* defaultType, bool, const char*)
    : QelClFile(name, defaultType), bFoundInSystemPath(false) {
  if (!hasDirectoryPart(clName)) bFoundInSystemPath = search();
}

bool QelClExeFile::isFoundInSystemPath() const { return bFoundInSystemPath; }

bool QelClExeFile::determinePath(bool, const char*) {
  bFoundInSystemPath = search();
  return bFoundInSystemPath;
}

// The name takes the full name found; a result beyond a name's 260 characters counts
// as not found.
bool QelClExeFile::search() {
  char found[261];
  if (!qel::platform::searchProgramPath(clName.getAsCString(), found, sizeof found)) return false;
  clName = QelClFilename(found);
  return true;
}

const char* QelClExeFile::getSystemPathEnvironmentVariable() { return "PATH"; }

const char* QelClExeFile::getDefaultFileType() { return qel::platform::programFileType(); }
