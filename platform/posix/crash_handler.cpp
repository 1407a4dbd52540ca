// The fatal signals' handler and the fork hook.
#include "platform/platform.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <pthread.h>

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kSignalCount = sizeof kFatalSignals / sizeof kFatalSignals[0];

std::atomic<void (*)()> g_save{nullptr};
struct sigaction g_previous[kSignalCount];
bool g_installed = false;

// Saves, puts the previous handler back and raises the signal again: it is blocked
// until this handler returns, then the previous handler, or the default action, meets
// it as if this handler had never been there. A fault of the program (not raised)
// meets it again anyway when its instruction runs once more.
void onFatalSignal(int signal) {
  const int saved = errno;
  if (void (*save)() = g_save.exchange(nullptr)) save();
  for (int i = 0; i < kSignalCount; ++i) {
    if (kFatalSignals[i] == signal) sigaction(signal, &g_previous[i], nullptr);
  }
  static_cast<void>(raise(signal));  // it can only fail for an invalid signal
  errno = saved;
}

}  // namespace

void qel::platform::installCrashHandler(void (*save)()) {
  g_save.store(save);
  if (g_installed) return;
  struct sigaction action {};
  action.sa_handler = onFatalSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_ONSTACK;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kFatalSignals[i], &action, &g_previous[i]);
  g_installed = true;
}

void qel::platform::removeCrashHandler() {
  g_save.store(nullptr);
  if (!g_installed) return;
  for (int i = 0; i < kSignalCount; ++i) {
    struct sigaction current {};
    if (sigaction(kFatalSignals[i], nullptr, &current) == 0 && current.sa_handler == onFatalSignal) {
      sigaction(kFatalSignals[i], &g_previous[i], nullptr);
    }
  }
  g_installed = false;
}

void qel::platform::callInForkedChild(void (*child)()) {
  static const int registered = pthread_atfork(nullptr, nullptr, child);
  static_cast<void>(registered);  // without room for it, a child just keeps the parent's state
}
