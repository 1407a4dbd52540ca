/// \file
/// vrnqel43: code pages. A CCSID names a coded character set of the registry; the
/// converters turn bytes of one into bytes of another, always through UCS-2 in host
/// byte order (little-endian).
#ifndef VRNQEL43_QEL_CODEPAGE_H
#define VRNQEL43_QEL_CODEPAGE_H

#include "qel_base.h"
#include "qel_errors.h"

/// A CCSID number; any unsigned 32-bit value can be held. The named ones have a fixed
/// role: UCS-2 in host byte order (little-endian here) is 1200, 13488, 17584 or 61955.
enum QelEnCCSID : std::uint32_t {
  CCSID_NONE = 0,
  CCSID_ISO8859_1 = 819,
  CCSID_UTF8 = 1208,
  CCSID_GB18030 = 1392,
  CCSID_UCS2 = 13488,
  CCSID_UCS2_BIG_ENDIAN = 65500,
  CCSID_UCS2_LITTLE_ENDIAN = 65501  ///< compares equal to CCSID_UCS2
};

/// A CCSID and its registry row: name and kind (ASCII- or EBCDIC-based, single- or
/// double-byte, UCS-2). The row is looked up on the first query that needs it.
class QEL_API QelClCCSID {
public:
  /// A row of the registry: number, name and kind flags.
  struct Entry {  // NOLINT(clang-analyzer-optin.performance.Padding): a public row, fixed layout
    std::uint32_t ulNumber;  ///< The CCSID.
    const char* pszName;  ///< The registry name ("IBM-037", "UTF-8").
    std::uint32_t ulFlags;  ///< The kind: ASCII, EBCDIC, DBCS, SBCS and UCS2 bits.
  };
  /// The kind flags of a registry row.
  enum : std::uint32_t { ASCII = 1, EBCDIC = 2, DBCS = 4, SBCS = 8, UCS2 = 64 };

  // cppcheck-suppress noExplicitConstructor ; a CCSID constant converts, by design
  /// The CCSID number; its row is looked up when first needed.
  QelClCCSID(QelEnCCSID number) : enCCSID(number), pstEntry(nullptr) {}
  /// A decimal number, or a registry name in any case (a name repeated in the registry
  /// gives its lowest number). Any other text takes the number from its first digits
  /// and is not valid ("CP850": 850, "???").
  explicit QelClCCSID(const char* text);

  /// The CCSID number.
  QelEnCCSID getCCSID() const { return enCCSID; }
  /// Whether the number is in the registry (CCSID_NONE is not).
  bool isValid() const;
  /// "???" for a number outside the registry.
  const char* getName() const;
  /// Equal numbers, 65501 counting as 13488.
  bool operator==(QelEnCCSID other) const;
  /// Whether the registry lists it as UCS-2.
  bool isUCS2() const { return hasFlag(UCS2); }
  /// Whether the registry lists it as ASCII-based.
  bool isASCII() const { return hasFlag(ASCII); }
  /// Whether the registry lists it as EBCDIC-based.
  bool isEBCDIC() const { return hasFlag(EBCDIC); }
  /// Whether the registry lists it as double-byte.
  bool isDBCS() const { return hasFlag(DBCS); }
  /// Whether the registry lists it as single-byte.
  bool isSBCS() const { return hasFlag(SBCS); }
  /// By number alone.
  bool isUCS2BigEndian() const { return enCCSID == CCSID_UCS2_BIG_ENDIAN; }
  /// Whether it is UCS-2 in little-endian order: 65501, 13488, 17584, 1200 or 61955.
  bool isUCS2LittleEndian() const;
  /// Whether it is UCS-2 in the host's byte order (isUCS2LittleEndian on the library's hosts).
  bool isUCS2HostEndian() const;

