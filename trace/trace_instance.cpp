// The process's trace instance and the plain trace functions applications call.
#include <atomic>
#include <cstdlib>
#include <new>

#include "memory/managed_object.h"
#include "qel_memory.h"
#include "qel_trace.h"
#include "trace/ring_writer.h"

QelClTraceInstance* QelClTraceInstance::cv_pclSingletonInstance = nullptr;
QelClTraceInstance* gs_pclQelTraceInstance = nullptr;

namespace {

using qel::memory::construct;
using qel::memory::destroy;

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

// Kept out of the unpacked path, whose frame the record object would only make larger.
[[gnu::noinline]] void recordPacked(QelClTraceEnvironment& environment, QelEnTraceDetail detail,
                                    unsigned short component, QelEnTraceDataType type, const char* function,
                                    const char* message, const void* data, unsigned int length) {
  environment.add(QelClTraceEntry(environment, detail, component, type, function, message, data, length));
}

// The library's recording path: the filter, then the record into the environment.
// Unpacked strings go from the caller straight into the buffer, behind the header.
inline void record(QelClTraceEnvironment& environment, qel::trace::Recorder& recorder, QelEnTraceDetail detail,
                   unsigned short component, QelEnTraceDataType type, const char* function,
                   unsigned int functionLength, const char* message, unsigned int messageLength, const void* data,
                   unsigned int length) {
  const QelClTraceSettings& settings = environment.getSettings();
  if (!settings.getFilter().isPassing(detail, component)) return;
  if (settings.hasFlag(QelClTraceSettings::COMPRESSION)) {
    recordPacked(environment, detail, component, type, function, message, data, length);
    return;
  }
  qel::trace::RingWriter::add(recorder,
                              qel::trace::makeRecordHeader(environment, detail, component, type, false,
                                                           qel::trace::keptLength(message, messageLength),
                                                           qel::trace::keptLength(function, functionLength),
                                                           data, length),
                              message, function, data);
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
    // The library's own path, called directly rather than through the pointer. Its
    // user data is this instance: only the instance itself sets dumpImp.
    record(*pclEnvironment, *pclEnvironment->pclRecorder, detail, component, type, function, functionLength,
           message, messageLength, data, length);
  } else {
    pfuCallback(pvUserData, detail, component, type, function, message, data, length);
  }
}

// The usual trace point, a record for the library's own path with its data at hand,
// goes straight into the ring; whatever else it asks for takes the general path.
void QelClTraceInstance::dump(std::uint32_t head, const char* function, const char* message, const void* data,
                              unsigned int length) {
  const auto type = static_cast<QelEnTraceDataType>(head & 0x1Fu);
  const auto detail = static_cast<QelEnTraceDetail>(head >> 6 & 3u);
  const auto component = static_cast<unsigned short>(head >> 8 & 0xFFu);
  QelClTraceEnvironment& environment = *pclEnvironment;
  const QelClTraceSettings& settings = environment.getSettings();
  if (pfuCallback != dumpImp || type == QelEnTraceDataType::FUNCTION_ENTRY ||
      type == QelEnTraceDataType::FUNCTION_EXIT || (head & 0x20u) != 0 || data == nullptr ||
      length > environment.getBufferSize() || settings.hasFlag(QelClTraceSettings::COMPRESSION) ||
      settings.hasFlag(QelClTraceSettings::AUTOFLUSH)) {
    dump(detail, component, type, function, head >> 24, message, head >> 16 & 0xFFu, data, length);
  } else if (settings.getFilter().isPassing(detail, component)) {
    qel::trace::RingWriter::write(environment.pclRecorder->clRing, qel::trace::stampHeader(environment, head, length),
                                  message, function, data);
  }
}

void QelClTraceInstance::dumpImp(void* user, QelEnTraceDetail detail, unsigned short component,
                                 QelEnTraceDataType type, const char* function, const char* message,
                                 const void* data, unsigned int length) {
  QelClTraceEnvironment& environment = *static_cast<QelClTraceInstance*>(user)->pclEnvironment;
  record(environment, *environment.pclRecorder, detail, component, type, function, UNKNOWN_LENGTH, message,
         UNKNOWN_LENGTH, data, length);
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

void qelTraceDumpHead(std::uint32_t head, const char* function, const char* message, const void* data,
                      unsigned int length) {
  if (QelClTraceInstance* instance = gs_pclQelTraceInstance) instance->dump(head, function, message, data, length);
}

void* QelClTraceInstance_getInstance() { return gs_pclQelTraceInstance; }
