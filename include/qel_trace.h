/// \file
/// vrnqel43: the trace facility. An application traces under a key; the key's
/// environment variables configure a ring buffer of records, the filter in front of
/// it and the trace file that autosave appends the records to.
#ifndef VRNQEL43_QEL_TRACE_H
#define VRNQEL43_QEL_TRACE_H

#include <istream>
#include <ostream>
#include <string>

#include "qel_base.h"
#include "qel_errors.h"
#include "qel_filesystem.h"
#include "qel_messages.h"

class QelClTraceEnvironment;
namespace qel {
namespace trace {
struct Ring;      // the library's side of a trace buffer
struct Recorder;  // the library's side of a trace environment
}  // namespace trace
}  // namespace qel

// ---- Vocabularies ----------------------------------------------------------------
/// The detail of a record, and the level a filter lets through: OFF records nothing.
enum class QelEnTraceDetail : std::uint8_t { OFF = 0, LOW = 1, MED = 2, HIGH = 3 };

/// The kind of a record and of its data. DATA_CLIPPED (data cut to the buffer's
/// capacity) and DATA_NULL (a null data pointer) are set when a record is built.
enum class QelEnTraceDataType : std::uint8_t {
  NONE = 0,
  FUNCTION_ENTRY = 1,  ///< 4-byte nesting level
  FUNCTION_EXIT = 2,   ///< 4-byte nesting level
  NO_DATA = 3,
  DATA = 4,  ///< raw bytes
  DATA_CLIPPED = 5,
  DATA_NULL = 6,
  ADDRESS = 7,      ///< 4 bytes
  CSTRING = 8,      ///< the characters of a zero-terminated string
  WIDE_STRING = 9,  ///< 16-bit units
  BOOLEAN = 10,     ///< 1 byte, non-zero is true
  INT8 = 11,
  UINT8 = 12,
  INT16 = 13,
  UINT16 = 14,
  INT32 = 15,
  UINT32 = 16,
  INT64 = 17,  ///< integers low byte first
  UINT64 = 18,
  FLOAT32 = 19,
  FLOAT64 = 20,
  LONG_DOUBLE = 21
};

// ---- Filter ----------------------------------------------------------------------
/// Which records count: a detail level (a record passes when its detail is at most
/// the level), a process and a thread id (0: any) and a set of components 1 to 255.
/// Component 0 stands for no component and always passes.
class QEL_API QelClTraceFilter {
public:
  QelClTraceFilter();

  /// "HIGH" 3, "MED" 2, "LOW" 1 by the start of the text in any case; else 0.
  void setDetail(const char* text);
  /// Sets the detail level.
  void setDetail(QelEnTraceDetail detail) { ulDetailLevel = static_cast<std::uint32_t>(detail); }
  /// "OFF", "LOW", "MED", "HIGH"; null for any other value.
  static const char* getDetailAsCString(QelEnTraceDetail detail);
  /// Decimal text; non-numeric text gives 0 (any).
  void setProcessId(const char* text);
  /// Decimal text; non-numeric text gives 0 (any).
  void setThreadId(const char* text);

  /// Ids above 255 are outside the set: they change nothing.
  void enableComponentId(unsigned short id);
  /// Excludes component id.
  void disableComponentId(unsigned short id);
  /// Includes every component 1 to 255.
  void enableAllComponentIds();
  /// Excludes every component 1 to 255.
  void disableAllComponentIds();
  /// A list such as "1,3.5,-4" or "*,-7": numbers and ranges first.last, each
  /// included, or excluded behind '-', separated by ','; '*' stands for 1.255.
  void enableComponentIds(const char* list);
  /// Some component of 1 to 255 is excluded.
  bool usesCompIdFilter() const;

  /// The detail level: 0 (OFF) to 3 (HIGH).
  std::uint32_t getDetailLevel() const { return ulDetailLevel; }
  /// The process id records must carry; 0 for any.
  std::uint32_t getProcessId() const { return ulProcessId; }
  /// The thread id records must carry; 0 for any.
  std::uint32_t getThreadId() const { return ulThreadId; }
  /// Ids above 255 are tested by their low 8 bits, the component a record keeps.
  bool isComponentIdEnabled(unsigned short id) const {
    const unsigned int bit = id & 0xFFu;
    return bit == 0 || (aucComponents[bit / 8] >> (bit % 8) & 1u) != 0;
  }
  /// The test made while tracing: detail and component.
  bool isPassing(QelEnTraceDetail detail, unsigned short component) const {
    return static_cast<std::uint32_t>(detail) <= ulDetailLevel && isComponentIdEnabled(component);
  }

private:
  void setComponentIdSet(unsigned short first, unsigned short last, bool enable);