  /// 65500 for a mark starting with the bytes FE FF, 65501 for FF FE, else 0.
  static QelEnCCSID getCCSIDForUCS2EndianId(const char* mark);
  /// The code page the system runs with, and the console's (asked once); 0 when the
  /// host's code set has no CCSID.
  static QelEnCCSID getSystemCCSID();
  /// The console's code page (asked once); 0 when it has no CCSID.
  static QelEnCCSID getConsoleCCSID();
  /// The CCSID that a name for a code set stands for: a decimal number of the registry,
  /// a registry name, an alias of codepage/ccsid_aliases.txt ("latin1", "UTF-16BE",
  /// "windows-1252"), or IBM-, IBM or CP and a number of the registry ("CP850",
  /// "ibm-1047"); names in any case. CCSID_NONE for any other text.
  static QelEnCCSID findByName(const char* text);
  /// The registry's rows in ascending number, without the unknown row; count gets their
  /// number.
  static const Entry* getRegistry(std::size_t& count);

private:
  void determineProperties() const;
  bool hasFlag(std::uint32_t flag) const;

  QelEnCCSID enCCSID;
  mutable const Entry* pstEntry;
};

// ---- Converters ------------------------------------------------------------------
/// Each converter picks one conversion function for its pair when it is built, the
/// fastest that applies: copying or byte swapping between UCS-2 forms, the UTF-8 and
/// ISO 8859-1 algorithms, the built-in single- and double-byte tables, an ICU converter,
/// or the platform's own conversion into its code page. A pair without one is
/// unsupported: every conversion then fails with CPCONVERTER_UNSUPPORTED. Errors of a conversion are in getError();
/// each convertBytes clears it first. One converter serves one thread at a time.
class QEL_API QelClConverterABase {
public:
  /// The parameter block of a conversion function.
  struct _QelStConverter {
    const QelClConverterABase* pclConverter;  ///< The converter that runs the conversion.
    char* pchTarget;  ///< Where the converted bytes go.
    unsigned int uiTargetSize;  ///< The room at pchTarget in bytes.
    const char** ppchSource;  ///< advanced past what was consumed
    unsigned int uiSourceSize;  ///< The source bytes to convert.
  };
  /// A conversion function: converts a block's source into its target and returns the bytes written.
  typedef unsigned int (*QelPfuConvert)(_QelStConverter& block);

  virtual ~QelClConverterABase();
  QelClConverterABase(const QelClConverterABase&) = delete;
  QelClConverterABase& operator=(const QelClConverterABase&) = delete;

  /// The code set converted into.
  virtual const QelClCCSID& getTargetCCSID() const { return clTargetCCSID; }
  /// Whether the pair has a conversion function: false means every conversion fails with CPCONVERTER_UNSUPPORTED.
  virtual bool isSupported() const;
  /// The pair needs a conversion routine from outside the library.
  virtual bool requiresExternalICONVRoutine() const;
  /// The pair is converted by ICU, which needs its converter data.
  virtual bool requiresExternalICUData() const;
  /// Target bytes a conversion of length characters may need.
  virtual unsigned int getMaximumSizeForLength(unsigned int length) const = 0;
  /// Target bytes a conversion of size source bytes may need.
  virtual unsigned int getMaximumSizeForSize(unsigned int size) const = 0;
  /// Returns the bytes written; *source is advanced past what was consumed.
  virtual unsigned int convertBytes(char* target, unsigned int targetSize, const char** source,
                                    unsigned int sourceSize) const;
  /// Converts sourceSize bytes at source into target (room for targetSize bytes); returns the bytes written.
  virtual unsigned int convertBytes(char* target, unsigned int targetSize, const char* source,
                                    unsigned int sourceSize) const;

  /// The code set converted from.
  const QelClCCSID& getSourceCCSID() const { return clSourceCCSID; }
  /// The error of the last conversion; both fields 0 without one.
  const _QelStError& getError() const { return stError; }
  /// The table or ICU converter the conversion function uses; null when it needs none.
  const void* getTable() const { return pvTable; }
  /// Conversion functions record their errors here.
  void setError(std::uint32_t id, QelEnErrorClass errorClass) const;

