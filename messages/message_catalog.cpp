// Message catalogs: a message module or an attached string table.
#include "qel_messages.h"

#include <algorithm>
#include <clocale>
#include <cstring>

#include "qel_util.h"
#include "messages/builtin_message_ids.h"
#include "messages/placeholders.h"
#include "platform/platform.h"

namespace {

constexpr std::size_t kWorkCapacity = 4096;
constexpr unsigned int kEnglishUnitedStates = 0x0409;

QelClFilename moduleName(const QelClFilename& name) {
  QelClFilename module(name);
  module.setNewExtension(".DLL");
  return module;
}

}  // namespace

QelClMessageCatalog::QelClMessageCatalog(const QelClFilename& name)
    : QelClFile(moduleName(name), nullptr), hMessageModule(nullptr), bModuleLoaded(false),
      bDefaultCatalog(false), ppszStringTable(nullptr), ulStringTableEntries(0), uiLanguage(0),
      bLanguageFound(false) {
  startUp();
}

QelClMessageCatalog::QelClMessageCatalog()
    : QelClFile(QelClFilename("vrnmsg43.DLL"), nullptr), hMessageModule(nullptr),
      bModuleLoaded(false), bDefaultCatalog(true), ppszStringTable(nullptr),
      ulStringTableEntries(0), uiLanguage(0), bLanguageFound(false) {
  startUp();
}

QelClMessageCatalog::~QelClMessageCatalog() {
  if (hMessageModule != nullptr) qel::platform::freeMessageModule(hMessageModule);
}

// Loads the module and picks the language whose probe message (number 1) it holds:
// the user's, the system's, else English (United States). A module that does not load
// is no failure of the catalog, which then serves its string table: the record stays
// clear, and only the host's reason is kept.
void QelClMessageCatalog::startUp() {
  static_cast<void>(std::setlocale(LC_ALL, ""));  // the locale stays "C" if the user's is unknown
  qel::platform::Status status;
  hMessageModule = qel::platform::loadMessageModule(getAsCString(), status);
  bModuleLoaded = hMessageModule != nullptr;
  ulHostError = status.error();
  if (!bModuleLoaded) return;
  uiLanguage = qel::platform::userDefaultLanguage();
  bLanguageFound = true;
  if (QelClMessage(*this, qel::msg::kLibraryMarker).isFound()) return;
  uiLanguage = qel::platform::systemDefaultLanguage();
  if (QelClMessage(*this, qel::msg::kLibraryMarker).isFound()) return;
  uiLanguage = kEnglishUnitedStates;
  bLanguageFound = false;
}

bool QelClMessageCatalog::isValidMessageId(unsigned long id) { return id != 0; }

void QelClMessageCatalog::useStringTable(const char* const table[], unsigned long entries) {
  ppszStringTable = table;
  ulStringTableEntries = static_cast<std::uint32_t>(entries);
}

bool QelClMessageCatalog::fetch(unsigned long id, const char* const insertions[10],
                                char* buffer) const {
  if (bModuleLoaded) {
    return qel::platform::formatModuleMessage(hMessageModule, static_cast<std::uint32_t>(id),
                                              uiLanguage, insertions, buffer, kWorkCapacity) != 0;
  }
  if (ppszStringTable == nullptr || id >= ulStringTableEntries) return false;
  qel::replaceVars(buffer, kWorkCapacity, ppszStringTable[id], insertions, 10);
  return true;
}

// "UNABLE TO LOAD MESSAGE #<id> FROM CATALOG: <file>" with a module, otherwise
// "UNABLE TO LOAD MESSAGE CATALOG: <file>".
void QelClMessageCatalog::writeFailureText(unsigned long id, char* buffer) const {
  char number[24];
  qelULtoa(id, number);
  const char* const insertion[] = {number};
  const char* text = bModuleLoaded ? "UNABLE TO LOAD MESSAGE #%1 FROM CATALOG: "
                                   : "UNABLE TO LOAD MESSAGE CATALOG: ";
  const std::size_t length = qel::replaceVars(buffer, kWorkCapacity, text, insertion, 1);
  const char* file = getAsCString();
  const std::size_t fileLength = std::min(std::strlen(file), kWorkCapacity - length);
  std::memcpy(buffer + length, file, fileLength);
  buffer[length + fileLength] = '\0';
}
