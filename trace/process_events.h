// The environments that a fatal signal saves and a fork's child continues.
#ifndef VRNQEL43_TRACE_PROCESS_EVENTS_H
#define VRNQEL43_TRACE_PROCESS_EVENTS_H

namespace qel {
namespace trace {

struct Recorder;

// From its construction to its destruction; an autosaving environment with crash save
// keeps the crash handler installed meanwhile. Room for a few at once: beyond them an
// environment is neither saved on a crash nor continued in a fork's child.
void watchRecorder(Recorder& recorder);
void unwatchRecorder(Recorder& recorder);

}  // namespace trace
}  // namespace qel

#endif
