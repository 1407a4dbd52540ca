/// \file
/// vrnqel43: error records, their classification, and the exception classes.
#ifndef VRNQEL43_QEL_ERRORS_H
#define VRNQEL43_QEL_ERRORS_H

#include "qel_base.h"

#include <iosfwd>

// <windows.h> defines NO_ERROR (0) and IGNORE (0) as macros. Both equal the
// library's values, so they are only set aside while the enumerations are declared.
#pragma push_macro("NO_ERROR")
#pragma push_macro("IGNORE")
#undef NO_ERROR
#undef IGNORE

/// The kind of failure an error is. The class, severity and action enumerations are
/// scoped because severity and action both have a PANIC.
enum class QelEnErrorClass : std::int32_t {
#define QEL_ERROR_CLASS(name, value, message) name = (value),
#include "qel_errortables.inc"
};

/// How grave an error is.
enum class QelEnErrorSeverity : std::int32_t {
#define QEL_ERROR_SEVERITY(name, value, message) name = (value),
#include "qel_errortables.inc"
};

/// What the program should do about an error.
enum class QelEnErrorAction : std::int32_t {
#define QEL_ERROR_ACTION(name, value, message) name = (value),
#include "qel_errortables.inc"
};

/// Error identifiers, as stored in the ulErrorId fields. 0 (NO_ERROR) is no error.
enum QelEnErrorId : std::uint32_t {
#define QEL_ERROR_ID(name, value, message) name = (value),
#include "qel_errortables.inc"
};

#pragma pop_macro("IGNORE")
#pragma pop_macro("NO_ERROR")

/// Identifiers of replacing and reading files as a whole (QelClFileUpdate, the INI
/// file's own reading and atomic save). They lie beyond the built-in table, so no
/// message names them (qelErrorGetIdAsMessageId gives 0): the class and the host's
/// error kept beside the record say what happened.
enum : std::uint32_t {
  FILE_COULD_NOT_LOCK = 1001201,   ///< another writer holds the file, or no lock file
  FILE_COULD_NOT_WRITE = 1001202,  ///< writing, flushing or replacing the file failed
  FILE_COULD_NOT_READ = 1001203    ///< opening or reading the file failed
};

/// The short error record filled by operations that report without throwing.
struct _QelStError {
  std::uint32_t ulErrorId;  ///< The error identifier (QelEnErrorId, or another table's); 0 is no error.
  QelEnErrorClass enErrorClass;  ///< The kind of failure.
};

/// The full error record: identifier, class, severity and recommended action.
struct QEL_API _QelStUserError {
  std::uint32_t ulErrorId;  ///< The error identifier (QelEnErrorId, or another table's); 0 is no error.
  QelEnErrorClass enErrorClass;  ///< The kind of failure.
  QelEnErrorSeverity enErrorSeverity;  ///< How grave the error is.
  QelEnErrorAction enErrorAction;  ///< What the program should do about it.

  _QelStUserError();
  /// A record with the given identifier, class, severity and action.
  _QelStUserError(std::uint32_t id, QelEnErrorClass errorClass, QelEnErrorSeverity severity,
                  QelEnErrorAction action);
};

/// The number of the built-in message that names a value, or 0 for a value the
/// vocabulary does not have.
QEL_C_API std::uint32_t qelErrorGetIdAsMessageId(std::uint32_t errorId);
/// The number of the built-in message that names an error class, or 0 for a value the vocabulary does not have.
QEL_C_API std::uint32_t qelErrorGetClassAsMessageId(QelEnErrorClass errorClass);
/// The number of the built-in message that names a severity, or 0 for a value the vocabulary does not have.
QEL_C_API std::uint32_t qelErrorGetSeverityAsMessageId(QelEnErrorSeverity severity);
/// The number of the built-in message that names an action, or 0 for a value the vocabulary does not have.
QEL_C_API std::uint32_t qelErrorGetActionAsMessageId(QelEnErrorAction action);

// ---- Host errors -----------------------------------------------------------------
// A host error code is what the operating system said when a call failed: errno on
// POSIX, a Windows system error code (GetLastError) on Windows; 0 is none. Objects that
// keep an error record keep the host's code beside it (getHostError()).

/// The error class of a host code: IO_NOT_EXISTENT, IO_PERMISSION_DENIED,
/// RESOURCE_EXHAUSTED (no space), IO_ALREADY_IN_USE, IO_STILL_IN_USE, ...; UNKNOWN for 0
/// and for codes of no class.
QEL_C_API QelEnErrorClass qelHostErrorGetClass(std::uint32_t code);
/// The host's own text for code ("No space left on device"), without a line end, into
/// buffer, which has room for size characters with the terminator; returns buffer.
/// The empty text for 0.
QEL_C_API const char* qelHostErrorGetText(std::uint32_t code, char* buffer, std::size_t size);

/// The host's text for a code, kept in the object.
class QEL_API QelClHostErrorText {
public:
  /// Keeps the host's text for code, as qelHostErrorGetText gives it.
  explicit QelClHostErrorText(std::uint32_t code);
  /// The kept text; empty for code 0.
  const char* getText() const { return szText; }

private:
  char szText[256];
};

// ---- Assertions ------------------------------------------------------------------
/// A failed assertion writes the internal-error report to standard error, shows it in
/// a message box (Windows; skipped when QEL_NO_ASSERT_POPUP is ON, YES, TRUE or 1 at the
/// first assertion of the process) and ends the process with abort().
extern "C" [[noreturn]] QEL_API void qel__assert(const char* expression, const char* file,
                                        unsigned int line);