  /// Byte order marks: FE FF, FF FE, and the host's (FF FE).
  ///@{
  static const char* getUCS2BigEndianId();
  static const char* getUCS2LittleEndianId();
  static const char* getUCS2HostEndianId();
  ///@}
  /// Whether text starts with the big-endian (FE FF), or the little-endian (FF FE), byte order mark.
  ///@{
  static bool isUCS2BigEndianId(const char* text);
  static bool isUCS2LittleEndianId(const char* text);
  ///@}

protected:
  /// A converter for the pair, still without a conversion function.
  QelClConverterABase(const QelClCCSID& source, const QelClCCSID& target);
  /// Picks the conversion function from the source code set to UCS-2.
  void initCodePage2Unicode();
  /// Picks the conversion function from UCS-2 to the target code set.
  void initUnicode2CodePage();
  /// Releases the current function's table, takes source as the source and picks its function to UCS-2.
  void initNewCodePage2Unicode(const QelClCCSID& source);
  /// Releases an ICU converter and leaves the pair unsupported.
  void deinit();
  /// Leaves the pair unsupported.
  void setConverterError();

  mutable _QelStError stError;  ///< The error of the last conversion.
  QelClCCSID clSourceCCSID;  ///< The code set converted from.
  QelClCCSID clTargetCCSID;  ///< The code set converted into.
  const void* pvTable;  ///< The table or ICU converter of the conversion function.
  QelPfuConvert pfuConvert;  ///< The conversion function picked for the pair.
};

/// A code page to UCS-2 in host byte order (13488).
class QEL_API QelClCodePage2UnicodeConverter : public QelClConverterABase {
public:
  /// A converter from source to UCS-2 in host byte order.
  explicit QelClCodePage2UnicodeConverter(const QelClCCSID& source);
  unsigned int getMaximumSizeForLength(unsigned int length) const override;
  /// Target bytes a conversion of size source bytes may need.
  unsigned int getMaximumSizeForSize(unsigned int size) const override;
};

/// UCS-2 in host byte order (13488) to a code page.
class QEL_API QelClUnicode2CodePageConverter : public QelClConverterABase {
public:
  /// A converter from UCS-2 in host byte order to target.
  explicit QelClUnicode2CodePageConverter(const QelClCCSID& target);
  unsigned int getMaximumSizeForLength(unsigned int length) const override;
  /// Target bytes a conversion of size source bytes may need.
  unsigned int getMaximumSizeForSize(unsigned int size) const override;
};

/// A code page to another: its own step to UCS-2, then the member step from UCS-2,
/// through an intermediate buffer that only grows.
class QEL_API QelClCodePage2CodePageConverter : public QelClCodePage2UnicodeConverter {
public:
  /// A converter from source to target through UCS-2.
  QelClCodePage2CodePageConverter(const QelClCCSID& source, const QelClCCSID& target);
  ~QelClCodePage2CodePageConverter() override;

  /// The code set of the member step's target.
  const QelClCCSID& getTargetCCSID() const override { return clStep.getTargetCCSID(); }
  /// Whether both steps are supported.
  bool isSupported() const override;
  bool requiresExternalICONVRoutine() const override;
  /// Whether either step is converted by ICU.
  bool requiresExternalICUData() const override;
  unsigned int getMaximumSizeForLength(unsigned int length) const override;
  /// Target bytes a conversion of size source bytes may need, through both steps.
  unsigned int getMaximumSizeForSize(unsigned int size) const override;
  unsigned int convertBytes(char* target, unsigned int targetSize, const char** source,
                            unsigned int sourceSize) const override;
  using QelClCodePage2UnicodeConverter::convertBytes;

private:
  QelClUnicode2CodePageConverter clStep;
  mutable char* pchBuffer;
  mutable unsigned int uiBufferSize;
};

/// A code page to UTF-8 (1208).
class QEL_API QelClCodePage2UTF8Converter : public QelClCodePage2CodePageConverter {
public:
  /// A converter from source to UTF-8.
  explicit QelClCodePage2UTF8Converter(const QelClCCSID& source);
};

