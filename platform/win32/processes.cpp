// Running and starting programs from a command line (CreateProcess), and ending processes.
#include "platform/platform.h"

#include "platform/win32/windows_api.h"

namespace {

// A console buffer of 80 columns and 256 lines; no title, no standard handles.
bool create(char* commandLine, DWORD flags, PROCESS_INFORMATION& process) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwXCountChars = 80;
  startup.dwYCountChars = 256;
  startup.dwFlags = STARTF_USECOUNTCHARS;
  return CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS | flags, nullptr,
                        nullptr, &startup, &process) != 0;
}

}  // namespace

using qel::platform::Status;

Status qel::platform::runProcess(char* commandLine, bool newConsole, std::uint32_t& result) {
  PROCESS_INFORMATION process{};
  if (!create(commandLine, newConsole ? CREATE_NEW_CONSOLE : 0, process)) return lastError();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  result = exitCode;
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return {};
}

Status qel::platform::startProcess(char* commandLine, bool newConsole, std::uint32_t& result) {
  PROCESS_INFORMATION process{};
  if (!create(commandLine, newConsole ? CREATE_NEW_CONSOLE : DETACHED_PROCESS, process)) return lastError();
  result = process.dwProcessId;
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return {};
}

// A process that can't be opened has ended, or is out of the caller's reach.
Status qel::platform::killProcess(std::uint32_t processId) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
  if (process == nullptr) return {};
  const Status terminated = TerminateProcess(process, 0) != 0 ? Status() : lastError();
  CloseHandle(process);
  return terminated;
}