/// The same with a function name and a message, each may be null; the function name is
/// shown only together with a message.
extern "C" [[noreturn]] QEL_API void qel__assert_msg(const char* expression, const char* file,
                                            unsigned int line, const char* function,
                                            const char* message);

/// Checks expression and, when it is false, reports it with the file and line and ends
/// the process (qel__assert). Assertions stay active in every build.
#define QEL_ASSERT(expression) \
  ((expression) ? (void)0 : qel__assert(#expression, __FILE__, __LINE__))
/// Like QEL_ASSERT, and reports the function's name and message as well.
#define QEL_ASSERT_MSG(expression, message) \
  ((expression) ? (void)0 : qel__assert_msg(#expression, __FILE__, __LINE__, __func__, message))

/// "[name.cpp:42] " to out: the file's name without its directory, no newline.
QEL_API void qel_tprint(std::ostream& out, const char* file, int line);
/// "[path/name.cpp: 42] " and the formatted text to standard output, ending the line
/// when the format has no newline of its own; then flushes.
QEL_C_API void qel_tprintf(const char* file, int line, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

/// Writes the current source file's name and line to stream (qel_tprint).
#define QEL_TPRINT(stream) qel_tprint((stream), __FILE__, __LINE__)
/// Writes the current source file and line and a printf-style text to standard output (qel_tprintf).
#define QEL_TPRINTF(...) qel_tprintf(__FILE__, __LINE__, __VA_ARGS__)

/// The Windows SDK's symbolic name of a Windows system error code ("ERROR_FILE_NOT_FOUND"
/// for 2), or null for a code the table lacks. Codes above 2^31 stand for the negative
/// file-expansion codes (4294967295 is "LZERROR_BADINHANDLE").
QEL_C_API const char* qelWinGetErrorAsString(std::uint32_t code);

/// The build of the library: its level "QELLibR4-49", its date "Sep 17 2002", and
/// whether it is a shipped build (always true).
QEL_C_API const char* qelLibraryGetLevel();
/// The build date of the library, "Sep 17 2002".
QEL_C_API const char* qelLibraryGetTod();
/// Whether this is a shipped build of the library: always true.
QEL_C_API bool qelLibraryIsShipCode();

/// Exceptions are thrown by value and caught by reference. They own no memory:
/// the cause and module texts must have static lifetime.
class QEL_API QelClExceptionABase {
public:
  /// An exception with a cause text of static lifetime; null gives the empty text.
  explicit QelClExceptionABase(const char* cause);
  /// Copies the exception, which shares the static texts.
  QelClExceptionABase(const QelClExceptionABase&) = default;
  /// Copies the exception, which shares the static texts.
  QelClExceptionABase& operator=(const QelClExceptionABase&) = default;
  /// An exception without a cause: getCause() gives the empty text.
  virtual ~QelClExceptionABase();

  /// Whether this is a QelClException, which carries an error record.
  virtual bool isQelException() const = 0;
  /// The cause text given at construction.
  virtual const char* getCause() const;

  /// Where the exception was raised: "file:line" as one text, and the line.
  void setLocation(const char* module, unsigned long line);
  /// The "file:line" text set by setLocation, or null when none was set.
  const char* getModule() const { return pszModule; }
  /// The line set by setLocation, or 0 when none was set.
  std::uint32_t getLine() const { return ulLine; }

protected:
  QelClExceptionABase();

  const char* pszCause;  ///< The cause text; never null.
  const char* pszModule;  ///< Where it was raised, "file:line"; null when unknown.
  std::uint32_t ulLine;  ///< The line where it was raised; 0 when unknown.
};

/// The library's exception: an error record (identifier, class, severity and recommended action) with a cause text.
class QEL_API QelClException : public QelClExceptionABase {
public:
  /// An exception with the given error record and a cause text of static lifetime (null allowed).
  QelClException(unsigned long id, QelEnErrorClass errorClass, QelEnErrorSeverity severity,
                 QelEnErrorAction action, const char* cause);
  /// Copies the exception.
  QelClException(const QelClException&) = default;
  /// Copies the exception.
  QelClException& operator=(const QelClException&) = default;
  ~QelClException() override;

  /// Always true.
  bool isQelException() const override;

  /// The error identifier (QelEnErrorId or another table's).
  std::uint32_t getErrorId() const { return ulErrorId; }
  /// The kind of failure.
  QelEnErrorClass getErrorClass() const { return enErrorClass; }
  /// How grave the failure is.
  QelEnErrorSeverity getErrorSeverity() const { return enErrorSeverity; }
  /// What the catcher should do about it.
  QelEnErrorAction getErrorAction() const { return enErrorAction; }

protected:
  std::uint32_t ulErrorId;  ///< The error identifier.
  QelEnErrorClass enErrorClass;  ///< The kind of failure.
  QelEnErrorSeverity enErrorSeverity;  ///< How grave the failure is.
  QelEnErrorAction enErrorAction;  ///< What the catcher should do about it.
};

/// A QelClException whose severity is always FATAL.
class QEL_API QelClExceptionFatal : public QelClException {
public:
  /// An exception with the given record and severity FATAL.
  QelClExceptionFatal(unsigned long id, QelEnErrorClass errorClass, QelEnErrorAction action,
                      const char* cause);
  /// Copies the exception.
  QelClExceptionFatal(const QelClExceptionFatal&) = default;
  /// Copies the exception.
  QelClExceptionFatal& operator=(const QelClExceptionFatal&) = default;
  ~QelClExceptionFatal() override;
};

#endif
