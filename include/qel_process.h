/// \file
/// vrnqel43: processes, threads and time.
#ifndef VRNQEL43_QEL_PROCESS_H
#define VRNQEL43_QEL_PROCESS_H

#include "qel_base.h"
#include "qel_errors.h"
#include "qel_filesystem.h"

/// The identity of a process: its id.
class QEL_API QelClProcessProperty {
public:
  /// The calling process.
  QelClProcessProperty();
  /// The process with the id processId (which need not exist).
  explicit QelClProcessProperty(unsigned int processId);
  /// The process id.
  std::uint32_t getProcessId() const { return ulProcessId; }

private:
  std::uint32_t ulProcessId;
};

/// The identity of a thread: its id.
class QEL_API QelClThreadProperty {
public:
  /// The calling thread.
  QelClThreadProperty();
  /// The thread with the id threadId.
  explicit QelClThreadProperty(unsigned int threadId);
  /// The thread id.
  std::uint32_t getThreadId() const { return ulThreadId; }

private:
  std::uint32_t ulThreadId;
};

/// The wall clock.
class QEL_API QelClTiming {
public:
  /// Seconds since 1970-01-01 00:00 UTC, to the millisecond.
  static double wallClockTime();
};

/// Milliseconds since the system started; wraps to 0 after about 49.7 days.
QEL_C_API std::uint32_t qelGetTimeStamp();
/// Seconds since 1970-01-01 00:00 UTC, to the millisecond (QelClTiming::wallClockTime).
QEL_C_API double qelWallClockTime();
/// Always 0.0.
QEL_C_API double _qelWallClockTime();

/// Suspends the calling thread for milliseconds milliseconds. The durations of all the
/// sleep functions are computed in 32-bit milliseconds and wrap beyond 2^32 - 1.
QEL_C_API void qelSleepMilliSeconds(unsigned int milliseconds);
/// Suspends the calling thread for seconds seconds.
QEL_C_API void qelSleepSeconds(unsigned int seconds);
/// Suspends the calling thread for minutes minutes.
QEL_C_API void qelSleepMinutes(unsigned int minutes);
/// Suspends the calling thread for hours hours.
QEL_C_API void qelSleepHours(unsigned int hours);

// ---- Launching and killing processes ---------------------------------------------
/// A command line for a new process: the executable's name first, then the arguments
/// in turn, each behind one space. A text with a space is written in double quotes,
/// and a backslash that ends it is doubled so that it does not escape the closing
/// quote; nothing else is escaped. Launching terminates the command line, so every
/// argument is added before the first launch. A launch that fails leaves
/// PROCESS_COULD_NOT_LAUNCH (class UNKNOWN_PROCESS) and the system's error code as the
/// result and as the host error; one that succeeds clears the error record. Nothing
/// throws.
///
/// On POSIX the command line is split back into its arguments (a quoted argument ends
/// at the first double quote followed by a space or the end, and loses one backslash
/// that ends it) and started with posix_spawn, with PATH searched for a name without
/// "/"; the child keeps only the standard descriptors.
class QEL_API QelClNewProcessABase {
public:
  /// The executable must outlive the object.
  explicit QelClNewProcessABase(const QelClExeFile& executable);
  QelClNewProcessABase(const QelClNewProcessABase&) = delete;
  QelClNewProcessABase& operator=(const QelClNewProcessABase&) = delete;
  virtual ~QelClNewProcessABase();

  /// Starts the program with the command line built so far; false when it could not be started (see getError()).
  virtual bool launch() = 0;

  /// A null text adds nothing.
  void addArgument(const char* text);
  /// Adds value as a decimal argument.
  void addArgument(long value);
  /// Adds value as a decimal argument.
  void addArgument(unsigned long value);

  /// The command line built so far.
  const char* getCommandLine() const { return pszCommandLine; }
  /// The executable counts as the first argument.
  std::uint32_t getArgumentCount() const { return ulArgumentCount; }
  /// The error record of the last launch.
  const _QelStError& getError() const { return stError; }
  /// The host's error code (errno, GetLastError) of the failed launch; 0 when the record
  /// is clear.
  std::uint32_t getHostError() const { return ulHostError; }

  /// Not 0: the program gets a console window of its own (Windows; ignored on POSIX).
  std::uint32_t ulNewConsole;

protected:
  /// Sets the error record to PROCESS_COULD_NOT_LAUNCH and terminates the command line.
  void prepareLaunch();
  /// Clears the error record and the host error.
  void clearError();
  /// The host's reason of a failed launch.
  void setHostError(std::uint32_t hostError) { ulHostError = hostError; }
  /// The command line, for a launch to hand to the system.
  char* getCommandLineForLaunch() { return pszCommandLine; }

  _QelStError stError;  ///< The error record of the last launch.
  const QelClExeFile* pclExecutable;  ///< The program to launch.

private:
  void append(const char* text, std::size_t length);
  void appendNumber(const char* text, std::size_t length);

  char* pszCommandLine;
  std::uint32_t ulCommandLineLength;
  std::uint32_t ulCommandLineCapacity;
  std::uint32_t ulArgumentCount;
  std::uint32_t ulHostError;
};

/// Waits until the program ends and keeps its exit code; on POSIX a program ended by a
/// signal reports 128 + the signal's number.
class QEL_API QelClNewSyncProcess : public QelClNewProcessABase {
public:
  /// A launcher for executable, which must outlive it.
  explicit QelClNewSyncProcess(const QelClExeFile& executable);
  /// Starts the program and waits until it ends; false when it could not be started.
  bool launch() override;
  /// The exit code after a successful launch, the system's error code after a failed one.
  std::uint32_t getResult() const { return ulResult; }

private:
  std::uint32_t ulResult;
};

/// Returns as soon as the program runs and keeps its process id. The program has no
/// console (Windows: a detached process, or one with a console of its own); on POSIX it
/// starts in a session of its own with its standard descriptors on /dev/null, and it is
/// no child of the caller, so that it never stays behind as the caller's zombie.
class QEL_API QelClNewAsyncProcess : public QelClNewProcessABase {
public:
  /// A launcher for executable, which must outlive it.
  explicit QelClNewAsyncProcess(const QelClExeFile& executable);
  /// Starts the program without waiting for it; false when it could not be started.
  bool launch() override;
  /// The process id after a successful launch, the system's error code after a failed one.
  std::uint32_t getResult() const { return ulResult; }

private:
  std::uint32_t ulResult;
};

/// An existing process, named by its id.
class QEL_API QelClProcess : public QelClProcessProperty {
public:
  /// The calling process.
  QelClProcess();
  /// The process with the id processId.
  explicit QelClProcess(unsigned int processId);

  /// Ends the process at once (Windows: exit code 0; POSIX: SIGKILL). A process that no
  /// longer exists, or that Windows does not let the caller open, counts as ended: true.
  /// A refusal gives false with PROCESS_COULD_NOT_KILL (class INVALID_DATA) and the
  /// host's reason (getHostError()).
  bool kill();
  /// The error record of the last kill.
  const _QelStError& getError() const { return stError; }
  /// The host's error code (errno, GetLastError) of the refusal; 0 when the record is clear.
  std::uint32_t getHostError() const { return ulHostError; }

private:
  _QelStError stError;
  std::uint32_t ulHostError;
};

#endif