  std::uint32_t ulDetailLevel;
  std::uint32_t ulProcessId;
  std::uint32_t ulThreadId;
  unsigned char aucComponents[32];
};

// ---- Records ---------------------------------------------------------------------
/// One trace record. Its bytes are the same in the buffer and in trace files:
///   0  kind: bits 0-4 data type, bit 5 strings packed, bits 6-7 detail
///   1  component id          2  M, message bytes        3  F, function-name bytes
///   4  timestamp (ms)        8  process id             12  thread id
///  16  D, data bytes        20  message, then function name, then the data
/// Multi-byte numbers are little-endian; nothing is padded.
class QEL_API QelClTraceEntry {
public:
  /// Sizes: the header's bytes, the room for both texts, and the longest text kept.
  enum : std::uint32_t { HEADER_LENGTH = 20, STRING_AREA = 512, MAX_STRING = 255 };

  /// A record of a trace call. Both texts must be non-null (empty for none). A null
  /// data pointer gives DATA_NULL and no data; data longer than the environment's
  /// buffer capacity is cut to it and becomes DATA_CLIPPED. Texts are cut to 255
  /// characters, or packed within 255 bytes when the settings compress.
  QelClTraceEntry(const QelClTraceEnvironment& environment, QelEnTraceDetail detail,
                  unsigned short component, QelEnTraceDataType type, const char* function,
                  const char* message, const void* data, unsigned int length);
  virtual ~QelClTraceEntry();

  /// The record's data type.
  QelEnTraceDataType getType() const {
    return static_cast<QelEnTraceDataType>(aucRecord[0] & 0x1Fu);
  }
  /// The record's detail.
  QelEnTraceDetail getDetail() const { return static_cast<QelEnTraceDetail>(aucRecord[0] >> 6); }
  /// The record's component id, 0 to 255.
  unsigned int getComponentId() const { return aucRecord[1]; }
  /// The bytes of the message as stored (packed or not).
  unsigned int getMessageLength() const { return aucRecord[2]; }
  /// The bytes of the function name as stored (packed or not).
  unsigned int getFunctionNameLength() const { return aucRecord[3]; }
  /// When the record was made: qelGetTimeStamp's milliseconds.
  std::uint32_t getTimeStamp() const { return readWord(4); }
  /// The id of the process that made the record.
  std::uint32_t getProcessId() const { return readWord(8); }
  /// The id of the thread that made the record.
  std::uint32_t getThreadId() const { return readWord(12); }
  /// The bytes of data.
  std::uint32_t getDataLength() const { return readWord(16); }
  /// Header and strings: the first getRecordLength() bytes of a record.
  const unsigned char* getRecord() const { return aucRecord; }
  /// The bytes of header and strings.
  std::uint32_t getRecordLength() const { return ulRecordLength; }
  /// The data, as given (not copied); null without data.
  const void* getData() const { return pvData; }

  /// 6-bit string packing: the 63 characters " ,&*:_~()<>A-Za-z" take their position
  /// as code; any other byte is code 63 followed by its 8 bits. Bits go most
  /// significant first; the unused bits of the last byte are 1. Packs text into at
  /// most limit bytes (out has room for them) and returns the bytes used.
  static unsigned int compressCString(char* out, const char* text, unsigned int limit);
  /// Unpacks bytes of packed text into out, terminated; out has room for 8 * bytes / 6
  /// characters and the terminator. Returns the characters decoded.
  static unsigned int deCompressCString(char* out, const char* packed, unsigned int bytes);
  /// The low count bits of value into the zero bits at bitPosition.
  static void compressWriteBits(char* bytes, unsigned int bitPosition, char value,
                                unsigned int count);
  /// The count bits at bitPosition, most significant first, as the low bits of a character.
  static char deCompressReadBits(const char* bytes, unsigned int bitPosition, unsigned int count);

protected:
  /// An empty record bound to the environment, for records read back from files.
  explicit QelClTraceEntry(const QelClTraceEnvironment& environment);
  /// Whether the record's strings are packed.
  bool isCompressed() const { return (aucRecord[0] & 0x20u) != 0; }
  /// The little-endian 32-bit number at offset of the header.
  std::uint32_t readWord(unsigned int offset) const {
    return static_cast<std::uint32_t>(aucRecord[offset]) |
           static_cast<std::uint32_t>(aucRecord[offset + 1]) << 8 |
           static_cast<std::uint32_t>(aucRecord[offset + 2]) << 16 |
           static_cast<std::uint32_t>(aucRecord[offset + 3]) << 24;
  }

