// What the programs share about their failures: the host's reason for a call into the
// C runtime that failed, in the host's own words, and the last word of a program that
// an exception reached.
#ifndef VRNQEL43_APPS_PROGRAM_FAILURES_H
#define VRNQEL43_APPS_PROGRAM_FAILURES_H

#include <vrnqel43.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "platform/program_host.h"

namespace qelapp {

using qel::program_host::clearRuntimeError;
using qel::program_host::runtimeError;

// "name: the host's text", or the name alone when there is no code.
inline std::string withReason(const char* name, std::uint32_t code) {
  std::string text(name);
  if (code != 0) text.append(": ").append(QelClHostErrorText(code).getText());
  return text;
}

// Opens a file for reading in binary mode; null with the host's reason when that fails.
inline std::FILE* openToRead(const char* name, std::uint32_t& reason) {
  clearRuntimeError();
  std::FILE* file = std::fopen(name, "rb");
  reason = file == nullptr ? runtimeError() : 0;
  return file;
}

// A message number's text in the library's built-in table: an identifier's or a
// class's name.
inline const char* builtInText(std::uint32_t message) {
  unsigned long entries = 0;
  const char* const* table = qelMsgCatGetBuiltInTable(&entries);
  return message != 0 && message < entries ? table[message] : "?";
}

// Runs a program's work and returns its exit code. An exception of the library (the
// memory manager's when memory runs out) or of the runtime (an allocation of the
// standard library) that reaches this far ends the program with one line on standard
// error, written without taking memory, and failedCode.
template <class Work>
int runToTheEnd(const char* program, int failedCode, Work work) {
  try {
    return work();
  } catch (const QelClException& failure) {
    const char* cause = failure.getCause();
    static_cast<void>(std::fprintf(stderr, "%s: The library failed: %s (%s)%s%s\n", program,
                                   builtInText(qelErrorGetIdAsMessageId(failure.getErrorId())),
                                   builtInText(qelErrorGetClassAsMessageId(failure.getErrorClass())),
                                   cause[0] != '\0' ? ": " : "", cause));
  } catch (const std::exception& failure) {
    static_cast<void>(std::fprintf(stderr, "%s: The program failed: %s\n", program, failure.what()));
  }
  return failedCode;
}

}  // namespace qelapp

#endif
