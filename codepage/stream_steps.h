// The two steps of a stream converter: a decoder from the source code page into UCS-2 in
// host byte order, and an encoder from UCS-2 into the target, each keeping what the
// stream needs from one call to the next.
#ifndef VRNQEL43_CODEPAGE_STREAM_STEPS_H
#define VRNQEL43_CODEPAGE_STREAM_STEPS_H

#include <cstddef>
#include <cstdint>

#include "qel_codepage.h"

namespace qel::codepage {

// Why and where a step stopped short.
struct StepFault {
  QelEnTextFault fault = TEXTFAULT_NONE;
  std::uint64_t offset = 0;     // a decoder's: in the whole stream
  std::size_t unit = 0;         // an encoder's: the faulty character's first unit
  std::uint32_t character = 0;  // an encoder's: the character the target lacks
};

class StreamDecoder {
public:
  virtual ~StreamDecoder() = default;
  // Converts source (size bytes; its first at offset base of the stream) into units,
  // which has room for two units per byte and eight more. Stops before a character that
  // the end cuts, unless last (then that is a TRUNCATED fault), and at a fault. Returns
  // the bytes consumed; written gets the bytes of units written.
  virtual std::size_t decode(const char* source, std::size_t size, std::uint64_t base, bool last, char* units,
                             std::size_t& written, StepFault& fault) = 0;
  // The stream offset where the character of the last decode's unit number unit starts;
  // asked in strict mode only, where the source was well formed.
  virtual std::uint64_t offsetOfUnit(std::size_t unit) = 0;
  virtual void reset() = 0;
  // The source is UCS-2 in host byte order: decode() with null units checks and counts
  // only, and the source bytes it consumed are the units.
  virtual bool isPassThrough() const { return false; }
};

class StreamEncoder {
public:
  virtual ~StreamEncoder() = default;
  // The target room a call needs per unit.
  virtual std::size_t getBytesPerUnit() const = 0;
  // Converts count units, which end with a whole character unless last, into target.
  // Stops where the target (getBytesPerUnit() per unit and eight more) is full and, in
  // strict mode, at a character the target lacks (fault.unit, fault.character); last
  // ends the text (an EBCDIC double-byte page shifts in). Returns the units consumed;
  // written gets the bytes written.
  virtual std::size_t encode(const char* units, std::size_t count, bool last, char* target, std::size_t& written,
                             StepFault& fault) = 0;
  virtual void reset() = 0;
  // The target is UCS-2 in host byte order: the units are the output.
  virtual bool isPassThrough() const { return false; }
};

// The steps for a code set in a mode, made in the library's allocator (qel::memory::
// destroy ends them); null when the library has no conversion for it.
StreamDecoder* makeStreamDecoder(const QelClCCSID& source, QelEnConversionMode mode);
StreamEncoder* makeStreamEncoder(const QelClCCSID& target, QelEnConversionMode mode);

}  // namespace qel::codepage

#endif
