/// \file
/// vrnqel43: utilities: string search and wildcard matching, number text, byte order,
/// hex dumps, bit arrays, random numbers and MD5 signatures.
#ifndef VRNQEL43_QEL_UTIL_H
#define VRNQEL43_QEL_UTIL_H

#include "qel_base.h"

#include <iosfwd>

// ---- Wildcard matching and substring search ---------------------------------------
/// Nonzero when the whole text matches pattern, where '*' stands for any run of
/// characters, the empty one included, and '?' for exactly one character. Any
/// nonzero caseSensitive compares exactly; zero compares after toupper.
QEL_C_API int qelMatchesWildcardPattern(const char* pattern, const char* text, int caseSensitive);
/// The first occurrence of needle in haystack, or null; an empty needle yields
/// haystack. A nonzero ignoreCase compares after tolower.
QEL_C_API const char* qelStrFind(const char* haystack, const char* needle, int ignoreCase);
/// The number of occurrences of c in text.
QEL_C_API unsigned int qelStrCount(const char* text, char c);
/// Copies source up to, not including, the first delimiter or its end, terminates
/// target and returns the number of characters copied. target needs that room.
QEL_C_API unsigned int qelStrCopyUntil(char* target, const char* source, char delimiter);

/// A pattern matcher: getPattern returns where in text the pattern is found, or
/// null. The pattern is referenced, not copied, unless a class says otherwise: it
/// must outlive the matcher. The flag's meaning is each class's own.
class QEL_API QelClStringMatchABase {
public:
  /// A matcher for pattern (referenced) with the class's flag.
  QelClStringMatchABase(const char* pattern, bool flag);
  virtual ~QelClStringMatchABase();
  /// Where in text the pattern is found, or null.
  virtual const char* getPattern(const char* text) const = 0;

protected:
  const char* cpszPattern;  ///< The pattern, referenced.
  bool bFlag;  ///< The class's flag (ignore case, or case-sensitive).
};

/// Substring search with a shift table computed once per pattern (Horspool). The
/// flag is ignore case: the object then keeps an upper-cased copy of the pattern
/// and upper-cases the text's bytes as it compares.
class QEL_API QelClStringSearch : public QelClStringMatchABase {
public:
  /// A search for pattern, ignoring case when ignoreCase is true; builds the shift table.
  QelClStringSearch(const char* pattern, bool ignoreCase);
  ~QelClStringSearch() override;
  QelClStringSearch(const QelClStringSearch&) = delete;
  QelClStringSearch& operator=(const QelClStringSearch&) = delete;

  /// The first occurrence in the zero-terminated text; an empty pattern is found
  /// at its start.
  const char* getPattern(const char* text) const override;
  /// The first occurrence within the first length bytes of text, which need no
  /// terminator; nothing beyond them is read.
  const char* getPattern(const char* text, unsigned int length) const;

private:
  const char* find(const char* text, std::size_t length) const;

  /// How far the pattern may move on when the given byte stands under its last
  /// character; the entry of byte 0 is the pattern's length.
  std::uint32_t aulShift[256];
  /// Where in the pattern three of its rarest bytes stand: the exact search rules
  /// out alignments a block at a time by them before it compares.
  std::uint32_t aulProbe[3];
};

/// Whole-text wildcard match: getPattern returns text itself when it matches. The
/// flag is case-sensitive, the opposite sense of QelClStringSearch's flag.
class QEL_API QelClStringMatchWildcards : public QelClStringMatchABase {
public:
  /// A match against the wildcard pattern ('*', '?'), exact when caseSensitive is true.
  QelClStringMatchWildcards(const char* pattern, bool caseSensitive);
  /// text when the whole text matches the pattern, else null.
  const char* getPattern(const char* text) const override;
};

/// A matcher that finds nothing: getPattern returns null for every text.
class QEL_API QelClGrep : public QelClStringMatchABase {
public:
  /// A matcher that keeps pattern and flag and finds nothing.
  QelClGrep(const char* pattern, bool flag);
  /// A matcher that keeps pattern and finds nothing; the number is ignored.
  QelClGrep(int, const char* pattern);
  /// Keeps pattern in place of the previous one; the number is ignored.
  void init(const char* pattern, int);
  const char* getPattern(const char* text) const override;
  /// Always null.
  const char* getPattern(const char* text, int) const;

protected:
  /// 1 once constructed or initialised.
  std::uint32_t ulReady;
};

