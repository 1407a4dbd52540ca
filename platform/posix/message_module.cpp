// Message modules and languages on POSIX: no module loads, both languages are US English.
#include "platform/platform.h"

#include <cerrno>

// POSIX hosts have no message-table resources: no message module ever loads, and
// catalogs serve their messages from their string tables.
void* qel::platform::loadMessageModule(const char*, Status& status) {
  status = Status::failure(ENOSYS);
  return nullptr;
}

void qel::platform::freeMessageModule(void*) {}

std::size_t qel::platform::formatModuleMessage(void*, std::uint32_t, unsigned int,
                                               const char* const[10], char* buffer, std::size_t) {
  buffer[0] = '\0';
  return 0;
}

// Languages are the library's own concern on POSIX only through message modules.
unsigned int qel::platform::userDefaultLanguage() { return 0x0409; }

unsigned int qel::platform::systemDefaultLanguage() { return 0x0409; }
