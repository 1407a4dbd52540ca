// Crash save and fork: what a fatal signal and a fork's child do with the environments.
#include "trace/process_events.h"

#include <atomic>

#include "platform/platform.h"
#include "qel_trace.h"
#include "trace/record_file.h"
#include "trace/ring_writer.h"

namespace {

constexpr int kWatchedRoom = 16;
// How long a crash save waits for a buffer lock: a record holds it for nanoseconds, a
// hand-over for one write; a holder that takes longer is taken to be the crashed thread.
constexpr std::uint32_t kCrashLockWait = 200;

std::atomic<qel::trace::Recorder*> g_watched[kWatchedRoom];
std::atomic<int> g_crashSaving{0};

bool savesOnCrash(const qel::trace::Recorder& recorder) {
  return recorder.pclSettings->hasFlag(QelClTraceSettings::CRASHSAVE);
}

void saveAll() {
  for (auto& slot : g_watched) {
    if (qel::trace::Recorder* recorder = slot.load()) qel::trace::RingWriter::saveOnCrash(*recorder);
  }
}

void continueAll() {
  for (auto& lock : qel::trace::g_bufferLocks) lock.reset();
  for (auto& slot : g_watched) {
    if (qel::trace::Recorder* recorder = slot.load()) qel::trace::RingWriter::continueInChild(*recorder);
  }
}

}  // namespace

void qel::trace::watchRecorder(Recorder& recorder) {
  platform::callInForkedChild(continueAll);
  for (auto& slot : g_watched) {
    Recorder* empty = nullptr;
    if (!slot.compare_exchange_strong(empty, &recorder)) continue;
    if (savesOnCrash(recorder) && g_crashSaving.fetch_add(1) == 0) platform::installCrashHandler(saveAll);
    return;
  }
}

void qel::trace::unwatchRecorder(Recorder& recorder) {
  for (auto& slot : g_watched) {
    Recorder* watched = &recorder;
    if (!slot.compare_exchange_strong(watched, nullptr)) continue;
    if (savesOnCrash(recorder) && g_crashSaving.fetch_sub(1) == 1) platform::removeCrashHandler();
    return;
  }
}

// A lock the wait does not get is the crashed thread's, which is in the middle of a
// record (the ring's write position does not cover it yet) or of a hand-over: the save
// goes on without it. One it gets stays held, so that other threads add nothing to
// the ring nor start an append that the process's end could cut; the record file
// closes, so that exit handlers, which the previous handler may run, flush nothing.
void qel::trace::RingWriter::saveOnCrash(Recorder& recorder) {
  RecordFile* file = recorder.pclRecordFile;
  if (file == nullptr || !savesOnCrash(recorder)) return;
  static_cast<void>(recorder.clRing.pclLock->tryLockFor(kCrashLockWait));
  handOverUnsaved(recorder);
  file->close();
}

void qel::trace::RingWriter::handOverUnsaved(const Recorder& recorder) {
  RecordFile* file = recorder.pclRecordFile;
  const Ring& ring = recorder.clRing;
  RingHeader& h = ring.header();
  const std::uint32_t written = writtenUpTo(h);
  if (h.ulSaved == written) return;
  if (h.ulSaved > written) {
    file->handOver(ring.pcBuffer + h.ulSaved, h.ulLast + 1 - h.ulSaved, ring.pcBuffer + h.ulStart,
                   written - h.ulStart, false);
  } else {
    file->handOver(ring.pcBuffer + h.ulSaved, written - h.ulSaved, nullptr, 0, false);
  }
  h.ulSaved = writtenUpTo(h);  // the start, after a hand-over at a wrap
}

void qel::trace::RingWriter::continueInChild(Recorder& recorder) {
  const std::uint32_t processId = platform::currentProcessId();
  *recorder.pulProcessId = processId;
  Ring& ring = recorder.clRing;
  ring.bDirty = false;
  RingHeader& h = ring.header();
  if (RecordFile* file = recorder.pclRecordFile) {
    file->startAfresh(writtenUpTo(h), processId);
    ring.pcBuffer = file->getRing();
  } else {
    h.ulSaved = writtenUpTo(h);
  }
}