// ---- Number text -----------------------------------------------------------------
/// Each writes the value's decimal text and a terminating zero into buffer and
/// returns the number of characters before the terminator. Room needed: 12 bytes
/// for 32-bit values, 21 for 64-bit ones (long and unsigned long are 64-bit on
/// 64-bit POSIX hosts).
///@{
QEL_C_API int qelItoa(int value, char* buffer);
QEL_C_API int qelLtoa(long value, char* buffer);
QEL_C_API int qelULtoa(unsigned long value, char* buffer);
QEL_C_API int qelI64toa(std::int64_t value, char* buffer);
QEL_C_API int qelW64toa(std::uint64_t value, char* buffer);
///@}

// ---- Byte order ------------------------------------------------------------------
/// Each converts the byteCount / 2 16-bit units at the start of buffer in place, from
/// the byte order its name gives first to the one it gives second (Host: the machine's own).
///@{
QEL_C_API void qelEndianConvertW16LittleToBig(void* buffer, unsigned int byteCount);
QEL_C_API void qelEndianConvertW16BigToLittle(void* buffer, unsigned int byteCount);
QEL_C_API void qelEndianConvertW16HostToBig(void* buffer, unsigned int byteCount);
QEL_C_API void qelEndianConvertW16BigToHost(void* buffer, unsigned int byteCount);
QEL_C_API void qelEndianConvertW16HostToLittle(void* buffer, unsigned int byteCount);
QEL_C_API void qelEndianConvertW16LittleToHost(void* buffer, unsigned int byteCount);
///@}

// ---- Text renderings -------------------------------------------------------------
/// An object rendered as a text that it keeps.
class QEL_API QelClStringRepresentationABase {
public:
  virtual ~QelClStringRepresentationABase();
  /// The kept text.
  virtual const char* getAsCString() const = 0;
};

/// One hex-dump line of up to 16 bytes, for example
/// "00000010: 41 42 0A __ __ __ __ __  __ __ __ __ __ __ __ __ | AB._____________".
class QEL_API QelClStrepHexDump : public QelClStringRepresentationABase {
public:
  /// The line of the first length bytes of data (at most 16), without an address.
  QelClStrepHexDump(const void* data, unsigned int length);
  /// The line of the first length bytes of data (at most 16), behind address as 8 hex digits and ": ".
  QelClStrepHexDump(unsigned int address, const void* data, unsigned int length);
  const char* getAsCString() const override;

private:
  char szLine[80];
};

/// A pointer as the standard output stream writes it.
class QEL_API QelClStrepAddress : public QelClStringRepresentationABase {
public:
  /// The text of pointer.
  explicit QelClStrepAddress(const void* pointer);
  const char* getAsCString() const override;

private:
  char szText[40];
};

// ---- Buffer dumps ----------------------------------------------------------------
/// Hex-dump lines of 16 bytes each, addressed by their offset in the data; the
/// count is in elements of the given width.
///@{
QEL_API void qelDump(std::ostream& out, const unsigned char* data, unsigned int length);
QEL_API void qelDump(std::ostream& out, const unsigned short* data, unsigned int count);
QEL_API void qelDump(std::ostream& out, const unsigned int* data, unsigned int count);
QEL_API void qelDump(std::ostream& out, const std::uint64_t* data, unsigned int count);
///@}
/// The same to standard output.
///@{
QEL_API void qelDump(const unsigned char* data, unsigned int length);
QEL_API void qelDump(const unsigned short* data, unsigned int count);
QEL_API void qelDump(const unsigned int* data, unsigned int count);
QEL_API void qelDump(const std::uint64_t* data, unsigned int count);
///@}
/// Labelled dumps that do nothing: debug dumps may stay in shipped code at no cost.
///@{
QEL_API void qelDebugDump(const char* label, const unsigned char* data, unsigned int length);
QEL_API void qelDebugDump(const char* label, const unsigned short* data, unsigned int count);
QEL_API void qelDebugDump(const char* label, const unsigned int* data, unsigned int count);
QEL_API void qelDebugDump(const char* label, const std::uint64_t* data, unsigned int count);
///@}