/// The conversion functions, each on a parameter block; they return the bytes written.
/// qelConvertError records CPCONVERTER_UNSUPPORTED and writes nothing; the others are
/// named after what they convert: copying or swapping UCS-2, the UTF-8 and ISO 8859-1
/// algorithms, and the built-in single- and double-byte tables of ASCII- and
/// EBCDIC-based pages.
///@{
QEL_API unsigned int qelConvertError(QelClConverterABase::_QelStConverter& block);
QEL_API unsigned int qelConvertByCopying(QelClConverterABase::_QelStConverter& block);
QEL_API unsigned int qelConvertByEndianSwap(QelClConverterABase::_QelStConverter& block);
QEL_API unsigned int qelConvertByAlgorithmUTF8toUCS2(QelClConverterABase::_QelStConverter& block);
QEL_API unsigned int qelConvertByAlgorithmUCS2toUTF8(QelClConverterABase::_QelStConverter& block);
QEL_API unsigned int qelConvertByAlgorithmUCS2to819(QelClConverterABase::_QelStConverter& block);
QEL_API unsigned int qelConvertByTablesSBCS_ASCIItoUCS2(QelClConverterABase::_QelStConverter& block);
QEL_API unsigned int qelConvertByTablesSBCS_EBCDICtoUCS2(QelClConverterABase::_QelStConverter& block);
QEL_API unsigned int qelConvertByTablesUCS2toSBCS(QelClConverterABase::_QelStConverter& block);
QEL_API unsigned int qelConvertByTablesDBCS_ASCIItoUCS2(QelClConverterABase::_QelStConverter& block);
QEL_API unsigned int qelConvertByTablesDBCS_EBCDICtoUCS2(QelClConverterABase::_QelStConverter& block);
///@}
/// Extended-UNIX-code pages have no built-in tables (ICU converts them): returns 0.
QEL_API unsigned int qelConvertByTablesEUCtoUCS2(QelClConverterABase::_QelStConverter& block);
/// UCS-2 to the platform's ANSI or OEM code page by the platform's own call; the source
/// does not move.
QEL_API unsigned int qelConvertByWindowsCallUCS2ToWinCP(QelClConverterABase::_QelStConverter& block);
/// ICU's conversion into, and out of, UCS-2 by the block's converter's ICU converter; without ICU they act as qelConvertError.
///@{
QEL_API unsigned int qelConvertByAlgorithmIcuToUnicode(QelClConverterABase::_QelStConverter& block);
QEL_API unsigned int qelConvertByAlgorithmIcuFromUnicode(QelClConverterABase::_QelStConverter& block);
///@}

/// The 256 UCS-2 values of a single-byte code page, two bytes each, high byte first;
/// null when the library has no table for it.
QEL_API const unsigned char* qelGetSBCStoUCS2Table(std::uint32_t ccsid);
/// The pages from UCS-2 to 500 or 850 (page 0 indexes the others by high byte); null
/// for any other CCSID.
QEL_API const unsigned char* qelGetUCS2toSBCSTable(std::uint32_t ccsid);

/// A double-byte table. A lead byte b selects the page with index aucPageNumbers[b] - 1
/// and the byte after it indexes that page; single bytes use the page with index 1.
/// Each page holds 256 UCS-2 values, two bytes each, high byte first.
struct _QelStDBCSTable {
  std::uint32_t ulCCSID;  ///< The double-byte CCSID.
  unsigned char ucEBCDIC;  ///< 1: EBCDIC with the shift codes 0E and 0F
  unsigned char aucPageNumbers[256];  ///< For each byte: 1 + the index of its page, 0 when it starts no pair.
  std::uint32_t ulPageCount;  ///< The number of pages.
  const unsigned char* pucPages;  ///< The pages, 512 bytes each.
  const unsigned char* pucLeadBytes;  ///< 256 flags: every byte value is a lead byte
};
/// The table of a double-byte CCSID and whether it is EBCDIC-based; null when the
/// library has none (1394 among them: ICU converts it).
QEL_API const _QelStDBCSTable* qelGetDBCStoUCS2Table(std::uint32_t ccsid, bool& isEbcdic);
/// Always null: extended-UNIX-code pages have no built-in tables.
QEL_API const void* qelGetEUCtoUCS2Table(std::uint32_t ccsid);

