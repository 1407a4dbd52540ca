// The process's trace instance and the plain trace functions applications call.
#include <atomic>
#include <cstdlib>
#include <new>

#include "qel_memory.h"
#include "qel_trace.h"
#include "trace/record_header.h"

QelClTraceInstance* QelClTraceInstance::cv_pclSingletonInstance = nullptr;
QelClTraceInstance* gs_pclQelTraceInstance = nullptr;

namespace {

// Function nesting, counted for the whole process. Atomic, so that threads tracing
// entries and exits at once lose no step.
std::atomic<std::int32_t> g_nestingLevel{0};

// An instance the application never deleted is flushed and freed at exit, or when
// the library is unloaded.
struct ExitHandler {
  // Without a handler (no room left in the runtime's list) the instance is just not
  // flushed at exit.
  ExitHandler() noexcept { static_cast<void>(std::atexit([] { QelClTraceInstance::deleteInstance(); })); }
} const g_exitHandler;

// Constructs T in memory of the library's allocator; nothing is left when T throws.
template <typename T, typename... Arguments>
T* construct(Arguments&&... arguments) {
  void* memory = QelClMemoryManager::malloc(sizeof(T));
  try {
    return new (memory) T(static_cast<Arguments&&>(arguments)...);
  } catch (...) {
    QelClMemoryManager::free(memory);
    throw;
  }
}

template <typename T>
void destroy(T* object) {
  object->~T();
  QelClMemoryManager::free(object);
}

}  // namespace

QelClTraceInstance::QelClTraceInstance(const char* key, const char* instance, bool controller)
    : pclEnvironment(construct<QelClTraceEnvironment>(key, instance, controller)),
      pfuCallback(dumpImp),
      pvUserData(this) {}

QelClTraceInstance::~QelClTraceInstance() {
  flush();
  gs_pclQelTraceInstance = nullptr;
  destroy(pclEnvironment);
}

QelClTraceInstance& QelClTraceInstance::create(const char* key, const char* instance, bool controller) {
  if (cv_pclSingletonInstance == nullptr) {
    void* memory = QelClMemoryManager::malloc(sizeof(QelClTraceInstance));
    try {
      cv_pclSingletonInstance = new (memory) QelClTraceInstance(key, instance, controller);
    } catch (...) {
      QelClMemoryManager::free(memory);
      throw;
    }
    if (cv_pclSingletonInstance->isActive()) gs_pclQelTraceInstance = cv_pclSingletonInstance;
  }
  return *cv_pclSingletonInstance;
}

QelClTraceInstance& QelClTraceInstance::createInstance(const char* key, const char* instance) {
  return create(key, instance, false);
}

QelClTraceInstance& QelClTraceInstance::createControllerInstance(const char* key, const char* instance) {
  return create(key, instance, true);
}

void QelClTraceInstance::deleteInstance() {
  if (cv_pclSingletonInstance != nullptr) {
    cv_pclSingletonInstance->~QelClTraceInstance();
    QelClMemoryManager::free(cv_pclSingletonInstance);
  }
  cv_pclSingletonInstance = nullptr;
}

bool QelClTraceInstance::isActive() const { return pclEnvironment->isActive(); }

bool QelClTraceInstance::isEnabled() const { return gs_pclQelTraceInstance != nullptr; }

void QelClTraceInstance::activate() { pclEnvironment->activate(); }

void QelClTraceInstance::enable() {
  if (isActive()) gs_pclQelTraceInstance = this;
}

void QelClTraceInstance::disable() {
  flush();
  gs_pclQelTraceInstance = nullptr;
}

void QelClTraceInstance::flush() {
  if (isActive()) pclEnvironment->flush();
}

bool QelClTraceInstance::usesQelBackEnd() const { return pfuCallback == dumpImp; }

void QelClTraceInstance::registerUserCallback(QelPfuTraceCallback callback, void* user) {
  pfuCallback = callback;
  pvUserData = user;
}

