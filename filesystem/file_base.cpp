// The common base of files and directories: expansion of relative directory texts and
// the time stamps of file system entries.
#include "qel_filesystem.h"

#include <cstring>

#include "platform/platform.h"

using qel::platform::kDirectorySeparator;
using qel::platform::PathComponent;

namespace {

constexpr std::size_t kMaxLength = 260;

// The path analysis of a text the caller owns.
class PathAnalysis : public QelClPathProperty {
public:
  explicit PathAnalysis(const char* text) { init(text); }
  const char* pathText() const { return pszPathText; }
  std::size_t prefixLength() const { return static_cast<std::size_t>(pszPathText - pszFullText); }
};

// Absolute as this host reads directory texts: with drives (Windows) by the path
// analysis, else by the leading separator.
bool isAbsoluteHere(const PathAnalysis& analysis, const char* text) {
  return qel::platform::kDriveLetters ? analysis.isAbsolute() : text[0] == kDirectorySeparator;
}

bool fail(char* path) {
  path[0] = '\0';
  return false;
}

}  // namespace

QelClFileABase::~QelClFileABase() = default;

// Every component that ends at a separator counts; a leading separator is the root's.
bool QelClFileABase::isRelativePath(const char* path) {
  if (!isAbsoluteHere(PathAnalysis(path), path)) return true;
  const char* piece = path[0] == kDirectorySeparator ? path + 1 : path;
  for (const char* end = nullptr; (end = std::strchr(piece, kDirectorySeparator)) != nullptr; piece = end + 1) {
    const std::size_t length = static_cast<std::size_t>(end - piece);
    if (qel::platform::classifyComponent(piece, length) != PathComponent::name) return true;
  }
  return false;
}

// The result is built in a work buffer without its final separator: the root (the
// current directory's drive or network prefix, the text's network prefix, or nothing),
// then a separator and a name for every component kept. Only the pieces that end at a
// separator are components. The drive of an absolute text stays in front.
bool QelClFileABase::expandRelativePath(char* path) {
  const PathAnalysis analysis(path);
  char work[2 * (kMaxLength + 4)];
  std::size_t length = 0;
  std::size_t rootLength = 0;
  std::size_t driveLength = 0;
  const char* piece = path;
  if (isAbsoluteHere(analysis, path)) {
    if (qel::platform::kDriveLetters && analysis.hasDrive()) {
      driveLength = 2;
      piece = path + 3;
    } else {
      rootLength = length = analysis.prefixLength();
      std::memcpy(work, path, length);
      piece = analysis.pathText()[0] != '\0' ? analysis.pathText() + 1 : analysis.pathText();
    }
  } else {
    // A drive without a separator behind it (C:dir) names another drive's current
    // directory, which the expansion does not know.
    if (qel::platform::kDriveLetters && analysis.hasDrive()) return fail(path);
    const QelClDirectory current;
    const QelClLocation& location = current.getLocation();
    if (location.getLength() == 0) return fail(path);
    length = location.getLength() - 1;
    std::memcpy(work, location.getAsCString(), length);
    rootLength = qel::platform::kDriveLetters && location.hasDrive()
                     ? 2
                     : PathAnalysis(location.getAsCString()).prefixLength();
  }

  for (const char* end = nullptr; (end = std::strchr(piece, kDirectorySeparator)) != nullptr; piece = end + 1) {
    const std::size_t pieceLength = static_cast<std::size_t>(end - piece);
    switch (qel::platform::classifyComponent(piece, pieceLength)) {
      case PathComponent::name:
        if (length + 1 + pieceLength >= sizeof work) return fail(path);
        work[length++] = kDirectorySeparator;
        std::memcpy(work + length, piece, pieceLength);
        length += pieceLength;
        break;
      case PathComponent::parent:
        while (length > rootLength && work[length - 1] != kDirectorySeparator) --length;
        if (length == rootLength) return fail(path);
        --length;
        break;
      case PathComponent::current:
        break;
    }
  }

  if (driveLength + length + 1 > kMaxLength) return fail(path);
  std::memcpy(path + driveLength, work, length);
  path[driveLength + length] = kDirectorySeparator;
  path[driveLength + length + 1] = '\0';
  return true;
}

long QelClFileABase::getDateTimeOfCreation(const char* path) const {
  qel::platform::FileTimes times{};
  return qel::platform::fileTimes(path, times) ? static_cast<long>(times.created) : 0;
}

long QelClFileABase::getDateTimeOfLastAccess(const char* path) const {
  qel::platform::FileTimes times{};
  return qel::platform::fileTimes(path, times) ? static_cast<long>(times.accessed) : 0;
}

long QelClFileABase::getDateTimeOfLastModification(const char* path) const {
  qel::platform::FileTimes times{};
  return qel::platform::fileTimes(path, times) ? static_cast<long>(times.modified) : 0;
}
