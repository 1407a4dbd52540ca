// Loadable modules: load, find a procedure, unload (dlopen); their file type.
#include "platform/platform.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

// dlopen resolves every symbol at once, as LoadLibraryA does. It sets no error number
// of its own: one left by a failed system call is taken, else ENOEXEC for a file that
// exists but could not be loaded and ENOENT for one not found. An empty name would give
// the program itself, so it counts as missing.
void* qel::platform::loadModule(const char* path, Status& status) {
  status = Status();
  if (path[0] == '\0') {
    status = Status::failure(ENOENT);
    return nullptr;
  }
  errno = 0;
  void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    int number = errno;
    if (number == 0) {
      const bool present = std::strchr(path, '/') != nullptr && access(path, F_OK) == 0;
      number = present ? ENOEXEC : ENOENT;
    }
    status = Status::failure(static_cast<std::uint32_t>(number));
  }
  return module;
}

void qel::platform::unloadModule(void* module) { dlclose(module); }

qel::platform::Procedure qel::platform::findProcedure(void* module, const char* name) {
  return reinterpret_cast<Procedure>(dlsym(module, name));
}

const char* qel::platform::moduleFileType() { return ".so"; }
