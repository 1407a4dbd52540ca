// Message modules (resource-only DLLs, FormatMessage) and the user's and system's languages.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

void* qel::platform::loadMessageModule(const char* fileName, Status& status) {
  HMODULE module = LoadLibraryA(fileName);
  status = module == nullptr ? lastError() : Status();
  return module;
}

void qel::platform::freeMessageModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

std::size_t qel::platform::formatModuleMessage(void* module, std::uint32_t id,
                                               unsigned int language,
                                               const char* const insertions[10], char* buffer,
                                               std::size_t capacity) {
  DWORD_PTR arguments[10];
  for (int i = 0; i < 10; ++i) arguments[i] = reinterpret_cast<DWORD_PTR>(insertions[i]);
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                      module, id, language, buffer, static_cast<DWORD>(capacity),
                                      reinterpret_cast<va_list*>(arguments));
  if (length == 0) buffer[0] = '\0';
  return length;
}

unsigned int qel::platform::userDefaultLanguage() { return GetUserDefaultLangID(); }

unsigned int qel::platform::systemDefaultLanguage() { return GetSystemDefaultLangID(); }
