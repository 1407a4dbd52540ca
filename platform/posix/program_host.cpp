// The programs' host services on POSIX: errno, SIGPIPE ignored, isatty.
#include "platform/program_host.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

void qel::program_host::clearRuntimeError() { errno = 0; }

std::uint32_t qel::program_host::runtimeError() { return static_cast<std::uint32_t>(errno); }

void qel::program_host::useByteStreams() { static_cast<void>(std::signal(SIGPIPE, SIG_IGN)); }

bool qel::program_host::isStandardErrorTerminal() { return isatty(STDERR_FILENO) != 0; }
