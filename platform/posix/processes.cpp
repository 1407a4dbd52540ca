// Running and starting programs from a command line (fork and exec), and ending processes.
#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix/command_line.h"

extern char** environ;  // NOLINT(readability-redundant-declaration): <unistd.h> has it only with _GNU_SOURCE

namespace {

// The arguments of a command line as posix_spawn takes them.
class Arguments {
public:
  explicit Arguments(const char* commandLine)
      : texts(qel::platform::splitCommandLine(commandLine)) {
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
  }
  char* const* get() const { return pointers.data(); }
  const char* program() const { return pointers[0]; }

private:
  std::vector<std::string> texts;
  std::vector<char*> pointers;
};

// What the child does with its descriptors: only the standard ones stay, and a
// detached child has them on /dev/null.
class FileActions {
public:
  explicit FileActions(bool detached) : actions{} {
    posix_spawn_file_actions_init(&actions);
    if (detached) {
      posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
  }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
  const posix_spawn_file_actions_t* get() const { return &actions; }

private:
  posix_spawn_file_actions_t actions;
};

// A name without "/" is looked for along PATH, as CreateProcessA looks for it.
int spawn(pid_t& child, const Arguments& arguments, const FileActions& actions) {
  const char* program = arguments.program();
  return std::strchr(program, '/') != nullptr
             ? posix_spawn(&child, program, actions.get(), nullptr, arguments.get(), environ)
             : posix_spawnp(&child, program, actions.get(), nullptr, arguments.get(), environ);
}

int waitFor(pid_t child, int& status) {
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

bool readAll(int fd, void* data, std::size_t size) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t count = read(fd, bytes, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    bytes += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

// What the intermediate child reports: posix_spawn's result and the program's id.
struct StartReport {
  int error;
  pid_t child;
};

}  // namespace

using qel::platform::Status;

// An application that ignores SIGCHLD has its children reaped by the system: the exit
// code is then lost and reads as 0.
Status qel::platform::runProcess(char* commandLine, bool, std::uint32_t& result) {
  const Arguments arguments(commandLine);
  const FileActions actions(false);
  pid_t child = 0;
  if (const int error = spawn(child, arguments, actions); error != 0) {
    return Status::failure(static_cast<std::uint32_t>(error));
  }
  int status = 0;
  if (waitFor(child, status) != 0) {
    result = 0;
  } else if (WIFSIGNALED(status)) {
    result = 128u + static_cast<std::uint32_t>(WTERMSIG(status));
  } else {
    result = static_cast<std::uint32_t>(WEXITSTATUS(status));
  }
  return {};
}

// An intermediate child starts a new session, spawns the program, reports through a
// pipe and ends at once; the caller reaps it. The program is then nobody's child but
// the system's, which reaps it when it ends.
Status qel::platform::startProcess(char* commandLine, bool, std::uint32_t& result) {
  const Arguments arguments(commandLine);
  const FileActions actions(true);
  int channel[2];
  if (pipe2(channel, O_CLOEXEC) != 0) return lastError();
  const pid_t intermediate = fork();
  if (intermediate == 0) {
    close(channel[0]);
    setsid();
    StartReport report{0, 0};
    report.error = spawn(report.child, arguments, actions);
    const ssize_t written = write(channel[1], &report, sizeof report);
    _exit(written == static_cast<ssize_t>(sizeof report) ? 0 : 1);
  }
  const int forkError = errno;
  close(channel[1]);
  StartReport report{EIO, 0};
  if (intermediate < 0) {
    report.error = forkError;
  } else {
    if (!readAll(channel[0], &report, sizeof report)) report = StartReport{EIO, 0};
    int status = 0;
    waitFor(intermediate, status);
  }
  close(channel[0]);
  if (report.error != 0) return Status::failure(static_cast<std::uint32_t>(report.error));
  result = static_cast<std::uint32_t>(report.child);
  return {};
}

// Ids that kill would take for a process group (0, and those above INT_MAX that turn
// negative) name no process.
Status qel::platform::killProcess(std::uint32_t processId) {
  if (processId == 0 || processId > static_cast<std::uint32_t>(INT_MAX)) return {};
  if (kill(static_cast<pid_t>(processId), SIGKILL) == 0 || errno == ESRCH) return {};
  return lastError();
}
