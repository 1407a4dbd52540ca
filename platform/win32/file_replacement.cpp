// Replacing a file as a whole through its lock file: created exclusively and held open
// without sharing for the whole update, flushed, then moved over the target.
#include "platform/platform.h"

#include <cstring>

#include "platform/win32/windows_api.h"
#include "qel_memory.h"

struct qel::platform::Replacement {
  HANDLE handle;
  DWORD targetAttributes;  // INVALID_FILE_ATTRIBUTES for a new target
  char targetPath[MAX_PATH + 1];
  char lockPath[MAX_PATH + 8];
};

namespace {

using qel::platform::Replacement;
using qel::platform::Status;

// The lock file is deleted when its handle closes, so that no other writer can take it
// for abandoned in between.
void release(Replacement* replacement, bool removeLock) {
  if (removeLock) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    SetFileInformationByHandle(replacement->handle, FileDispositionInfo, &disposition, sizeof disposition);
  }
  CloseHandle(replacement->handle);
  qelFree(replacement);
}

}  // namespace

// A lock file that exists is deleted when nobody has it open any more: its writer is
// gone. While its writer lives, it is open without sharing and the delete fails.
Status qel::platform::beginReplacement(const char* target, std::uint32_t waitMilliseconds,
                                       Replacement*& replacement) {
  replacement = nullptr;
  if (std::strlen(target) > MAX_PATH - 6) return Status::failure(ERROR_FILENAME_EXCED_RANGE);
  const DWORD attributes = GetFileAttributesA(target);
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return Status::failure(ERROR_ACCESS_DENIED);
  }
  auto* made = static_cast<Replacement*>(qelMalloc(sizeof(Replacement)));
  made->targetAttributes = attributes;
  std::strcpy(made->targetPath, target);
  std::strcpy(made->lockPath, target);
  std::strcat(made->lockPath, ".lock");
  const DWORD started = GetTickCount();
  for (;;) {
    made->handle = CreateFileA(made->lockPath, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made->handle != INVALID_HANDLE_VALUE) {
      replacement = made;
      return Status();
    }
    const DWORD error = GetLastError();
    const bool held = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                      (error == ERROR_ACCESS_DENIED && GetFileAttributesA(made->lockPath) != INVALID_FILE_ATTRIBUTES);
    if (!held) {
      qelFree(made);
      return Status::failure(error);
    }
    if (DeleteFileA(made->lockPath) != 0) continue;
    if (GetTickCount() - started >= waitMilliseconds) {
      qelFree(made);
      return Status::failure(ERROR_FILE_EXISTS);
    }
    Sleep(10);
  }
}

Status qel::platform::writeReplacement(Replacement* replacement, const void* bytes, std::size_t size) {
  const char* data = static_cast<const char*>(bytes);
  while (size > 0) {
    const DWORD piece = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (WriteFile(replacement->handle, data, piece, &written, nullptr) == 0) return lastError();
    data += written;
    size -= written;
  }
  return Status();
}

// MoveFileExA replaces the target in one step on NTFS; write-through returns once the
// move is on the disk. The target's attributes go to the new file; its access control
// list is the one the directory gives new files.
Status qel::platform::commitReplacement(Replacement* replacement) {
  if (FlushFileBuffers(replacement->handle) == 0) {
    const Status failure = lastError();
    release(replacement, true);
    return failure;
  }
  CloseHandle(replacement->handle);
  Status result;
  if (MoveFileExA(replacement->lockPath, replacement->targetPath,
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    result = lastError();
    DeleteFileA(replacement->lockPath);
  } else if (replacement->targetAttributes != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesA(replacement->targetPath, replacement->targetAttributes);
  }
  qelFree(replacement);
  return result;
}

void qel::platform::abandonReplacement(Replacement* replacement) { release(replacement, true); }
