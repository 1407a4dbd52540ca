// The unhandled-exception filter and abort()'s signal. Windows has no fork.
#include "platform/platform.h"

#include <atomic>
#include <csignal>

#include "platform/win32/windows_api.h"

namespace {

std::atomic<void (*)()> g_save{nullptr};
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;
void (*g_previousAbort)(int) = SIG_DFL;
bool g_installed = false;

// The first fatal error saves; one during the save does not save again.
void saveOnce() {
  if (void (*save)() = g_save.exchange(nullptr)) save();
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* exception) {
  saveOnce();
  return g_previousFilter != nullptr ? g_previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

// The runtime resets the handler before it calls it: the previous one goes back, then
// meets the signal again.
void onAbort(int signal) {
  saveOnce();
  static_cast<void>(std::signal(signal, g_previousAbort));
  static_cast<void>(std::raise(signal));
}

}  // namespace

void qel::platform::installCrashHandler(void (*save)()) {
  g_save.store(save);
  if (g_installed) return;
  g_previousFilter = SetUnhandledExceptionFilter(onUnhandledException);
  g_previousAbort = std::signal(SIGABRT, onAbort);
  if (g_previousAbort == SIG_ERR) g_previousAbort = SIG_DFL;
  g_installed = true;
}

void qel::platform::removeCrashHandler() {
  g_save.store(nullptr);
  if (!g_installed) return;
  const LPTOP_LEVEL_EXCEPTION_FILTER filter = SetUnhandledExceptionFilter(g_previousFilter);
  if (filter != onUnhandledException) SetUnhandledExceptionFilter(filter);  // one that came after stays
  void (*handler)(int) = std::signal(SIGABRT, g_previousAbort);
  if (handler != onAbort && handler != SIG_ERR) static_cast<void>(std::signal(SIGABRT, handler));
  g_installed = false;
}

void qel::platform::callInForkedChild(void (*)()) {}
