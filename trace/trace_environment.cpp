// What a trace key's environment variables make of the trace: settings, buffer and
// its manager, the trace file and the autosave hand-over to it.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

#include "qel_memory.h"
#include "qel_process.h"
#include "qel_trace.h"
#include "trace/ring_writer.h"

namespace {

constexpr std::uint32_t kDefaultBufferSize = 65535;
constexpr std::uint32_t kSmallestBufferSize = 4096;
constexpr std::uint32_t kLargestBufferSize = 16777216;
// Room for a variable's name: the upper-cased key (235 characters at most), a suffix
// of up to 16 characters and the terminator.
constexpr std::size_t kNameRoom = 252;
constexpr std::size_t kLongestSuffix = 16;
const char kDefaultFormat[] = "%f%n   P: %p, T: %s, D: %l, C: %c%n   Data: %m (%x: %d%n)";
const char kDefaultInstance[] = "QELTRACEINSTANCE0";

// "_TRACE_BUFSIZE" in KiB, computed in 32 bits, kept within 4096 bytes and 16 MiB.
std::uint32_t bufferSizeOf(const char* kibibytes) {
  const std::uint32_t size = static_cast<std::uint32_t>(std::strtol(kibibytes, nullptr, 10)) * 1024u;
  if (size < kSmallestBufferSize + 1) return kSmallestBufferSize;
  return size < kLargestBufferSize ? size : kLargestBufferSize;
}

// The key's variables, one name after the other.
class KeyVariables {
public:
  explicit KeyVariables(const char* key) {
    for (; length < kNameRoom - kLongestSuffix - 1 && key[length] != '\0'; ++length) {
      name[length] = static_cast<char>(std::toupper(static_cast<unsigned char>(key[length])));
    }
  }
  const QelClEnvironmentVariableQueryOnly& operator[](const char* suffix) {
    std::strcpy(name + length, suffix);
    variable.setNewName(name);
    return variable;
  }

private:
  char name[kNameRoom] = {};
  std::size_t length = 0;
  QelClEnvironmentVariableQueryOnly variable;
};

template <typename Value>
void reportLine(const char* label, const Value& value) {
  std::cout << "[QEL: TRACE: " << label << value << "]\n";
}

}  // namespace

QelClTraceEnvironment::QelClTraceEnvironment(const char* key, const char* instance, bool controller)
    : clKey(key, instance != nullptr ? instance : kDefaultInstance),
      pclManager(nullptr),
      pclSettings(nullptr),
      ulBufferSize(kDefaultBufferSize),
      ulProcessId(QelClProcessProperty().getProcessId()),
      clFileName(""),
      szFormat{},
      pcBuffer(nullptr),
      bActive(false),
      bSharedMemory(false),
      bController(controller),
      ulUncompressedTotal(0),
      ulCompressedTotal(0) {
  try {
    pclSettings = new (QelClMemoryManager::malloc(sizeof(QelClTraceSettings))) QelClTraceSettings();
    determineSettingsFromEnvVars(key);
    pcBuffer = static_cast<char*>(QelClMemoryManager::calloc(1, ulBufferSize));
    pclManager = new (QelClMemoryManager::malloc(sizeof(QelClTraceBufferManager)))
        QelClTraceBufferManager(clKey, pcBuffer, ulBufferSize);
  } catch (...) {
    release();
    throw;
  }
  if (pclSettings->hasFlag(QelClTraceSettings::AUTOSAVE)) {
    pclManager->setOverflowCallback(autoSave, this);
    // What fails to be removed stays: the records are appended behind it.
    if (!bController && pclSettings->hasFlag(QelClTraceSettings::AUTOCLEAR)) QelClFile(clFileName, nullptr).remove();
  }
}

QelClTraceEnvironment::~QelClTraceEnvironment() {
  if (pclManager != nullptr) {
    pclManager->flush();
    pclManager->setOverflowCallback(nullptr, nullptr);
  }
  release();
}

void QelClTraceEnvironment::release() {
  QelClMemoryManager::free(pcBuffer);
  pcBuffer = nullptr;
  if (pclManager != nullptr) {
    pclManager->~QelClTraceBufferManager();
    QelClMemoryManager::free(pclManager);
    pclManager = nullptr;
  }
  if (pclSettings != nullptr) {
    pclSettings->~QelClTraceSettings();
    QelClMemoryManager::free(pclSettings);
    pclSettings = nullptr;
  }
}

