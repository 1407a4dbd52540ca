// A section of the INI model.
#include <algorithm>
#include <cstring>

#include "qel_inifile.h"

QelClIniFileSection::QelClIniFileSection(const char* begin, const char* end)
    : pclNext(nullptr), pclFirstOption(nullptr), szName{} {
  const auto length = std::min(static_cast<std::size_t>(end - begin), std::size_t{NAME_LENGTH});
  std::memcpy(szName, begin, length);
}

QelClIniFileSection::QelClIniFileSection(const char* name)
    : QelClIniFileSection(name, name + std::min(std::strlen(name), std::size_t{NAME_LENGTH})) {}

QelClIniFileSection::~QelClIniFileSection() {
  delete pclFirstOption;
  // One after the other, not by recursion: a file may hold very many sections.
  QelClIniFileSection* next = pclNext;
  while (next != nullptr) {
    QelClIniFileSection* after = next->pclNext;
    next->pclNext = nullptr;
    delete next;
    next = after;
  }
}

void QelClIniFileSection::deleteContents() {
  szName[0] = '\0';
  delete pclFirstOption;
  pclFirstOption = nullptr;
}
