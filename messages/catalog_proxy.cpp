// The catalog proxy and the plain function interface built on it.
#include "qel_messages.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <new>

#include "qel_memory.h"

namespace {

// Objects of the interface live in blocks of the library's allocator.
template <typename T, typename... Arguments>
T* create(Arguments&&... arguments) {
  void* block = qelMalloc(sizeof(T));
  try {
    return new (block) T(static_cast<Arguments&&>(arguments)...);
  } catch (...) {
    qelFree(block);
    throw;
  }
}

template <typename T>
void destroy(const T* object) {
  if (object == nullptr) return;
  object->~T();
  qelFree(const_cast<T*>(object));
}

}  // namespace

QelClMessageCatalogProxy::QelClMessageCatalogProxy(const QelClFilename& name)
    : bOwnsCatalog(true), pclCatalog(create<QelClMessageCatalog>(name)), achBuffer{} {}

QelClMessageCatalogProxy::QelClMessageCatalogProxy(const QelClFilename& name,
                                                   const char* const table[],
                                                   unsigned long entries)
    : QelClMessageCatalogProxy(name) {
  if (!pclCatalog->isModuleLoaded()) {
    const_cast<QelClMessageCatalog*>(pclCatalog)->useStringTable(table, entries);
  }
}

QelClMessageCatalogProxy::QelClMessageCatalogProxy(const QelClMessageCatalog* catalog)
    : bOwnsCatalog(false), pclCatalog(catalog), achBuffer{} {}

QelClMessageCatalogProxy::~QelClMessageCatalogProxy() {
  if (bOwnsCatalog) destroy(pclCatalog);
}

bool QelClMessageCatalogProxy::isValidMessageId(unsigned long id) const {
  return QelClMessage(*pclCatalog, id).isFound();
}

unsigned int QelClMessageCatalogProxy::getLanguage() const { return pclCatalog->getLanguage(); }

const char* QelClMessageCatalogProxy::getMessage(unsigned long id) {
  const char* const none[10] = {};
  return getMessage(id, none);
}

const char* QelClMessageCatalogProxy::getMessage(unsigned long id, const char* const insertions[]) {
  const QelClMessage message(*pclCatalog, id, insertions);
  const std::size_t length = std::min(std::strlen(message.getText()), sizeof achBuffer - 1);
  std::memcpy(achBuffer, message.getText(), length);
  achBuffer[length] = '\0';
  return achBuffer;
}

QelMsgCatHandle qelMsgCatOpen(const char* name) {
  QelMsgCatHandle handle = create<QelClMessageCatalogProxy>(QelClFilename(name));
  if (handle->getCatalog().isModuleLoaded()) return handle;
  destroy(handle);
  return nullptr;
}

QelMsgCatHandle qelMsgCatOpenAttach(const QelClMessageCatalog* catalog) {
  if (catalog == nullptr || !catalog->isModuleLoaded()) return nullptr;
  return create<QelClMessageCatalogProxy>(catalog);
}

QelMsgCatHandle qelMsgCatOpenOrUseStringTable(const char* name, const char* const table[],
                                              unsigned long entries) {
  return create<QelClMessageCatalogProxy>(QelClFilename(name), table, entries);
}

bool qelMsgCatIsValid(QelMsgCatHandle handle, unsigned long id) {
  return handle->isValidMessageId(id);
}

unsigned int qelMsgCatGetLanguage(QelMsgCatHandle handle) { return handle->getLanguage(); }

const char* qelMsgCatGet(QelMsgCatHandle handle, unsigned long id) {
  return handle->getMessage(id);
}

const char* qelMsgCatGetVar(QelMsgCatHandle handle, unsigned long id, ...) {
  const char* insertions[10] = {};
  va_list arguments;  // NOLINT(cppcoreguidelines-init-variables): va_start sets it
  va_start(arguments, id);
  for (const char*& insertion : insertions) {
    insertion = va_arg(arguments, const char*);
    if (insertion == nullptr) break;
  }
  va_end(arguments);
  return handle->getMessage(id, insertions);
}

void qelMsgCatClose(QelMsgCatHandle handle) { destroy(handle); }
