// The library's one door to the operating system. Subsystem code calls these
// functions and never includes a host header; posix/ and win32/ implement them.
#ifndef VRNQEL43_PLATFORM_PLATFORM_H
#define VRNQEL43_PLATFORM_PLATFORM_H

#include <cerrno>
#include <cstddef>
#include <cstdint>

#include "qel_errors.h"

namespace qel {
namespace platform {

// ---- Host errors -----------------------------------------------------------------
// The outcome of a call to the host: success, or the host's own error code of the call
// that failed (errno on POSIX, GetLastError on Windows; never 0 for a failure).
//
// Every function of this header that can fail says why: it returns a Status, or, when
// it returns something else (a descriptor, a handle, a step of a search), it takes a
// Status& as its last argument and sets it on every return. The code is always one of
// the host's own: errno on POSIX; on Windows GetLastError's, also for the calls that go
// through the C runtime (_open, _rmdir, ...), which take the system's code behind the
// runtime's errno (_doserrno). A failure the library finds itself (a name that does not
// fit, a copy onto itself) carries the host's code that comes nearest. Predicates and
// lookups whose negative answer is no failed call (pathExists, isHiddenFile,
// findProcedure, formatModuleMessage, convertFromUcs2, ...) give their answer alone.
class [[nodiscard]] Status {
public:
  constexpr Status() = default;
  static constexpr Status failure(std::uint32_t code) { return Status(code != 0 ? code : kUnknown); }
  explicit constexpr operator bool() const { return uiCode == 0; }
  constexpr std::uint32_t error() const { return uiCode; }

private:
  // What a failure that the host gave no code for carries (EIO; ERROR_GEN_FAILURE).
#if defined(_WIN32)
  static constexpr std::uint32_t kUnknown = 31;
#else
  static constexpr std::uint32_t kUnknown = 5;
#endif
  constexpr explicit Status(std::uint32_t code) : uiCode(code) {}
  std::uint32_t uiCode = 0;
};
// The error of the host call that failed last on this thread.
Status lastError();
// The host's code for a name longer than it takes (ENAMETOOLONG; ERROR_FILENAME_EXCED_RANGE).
#if defined(_WIN32)
constexpr std::uint32_t kNameTooLong = 206;
#else
constexpr std::uint32_t kNameTooLong = ENAMETOOLONG;
#endif
// The host's own text for code, without a line end, into buffer (room for size
// characters with the terminator); "Unknown error <code>" for a code the host lacks.
void hostErrorText(std::uint32_t code, char* buffer, std::size_t size);
// The error class that code belongs to; UNKNOWN for 0 and for codes of no class.
QelEnErrorClass hostErrorClass(std::uint32_t code);

// ---- Functions -------------------------------------------------------------------
// The code a function pointer finally runs. On Windows, the address of a runtime
// function taken in another module is that module's import stub; two pointers to
// the same function compare equal after this.
const void* resolveFunction(const void* function);

// ---- Environment -----------------------------------------------------------------
// Changes the process environment as the Windows runtime's _putenv does:
// "NAME=value" sets, "NAME=" removes, a definition without "=" or without a name
// changes nothing and fails.
Status putEnvironment(const char* definition);
// The host's directory for temporary files, for when neither TMP nor TEMP is set:
// C:\ on Windows; on POSIX the value of TMPDIR, else /tmp.
const char* defaultTemporaryDirectory();

// ---- Files and directories -------------------------------------------------------
// Directory texts are written with the host's separator; the directory classes turn
// the other one into it. Only Windows has drive letters: elsewhere "C:" is a name.
#if defined(_WIN32)
constexpr char kDirectorySeparator = '\\';
constexpr char kForeignSeparator = '/';
constexpr bool kDriveLetters = true;
#else
constexpr char kDirectorySeparator = '/';
constexpr char kForeignSeparator = '\\';
constexpr bool kDriveLetters = false;
#endif

// What a component of a directory text (the characters between two separators)
// refers to. Windows: every component that ends with "." is the current directory,
// every one that ends with ".." the parent, and an empty one a name. POSIX: only "."
// and ".." refer, and an empty component (from "//") is the current directory.
enum class PathComponent { name, current, parent };
PathComponent classifyComponent(const char* component, std::size_t length);

// An entry (file or directory) of this name exists.
bool pathExists(const char* path);
// The current working directory into buffer; a failure (one that doesn't fit, too)
// leaves the buffer empty.
Status currentDirectory(char* buffer, std::size_t size);
Status changeDirectory(const char* path);
Status makeDirectory(const char* path);

enum class RemoveResult { removed, inUse, failed };
// Removes an empty directory. inUse: something holds the directory open.
RemoveResult removeDirectory(const char* path, Status& status);

// Seconds since 1970-01-01 00:00 UTC; a failure when the entry can't be queried.
struct FileTimes {
  std::int64_t created;
  std::int64_t accessed;
  std::int64_t modified;
};
Status fileTimes(const char* path, FileTimes& times);

// ---- Directory walking -----------------------------------------------------------
// A search over the entries of one directory, one entry at a time, in the order the
// host delivers them, "." and ".." included where the file system has them.

// Attributes of an entry, with the values Windows gives them.
constexpr std::uint32_t kEntryReadOnly = 0x01;
constexpr std::uint32_t kEntryHidden = 0x02;
constexpr std::uint32_t kEntryDirectory = 0x10;
// A symbolic link (on Windows any reparse point, junctions too).
constexpr std::uint32_t kEntryLink = 0x400;

// null: no search.
using DirectorySearch = void*;

// Where a search writes the entry it stands on: the name goes to name, which has room
// for capacity characters, the terminating zero included.
struct DirectoryEntry {
  char* name;
  std::size_t capacity;
  std::uint32_t attributes;
};

// nameTooLong: the entry's name does not fit; name and attributes are left as they were.
// Only failed carries a failure in the status.
enum class SearchStep { found, nameTooLong, end, failed };

// pattern is the directory's text, ending with its separator (or empty for the current
// directory), followed by "*.*". Begins the search and reads the first entry into entry.
// A search that can't begin (missing or unreadable directory, or one without any entry,
// which is "not found") gives failed and leaves search null; otherwise search must be
// ended.
SearchStep beginDirectorySearch(const char* pattern, DirectorySearch& search,
                                DirectoryEntry& entry, Status& status);
// The next entry; end when there is none left.
SearchStep nextDirectoryEntry(DirectorySearch search, DirectoryEntry& entry, Status& status);
void endDirectorySearch(DirectorySearch search);
// Removes a file-system entry that is not a directory.
Status removeEntry(const char* path);

// ---- Processes, threads and time -------------------------------------------------
std::uint32_t currentProcessId();
std::uint32_t currentThreadId();
// Milliseconds since the system started, wrapping at 2^32.
std::uint32_t tickCount();
// Seconds since 1970-01-01 00:00 UTC with millisecond resolution.
double wallClockSeconds();
void sleepMilliseconds(std::uint32_t ms);

// ---- Memory ----------------------------------------------------------------------
// The size of the host's transparent huge pages; 0 when it has none or they are off.
std::size_t hugePageSize();
// Asks the host to back the pages inside block with huge pages when it touches them
// (fewer page faults for large, densely filled blocks). Only a hint: hosts without
// transparent huge pages ignore it, and so does a block the host can't advise.
void adviseHugePages(void* block, std::size_t size);

// ---- Code pages ------------------------------------------------------------------
// The CCSIDs of the code page the system runs with and of the console's; 0 when the
// host's code set has none.
std::uint32_t systemCodePage();
std::uint32_t consoleCodePage();
// Converts units (UCS-2, little-endian) into the system's or the console's code page
// codePage; returns the bytes written, or 0 when the conversion fails or does not fit.
// Characters the code page lacks become its default character.
unsigned int convertFromUcs2(std::uint32_t codePage, const char* units, unsigned int unitCount, char* target,
                             unsigned int targetSize);

// ---- Diagnostics -----------------------------------------------------------------
// Shows the assertion report to the user and waits until it is closed. Hosts without
// message boxes show nothing: the report is on standard error already.
void showAssertionBox(const char* report, const char* caption);

// ---- Message modules -------------------------------------------------------------
// A resource-only module with message tables; null when it does not load (always on
// hosts without such modules, where the status is ENOSYS).
void* loadMessageModule(const char* fileName, Status& status);
void freeMessageModule(void* module);
// Message id of the module in language, with ten insertion texts, into buffer (room
// for capacity characters and a terminator). Returns its length; 0 when not found.
std::size_t formatModuleMessage(void* module, std::uint32_t id, unsigned int language,
                                const char* const insertions[10], char* buffer,
                                std::size_t capacity);
// The user's and the system's default language as Windows LANGIDs (0x0409 is
// English, United States).
unsigned int userDefaultLanguage();
unsigned int systemDefaultLanguage();

// ==== Files, executables, modules and processes ===================================

// ---- Files: attributes, size, copy, remove, rename -------------------------------
// What separates the directories of a list such as PATH.
#if defined(_WIN32)
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif
// Hidden and read-only as the Windows attributes have them; a missing file is both.
bool isHiddenFile(const char* path);
bool isReadOnlyFile(const char* path);
// On POSIX read-only takes every write permission away and writable gives the owner's
// back.
Status setReadOnlyFile(const char* path, bool readOnly);
// A failure when the entry can't be queried.
Status fileSize(const char* path, std::uint64_t& size);
// Copies contents, permissions and modification time, replacing an existing target. A
// target that is the source itself fails (POSIX: EINVAL).
Status copyFile(const char* source, const char* target);

enum class FileRemoval { removed, missing, failed };
// Removes a file even when it is read-only.
FileRemoval removeFile(const char* path, Status& status);
// Never replaces an existing entry of the new name (an existing one: POSIX EEXIST).
Status renameFile(const char* from, const char* to);

// ---- Appending to files -----------------------------------------------------------
// Opens path for appending in binary mode and sequential access, creating it with
// read and write permission for the owner. The runtime's descriptor, or -1.
int openFileToAppend(const char* path, Status& status);
// The bytes the runtime reports written, or -1.
long writeFile(int descriptor, const void* bytes, std::uint32_t length, Status& status);
Status closeFile(int descriptor);
// Appends bytes with one write, so that writers sharing the file interleave whole
// pieces. When the host writes only part of them (a full disk), the part is cut off
// again, so that the file ends where it did or behind all of them; the failure is then
// the host's reason for the rest ("No space left on device"). Only calls that are safe
// inside a signal handler.
Status appendWhole(int descriptor, const void* bytes, std::uint32_t length);
// The size of the file open on descriptor.
Status descriptorSize(int descriptor, std::uint64_t& size);
Status truncateDescriptor(int descriptor, std::uint64_t size);

// ---- Executables and modules -----------------------------------------------------
// Looks for name where the host looks for programs (Windows: SearchPathA; POSIX: the
// program's own directory, the current directory, then PATH, for a regular file the
// caller may execute; a name with a directory part is only checked). The full name
// goes into buffer; a failure (buffer empty) when nothing is found ("not found") or
// the name doesn't fit ("name too long").
Status searchProgramPath(const char* name, char* buffer, std::size_t size);
// The file type a program's name gets when it has none: "EXE" on Windows, none ("") on POSIX.
const char* programFileType();

using Procedure = int (*)();
// Null on failure.
void* loadModule(const char* path, Status& status);
void unloadModule(void* module);
Procedure findProcedure(void* module, const char* name);
// The file type of a loadable module, with its dot: ".DLL" on Windows, ".so" on POSIX.
const char* moduleFileType();

// ---- System queries ----------------------------------------------------------------
// The platform id of GetVersionExA; a failure where there is none (POSIX: ENOSYS) or
// the query fails.
Status windowsPlatformId(std::uint32_t& id);

enum class DescriptorMode { binary, text, other };
// Windows switches the descriptor to binary and, unless it was, back to text.
DescriptorMode probeDescriptorMode(int fd);

// ---- Launching and killing processes ---------------------------------------------
// commandLine is built by the process classes; Windows may change it while it starts
// the program and restores it. A failure leaves result as it was.
// Waits for the program's end; result is its exit code.
Status runProcess(char* commandLine, bool newConsole, std::uint32_t& result);
// Returns once the program runs; result is its process id.
Status startProcess(char* commandLine, bool newConsole, std::uint32_t& result);
// Succeeds when the process was ended or no longer exists.
Status killProcess(std::uint32_t processId);

// ---- Console ---------------------------------------------------------------------
// The device that swallows what is written to it: "NUL" on Windows, "/dev/null" on POSIX.
const char* nullDevice();
// Waits for one key press on standard input, without echo and without waiting for a
// line end (one byte when standard input is no terminal). The key's code, or -1 at
// the end of input.
int readKey();

// ---- Replacing a file as a whole ---------------------------------------------------
// The new contents of a file are written into its lock file ("<target>.lock", created
// exclusively beside it), flushed to stable storage and renamed over the target. The
// lock file is held open for the whole update; a lock file whose holder is gone is
// taken over (POSIX: nobody holds its advisory lock and it is over a second old;
// Windows: nobody has it open, so it can be deleted).
struct Replacement;
// Creates the lock file of target, waiting up to waitMilliseconds while another
// update holds it (then the code of "file exists" / ERROR_FILE_EXISTS). A target
// that is a symbolic link is followed (POSIX). A target that exists but may not be written is refused.
Status beginReplacement(const char* target, std::uint32_t waitMilliseconds, Replacement*& replacement);
Status writeReplacement(Replacement* replacement, const void* bytes, std::size_t size);
// Flushes the new contents, gives them the target's permission bits (a new target
// those of a new file), renames them over the target and flushes its directory.
// The replacement ends either way; on failure the lock file is removed.
Status commitReplacement(Replacement* replacement);
// Removes the lock file with what was written; the target stays as it was.
void abandonReplacement(Replacement* replacement);

// What a line feed becomes in a file written in text mode.
#if defined(_WIN32)
constexpr char kTextLineEnd[] = "\r\n";
#else
constexpr char kTextLineEnd[] = "\n";
#endif

// ---- Files mapped into memory ---------------------------------------------------------
// A file whose bytes the process reads and writes as memory, and which keeps them when
// the process ends in any way (not when the system stops). While its creator lives it
// holds the file (POSIX: an advisory lock; Windows: its handle, which shares with no one
// who asks for the file alone), so that a file nobody holds belongs to a process that
// is gone.
struct MappedFile {
  std::intptr_t handle = -1;  // the descriptor or file handle; -1: none
  std::intptr_t mapping = 0;  // Windows: the mapping object
  void* memory = nullptr;
  std::size_t size = 0;
};
// Creates path with size zero bytes, replacing what is there, maps and holds it.
Status createMappedFile(const char* path, std::size_t size, MappedFile& file);
// Maps an existing file that nobody holds, and holds it; a busy failure
// (EWOULDBLOCK, ERROR_SHARING_VIOLATION) while someone does.
Status openAbandonedMappedFile(const char* path, MappedFile& file);
// Unmaps and lets the file go; then removes removePath unless it is null.
void closeMappedFile(MappedFile& file, const char* removePath);

// ---- Fatal errors and forks -----------------------------------------------------------
// Calls save when the process meets a fatal error: the signals SIGSEGV, SIGBUS, SIGILL,
// SIGFPE and SIGABRT on POSIX; an unhandled exception or abort() on Windows. Then the
// handler that was there before acts as it would have without this one, and the signal
// ends the process as before (core dump and exit status alike). save runs inside a
// signal handler: it makes only calls that are safe there.
void installCrashHandler(void (*save)());
// Puts back the handlers that were there before, where this one is still in place.
void removeCrashHandler();
// Calls child in the child of every later fork, on its one thread; the first call
// decides. Windows has no fork: nothing happens there.
void callInForkedChild(void (*child)());

// ---- Reading a file whole ------------------------------------------------------------
using InputFile = std::intptr_t;
constexpr InputFile kNoFile = -1;
// Opens path for reading in binary mode.
Status openFileToRead(const char* path, InputFile& file);
// Up to size bytes into buffer; got 0 at the end of the file.
Status readFile(InputFile file, void* buffer, std::size_t size, std::size_t& got);
void closeReadFile(InputFile file);

}  // namespace platform
}  // namespace qel

#endif
