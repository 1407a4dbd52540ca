// Finding a program along PATH (SearchPath); the file type of programs.
#include "platform/platform.h"

#include "platform/win32/windows_api.h"

// SearchPathA returns the length it wrote, or the size it would need: a name that does
// not fit is too long.
qel::platform::Status qel::platform::searchProgramPath(const char* name, char* buffer, std::size_t size) {
  const DWORD length = SearchPathA(nullptr, name, nullptr, static_cast<DWORD>(size), buffer, nullptr);
  if (length > 0 && length < size) return {};
  const Status failed = length == 0 ? lastError() : Status::failure(ERROR_FILENAME_EXCED_RANGE);
  if (size > 0) buffer[0] = '\0';
  return failed;
}

const char* qel::platform::programFileType() { return "EXE"; }
