// What a trace key's environment variables make of the trace: settings, buffer and
// its manager, the trace file and the autosave hand-over to it.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "memory/managed_object.h"
#include "qel_memory.h"
#include "qel_process.h"
#include "qel_trace.h"
#include "trace/process_events.h"
#include "trace/record_file.h"
#include "trace/ring_writer.h"

namespace {

using qel::memory::construct;
using qel::memory::destroy;

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

// "OFF", "NO", "FALSE" or "0" in any case.
bool isOff(const char* value) {
  for (const char* word : {"OFF", "NO", "FALSE", "0"}) {
    std::size_t i = 0;
    while (word[i] != '\0' && std::toupper(static_cast<unsigned char>(value[i])) == word[i]) ++i;
    if (word[i] == '\0' && value[i] == '\0') return true;
  }
  return false;
}

}  // namespace

QelClTraceEnvironment::QelClTraceEnvironment(const char* key, const char* instance, bool controller)
    : clKey(key, instance != nullptr ? instance : kDefaultInstance),
      pclRecorder(nullptr),
      pclSettings(nullptr),
      ulBufferSize(kDefaultBufferSize),
      ulProcessId(QelClProcessProperty().getProcessId()),
      clFileName(""),
      szFormat{},
      bActive(false),
      bSharedMemory(false),
      bController(controller),
      ulUncompressedTotal(0),
      ulCompressedTotal(0) {
  bool autosave = false;
  try {
    pclSettings = construct<QelClTraceSettings>();
    determineSettingsFromEnvVars(key);
    pclRecorder = construct<qel::trace::Recorder>(*pclSettings, ulProcessId);
    qel::trace::Ring& ring = pclRecorder->clRing;
    qel::trace::BufferLock& lock = qel::trace::lockOf(clKey.getText());
    autosave = pclSettings->hasFlag(QelClTraceSettings::AUTOSAVE);
    if (autosave) {
      // Records a killed writer left belong in front of this run's.
      const std::uint64_t recovered = saveAbandonedRecords();
      const bool durable = !bController && pclSettings->hasFlag(QelClTraceSettings::DURABLE);
      qel::platform::Status reason;
      pclRecorder->pclRecordFile =
          construct<qel::trace::RecordFile>(getTraceFileName(), ulBufferSize, durable, reason);
      ring.attach(lock, pclRecorder->pclRecordFile->getRing(), ulBufferSize);
      if (pclSettings->hasFlag(QelClTraceSettings::VERBOSE)) reportAutosave(recovered, durable, reason.error());
    } else {
      ring.attach(lock, static_cast<char*>(QelClMemoryManager::calloc(1, ulBufferSize)), ulBufferSize);
    }
  } catch (...) {
    release();
    throw;
  }
  if (autosave) {
    pclRecorder->clRing.pfuCallback = autoSave;
    pclRecorder->clRing.pvContext = this;
    // What fails to be removed stays: the records are appended behind it.
    if (!bController && pclSettings->hasFlag(QelClTraceSettings::AUTOCLEAR)) QelClFile(clFileName, nullptr).remove();
  }
  qel::trace::watchRecorder(*pclRecorder);
}

QelClTraceEnvironment::~QelClTraceEnvironment() {
  flush();
  pclRecorder->clRing.pfuCallback = nullptr;
  qel::trace::unwatchRecorder(*pclRecorder);
  release();
}

// The ring's buffer is the record file's block with autosave, else the environment's own.
void QelClTraceEnvironment::release() {
  if (pclRecorder != nullptr) {
    if (pclRecorder->pclRecordFile == nullptr) QelClMemoryManager::free(pclRecorder->clRing.pcBuffer);
    destroy(pclRecorder->pclRecordFile);
    destroy(pclRecorder);
  }
  destroy(pclSettings);
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
  if (settings.hasFlag(QelClTraceSettings::AUTOSAVE)) {
    const char* crashSave = variables["_TRACE_CRASHSAVE"].getValue();
    if (crashSave == nullptr || !isOff(crashSave)) settings.setFlag(QelClTraceSettings::CRASHSAVE);
    if (variables["_TRACE_DURABLE"].hasValueEnabled()) settings.setFlag(QelClTraceSettings::DURABLE);
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

void QelClTraceEnvironment::reportAutosave(std::uint64_t recovered, bool durable, std::uint32_t failure) const {
  const qel::trace::RecordFile& file = *pclRecorder->pclRecordFile;
  if (file.isDurable()) reportLine("ring file: ", file.getRingFileName());
  if (durable && failure != 0) {
    char text[256];
    qel::platform::hostErrorText(failure, text, sizeof text);
    reportLine("no durable ring: ", text);
  }
  if (recovered != 0) reportLine("records recovered: ", recovered);
  std::cout.flush();
}

std::uint64_t QelClTraceEnvironment::getLostRecordCount() const {
  const qel::trace::RecordFile* file = pclRecorder->pclRecordFile;
  return file != nullptr ? file->getLostRecordCount() : 0;
}

std::uint32_t QelClTraceEnvironment::getHostError() const {
  const qel::trace::RecordFile* file = pclRecorder->pclRecordFile;
  return file != nullptr ? file->getHostError() : 0;
}

bool QelClTraceEnvironment::isDurable() const {
  const qel::trace::RecordFile* file = pclRecorder->pclRecordFile;
  return file != nullptr && file->isDurable();
}

std::uint64_t QelClTraceEnvironment::saveAbandonedRecords() const {
  return qel::trace::RecordFile::saveAbandoned(getTraceFileName());
}

void QelClTraceEnvironment::add(const QelClTraceEntry& entry) {
  const unsigned char* record = entry.getRecord();
  const char* strings = reinterpret_cast<const char*>(record + QelClTraceEntry::HEADER_LENGTH);
  add(record, strings, strings + entry.getMessageLength(), entry.getData());
}

void QelClTraceEnvironment::add(const unsigned char* recordHeader, const char* message, const char* function,
                                const void* data) {
  qel::trace::RingWriter::add(*pclRecorder, qel::trace::RecordHeader::load(recordHeader), message, function, data);
}

// After a crash save the buffer's lock stays with the dying process: nothing to flush.
void QelClTraceEnvironment::flush() {
  const qel::trace::RecordFile* file = pclRecorder->pclRecordFile;
  if (file == nullptr || !file->isClosed()) pclRecorder->clRing.flush();
}

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
