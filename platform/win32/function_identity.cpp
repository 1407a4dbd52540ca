// A function's own address: through an import stub to the function it jumps to.
#include "platform/platform.h"

#include <cstdint>
#include <cstring>

// An import stub is "jmp qword ptr [rip + disp32]" (FF 25 disp32): it jumps
// through the import-table slot that the loader filled with the real address.
const void* qel::platform::resolveFunction(const void* function) {
  const auto* code = static_cast<const unsigned char*>(function);
  if (code == nullptr || code[0] != 0xFF || code[1] != 0x25) return function;
  std::int32_t displacement = 0;
  std::memcpy(&displacement, code + 2, sizeof displacement);
  const void* target = nullptr;
  std::memcpy(&target, code + 6 + displacement, sizeof target);
  return target;
}