// ---- Persistence -----------------------------------------------------------------
/// An object that writes itself to a binary stream and reads itself back.
class QEL_API QelClPersistencyABase {
public:
  virtual ~QelClPersistencyABase();
  /// Writes the object to out.
  virtual void write(std::ostream& out) const = 0;
  /// Reads the object back from what write wrote.
  virtual void read(std::istream& in) = 0;
};

// ---- Bit arrays ------------------------------------------------------------------
/// A fixed number of bits, all 0 at first. Bit i is the bit of value 1 << (i % 8) in
/// storage byte i / 8. The storage, taken through qelMalloc, always holds
/// (bit count >> 3) + 1 bytes; the bits beyond the count stay 0.
class QEL_API QelClBitArray : public QelClPersistencyABase {
public:
  /// bitCount bits, all 0.
  explicit QelClBitArray(unsigned int bitCount);
  /// A copy of other's count and bits, in storage of its own.
  QelClBitArray(const QelClBitArray& other);
  /// Takes other's count and bits.
  QelClBitArray& operator=(const QelClBitArray& other);
  ~QelClBitArray() override;

  /// Compares the (bit count >> 3) + 1 storage bytes of this array with the other's,
  /// not the bit counts: a 9-bit and a 15-bit array with the same bytes are equal.
  /// Unequal when the other array's storage is shorter.
  bool operator==(const QelClBitArray& other) const;

  /// An index at or beyond the bit count is ignored by set and clear; test returns
  /// false for it.
  ///@{
  void set(unsigned int index);
  void clear(unsigned int index);
  bool test(unsigned int index) const;
  ///@}
  /// The number of bits.
  std::uint32_t getBitCount() const;

  /// The bit count as 4 bytes in host byte order, then the storage bytes.
  void write(std::ostream& out) const override;
  /// Reads what write wrote and takes the stored bit count and bits, whatever the
  /// array's count was before. Stored bits beyond the count are dropped. When the
  /// stream ends early the array keeps its previous count and bits, and the stream
  /// has failbit set.
  void read(std::istream& in) override;

private:
  std::uint32_t ulBitCount;
  unsigned char* pucStorage;
};

// ---- Random numbers --------------------------------------------------------------
/// Numbers from the runtime's one generator (srand/rand), shared by the whole
/// process: two generators built in the same millisecond give the same sequence.
class QEL_API QelClRandomNumberGenerator {
public:
  /// Seeds the runtime's generator with the millisecond tick count.
  QelClRandomNumberGenerator();
  /// The next number of the generator, 0 to 32767 on every host.
  int getRandomNumber() const;
  /// The next number scaled to 0 .. n (truncated toward zero): n itself only for
  /// 32767.
  int getRandomNumber(int n) const;
};

// ---- Signatures ------------------------------------------------------------------
/// The MD5 digest (RFC 1321) of a block of bytes, computed at construction; the
/// bytes are not read afterwards.
class QEL_API QelClSignature {
public:
  /// Computes the digest of the length bytes at data.
  QelClSignature(const void* data, unsigned long length);
  /// The 16 digest bytes.
  const unsigned char* getDigest() const;
  /// The digest as 32 lower-case hexadecimal characters and a terminating zero.
  void getDigestAsHex(char out[33]) const;
  /// The block as given at construction; its bytes are read only then.
  const void* getData() const { return pvData; }
  /// The block's length as given, modulo 2^32.
  std::uint32_t getLength() const { return ulLength; }

private:
  /// The working context: state words, the message length in bits (low word
  /// first) and the bytes of a partial block.
  struct MD5_CTX {
    std::uint32_t state[4];
    std::uint32_t count[2];
    unsigned char buffer[64];
  };

  static void MD5Init(MD5_CTX* context);
  static void MD5Update(MD5_CTX* context, const unsigned char* input, unsigned int inputLen);
  static void MD5Final(unsigned char digest[16], MD5_CTX* context);
  static void MD5Transform(std::uint32_t state[4], const unsigned char block[64]);
  static void Encode(unsigned char* output, const std::uint32_t* input, unsigned int len);
  static void Decode(std::uint32_t* output, const unsigned char* input, unsigned int len);
  static void MD5_memcpy(unsigned char* output, const unsigned char* input, unsigned int len);
  static void MD5_memset(unsigned char* output, int value, unsigned int len);

  const void* pvData;      ///< as given at construction
  std::uint32_t ulLength;  ///< as given, modulo 2^32
  unsigned char aucDigest[16];
};

#endif
