// The programs' host services on Windows: the C runtime's _doserrno, binary mode, _isatty.
#include "platform/program_host.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>

void qel::program_host::clearRuntimeError() {
  errno = 0;
  _doserrno = 0;
}

std::uint32_t qel::program_host::runtimeError() { return static_cast<std::uint32_t>(_doserrno); }

// A closed pipe already makes a write fail on Windows; only the line ends need care.
void qel::program_host::useByteStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

bool qel::program_host::isStandardErrorTerminal() { return _isatty(2) != 0; }
