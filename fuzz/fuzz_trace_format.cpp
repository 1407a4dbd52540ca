// Trace files through the reader and the formatter: whatever the bytes, formatting
// ends with output or with one of the three documented errors, never a crash, an
// overrun or a hang. Input: a flags byte, a format-string length byte, the format
// string, then the trace file's bytes.
#include <vrnqel43.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>

namespace {

class NullBuffer : public std::streambuf {
protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

const std::string& traceFile() {
  static const std::string name = "fuzz_trace_format_" + std::to_string(QelClProcessProperty().getProcessId()) + ".trc";
  return name;
}

const QelClTraceEnvironment& environment() {
  static const QelClTraceEnvironment* controller = [] {
    QelClEnvironmentVariable("QELFUZZ_TRACE_FILE", traceFile().c_str());
    std::atexit([] { std::remove(traceFile().c_str()); });
    return new QelClTraceEnvironment("QELFUZZ", nullptr, true);
  }();
  return *controller;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned int flags = data[0];
  const std::size_t formatLength = data[1] < size - 2 ? data[1] : size - 2;
  const std::string format(reinterpret_cast<const char*>(data + 2), formatLength);
  {
    std::ofstream file(traceFile(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data + 2 + formatLength),
               static_cast<std::streamsize>(size - 2 - formatLength));
  }
  QelClTraceFormatter formatter(environment(), nullptr);
  if ((flags & 0x20u) == 0) formatter.setFormatString(format.c_str());
  if ((flags & 0x10u) != 0) formatter.setDisplayIndentation("  ");
  formatter.bShowNesting = (flags & 0x01u) != 0;
  formatter.bShowFunctionRecords = (flags & 0x02u) == 0;
  formatter.bRepeatFunctionNames = (flags & 0x04u) == 0;
  formatter.bHex = (flags & 0x08u) != 0;
  NullBuffer nothing;
  std::ostream out(&nothing);
  try {
    formatter.format(out);
  } catch (const QelClException& exception) {
    const std::uint32_t id = exception.getErrorId();
    if (id != TRACEFORMAT_UNEXPECTED_EOF && id != TRACEFORMAT_FILE_CORRUPTED) std::abort();
  }
  return 0;
}
