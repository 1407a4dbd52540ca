// Directory walks: a handle around a walker taken from the library's allocator. A walk
// without a walker behaves as one that could not start.
#include "qel_filesystem.h"

#include <new>

#include "qel_memory.h"
#include "qel_util.h"

QelClDirectoryWalk::QelClDirectoryWalk(const QelClLocation& directory)
    : pclWalker(nullptr), stError{} {
  start(directory);
}

QelClDirectoryWalk::QelClDirectoryWalk(const QelClDirectory& directory)
    : pclWalker(nullptr), stError{} {
  start(directory.getLocation());
}

QelClDirectoryWalk::~QelClDirectoryWalk() {
  if (pclWalker == nullptr) return;
  pclWalker->~QelClOSSDirectoryWalker();
  QelClMemoryManager::free(pclWalker);
}

// An allocator that fails throws; the walk then keeps the failure instead.
void QelClDirectoryWalk::start(const QelClLocation& directory) {
  void* block = nullptr;
  try {
    block = QelClMemoryManager::malloc(sizeof(QelClOSSDirectoryWalker));
  } catch (const QelClException& failure) {
    stError.ulErrorId = DIRWALK_COULD_NOT_INIT;
    stError.enErrorClass = failure.getErrorClass();
    return;
  }
  pclWalker = new (block) QelClOSSDirectoryWalker(directory, stError);
}

bool QelClDirectoryWalk::isValid() const { return pclWalker != nullptr && pclWalker->isValid(); }

bool QelClDirectoryWalk::setToNext() { return pclWalker != nullptr && pclWalker->setToNext(); }

bool QelClDirectoryWalk::isDirectory() const {
  return pclWalker != nullptr && pclWalker->isDirectory();
}

bool QelClDirectoryWalk::isSubDirectory() const {
  return pclWalker != nullptr && pclWalker->isSubDirectory();
}

bool QelClDirectoryWalk::isParentDirectory() const {
  return pclWalker != nullptr && pclWalker->isParentDirectory();
}

bool QelClDirectoryWalk::isCurrentDirectory() const {
  return pclWalker != nullptr && pclWalker->isCurrentDirectory();
}

bool QelClDirectoryWalk::isHidden() const { return pclWalker != nullptr && pclWalker->isHidden(); }

bool QelClDirectoryWalk::isReadOnly() const {
  return pclWalker != nullptr && pclWalker->isReadOnly();
}

bool QelClDirectoryWalk::isLink() const { return pclWalker != nullptr && pclWalker->isLink(); }

bool QelClDirectoryWalk::matchesWildcardPattern(const char* pattern) const {
  return qelMatchesWildcardPattern(pattern, getNameWithoutPath(), 0) != 0;
}

std::uint32_t QelClDirectoryWalk::getHostError() const {
  return pclWalker != nullptr ? pclWalker->getHostError() : 0;
}

const char* QelClDirectoryWalk::getNameWithPath() const {
  return pclWalker != nullptr ? pclWalker->getNameWithPath() : "";
}

const char* QelClDirectoryWalk::getNameWithoutPath() const {
  return pclWalker != nullptr ? pclWalker->getNameWithoutPath() : "";
}