  const QelClTraceEnvironment* pclEnvironment;  ///< The environment the record belongs to.
  unsigned char aucRecord[HEADER_LENGTH + STRING_AREA];  ///< The header and the strings.
  std::uint32_t ulRecordLength;  ///< The bytes of aucRecord in use.
  const void* pvData;  ///< The data, not copied.
};

// ---- Resource keys and the buffer guard --------------------------------------------
/// A key text of the form type ":" name [":" instance], at most 255 characters: a
/// backslash becomes ':', letters, digits and "_-@" stay, any other byte c becomes
/// the character at c mod 65 of "a-zA-Z0-9_-@". Parts beyond the room are cut.
class QEL_API QelClResourceKeyABase {
public:
  /// The key "type:name:instance"; a null instance leaves that part out.
  QelClResourceKeyABase(const char* type, const char* name, const char* instance);
  /// A copy of other's text.
  QelClResourceKeyABase(const QelClResourceKeyABase& other);
  /// Takes other's text.
  QelClResourceKeyABase& operator=(const QelClResourceKeyABase& other);
  virtual ~QelClResourceKeyABase();

  /// The key text.
  const char* getText() const { return szText; }
  /// The characters of the key text.
  std::uint32_t getLength() const { return ulLength; }
  /// The text behind the type and its colon.
  const char* getName() const { return pszName; }

protected:
  /// The first getLength() characters of the key equal those of text.
  bool matches(const char* text) const;

private:
  void add(const char* part);

  std::uint32_t ulLength;
  char szText[256];
  char* pszName;
};

/// The key of a trace buffer's lock.
class QEL_API QelClResourceKeySemaphore : public QelClResourceKeyABase {
public:
  /// The type "SEM32".
  QelClResourceKeySemaphore(const char* name, const char* instance);
};

/// Holds the lock that the key's text chooses for its lifetime. One process-local lock
/// serves every key of the same text, so that records written through one key by
/// concurrent threads never interleave.
class QEL_API QelClTraceBufferAccessSemaphore {
public:
  /// Takes the lock that key chooses, waiting while another thread holds it.
  explicit QelClTraceBufferAccessSemaphore(const QelClResourceKeySemaphore& key);
  QelClTraceBufferAccessSemaphore(const QelClTraceBufferAccessSemaphore&) = delete;
  QelClTraceBufferAccessSemaphore& operator=(const QelClTraceBufferAccessSemaphore&) = delete;
  ~QelClTraceBufferAccessSemaphore();

private:
  void* pvLock;
};

// ---- Ring buffer -----------------------------------------------------------------
/// What the buffer hands over: up to two blocks of whole or split records.
struct _QelStTraceOverflow {
  void* pvContext;  ///< The context given to setOverflowCallback.
  const char* pcFirst;  ///< The first block.
  std::uint32_t ulFirstLength;  ///< The bytes of the first block.
  const char* pcSecond;  ///< null when there is none
  std::uint32_t ulSecondLength;  ///< The bytes of the second block; 0 when there is none.
};
/// Receives the bytes a trace buffer hands over.
typedef void (*QelPfuTraceOverflow)(const _QelStTraceOverflow* overflow);

/// The ring arithmetic over a caller's buffer: a 24-byte header (the magic "QELT",
/// the capacity and four positions kept as offsets from the buffer's start), then
/// the data area. With a callback, every byte written is handed over once, in order,
/// when the data area's end is reached and at each flush; without one, new records
/// overwrite the oldest.
class QEL_API QelClTraceBufferManager {
public:
  enum : std::uint32_t { HEADER_SIZE = 24 };

  /// A buffer whose header already carries the magic is taken as it is. size must
  /// exceed the header.
  QelClTraceBufferManager(const QelClResourceKeySemaphore& key, char* buffer, unsigned int size);
  ~QelClTraceBufferManager();
  QelClTraceBufferManager(const QelClTraceBufferManager&) = delete;
  QelClTraceBufferManager& operator=(const QelClTraceBufferManager&) = delete;

  /// Null: no hand-over.
  void setOverflowCallback(QelPfuTraceOverflow callback, void* context);
  /// Header and strings, then the data; the data is at most the capacity.
  void write(const QelClTraceEntry& entry);
  /// A record from its parts: the 20 header bytes, then as many bytes of the message,
  /// the function name and the data as the header gives.
  void write(const unsigned char* recordHeader, const char* message, const char* function, const void* data);
  /// Hands over what was written since the last hand-over, if anything was written
  /// since the last flush.
  void flush();

private:
  /// The buffer, its lock, the callback and whether anything was written since the
  /// last flush.
  qel::trace::Ring* pclRing;
};

