// Loadable modules, the lookup of their procedures, and the same through an opaque
// handle.
#include "qel_filesystem.h"

#include <new>

#include "platform/platform.h"
#include "qel_memory.h"

QelClDllFile::QelClDllFile(const QelClFilename& name)
    : QelClExeFile(name, getDefaultFileType(), true, getSystemPathEnvironmentVariable()),
      pvModule(nullptr) {
  load();
}

QelClDllFile::~QelClDllFile() {
  if (pvModule != nullptr) qel::platform::unloadModule(pvModule);
}

// The host's code is the record's id and, as for every file, the host error too.
void QelClDllFile::load() {
  qel::platform::Status status;
  pvModule = qel::platform::loadModule(clName.getAsCString(), status);
  if (pvModule == nullptr) setError(status.error(), QelEnErrorClass::RESOURCE_MISSING, status.error());
}

const char* QelClDllFile::getSystemPathEnvironmentVariable() { return "PATH"; }

const char* QelClDllFile::getDefaultFileType() { return qel::platform::moduleFileType(); }

QelClDllProcLoaderFile::QelClDllProcLoaderFile(const QelClFilename& name) : QelClDllFile(name) {}

QelPfuProcedure QelClDllProcLoaderFile::getProcedure(const char* name) const {
  if (pvModule == nullptr || name == nullptr) return nullptr;
  return qel::platform::findProcedure(pvModule, name);
}

void* qelDllProcLoaderOpen(const char* name) {
  void* block = qelMalloc(static_cast<unsigned int>(sizeof(QelClDllProcLoaderFile)));
  auto* loader = new (block) QelClDllProcLoaderFile(QelClFilename(name));
  if (loader->isLoaded()) return loader;
  loader->~QelClDllProcLoaderFile();
  qelFree(block);
  return nullptr;
}

QelPfuProcedure qelDllProcLoaderGetProcedure(void* handle, const char* name) {
  if (handle == nullptr) return nullptr;
  return static_cast<const QelClDllProcLoaderFile*>(handle)->getProcedure(name);
}

void qelDllProcLoaderClose(void* handle) {
  if (handle == nullptr) return;
  static_cast<QelClDllProcLoaderFile*>(handle)->~QelClDllProcLoaderFile();
  qelFree(handle);
}
