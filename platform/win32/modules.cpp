// Loadable modules: load, find a procedure, unload (LoadLibrary); their file type.
#include "platform/platform.h"

#include "platform/win32/windows_api.h"

void* qel::platform::loadModule(const char* path, Status& status) {
  HMODULE module = LoadLibraryA(path);
  status = module == nullptr ? lastError() : Status();
  return reinterpret_cast<void*>(module);
}

void qel::platform::unloadModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

// FARPROC and the library's procedure type are both functions without arguments;
// void (*)() is the type every function pointer may pass through.
qel::platform::Procedure qel::platform::findProcedure(void* module, const char* name) {
  const FARPROC address = GetProcAddress(static_cast<HMODULE>(module), name);
  return reinterpret_cast<Procedure>(reinterpret_cast<void (*)()>(address));
}

const char* qel::platform::moduleFileType() { return ".DLL"; }
