#include "platform/platform.h"

#include <cstdlib>
#include <cstring>
#include <string>

bool qel::platform::putEnvironment(const char* definition) {
  const char* equals = std::strchr(definition, '=');
  if (equals == nullptr || equals == definition) return false;
  const std::string name(definition, equals);
  const char* value = equals + 1;
  return (*value == '\0' ? unsetenv(name.c_str()) : setenv(name.c_str(), value, 1)) == 0;
}

const char* qel::platform::defaultTemporaryDirectory() {
  const char* directory = std::getenv("TMPDIR");
  return directory != nullptr ? directory : "/tmp";
}