// ---- Settings and environment ----------------------------------------------------
/// The trace settings as one block: a signature, the flags and the filter.
struct _QelStTraceSettingsBlock {
  std::uint32_t ulSignature = 0;  ///< 'QE'
  std::uint32_t ulFlags = 0;  ///< QelClTraceSettings::QelEnFlag bits.
  QelClTraceFilter clFilter;  ///< Which records count.
};

/// The settings of a trace environment: flags and the filter, in a block of its own or the caller's.
class QEL_API QelClTraceSettings {
public:
  /// The settings' switches, one bit each; each follows the key's variable of the same name.
  enum QelEnFlag : std::uint32_t {
    COMPRESSION = 1,
    AUTOSAVE = 2,
    AUTOCLEAR = 4,
    AUTOFLUSH = 8,
    VERBOSE = 16,
    /// With autosave: a fatal signal appends the unsaved records (on unless the key's
    /// _TRACE_CRASHSAVE says off), and the ring lives in a file beside the trace file
    /// (_TRACE_DURABLE), where a process that is killed leaves it for the next one.
    CRASHSAVE = 32,
    DURABLE = 64
  };

  QelClTraceSettings();
  /// The caller's block; its filter is the caller's to set up.
  explicit QelClTraceSettings(void* block);

  /// Detail word for the filter (see QelClTraceFilter::setDetail).
  void setDetailLevel(const char* text);
  /// The list names the components to include, starting from none.
  void initComponentIds(const char* text);

  /// Whether flag is set.
  bool hasFlag(QelEnFlag flag) const { return (pstBlock->ulFlags & flag) != 0; }
  /// Sets flag.
  void setFlag(QelEnFlag flag) { pstBlock->ulFlags |= flag; }
  /// The filter, to change.
  QelClTraceFilter& getFilter() { return pstBlock->clFilter; }
  /// The filter.
  const QelClTraceFilter& getFilter() const { return pstBlock->clFilter; }

private:
  void init();

  _QelStTraceSettingsBlock* pstBlock;
  _QelStTraceSettingsBlock stBlock;
};

/// What a key makes of its environment variables (KEY upper-cased, then the suffix):
/// _TRACE_ACTIVE, _TRACE_DETAIL, _TRACE_AUTOSAVE, _TRACE_AUTOFLUSH, _TRACE_AUTOCLEAR,
/// _TRACE_COMPRESS, _TRACE_COMPSET, _TRACE_BUFSIZE (KiB: 4096 bytes at least, 16 MiB
/// at most, 65535 bytes when unset), _TRACE_FILE (default: KEYtrace.trc in the
/// temporary directory), _TRACE_FORMAT and _TRACE_VERBOSE; with autosave also
/// _TRACE_CRASHSAVE (off: no crash save) and _TRACE_DURABLE. Variable names longer than
/// the environment's 40 characters (keys beyond 24 characters) read as unset.
///
/// Autosave appends whole records only, each hand-over in one write, so that processes
/// sharing a trace file interleave whole records and a failed or short write (a full
/// disk) leaves the file ending at a record boundary; the records such a write loses
/// are counted. The front of a record that a wrap hands over is held back until its
/// rest arrives.
class QEL_API QelClTraceEnvironment {
public:
  enum : std::uint32_t { FORMAT_LENGTH = 512 };

  /// A null instance is the instance word "QELTRACEINSTANCE0". A controller never
  /// removes the trace file.
  QelClTraceEnvironment(const char* key, const char* instance, bool controller);
  ~QelClTraceEnvironment();
  QelClTraceEnvironment(const QelClTraceEnvironment&) = delete;
  QelClTraceEnvironment& operator=(const QelClTraceEnvironment&) = delete;

  /// Makes the environment active, whatever _TRACE_ACTIVE says.
  void activate() { bActive = true; }
  /// Into the buffer; with autoflush straight on to the file.
  void add(const QelClTraceEntry& entry);
  /// A record from its parts, as QelClTraceBufferManager::write takes them.
  void add(const unsigned char* recordHeader, const char* message, const char* function, const void* data);
  /// Hands what the buffer holds on to the trace file (with autosave).
  void flush();

  /// The capacity of the buffer's data area.
  std::uint32_t getBufferSize() const { return ulBufferSize - QelClTraceBufferManager::HEADER_SIZE; }
  /// The formatter's format string, at most FORMAT_LENGTH characters (copied).
  void setFormatString(const char* text);
  /// Counts read back from packed trace files.
  void recordCompressionRate(std::uint32_t uncompressed, std::uint32_t compressed) const;
  /// Compressed over uncompressed bytes; 0.0 before both were counted.
  float getCompressionRate() const;

