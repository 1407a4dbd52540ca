// Setting environment variables and the default temporary directory.
#include "platform/platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

qel::platform::Status qel::platform::putEnvironment(const char* definition) {
  const char* equals = std::strchr(definition, '=');
  if (equals == nullptr || equals == definition) return Status::failure(EINVAL);
  const std::string name(definition, equals);
  const char* value = equals + 1;
  if ((*value == '\0' ? unsetenv(name.c_str()) : setenv(name.c_str(), value, 1)) != 0) return lastError();
  return {};
}

const char* qel::platform::defaultTemporaryDirectory() {
  const char* directory = std::getenv("TMPDIR");
  return directory != nullptr ? directory : "/tmp";
}
