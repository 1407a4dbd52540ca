// Files mapped into memory, held by their creator's handle, which shares with no one
// who asks for the file alone.
#include "platform/platform.h"

#include "platform/win32/windows_api.h"

namespace {

using qel::platform::MappedFile;
using qel::platform::Status;

HANDLE handleOf(std::intptr_t value) {
  return reinterpret_cast<HANDLE>(value);  // NOLINT(performance-no-int-to-ptr): it was a HANDLE
}

// Maps the file open on handle into file; closes the handle on failure.
Status map(HANDLE handle, std::size_t size, MappedFile& file) {
  const auto wide = static_cast<std::uint64_t>(size);
  HANDLE mapping = CreateFileMappingA(handle, nullptr, PAGE_READWRITE, static_cast<DWORD>(wide >> 32),
                                      static_cast<DWORD>(wide), nullptr);
  void* memory = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size) : nullptr;
  if (memory == nullptr) {
    const Status status = qel::platform::lastError();
    if (mapping != nullptr) CloseHandle(mapping);
    CloseHandle(handle);
    return status;
  }
  file.handle = reinterpret_cast<std::intptr_t>(handle);
  file.mapping = reinterpret_cast<std::intptr_t>(mapping);
  file.memory = memory;
  file.size = size;
  return Status();
}

}  // namespace

Status qel::platform::createMappedFile(const char* path, std::size_t size, MappedFile& file) {
  HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return lastError();
  return map(handle, size, file);
}

Status qel::platform::openAbandonedMappedFile(const char* path, MappedFile& file) {
  HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return lastError();
  LARGE_INTEGER size{};
  if (GetFileSizeEx(handle, &size) == 0 || size.QuadPart == 0) {
    const Status status = size.QuadPart == 0 ? Status::failure(ERROR_INVALID_DATA) : lastError();
    CloseHandle(handle);
    return status;
  }
  return map(handle, static_cast<std::size_t>(size.QuadPart), file);
}

// Windows removes a file only when no handle is open on it: the name goes last.
void qel::platform::closeMappedFile(MappedFile& file, const char* removePath) {
  if (file.memory != nullptr) UnmapViewOfFile(file.memory);
  if (file.mapping != 0) CloseHandle(handleOf(file.mapping));
  if (file.handle != -1) CloseHandle(handleOf(file.handle));
  if (removePath != nullptr) DeleteFileA(removePath);
  file = MappedFile();
}
