// The console: the null device and reading one key without echo (termios).
#include "platform/platform.h"

#include <termios.h>
#include <unistd.h>

namespace qel {
namespace platform {

const char* nullDevice() { return "/dev/null"; }

int readKey() {
  termios saved{};
  const bool terminal = isatty(STDIN_FILENO) != 0 && tcgetattr(STDIN_FILENO, &saved) == 0;
  if (terminal) {
    termios raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  }
  unsigned char key = 0;
  const ssize_t got = read(STDIN_FILENO, &key, 1);
  if (terminal) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  return got == 1 ? key : -1;
}

}  // namespace platform
}  // namespace qel