void QelClTraceInstance::dumpFunction(QelEnTraceDetail detail, unsigned short component,
                                      QelEnTraceDataType type, const char* function) {
  const std::int32_t level = type == QelEnTraceDataType::FUNCTION_ENTRY ? ++g_nestingLevel : --g_nestingLevel;
  if (detail == QelEnTraceDetail::LOW) detail = QelEnTraceDetail::OFF;
  pfuCallback(pvUserData, detail, component, type, function, "", &level, sizeof level);
}

void QelClTraceInstance::dump(QelEnTraceDetail detail, unsigned short component, QelEnTraceDataType type,
                              const char* function, unsigned int functionLength, const char* message,
                              unsigned int messageLength, const void* data, unsigned int length) {
  if (type == QelEnTraceDataType::FUNCTION_ENTRY || type == QelEnTraceDataType::FUNCTION_EXIT) {
    dumpFunction(detail, component, type, function);
  } else if (pfuCallback == dumpImp) {
    // The library's own path, called directly rather than through the pointer.
    static_cast<QelClTraceInstance*>(pvUserData)
        ->record(detail, component, type, function, functionLength, message, messageLength, data, length);
  } else {
    pfuCallback(pvUserData, detail, component, type, function, message, data, length);
  }
}

void QelClTraceInstance::dumpImp(void* user, QelEnTraceDetail detail, unsigned short component,
                                 QelEnTraceDataType type, const char* function, const char* message,
                                 const void* data, unsigned int length) {
  static_cast<QelClTraceInstance*>(user)->record(detail, component, type, function, UNKNOWN_LENGTH, message,
                                                 UNKNOWN_LENGTH, data, length);
}

void QelClTraceInstance::record(QelEnTraceDetail detail, unsigned short component, QelEnTraceDataType type,
                                const char* function, unsigned int functionLength, const char* message,
                                unsigned int messageLength, const void* data, unsigned int length) {
  QelClTraceEnvironment& environment = *pclEnvironment;
  const QelClTraceSettings& settings = environment.getSettings();
  if (!settings.getFilter().isPassing(detail, component)) return;
  if (settings.hasFlag(QelClTraceSettings::COMPRESSION)) {
    environment.add(QelClTraceEntry(environment, detail, component, type, function, message, data, length));
    return;
  }
  // Unpacked strings go from the caller straight into the buffer, behind the header.
  unsigned char header[QelClTraceEntry::HEADER_LENGTH];
  qel::trace::writeRecordHeader(header, environment, detail, component, type, false,
                                qel::trace::keptLength(message, messageLength),
                                qel::trace::keptLength(function, functionLength), data, length);
  environment.add(header, message, function, data);
}

QelClTraceInstance* qelTraceCreateInstance(const char* key, const char* instance) {
  return &QelClTraceInstance::createInstance(key, instance);
}

void qelTraceDeleteInstance() { QelClTraceInstance::deleteInstance(); }

bool qelTraceIsEnabled() { return gs_pclQelTraceInstance != nullptr; }

// Without an enabled instance these do nothing.
void qelTraceFlush() {
  if (QelClTraceInstance* instance = gs_pclQelTraceInstance) instance->flush();
}

void qelTraceDump(QelEnTraceDetail detail, unsigned short component, QelEnTraceDataType type,
                  const char* function, const char* message, const void* data, unsigned int length) {
  if (QelClTraceInstance* instance = gs_pclQelTraceInstance) {
    instance->dump(detail, component, type, function, QelClTraceInstance::UNKNOWN_LENGTH, message,
                   QelClTraceInstance::UNKNOWN_LENGTH, data, length);
  }
}

void qelTraceDumpCounted(QelEnTraceDetail detail, unsigned short component, QelEnTraceDataType type,
                         const char* function, unsigned int functionLength, const char* message,
                         unsigned int messageLength, const void* data, unsigned int length) {
  if (QelClTraceInstance* instance = gs_pclQelTraceInstance) {
    instance->dump(detail, component, type, function, functionLength, message, messageLength, data, length);
  }
}

void* QelClTraceInstance_getInstance() { return gs_pclQelTraceInstance; }