// ---- Strict validation -------------------------------------------------------------
/// The converters read what they can; these checks reject what a strict reading does not
/// accept, so that a program can test its input before converting it. Each finds the
/// first fault and the offset of the byte where the faulty character, unit or shift
/// code starts.
enum QelEnTextFault : std::uint32_t {
  TEXTFAULT_NONE = 0,
  TEXTFAULT_TRUNCATED,                ///< cut by the end of the input: more bytes may complete it
  TEXTFAULT_UNEXPECTED_CONTINUATION,  ///< a UTF-8 continuation byte without a lead byte
  TEXTFAULT_MISSING_CONTINUATION,     ///< a UTF-8 lead byte without all its continuation bytes
  TEXTFAULT_OVERLONG,                 ///< UTF-8 longer than needed (C0, C1, E0 80..9F, F0 80..8F)
  TEXTFAULT_SURROGATE,                ///< UTF-8 for U+D800..U+DFFF
  TEXTFAULT_TOO_LARGE,                ///< beyond U+10FFFF (F4 90..BF, F5..F7)
  TEXTFAULT_INVALID_LEAD,             ///< UTF-8 F8..FF; a byte that starts no double-byte pair
  TEXTFAULT_UNPAIRED_SURROGATE,       ///< UTF-16 surrogate without its partner
  TEXTFAULT_UNDEFINED_PAIR,           ///< a double-byte pair the code page does not define
  TEXTFAULT_UNBALANCED_SHIFT,         ///< shift-out (0E) while shifted out, shift-in (0F) while not
  TEXTFAULT_PAIR_CUT_BY_SHIFT,        ///< a shift code where a pair's second byte belongs
  TEXTFAULT_ENDS_SHIFTED_OUT,         ///< no shift-in after the last shift-out; the offset is the shift-out's
  TEXTFAULT_UNSUPPORTED_CCSID,        ///< the code page has no strict check
  TEXTFAULT_UNDEFINED_CHARACTER,      ///< bytes the code page assigns no character to
  TEXTFAULT_ILLEGAL_SEQUENCE,         ///< a byte sequence the code page does not allow
  TEXTFAULT_UNMAPPABLE                ///< a character the target code set cannot represent
};

/// Each returns TEXTFAULT_NONE for well-formed text, or the first fault; *offset (when
/// not null) gets the fault's offset, or size for well-formed text.
/// UTF-8 as Unicode defines it: one to four bytes, U+0000 to U+10FFFF without surrogates.
QEL_C_API QelEnTextFault qelValidateUTF8(const char* text, std::size_t size, std::size_t* offset);
/// UTF-16 (UCS-2 with surrogate pairs) in the given byte order; an odd last byte is a
/// truncated unit.
QEL_C_API QelEnTextFault qelValidateUTF16(const char* text, std::size_t size, bool bigEndian, std::size_t* offset);
/// A double-byte CCSID with a built-in table, read as its converter reads it: pairs on
/// ASCII-based pages, shifted runs of pairs on EBCDIC pages. TEXTFAULT_UNSUPPORTED_CCSID
/// without a table.
QEL_C_API QelEnTextFault qelValidateDBCS(std::uint32_t ccsid, const char* text, std::size_t size, std::size_t* offset);
/// A short English text for the fault ("overlong form"); "unknown fault" for other values.
QEL_C_API const char* qelTextFaultGetText(QelEnTextFault fault);

/// The strict check for one CCSID, chosen when it is built: UTF-8 (1208), the UCS-2
/// CCSIDs in their byte order, the double-byte CCSIDs with built-in tables. The result of
/// the last validate() stays readable. One validator serves one thread at a time.
class QEL_API QelClTextValidator {
public:
  /// The strict check for ccsid.
  explicit QelClTextValidator(const QelClCCSID& ccsid);

