// Reading files as they are, in binary mode.
#include "platform/platform.h"

#include "platform/win32/windows_api.h"

namespace {

// The handle kept in the platform's integer file type.
HANDLE handleOf(qel::platform::InputFile file) {
  return reinterpret_cast<HANDLE>(file);  // NOLINT(performance-no-int-to-ptr): it was a HANDLE
}

}  // namespace

// Others may read, write and delete the file meanwhile, as with the runtime's _open.
qel::platform::Status qel::platform::openFileToRead(const char* path, InputFile& file) {
  HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  file = handle == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<InputFile>(handle);
  return handle == INVALID_HANDLE_VALUE ? lastError() : Status();
}

qel::platform::Status qel::platform::readFile(InputFile file, void* buffer, std::size_t size, std::size_t& got) {
  const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD count = 0;
  if (ReadFile(handleOf(file), buffer, want, &count, nullptr) == 0) {
    got = 0;
    return lastError();
  }
  got = count;
  return Status();
}

void qel::platform::closeReadFile(InputFile file) { CloseHandle(handleOf(file)); }
