#include "platform/platform.h"

// ELF gives every function one canonical address across all loaded objects.
const void* qel::platform::resolveFunction(const void* function) { return function; }