  /// Whether ccsid has a strict check.
  bool isSupported() const;
  /// True for well-formed text; otherwise getFault() and getOffset() tell what is wrong.
  bool validate(const char* text, std::size_t size);
  /// The fault found by the last validate(); TEXTFAULT_NONE for well-formed text.
  QelEnTextFault getFault() const { return enFault; }
  /// The offset of the fault found by the last validate(), or the size for well-formed text.
  std::size_t getOffset() const { return ulOffset; }
  /// The fault's English text (qelTextFaultGetText).
  const char* getFaultText() const { return qelTextFaultGetText(enFault); }

private:
  enum class Form : unsigned char { NONE, UTF8, UTF16_LITTLE, UTF16_BIG, DBCS };

  Form enForm;
  std::uint32_t ulCCSID;
  QelEnTextFault enFault;
  std::size_t ulOffset;
};

// ---- Streaming conversion ----------------------------------------------------------
/// What a stream converter does with text it cannot convert faithfully.
enum QelEnConversionMode : std::uint32_t {
  CONVERSION_STRICT = 0,      ///< stops at malformed input and at a character the target lacks
  CONVERSION_SUBSTITUTE = 1,  ///< stops at malformed input; a character the target lacks becomes
                              ///< the target's substitution character
  CONVERSION_LENIENT = 2      ///< reads and writes as the one-shot converters do; stops only at a
                              ///< character the stream's end cuts
};

/// Converts a stream handed over in pieces of any size into exactly the bytes that
/// converting the whole stream in one piece gives: a character that a piece's end cuts
/// and the shift state of the double-byte EBCDIC pages carry over to the next piece.
/// Strict modes read the source as the strict checks do and report the first fault with
/// its offset in the whole stream. One stream converter serves one thread at a time.
class QEL_API QelClStreamConverter {
public:
  /// A converter of a stream from source to target in mode.
  QelClStreamConverter(const QelClCCSID& source, const QelClCCSID& target,
                       QelEnConversionMode mode = CONVERSION_STRICT);
  ~QelClStreamConverter();
  QelClStreamConverter(const QelClStreamConverter&) = delete;
  QelClStreamConverter& operator=(const QelClStreamConverter&) = delete;

  /// False when the library has no conversion for the pair; convert() then fails with
  /// CPCONVERTER_UNSUPPORTED.
  bool isSupported() const;
  /// The code set converted from.
  const QelClCCSID& getSourceCCSID() const;
  /// The code set converted into.
  const QelClCCSID& getTargetCCSID() const;
  /// What the converter does with text it cannot convert faithfully.
  QelEnConversionMode getMode() const;

  /// Converts the next piece; isLast says that the stream ends with it (the piece may be
  /// empty). The converted bytes are in getOutput() until the next call. False at the
  /// first fault: the output then holds the conversion of everything before the fault,
  /// getFault() and getFaultOffset() say what and where, getError() holds the error, and
  /// every later call fails until reset().
  bool convert(const char* piece, std::size_t size, bool isLast);
  /// The bytes the last convert() produced.
  const char* getOutput() const;
  /// The number of bytes the last convert() produced.
  std::size_t getOutputSize() const;

  /// The first fault of the stream; TEXTFAULT_NONE without one.
  QelEnTextFault getFault() const;
  /// The offset in the whole stream of the first byte of the faulty character.
  std::uint64_t getFaultOffset() const;
  /// The character the target lacks (TEXTFAULT_UNMAPPABLE), as a Unicode code point.
  std::uint32_t getFaultCharacter() const;
  /// The bytes of the stream handed over so far.
  std::uint64_t getStreamSize() const;
  /// CPCONVERTER_INVALID_SEQ for malformed input and unmappable characters,
  /// CPCONVERTER_INCOMPLETE for a character the stream's end cuts,
  /// CPCONVERTER_UNSUPPORTED; both fields 0 after a conversion without fault.
  const _QelStError& getError() const;
  /// Starts a new stream: nothing carried over, the initial shift state, no fault.
  void reset();

private:
  class Implementation;
  Implementation* pclImplementation;
};

