// The platform-bound directory walker: the entry text is the directory's text followed
// first by the search pattern, then by each entry's name in turn.
#include "qel_filesystem.h"

#include <cstring>

#include "platform/platform.h"

using qel::platform::DirectoryEntry;
using qel::platform::SearchStep;
using qel::platform::Status;

namespace {

constexpr char kPattern[] = "*.*";

}  // namespace

QelClOSSDirectoryWalker::QelClOSSDirectoryWalker(const QelClLocation& directory,
                                                 _QelStError& error)
    : szEntryText{}, pszName(szEntryText), bValid(false), pstError(&error), pvSearch(nullptr),
      ulAttributes(0), ulHostError(0) {
  const std::size_t length = directory.getLength();
  Status status;
  if (length + sizeof kPattern <= sizeof szEntryText) {
    std::memcpy(szEntryText, directory.getAsCString(), length);
    pszName = szEntryText + length;
    std::memcpy(pszName, kPattern, sizeof kPattern);
    DirectoryEntry entry{pszName, getNameCapacity(), ulAttributes};
    bValid = qel::platform::beginDirectorySearch(szEntryText, pvSearch, entry, status) == SearchStep::found;
    ulAttributes = entry.attributes;
  }
  if (!bValid) setError(DIRWALK_COULD_NOT_INIT, status.error());
}

QelClOSSDirectoryWalker::~QelClOSSDirectoryWalker() {
  if (pvSearch != nullptr) qel::platform::endDirectorySearch(pvSearch);
}

bool QelClOSSDirectoryWalker::setToNext() {
  if (!bValid) return false;
  DirectoryEntry entry{pszName, getNameCapacity(), ulAttributes};
  Status status;
  const SearchStep step = qel::platform::nextDirectoryEntry(pvSearch, entry, status);
  if (step == SearchStep::found) {
    ulAttributes = entry.attributes;
    return true;
  }
  if (step != SearchStep::end) setError(DIRWALK_NO_CONTINUATION, status.error());
  bValid = false;
  return false;
}

bool QelClOSSDirectoryWalker::isDirectory() const {
  return hasAttribute(qel::platform::kEntryDirectory);
}

bool QelClOSSDirectoryWalker::isSubDirectory() const {
  return isDirectory() && std::strcmp(pszName, ".") != 0 && std::strcmp(pszName, "..") != 0;
}

bool QelClOSSDirectoryWalker::isParentDirectory() const {
  return isDirectory() && std::strncmp(pszName, "..", 2) == 0;
}

bool QelClOSSDirectoryWalker::isCurrentDirectory() const {
  return isDirectory() && std::strcmp(pszName, ".") == 0;
}

bool QelClOSSDirectoryWalker::isHidden() const { return hasAttribute(qel::platform::kEntryHidden); }

bool QelClOSSDirectoryWalker::isReadOnly() const {
  return hasAttribute(qel::platform::kEntryReadOnly);
}

bool QelClOSSDirectoryWalker::isLink() const { return hasAttribute(qel::platform::kEntryLink); }

bool QelClOSSDirectoryWalker::hasAttribute(std::uint32_t attribute) const {
  return (ulAttributes & attribute) != 0;
}

// The room behind the directory text, the terminating zero included.
std::size_t QelClOSSDirectoryWalker::getNameCapacity() const {
  return sizeof szEntryText - static_cast<std::size_t>(pszName - szEntryText);
}

void QelClOSSDirectoryWalker::setError(std::uint32_t id, std::uint32_t hostError) {
  pstError->ulErrorId = id;
  pstError->enErrorClass = QelEnErrorClass::IO_PROBLEM;
  ulHostError = hostError;
}
