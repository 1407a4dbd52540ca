// Temporary file names, made unique against the file system, and the temporary directory.
#include "qel_filesystem.h"

#include <cstring>
#include <initializer_list>

#include "filesystem/path_text.h"
#include "platform/platform.h"
#include "qel_util.h"

namespace {

const char kDefaultPrefix[] = "TMP";
const char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ@#!%_";
constexpr unsigned int kAlphabetSize = sizeof kAlphabet - 1;

}  // namespace

const char* qelGetTmpDirectory() {
  QelClEnvironmentVariableQueryOnly variable;
  for (const char* name : {"TMP", "TEMP"}) {
    variable.setNewName(name);
    if (const char* value = variable.getValue()) return value;
  }
  return qel::platform::defaultTemporaryDirectory();
}

QelClTmpFilename::QelClTmpFilename()
    : QelClFilenameABase(qelGetTmpDirectory(), kDefaultPrefix, nullptr) {
  initPrefix(kDefaultPrefix);
}

QelClTmpFilename::QelClTmpFilename(const char* prefix)
    : QelClFilenameABase(qelGetTmpDirectory(), prefix, nullptr) {
  initPrefix(prefix);
}

QelClTmpFilename::QelClTmpFilename(const char* directory, const char* prefix)
    : QelClFilenameABase(directory, prefix, nullptr) {
  initPrefix(prefix);
}

QelClTmpFilename::QelClTmpFilename(const QelClLocation& directory)
    : QelClFilenameABase(directory.getAsCString(), kDefaultPrefix, nullptr) {
  initPrefix(kDefaultPrefix);
}

QelClTmpFilename::QelClTmpFilename(const QelClLocation& directory, const char* prefix)
    : QelClFilenameABase(directory.getAsCString(), prefix, nullptr) {
  initPrefix(prefix);
}

QelClTmpFilename::QelClTmpFilename(const QelClFilename& model, const char* prefix)
    : QelClFilenameABase(model) {
  initPrefix(prefix);
}

// The name part becomes up to 5 characters of the prefix, random characters up to 8,
// "." and the process id's last three digits, units first (process 1234 gives .432).
// Random numbers are drawn until no entry of that name exists. A name that would pass
// 260 characters is refused and left empty.
void QelClTmpFilename::initPrefix(const char* prefix) {
  char work[13];
  const std::size_t prefixLength = qel::filesystem::boundedLength(prefix, 5);
  if (prefixLength > 0) std::memcpy(work, prefix, prefixLength);
  work[8] = '.';
  std::uint32_t processId = qel::platform::currentProcessId();
  for (std::size_t i = 9; i < 12; ++i, processId /= 10) {
    work[i] = static_cast<char>('0' + processId % 10);
  }
  work[12] = '\0';

  const std::size_t offset = static_cast<std::size_t>(pszName - szBuffer);
  if (offset + sizeof work - 1 > MAX_LENGTH) {
    clear();
    return;
  }
  const QelClRandomNumberGenerator generator;
  do {
    unsigned int random = static_cast<unsigned int>(generator.getRandomNumber());
    for (std::size_t i = 8; i-- > prefixLength; random /= kAlphabetSize) {
      work[i] = kAlphabet[random % kAlphabetSize];
    }
    std::memcpy(szBuffer + offset, work, sizeof work);
    determineParts();
  } while (isExistent());
}