// ---- ICU interface -----------------------------------------------------------------
// ICU's result codes as the library's error records, by a fixed map. Where ICU's
// headers are not at hand (the Windows build has no ICU), UErrorCode is declared here
// with ICU's names and values for the codes the map knows.
#if __has_include(<unicode/utypes.h>)
#include <unicode/utypes.h>
#else
typedef enum UErrorCode {
  U_USING_FALLBACK_WARNING = -128,
  U_ERROR_WARNING_START = -128,
  U_USING_DEFAULT_WARNING = -127,
  U_SAFECLONE_ALLOCATED_WARNING = -126,
  U_ZERO_ERROR = 0,
  U_ILLEGAL_ARGUMENT_ERROR = 1,
  U_MISSING_RESOURCE_ERROR = 2,
  U_INVALID_FORMAT_ERROR = 3,
  U_FILE_ACCESS_ERROR = 4,
  U_INTERNAL_PROGRAM_ERROR = 5,
  U_MESSAGE_PARSE_ERROR = 6,
  U_MEMORY_ALLOCATION_ERROR = 7,
  U_INDEX_OUTOFBOUNDS_ERROR = 8,
  U_PARSE_ERROR = 9,
  U_INVALID_CHAR_FOUND = 10,
  U_TRUNCATED_CHAR_FOUND = 11,
  U_ILLEGAL_CHAR_FOUND = 12,
  U_INVALID_TABLE_FORMAT = 13,
  U_INVALID_TABLE_FILE = 14,
  U_BUFFER_OVERFLOW_ERROR = 15,
  U_UNSUPPORTED_ERROR = 16,
  U_RESOURCE_TYPE_MISMATCH = 17,
  U_ILLEGAL_ESCAPE_SEQUENCE = 18,
  U_UNSUPPORTED_ESCAPE_SEQUENCE = 19,
  U_NO_SPACE_AVAILABLE = 20,
  U_ERROR_LIMIT = 66818
} UErrorCode;
#endif

/// ICU's result codes as the library's error records, by a fixed map.
class QEL_API QelClIcuInterface {
public:
  /// A row of the map: an ICU code and the library's error record for it.
  struct _QelStIcuRc2QelIdMap {
    UErrorCode enIcuCode;  ///< The ICU code.
    std::uint32_t ulErrorId;  ///< The library's error identifier.
    QelEnErrorClass enErrorClass;  ///< The error class.
    QelEnErrorAction enErrorAction;  ///< The recommended action.
    QelEnErrorSeverity enErrorSeverity;  ///< The severity.
  };
  /// The error-limit code of the ICU version the library is built against (ICU 72).
  static constexpr std::int32_t ERROR_LIMIT_CODE = 66818;

  /// The library's error identifier, class, action and severity for an ICU code. Each
  /// throws a QelClException (ICU_UNEXPECTED_ICU_ERROR) for a code the map lacks.
  ///@{
  static unsigned long getQelErrorIdForIcuError(UErrorCode code);
  static QelEnErrorClass getQelErrorClassForIcuError(UErrorCode code);
  static QelEnErrorAction getQelErrorActionForIcuError(UErrorCode code);
  static QelEnErrorSeverity getQelErrorSeverityForIcuError(UErrorCode code);
  ///@}
  /// Fills error with the record the map gives code; throws as getQelErrorIdForIcuError does.
  ///@{
  static void mapIcuError(_QelStError& error, UErrorCode code);
  static void mapIcuError(_QelStUserError& error, UErrorCode code);
  ///@}
  /// Returns for success and warnings (codes below 1); throws the code's error otherwise.
  static void handleIcuErrorCode(UErrorCode code);

private:
  static const _QelStIcuRc2QelIdMap& getQelEntryForIcuError(UErrorCode code);
};

/// ICU's converter for a CCSID (fallback mappings on), or null with the error filled.
QEL_API const void* qelGetICUConverter(unsigned int ccsid, _QelStError& error);
/// Closes an ICU converter from qelGetICUConverter; null does nothing.
QEL_API void qelDeleteICUConverter(const void* converter);

#endif
