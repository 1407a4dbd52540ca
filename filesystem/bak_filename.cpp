// Backup names: the source name with ".BAK" appended.
#include "qel_filesystem.h"

#include <cstring>

// The extension position stays: a.txt gives a.txt.BAK with the extension .txt.BAK.
QelClBakFilename::QelClBakFilename(const QelClFilenameABase& source) : QelClFilenameABase(source) {
  static const char kSuffix[] = ".BAK";
  if (ulLength + sizeof kSuffix - 1 > MAX_LENGTH) {
    clear();
    return;
  }
  std::memcpy(szBuffer + ulLength, kSuffix, sizeof kSuffix);
  ulLength += static_cast<std::uint32_t>(sizeof kSuffix - 1);
}
