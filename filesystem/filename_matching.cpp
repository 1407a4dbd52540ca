// File names: comparisons, extraction of parts and the 8.3 test.
#include "qel_filesystem.h"

#include <algorithm>
#include <cstring>

#include "qel_util.h"

namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// At most count characters, as strncmp counts them; ASCII case ignored unless exact.
bool equalPrefix(const char* a, const char* b, std::size_t count, bool exact) {
  for (std::size_t i = 0; i < count; ++i) {
    const char x = exact ? a[i] : upper(a[i]);
    if (x != (exact ? b[i] : upper(b[i]))) return false;
    if (x == '\0') break;
  }
  return true;
}

bool equalText(const char* a, const char* b, bool exact) {
  return equalPrefix(a, b, static_cast<std::size_t>(-1), exact);
}

void copyRange(char* out, const char* begin, const char* end) {
  const std::size_t length = static_cast<std::size_t>(end - begin);
  std::memcpy(out, begin, length);
  out[length] = '\0';
}

}  // namespace

// The compared part ends with its separator, so a name in a sub-directory matches too.
bool QelClFilenameABase::matchesPath(const QelClFilenameABase& other) const {
  return equalPrefix(pszPathText, other.pszPathText,
                     static_cast<std::size_t>(pszName - pszPathText), enStyle == UNIX_STYLE);
}

bool QelClFilenameABase::matchesBase(const QelClFilenameABase& other) const {
  const std::size_t length = static_cast<std::size_t>(
      std::max(pszExtension - pszName, other.pszExtension - other.pszName));
  return equalPrefix(pszName, other.pszName, length, enStyle == UNIX_STYLE);
}

bool QelClFilenameABase::matchesExtension(const char* extension) const {
  if (extension == nullptr) extension = "";
  const char* own = pszExtension;
  if (*own != '\0' && extension[0] != '.') ++own;
  return equalText(own, extension, enStyle == UNIX_STYLE);
}

void QelClFilenameABase::extractPath(char* out, bool withSeparator) const {
  if (pszName == pszPathText) {
    out[0] = '\0';
    return;
  }
  copyRange(out, pszFullText, withSeparator ? pszName : pszName - 1);
}

void QelClFilenameABase::extractBaseName(char* out) const { copyRange(out, pszName, pszExtension); }

void QelClFilenameABase::extractServer(char* out) const {
  const bool network = szBuffer[0] == '\\' && szBuffer[1] == '\\';
  copyRange(out, pszFullText, network ? pszPathText : pszFullText);
}

// Directory components are counted from the path text (behind "X:" with a drive) up to
// the extension: at most 8 characters each, none of <>:;.|/*" in them. The characters
// of the extension itself are not examined.
bool QelClFilenameABase::isStyleFAT_8_3() const {
  if (enStyle != WINDOWS_STYLE) return false;
  if (std::strlen(pszExtension) > 4 || pszExtension - pszName > 8) return false;
  const char* scan = pszPathText;
  if (hasDrive()) {
    if (!((scan[0] >= 'A' && scan[0] <= 'Z') || (scan[0] >= 'a' && scan[0] <= 'z'))) return false;
    scan += 2;
  }
  unsigned int componentLength = 0;
  for (; scan < pszExtension; ++scan) {
    if (std::strchr("<>:;.|/*\"", *scan) != nullptr) return false;
    if (componentLength > 8) return false;
    componentLength = *scan == '\\' ? 0 : componentLength + 1;
  }
  return true;
}

bool QelClFilenameABase::matchesWildcardPattern(const char* pattern) const {
  return qelMatchesWildcardPattern(pattern, pszName, enStyle == UNIX_STYLE) != 0;
}
