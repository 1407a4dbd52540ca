// Finding a program along PATH; the file type of programs.
#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isProgram(const char* path) {
  struct stat status {};
  return stat(path, &status) == 0 && S_ISREG(status.st_mode) && access(path, X_OK) == 0;
}

// directory joined with name into buffer when the result fits and is a program.
bool findIn(const char* directory, std::size_t length, const char* name, char* buffer,
            std::size_t size) {
  if (length == 0) return false;
  const bool slash = directory[length - 1] == '/';
  const std::size_t nameLength = std::strlen(name);
  const std::size_t total = length + (slash ? 0 : 1) + nameLength;
  if (total >= size) return false;
  std::memcpy(buffer, directory, length);
  if (!slash) buffer[length] = '/';
  std::memcpy(buffer + total - nameLength, name, nameLength + 1);
  if (isProgram(buffer)) return true;
  buffer[0] = '\0';
  return false;
}

// The directory of the running program, from /proc where there is one.
std::size_t programDirectory(char* buffer, std::size_t size) {
  const ssize_t length = readlink("/proc/self/exe", buffer, size);
  if (length <= 0 || static_cast<std::size_t>(length) >= size) return 0;
  std::size_t end = static_cast<std::size_t>(length);
  while (end > 0 && buffer[end - 1] != '/') --end;
  return end;
}

}  // namespace

// A name with a directory part that is no program gives the reason of its check; a
// bare name that no directory has is "not found".
qel::platform::Status qel::platform::searchProgramPath(const char* name, char* buffer, std::size_t size) {
  if (size == 0) return Status::failure(ENAMETOOLONG);
  buffer[0] = '\0';
  if (name[0] == '\0') return Status::failure(ENOENT);
  if (std::strchr(name, '/') != nullptr) {
    if (std::strlen(name) >= size) return Status::failure(ENAMETOOLONG);
    errno = 0;
    if (!isProgram(name)) return Status::failure(errno != 0 ? static_cast<std::uint32_t>(errno) : EACCES);
    std::strcpy(buffer, name);
    return {};
  }
  char directory[PATH_MAX];
  const std::size_t length = programDirectory(directory, sizeof directory);
  if (findIn(directory, length, name, buffer, size)) return {};
  if (getcwd(directory, sizeof directory) != nullptr &&
      findIn(directory, std::strlen(directory), name, buffer, size)) {
    return {};
  }
  const char* list = std::getenv("PATH");
  for (const char* piece = list; piece != nullptr && *piece != '\0';) {
    const char* end = std::strchr(piece, ':');
    if (end == nullptr) end = piece + std::strlen(piece);
    if (findIn(piece, static_cast<std::size_t>(end - piece), name, buffer, size)) return {};
    piece = *end != '\0' ? end + 1 : end;
  }
  return Status::failure(ENOENT);
}

const char* qel::platform::programFileType() { return ""; }
