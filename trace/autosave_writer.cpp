// The autosave writer: appends each hand-over of the buffer to the trace file, opening
// and closing the file every time so that several processes can share it.
#include <iostream>

#include "platform/platform.h"
#include "qel_trace.h"

namespace {

// A failed write only shows in the count.
void appendBlock(int fd, const char* bytes, std::uint32_t length, long& count) {
  if (length == 0) return;
  qel::platform::Status status;
  const long written = qel::platform::writeFile(fd, bytes, length, status);
  if (written > 0) count += written;
}

}  // namespace

void QelClTraceEnvironment::autoSave(const _QelStTraceOverflow* overflow) {
  const auto& environment = *static_cast<const QelClTraceEnvironment*>(overflow->pvContext);
  const bool verbose = environment.pclSettings->hasFlag(QelClTraceSettings::VERBOSE);
  const char* file = environment.getTraceFileName();
  qel::platform::Status opened;
  const int fd = qel::platform::openFileToAppend(file, opened);
  if (fd < 0) {
    if (verbose) {
      std::cout << "[QEL: TRACE: could not open: " << file << " (errno: " << opened.error() << ")]" << std::endl;
    }
    return;
  }
  if (verbose) {
    std::cout << "[QEL: TRACE: writing file: " << file << "]\n";
    std::uint64_t size = 0;
    if (qel::platform::fileSize(file, size) && size != 0) std::cout << "[QEL: TRACE: file exists with size: " << size << "]\n";
  }
  long count = 0;
  appendBlock(fd, overflow->pcFirst, overflow->ulFirstLength, count);
  appendBlock(fd, overflow->pcSecond, overflow->ulSecondLength, count);
  // The file status is 0, or the host's code of a failed close.
  const qel::platform::Status closed = qel::platform::closeFile(fd);
  if (verbose) {
    std::cout << "[QEL: TRACE: bytes written: " << count << " file status: " << closed.error() << "]" << std::endl;
  }
}
