// Removal of a directory together with everything it holds.
#include "qel_filesystem.h"

#include <cstring>

#include "platform/platform.h"

namespace {

// The directory built from an entry's name with path stands for that entry alone: its
// text is the name with path and a separator. Names that a directory reads differently
// (a separator inside, on Windows a trailing dot) and paths beyond a directory's
// capacity (whose directory would be empty, or the current one) fail this, so that
// removal never reaches outside the tree.
bool standsFor(const QelClDirectory& directory, const char* nameWithPath) {
  const std::size_t length = std::strlen(nameWithPath);
  const char* text = directory.getAsCString();
  return directory.getError().ulErrorId == NO_ERROR &&
         std::strncmp(text, nameWithPath, length) == 0 &&
         text[length] == qel::platform::kDirectorySeparator && text[length + 1] == '\0';
}

}  // namespace

bool QelClDirectory::removeAll(bool recursive) {
  if (recursive) removeTree(*this);
  return remove();
}

// A link to a directory is removed without entering it. A directory whose text is empty
// (a failed expansion) is not walked: the walk of the empty text is that of the current
// directory.
void QelClDirectory::removeTree(const QelClDirectory& directory) {
  if (directory.clLocation.getLength() == 0) return;
  for (QelClDirectoryWalk walk(directory); walk.isValid(); walk.setToNext()) {
    if (walk.isSubDirectory()) {
      QelClDirectory subDirectory(walk.getNameWithPath());
      if (!standsFor(subDirectory, walk.getNameWithPath())) return;
      if (!walk.isLink()) removeTree(subDirectory);
      if (!subDirectory.remove()) return;
    } else if (!walk.isDirectory()) {
      if (!qel::platform::removeEntry(walk.getNameWithPath())) return;
    }
  }
}