  /// The trace file's name.
  const char* getTraceFileName() const { return clFileName.getAsCString(); }
  /// The formatter's format string (_TRACE_FORMAT, or the default).
  const char* getFormatString() const { return szFormat; }
  /// The settings made from the key's variables.
  const QelClTraceSettings& getSettings() const { return *pclSettings; }
  /// The settings, to change.
  QelClTraceSettings& getSettings() { return *pclSettings; }
  /// The key of the buffer's lock.
  const QelClResourceKeySemaphore& getResourceKey() const { return clKey; }
  /// The id of the process that built the environment.
  std::uint32_t getProcessId() const { return ulProcessId; }
  /// Whether the environment records: _TRACE_ACTIVE said so, or activate() was called.
  bool isActive() const { return bActive; }
  /// Whether the environment was built for a trace controller.
  bool isController() const { return bController; }
  /// Always false: the ring lives in the process's own memory (or its durable ring file).
  bool isSharedMemory() const { return bSharedMemory; }
  /// Records autosave could not append to the trace file, and the host's code of the
  /// last failure (0 when none failed).
  std::uint64_t getLostRecordCount() const;
  /// The host's error code of autosave's last failed append; 0 when none failed.
  std::uint32_t getHostError() const;
  /// The ring lives in its durable ring file, "<trace file>.<process id>.ring".
  bool isDurable() const;
  /// Appends the unsaved records that processes now gone left in durable ring files
  /// beside the trace file, each exactly once, and removes those files; returns how many
  /// records it appended. An autosaving environment does it when it is built.
  std::uint64_t saveAbandonedRecords() const;

private:
  friend class QelClTraceInstance;  // a trace point records straight into the ring
  void determineSettingsFromEnvVars(const char* key);
  /// Frees what the constructor built so far, or everything.
  void release();
  void reportSettings(const char* key) const;
  /// The autosave lines of the verbose report; failure: why the durable ring file
  /// could not be made (0: it was, or was not asked for).
  void reportAutosave(std::uint64_t recovered, bool durable, std::uint32_t failure) const;
  static void autoSave(const _QelStTraceOverflow* overflow);

  QelClResourceKeySemaphore clKey;
  /// The buffer and its ring, and with autosave the trace file's side of it.
  qel::trace::Recorder* pclRecorder;
  QelClTraceSettings* pclSettings;
  std::uint32_t ulBufferSize;
  std::uint32_t ulProcessId;
  QelClFilename clFileName;
  char szFormat[FORMAT_LENGTH + 1];
  bool bActive;
  bool bSharedMemory;
  bool bController;
  mutable std::uint32_t ulUncompressedTotal;
  mutable std::uint32_t ulCompressedTotal;
};

// ---- Reading trace files ---------------------------------------------------------
/// A trace file is the records one after another, nothing else. A file entry reads one
/// record's header and strings back, unpacking packed strings; the data bytes stay in
/// the stream for the caller.
class QEL_API QelClTraceFileEntry : public QelClTraceEntry {
public:
  enum : std::uint32_t { TEXT_LENGTH = 512 };

  /// An empty record; packed strings read add to the environment's compression totals.
  explicit QelClTraceFileEntry(const QelClTraceEnvironment& environment);

  /// True when a record was read and the stream is still good. At the end of the
  /// stream, or when it ends inside the header or the strings, the record is cleared
  /// and false returned.
  bool read(std::istream& in);

  /// The decoded texts, terminated; the lengths count their characters.
  const char* getFunctionName() const { return acFunctionName; }
  /// The characters of the decoded function name.
  std::uint32_t getFunctionNameTextLength() const { return ulFunctionNameLength; }
  /// The decoded message, terminated.
  const char* getMessage() const { return acMessage; }
  /// The characters of the decoded message.
  std::uint32_t getMessageTextLength() const { return ulMessageLength; }
  /// Whether the record's strings were packed in the file.
  bool isCompressed() const { return QelClTraceEntry::isCompressed(); }

private:
  void clear();
  std::uint32_t decode(char* text, const char* stored, std::uint32_t length) const;

  char acFunctionName[TEXT_LENGTH];
  std::uint32_t ulFunctionNameLength;
  char acMessage[TEXT_LENGTH];
  std::uint32_t ulMessageLength;
};