void QelClTraceEnvironment::determineSettingsFromEnvVars(const char* key) {
  KeyVariables variables(key);
  QelClTraceSettings& settings = *pclSettings;
  if (variables["_TRACE_ACTIVE"].hasValueEnabled()) bActive = true;
  if (const char* detail = variables["_TRACE_DETAIL"].getValue()) settings.setDetailLevel(detail);
  const struct {
    const char* suffix;
    QelClTraceSettings::QelEnFlag flag;
  } switches[] = {{"_TRACE_AUTOSAVE", QelClTraceSettings::AUTOSAVE},
                  {"_TRACE_AUTOFLUSH", QelClTraceSettings::AUTOFLUSH},
                  {"_TRACE_AUTOCLEAR", QelClTraceSettings::AUTOCLEAR},
                  {"_TRACE_COMPRESS", QelClTraceSettings::COMPRESSION}};
  for (const auto& entry : switches) {
    if (variables[entry.suffix].hasValueEnabled()) settings.setFlag(entry.flag);
  }
  if (const char* list = variables["_TRACE_COMPSET"].getValue()) settings.initComponentIds(list);
  if (const char* size = variables["_TRACE_BUFSIZE"].getValue()) ulBufferSize = bufferSizeOf(size);
  if (const char* file = variables["_TRACE_FILE"].getValue()) {
    clFileName = QelClFilename(file);
  } else {
    char name[QelClTraceEntry::STRING_AREA];
    static_cast<void>(std::snprintf(name, sizeof name, "%.250strace", key));  // cut to fit, by design
    clFileName = QelClFilename(qelGetTmpDirectory(), name, "trc");
  }
  const char* format = variables["_TRACE_FORMAT"].getValue();
  setFormatString(format != nullptr ? format : kDefaultFormat);
  if (variables["_TRACE_VERBOSE"].hasValueEnabled()) {
    settings.setFlag(QelClTraceSettings::VERBOSE);
    reportSettings(key);
  }
}

void QelClTraceEnvironment::reportSettings(const char* key) const {
  const QelClTraceSettings& settings = *pclSettings;
  const auto flag = [&](QelClTraceSettings::QelEnFlag which) { return settings.hasFlag(which) ? 1 : 0; };
  reportLine("key: ", key);
  reportLine("active: ", bActive ? 1 : 0);
  reportLine("resource key: ", clKey.getText());
  reportLine("compression: ", flag(QelClTraceSettings::COMPRESSION));
  reportLine("autosave: ", flag(QelClTraceSettings::AUTOSAVE));
  reportLine("autoflush: ", flag(QelClTraceSettings::AUTOFLUSH));
  reportLine("autoclear: ", flag(QelClTraceSettings::AUTOCLEAR));
  reportLine("detail: ", settings.getFilter().getDetailLevel());
  reportLine("buffersize: ", ulBufferSize);
  reportLine("process id: ", ulProcessId);
  reportLine("format: ", szFormat);
  reportLine("file: ", getTraceFileName());
  reportLine("sharedMemory: ", bSharedMemory ? 1 : 0);
  std::cout.flush();
}

void QelClTraceEnvironment::add(const QelClTraceEntry& entry) {
  const unsigned char* record = entry.getRecord();
  const char* strings = reinterpret_cast<const char*>(record + QelClTraceEntry::HEADER_LENGTH);
  add(record, strings, strings + entry.getMessageLength(), entry.getData());
}

void QelClTraceEnvironment::add(const unsigned char* recordHeader, const char* message, const char* function,
                                const void* data) {
  qel::trace::RingWriter::add(*this, qel::trace::RecordHeader::load(recordHeader), message, function, data);
}

void QelClTraceEnvironment::flush() { pclManager->flush(); }

void QelClTraceEnvironment::setFormatString(const char* text) {
  std::strncpy(szFormat, text, FORMAT_LENGTH);
  szFormat[FORMAT_LENGTH] = '\0';
}

void QelClTraceEnvironment::recordCompressionRate(std::uint32_t uncompressed, std::uint32_t compressed) const {
  ulUncompressedTotal += uncompressed;
  ulCompressedTotal += compressed;
}

float QelClTraceEnvironment::getCompressionRate() const {
  if (ulUncompressedTotal == 0 || ulCompressedTotal == 0) return 0.0f;
  return static_cast<float>(ulCompressedTotal) / static_cast<float>(ulUncompressedTotal);
}
