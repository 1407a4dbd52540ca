// The console: the null device and reading one key without echo (_getch).
#include "platform/platform.h"

#include <conio.h>
#include <io.h>
#include <stdio.h>

const char* qel::platform::nullDevice() { return "NUL"; }

int qel::platform::readKey() {
  if (_isatty(_fileno(stdin)) != 0) return _getch();
  unsigned char key = 0;
  return _read(_fileno(stdin), &key, 1) == 1 ? key : -1;
}