/// Renders a trace file as text: each record the filter passes through the format
/// string, its data by type. Errors raise QelClException with TRACEFORMAT_COULD_NOT_OPEN,
/// TRACEFORMAT_UNEXPECTED_EOF or TRACEFORMAT_FILE_CORRUPTED; what was written stays.
/// Indentation is written only for nesting levels 0 to MAX_INDENTATION (a level read
/// as negative indents nothing, a deeper one indents MAX_INDENTATION steps). A second
/// `%d` in a format string prints nothing.
class QEL_API QelClTraceFormatter {
public:
  enum : std::uint32_t { MAX_INDENTATION = 256 };

  /// Without a filter, the environment's settings filter.
  QelClTraceFormatter(const QelClTraceEnvironment& environment, const QelClTraceFilter* filter);
  ~QelClTraceFormatter();
  QelClTraceFormatter(const QelClTraceFormatter&) = delete;
  QelClTraceFormatter& operator=(const QelClTraceFormatter&) = delete;

  /// The whole trace file of the environment onto out.
  void format(std::ostream& out) const;
  /// Both keep the pointer: the text must outlive its use.
  void setFormatString(const char* text) { pszFormat = text; }
  /// The text written once per nesting level before entry and exit records.
  void setDisplayIndentation(const char* text) { pszIndentation = text; }
  /// Labels 242 to 245 from the catalog instead of the built-in texts.
  void attachQelMessageCatalog(const QelClMessageCatalog& catalog);

  /// Records read by the last format, those the filter rejected included.
  std::uint32_t getRecordCount() const { return ulRecordCount; }
  /// The level of the last entry or exit record rendered; kept between formats.
  std::uint32_t getNestingLevel() const { return ulNestingLevel; }

  bool bShowNesting = false;          ///< entry and exit data show the level
  bool bShowFunctionRecords = true;   ///< entry and exit records are rendered
  bool bRepeatFunctionNames = true;   ///< `%f` on each record, not only on a change
  bool bHex = false;                  ///< scalar data again as a hex dump
  bool bBinary = false;               ///< no rendering uses it

private:
  bool formatEntry(std::istream& in, QelClTraceFileEntry& entry) const;
  void formatData(std::istream& in, const QelClTraceFileEntry& entry) const;
  void formatScalar(QelEnTraceDataType type, const unsigned char* bytes, std::uint32_t length) const;
  void formatHexDump(std::istream& in, std::uint32_t length) const;
  void formatCString(std::istream& in, std::uint32_t length) const;
  void formatAdrs(std::istream& in, std::uint32_t length) const;
  void skipEntry(std::istream& in, const QelClTraceFileEntry& entry, bool functionRecord) const;
  void displayIndent() const;
  void displayBuffer(const char* text, std::size_t length) const;
  /// The decimal digits of value, after a minus sign when negative.
  void displayNumber(std::uint64_t value, bool negative = false) const;
  static bool isFunction(QelEnTraceDataType type);
  /// Writes what is buffered, then raises the error, found at the given source line.
  [[noreturn]] void raise(std::uint32_t id, QelEnErrorClass errorClass, unsigned long line,
                          bool fatal = false) const;
  const char* getTypeAsShortCString(QelEnTraceDataType type) const;
  const char* getTypeAsLongCString(QelEnTraceDataType type) const;
  const char* getMessage(unsigned long number) const;

  const QelClTraceEnvironment* pclEnvironment;
  const QelClTraceFilter* pclFilter;
  const QelClMessageCatalog* pclCatalog = nullptr;
  QelClMessage* pclMessage = nullptr;
  mutable std::ostream* pOut = nullptr;
  mutable std::uint32_t ulRecordCount = 0;
  mutable std::uint32_t ulNestingLevel = 0;
  const char* pszFormat;
  const char* pszIndentation = nullptr;
  /// The function name of the last record shown with one, and the text of the record
  /// being rendered (written out at its end and before an error is raised).
  mutable char acLastFunction[QelClTraceFileEntry::TEXT_LENGTH] = {};
  mutable std::string sRendered;
};

/// The structure of a trace file, found by walking its records by the lengths their
/// headers give, without formatting them. The whole records come first; any bytes after
/// them are one record that the file's end cuts, in its header, its texts or its data.
/// A damaged record has a header the formatter refuses: a data type of 0 or above
/// LONG_DOUBLE, entry, exit or address data of other than 4 bytes, NO_DATA with data, or
/// 128 data bytes or more for a type other than DATA, DATA_CLIPPED, CSTRING and
/// WIDE_STRING. The walk goes on past it by its lengths, and it counts as a record.
class QEL_API QelClTraceFileScan {
public:
  /// Reads the file in blocks. When it can't be opened or read to its end, the host's
  /// error code is kept and the counts cover the bytes read before the failure.
  explicit QelClTraceFileScan(const char* fileName);

