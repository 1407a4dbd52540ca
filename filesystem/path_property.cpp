// The analysis every path text shares: network prefix, separator style, drive, absoluteness.
#include "qel_filesystem.h"

#include <cstring>

#include "filesystem/path_text.h"

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

QelClPathProperty::QelClPathProperty()
    : pszFullText(nullptr), pszPathText(nullptr), enStyle(WINDOWS_STYLE) {}

void QelClPathProperty::init(const char* text) {
  pszFullText = const_cast<char*>(text);
  determinePath();
  enStyle = getStyle(pszPathText);
}

void QelClPathProperty::relocate(const QelClPathProperty& source, char* ownText) {
  pszFullText = ownText;
  pszPathText = ownText + (source.pszPathText - source.pszFullText);
  enStyle = source.enStyle;
}

// Behind \\server\share the path text starts at the backslash that ends the share
// (or at the end of a text that stops after the share). The server has at least one
// character; \\server alone is no prefix.
void QelClPathProperty::determinePath() {
  char* text = pszFullText;
  pszPathText = text;
  if (text[0] != '\\' || text[1] != '\\' || text[2] == '\0') return;
  char* serverEnd = std::strchr(text + 3, '\\');
  if (serverEnd == nullptr) return;
  char* shareEnd = std::strchr(serverEnd + 1, '\\');
  pszPathText = shareEnd != nullptr ? shareEnd : serverEnd + std::strlen(serverEnd);
}

QelClPathProperty::QelEnPathStyle QelClPathProperty::getStyle(const char* text) const {
  if (isLetter(text[0]) && text[1] == ':') return WINDOWS_STYLE;
  if (std::strchr(text, '\\') != nullptr) return WINDOWS_STYLE;
  if (std::strchr(text, '/') != nullptr) return UNIX_STYLE;
  return WINDOWS_STYLE;
}

char QelClPathProperty::getPathSep(const char* text) const {
  return getStyle(text) == UNIX_STYLE ? '/' : '\\';
}

bool QelClPathProperty::hasDrive() const {
  return pszPathText[0] != '\0' && pszPathText[1] == ':';
}

// \dir has no drive and is therefore not absolute; C:dir isn't either.
bool QelClPathProperty::isAbsolute() const {
  if (pszPathText != pszFullText) return true;
  if (enStyle == UNIX_STYLE) return pszPathText[0] == '/';
  return hasDrive() && pszPathText[2] == '\\';
}

bool QelClPathProperty::isNormalized() const { return std::strchr(pszPathText, '/') == nullptr; }

void QelClPathProperty::normalizePath(char* text) { qel::filesystem::replaceAll(text, '/', '\\'); }
