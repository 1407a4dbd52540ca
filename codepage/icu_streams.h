// Streaming through ICU's converters: pieces that carry state from one call to the next,
// and faults that stop the conversion instead of being substituted.
#ifndef VRNQEL43_CODEPAGE_ICU_STREAMS_H
#define VRNQEL43_CODEPAGE_ICU_STREAMS_H

#include <cstddef>
#include <cstdint>

#include "qel_codepage.h"

namespace qel::codepage {

// What one ICU call did: bytes or units consumed, bytes written, and the fault that
// stopped it with the length of the faulty sequence (which may have begun in an earlier
// call) and, from UCS-2, the character.
struct IcuStep {
  std::size_t consumed = 0;
  std::size_t written = 0;
  QelEnTextFault fault = TEXTFAULT_NONE;
  std::size_t faultLength = 0;
  std::uint32_t character = 0;
};

// Makes the converter (qelGetICUConverter's) stop at malformed input, and, when
// unmappable is set, at a character the code page lacks.
void icuStopAtFaults(const void* converter, bool unmappable);
// A code page to UCS-2 (units: room bytes). Consumes the whole source unless the target
// is full or a fault stops it; a character the source's end cuts stays inside ICU until
// the next call, or is a TRUNCATED fault when flush is set. offsets (when not null) gets
// for each unit the offset of its character in source, -1 for one begun in an earlier call.
IcuStep icuToUnicode(const void* converter, const char* source, std::size_t size, char* units, std::size_t room,
                     bool flush, std::int32_t* offsets);
// UCS-2 (count units) to a code page (room bytes), alike.
IcuStep icuFromUnicode(const void* converter, const char* units, std::size_t count, char* target, std::size_t room,
                       bool flush);
// The bytes of a cut character ICU holds from earlier calls.
std::size_t icuPendingBytes(const void* converter);
// Forgets what the converter holds: the start of a new stream.
void icuReset(const void* converter);

}  // namespace qel::codepage

#endif