  /// The host's error code (errno, GetLastError); 0 when the file was read to its end.
  std::uint32_t getHostError() const { return ulHostError; }
  /// The number of whole records, damaged ones included.
  std::uint64_t getWholeRecordCount() const { return ullWholeRecords; }
  /// The bytes of the whole records, from the file's start.
  std::uint64_t getWholeLength() const { return ullWholeLength; }
  /// The bytes after the whole records.
  std::uint64_t getCutLength() const { return ullCutLength; }
  /// Whether the file ends inside a record.
  bool hasCutRecord() const { return ullCutLength != 0; }
  /// Whether a record has a header the formatter refuses.
  bool hasDamagedRecord() const { return bDamaged; }
  /// Where the first damaged record starts; 0 when there is none.
  std::uint64_t getDamagedOffset() const { return ullDamagedOffset; }

private:
  std::uint32_t ulHostError = 0;
  std::uint64_t ullWholeRecords = 0;
  std::uint64_t ullWholeLength = 0;
  std::uint64_t ullCutLength = 0;
  std::uint64_t ullDamagedOffset = 0;
  bool bDamaged = false;
};

// ---- The trace instance and the trace API ----------------------------------------
/// A recording path that replaces the library's own: receives every record's parts, with the user data given to registerUserCallback.
typedef void (*QelPfuTraceCallback)(void* user, QelEnTraceDetail detail, unsigned short component,
                                    QelEnTraceDataType type, const char* function,
                                    const char* message, const void* data, unsigned int length);

/// The process's one trace instance. Active: its key's _TRACE_ACTIVE, or activate().
/// Enabled: gs_pclQelTraceInstance points at it, and only then records are made.
/// Creation enables an active instance. An instance never deleted is flushed and
/// freed when the library is unloaded or the process exits.
class QEL_API QelClTraceInstance {
public:
  /// The existing instance, whatever the arguments; else a new one.
  static QelClTraceInstance& createInstance(const char* key, const char* instance);
  /// The existing instance, whatever the arguments; else a new one for a trace controller, which never removes the trace file.
  static QelClTraceInstance& createControllerInstance(const char* key, const char* instance);
  /// Flushes and frees the instance, if there is one; the trace is disabled.
  static void deleteInstance();

  /// Whether the instance's environment is active.
  bool isActive() const;
  /// Whether an instance is enabled: records are made.
  bool isEnabled() const;
  /// Makes the instance active; enable() then enables it.
  void activate();
  /// Only while active.
  void enable();
  /// Flushes first when active.
  void disable();
  /// Hands the buffered records on to the trace file, when active.
  void flush();

  /// Entry and exit records carry the process-wide nesting level (after the entry's
  /// increment, after the exit's decrement); LOW is recorded as OFF for them.
  void dumpFunction(QelEnTraceDetail detail, unsigned short component, QelEnTraceDataType type,
                    const char* function);
  /// The length a trace point passes for a text whose characters it has not counted.
  enum : unsigned int { UNKNOWN_LENGTH = 0xFFFFFFFFu };
  /// What qelTraceDump does with the instance, given the characters of the function
  /// name and of the message where the trace point knows them (else UNKNOWN_LENGTH).
  void dump(QelEnTraceDetail detail, unsigned short component, QelEnTraceDataType type, const char* function,
            unsigned int functionLength, const char* message, unsigned int messageLength, const void* data,
            unsigned int length);
  /// The same for a trace point whose detail, component, type and text lengths are
  /// known when it is compiled, given as the first word of its record's header.
  void dump(std::uint32_t head, const char* function, const char* message, const void* data, unsigned int length);
  /// That first word: the kind byte (the type's five bits, the detail's two at the top),
  /// the component's low byte, the bytes of the message kept, then those of the
  /// function name, each at most 255.
  static constexpr std::uint32_t makeHeadWord(QelEnTraceDetail detail, unsigned short component,
                                              QelEnTraceDataType type, unsigned int messageLength,
                                              unsigned int functionLength) {
    return (static_cast<std::uint32_t>(type) & 0x1Fu) | (static_cast<std::uint32_t>(detail) & 3u) << 6 |
           (component & 0xFFu) << 8 | (messageLength < 255u ? messageLength : 255u) << 16 |
           (functionLength < 255u ? functionLength : 255u) << 24;
  }
  /// Replaces the recording path; the library's own one is usesQelBackEnd().
  void registerUserCallback(QelPfuTraceCallback callback, void* user);
  /// Whether records go the library's own path (no user callback is registered).
  bool usesQelBackEnd() const;
  /// The recording path in use.
  QelPfuTraceCallback getCallback() const { return pfuCallback; }
  /// The user data passed to the recording path.
  void* getUserData() const { return pvUserData; }
  /// The environment made from the key's variables.
  QelClTraceEnvironment& getEnvironment() const { return *pclEnvironment; }

  /// The instance, enabled or not; null when there is none.
  static QelClTraceInstance* cv_pclSingletonInstance;

private:
  QelClTraceInstance(const char* key, const char* instance, bool controller);
  ~QelClTraceInstance();
  static QelClTraceInstance& create(const char* key, const char* instance, bool controller);
  static void dumpImp(void* user, QelEnTraceDetail detail, unsigned short component,
                      QelEnTraceDataType type, const char* function, const char* message,
                      const void* data, unsigned int length);

  QelClTraceEnvironment* pclEnvironment;
  QelPfuTraceCallback pfuCallback;
  void* pvUserData;
};

/// The instance while it is enabled, else null.
extern "C" QEL_API QelClTraceInstance* gs_pclQelTraceInstance;

/// QelClTraceInstance::createInstance: the existing instance, else a new one under key; enabled when the key's _TRACE_ACTIVE says so.
QEL_C_API QelClTraceInstance* qelTraceCreateInstance(const char* key, const char* instance);
/// QelClTraceInstance::deleteInstance: flushes and frees the instance.
QEL_C_API void qelTraceDeleteInstance();
/// Whether an instance is enabled: records are made.
QEL_C_API bool qelTraceIsEnabled();
/// Flushes the enabled instance; nothing without one.
QEL_C_API void qelTraceFlush();
/// Records a trace point's record through the enabled instance (QelClTraceInstance::dump), nothing without one; the texts are counted here.
QEL_C_API void qelTraceDump(QelEnTraceDetail detail, unsigned short component, QelEnTraceDataType type,
                            const char* function, const char* message, const void* data,
                            unsigned int length);
/// qelTraceDump for a trace point known when it is compiled, QEL_TRACE's fast path:
/// QelClTraceInstance::dump with a head word. The head's lengths are trusted as given:
/// that many bytes of each text are copied, terminator or not.
QEL_C_API void qelTraceDumpHead(std::uint32_t head, const char* function, const char* message, const void* data,
                                unsigned int length);
/// The enabled instance (gs_pclQelTraceInstance) as an untyped pointer; null when none is enabled.
QEL_C_API void* QelClTraceInstance_getInstance();

#if defined(__GNUC__)
/// Whether the compiler knows a trace point's detail, component, type and both text lengths, each in the record's range (QEL_TRACE's fast path).
#define QEL_TRACE_KNOWN(detail, component, type, function, message)                                         \
  (__builtin_constant_p(detail) && __builtin_constant_p(component) && __builtin_constant_p(type) &&         \
   __builtin_constant_p(__builtin_strlen(function)) && __builtin_constant_p(__builtin_strlen(message)) &&  \
   static_cast<unsigned int>(detail) <= 3u && static_cast<unsigned int>(component) <= 255u &&              \
   static_cast<unsigned int>(type) <= 31u)
/// The first header word of a trace point's record, made when the point is compiled.
#define QEL_TRACE_HEAD(detail, component, type, function, message)                                          \
  QelClTraceInstance::makeHeadWord((detail), (component), (type),                                           \
                                   static_cast<unsigned int>(__builtin_strlen(message)),                    \
                                   static_cast<unsigned int>(__builtin_strlen(function)))
#else
#define QEL_TRACE_KNOWN(detail, component, type, function, message) false
#define QEL_TRACE_HEAD(detail, component, type, function, message) 0u
#endif

/// A trace point: records detail, component, type, function, message and length bytes of data through the enabled instance.
/// While tracing is off, one test of the global pointer. Where the compiler knows the detail,
/// component and type (each in the record's range) and can count both texts, such as literals,
/// the record's head word is made when the point is compiled; otherwise the point calls
/// qelTraceDump. Each argument is evaluated once.
#define QEL_TRACE(detail, component, type, function, message, data, length)                                  \
  do {                                                                                                        \
    if (QEL_UNLIKELY(gs_pclQelTraceInstance != nullptr)) {                                                    \
      if (QEL_TRACE_KNOWN(detail, component, type, function, message)) {                                      \
        qelTraceDumpHead(QEL_TRACE_HEAD(detail, component, type, function, message), (function), (message), \
                            (data), (length));                                                                \
      } else {                                                                                                \
        qelTraceDump((detail), (component), (type), (function), (message), (data), (length));                 \
      }                                                                                                       \
    }                                                                                                         \
  } while (0)

#endif
