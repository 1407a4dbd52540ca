/// \file
/// vrnqel43: the file system family: file names, locations and directories,
/// directory walking, environment variables.
#ifndef VRNQEL43_QEL_FILESYSTEM_H
#define VRNQEL43_QEL_FILESYSTEM_H

#include <iosfwd>

#include "qel_base.h"
#include "qel_errors.h"

class QelClLocation;
class QelClTmpFilename;

// ---- Path analysis ---------------------------------------------------------------
/// What every path text shares: where a network prefix `\\server\share` ends, the
/// separator style, a drive letter, absoluteness. The text lives in the owner's buffer.
class QEL_API QelClPathProperty {
public:
  /// WINDOWS_STYLE: drive letters and backslashes; UNIX_STYLE: forward slashes only.
  enum QelEnPathStyle { WINDOWS_STYLE = 0, UNIX_STYLE = 1 };

  /// The text's separator style.
  QelEnPathStyle getPathStyle() const { return enStyle; }
  /// The path text starts with a drive letter and ':'.
  bool hasDrive() const;
  /// A network prefix; else a leading "/" in UNIX_STYLE, or `X:\` in WINDOWS_STYLE.
  bool isAbsolute() const;
  /// The path text has no forward slash.
  bool isNormalized() const;
  /// Every forward slash of text becomes a backslash, in place.
  static void normalizePath(char* text);

protected:
  QelClPathProperty();
  /// Copies the analysis; the owner then relocates the pointers into its own buffer.
  QelClPathProperty(const QelClPathProperty&) = default;
  /// Copies the analysis; the owner then relocates the pointers into its own buffer.
  QelClPathProperty& operator=(const QelClPathProperty&) = default;
  /// Analyses a text in the owner's buffer, which the owner may change through the pointers.
  void init(const char* text);
  /// Points full text and path text into ownText at the places they have in source.
  void relocate(const QelClPathProperty& source, char* ownText);
  /// WINDOWS_STYLE for a text with a drive letter or a backslash, UNIX_STYLE for one with forward slashes only; WINDOWS_STYLE without separators.
  QelEnPathStyle getStyle(const char* text) const;
  /// The separator of the text's style: a backslash or '/'.
  char getPathSep(const char* text) const;

  char* pszFullText;  ///< The whole text, in the owner's buffer.
  char* pszPathText;  ///< The text behind the network prefix.
  QelEnPathStyle enStyle;  ///< The text's separator style.

private:
  void determinePath();
};

// ---- File names ------------------------------------------------------------------
/// A file name of at most 260 characters kept with the positions of its parts:
/// directory part (full text up to the name), name, base name (name up to the
/// extension) and extension (the last "." of the name onwards, or empty).
class QEL_API QelClFilenameABase : public QelClPathProperty {
public:
  /// The whole name.
  const char* getAsCString() const { return pszFullText; }
  /// The characters of the whole name.
  std::uint32_t getLength() const { return ulLength; }
  /// The name without its directory part.
  const char* getName() const { return pszName; }
  /// The extension from its dot on ("" without one).
  const char* getExtension() const { return pszExtension; }
  /// Behind the network prefix, if any.
  const char* getPathText() const { return pszPathText; }

  /// The directory parts (without server) are equal; a name in a sub-directory matches
  /// too. Here and in matchesBase, case is ignored unless this name is UNIX_STYLE.
  bool matchesPath(const QelClFilenameABase& other) const;
  /// The base names are equal.
  bool matchesBase(const QelClFilenameABase& other) const;
  /// ".txt" and "txt" both match the extension .txt; no extension matches only "".
  bool matchesExtension(const char* extension) const;
  /// The name (without directory) against a pattern of * and ?.
  bool matchesWildcardPattern(const char* pattern) const;

  /// The directory part, with or without its closing separator, into out. This and the
  /// other extract functions write a zero-terminated part into out, which has room for
  /// 261 characters.
  void extractPath(char* out, bool withSeparator) const;
  /// The base name (the name without its extension) into out.
  void extractBaseName(char* out) const;
  /// `\\server\share` of a network name, else empty.
  void extractServer(char* out) const;

  /// WINDOWS_STYLE, base name of at most 8 characters, extension of at most 3 behind
  /// its dot, directory components of at most 8 characters without dots.
  bool isStyleFAT_8_3() const;
  /// The file system has a file or directory of this name.
  bool isExistent() const;

protected:
  enum : std::uint32_t { MAX_LENGTH = 260 };

  QelClFilenameABase();
  /// Cut to 260 characters.
  explicit QelClFilenameABase(const char* text);
  /// The first length characters, or up to a zero byte. A length above 260 is refused:
  /// the name is empty.
  QelClFilenameABase(const void* text, unsigned int length);
  /// Joins the parts with the directory's separator; extension may be null.
  QelClFilenameABase(const char* directory, const char* name, const char* extension);
  /// A copy of other's text and parts.
  QelClFilenameABase(const QelClFilenameABase& other);
  /// Takes other's text and parts.
  QelClFilenameABase& operator=(const QelClFilenameABase& other);

  /// Takes text (cut to 260 characters) and finds its parts.
  void init(const char* text);
  /// Joins the parts with the directory's separator (extension may be null) and finds the parts; refused beyond 260 characters.
  void init(const char* directory, const char* name, const char* extension);
  /// Length, name and extension from the text in the buffer.
  void determineParts();
  /// The extension's position from the name.
  void determineExtension();
  /// The empty name, which also stands for a name refused for its length.
  void clear();

  char szBuffer[MAX_LENGTH + 1];  ///< The text.
  char* pszName;  ///< The name within the text.
  char* pszExtension;  ///< The extension within the text (its end when there is none).
  std::uint32_t ulLength;  ///< The characters of the text.
};

/// Where an extension, a base name with the old extension, a backup suffix or a
/// temporary name would take a name beyond 260 characters, the name is refused and
/// becomes empty. Parts that a name is joined from are cut to 260 characters.
class QEL_API QelClFilename : public QelClFilenameABase {
public:
  /// The name text, cut to 260 characters.
  explicit QelClFilename(const char* text);
  /// The first length characters of text, or up to a zero byte; refused above 260.
  QelClFilename(const void* text, unsigned int length);
  /// Joins directory, name and extension (which may be null) with the directory's separator.
  QelClFilename(const char* directory, const char* name, const char* extension);
  /// Joins the location, name and extension (which may be null).
  QelClFilename(const QelClLocation& directory, const char* name, const char* extension);
  // cppcheck-suppress noExplicitConstructor ; every file name converts, by design
  /// A copy of any file name.
  QelClFilename(const QelClFilenameABase& other);
  /// A copy of other.
  QelClFilename(const QelClFilename& other) = default;
  /// Takes other's text and parts.
  QelClFilename& operator=(const QelClFilename& other);
  /// Takes the temporary name's text and parts.
  QelClFilename& operator=(const QelClTmpFilename& other);

  /// Replaces base name and extension; the new name may bring its own extension.
  void setNewName(const char* name);
  /// Replaces the base name and keeps the extension.
  void setNewBaseName(const char* baseName);
  /// "" removes the extension; "doc" and ".doc" both give .doc.
  void setNewExtension(const char* extension);
  /// Replace the directory part (server included) and keep the name.
  void setNewPath(const char* directory);
  /// Replaces the directory part by the location and keeps the name.
  void setNewPath(const QelClLocation& directory);
  /// The name name in the location, in place of the whole text.
  void setNew(const QelClLocation& directory, const char* name);
  /// Drops server and directory: the name alone remains.
  void removePath();

private:
  void writeExtension(const char* withoutDot);
};

/// A name for a temporary file that no file system entry has yet (nothing is created):
/// up to 5 characters of the prefix, random characters up to 8, then "." and the last
/// three digits of the process id, units first. Without a directory the temporary
/// directory is used; without a prefix, "TMP".
class QEL_API QelClTmpFilename : public QelClFilenameABase {
public:
  QelClTmpFilename();
  /// A temporary name with prefix in the temporary directory.
  explicit QelClTmpFilename(const char* prefix);
  /// A temporary name with prefix in directory.
  QelClTmpFilename(const char* directory, const char* prefix);
  /// A temporary name with the prefix "TMP" in the location.
  explicit QelClTmpFilename(const QelClLocation& directory);
  /// A temporary name with prefix in the location.
  QelClTmpFilename(const QelClLocation& directory, const char* prefix);
  /// In the directory of model.
  QelClTmpFilename(const QelClFilename& model, const char* prefix);

private:
  void initPrefix(const char* prefix);
};

/// The backup name of a file name: ".BAK" appended; the extension then reads as the
/// old extension followed by .BAK.
class QEL_API QelClBakFilename : public QelClFilenameABase {
public:
  /// The backup name of source.
  explicit QelClBakFilename(const QelClFilenameABase& source);
};

/// The directory for temporary files: the value of TMP, else of TEMP, else (POSIX)
/// of TMPDIR, else `C:\` on Windows and /tmp on POSIX. Not to be freed.
QEL_C_API const char* qelGetTmpDirectory();

// ---- Locations -------------------------------------------------------------------
/// A directory path held as a value: up to 260 characters and a separator that the
/// location appends itself, so that a non-empty text always ends with the separator of
/// its style. With normalize, forward slashes become backslashes. A text longer than
/// 260 characters is refused: the location is empty.
class QEL_API QelClLocation : public QelClPathProperty {
public:
  /// The directory text path, with its separator appended.
  explicit QelClLocation(const char* path, bool normalize = false);
  /// Give normalize with a length: QelClLocation(text, length) is ambiguous on purpose.
  QelClLocation(const void* text, unsigned int length, bool normalize = false);
  /// The directory part of a file name (server prefix included).
  explicit QelClLocation(const QelClFilenameABase& name, bool normalize = false);
  /// A copy of other.
  QelClLocation(const QelClLocation& other);
  /// Takes other's text.
  QelClLocation& operator=(const QelClLocation& other);
  /// Takes the directory text path, not normalized.
  QelClLocation& operator=(const char* path);

  /// The directory text, ending with its separator unless empty.
  const char* getAsCString() const { return pszFullText; }
  /// The characters of the text.
  std::uint32_t getLength() const { return ulLength; }
  /// The file system has a directory of this name.
  bool isExistent() const;
  /// `C:\`, / and `\\server\share\` are roots.
  bool isRoot() const;

protected:
  enum : std::uint32_t { MAX_LENGTH = 260 };

  /// Analyses the text in the buffer and appends the separator it lacks.
  void init(bool normalize);

  char szBuffer[264];  ///< The text.
  std::uint32_t ulLength;  ///< The characters of the text.

private:
  friend class QelClDirectory;
  void assign(const char* text, std::size_t length, bool normalize);
};

// ---- Files and directories -------------------------------------------------------
/// The common base of directories and files. Times are seconds since 1970-01-01 00:00 UTC.
class QEL_API QelClFileABase {
public:
  virtual ~QelClFileABase();
  /// The entry's name text.
  virtual const char* getAsCString() const = 0;
  /// The entry's name text (getAsCString).
  virtual operator const char*() const = 0;
  /// The entry exists.
  virtual bool isExistent() const = 0;
  /// The entry exists and is a directory.
  virtual bool isDirectory() const = 0;
  /// The entry exists and is a file.
  virtual bool isFile() const = 0;
  /// Removes the entry; false on failure.
  virtual bool remove() = 0;
  /// When the entry was created (on POSIX: its status last changed); 0 when it can't be queried.
  virtual long getDateTimeOfCreation() const = 0;
  /// When the entry was last read; 0 when it can't be queried.
  virtual long getDateTimeOfLastAccess() const = 0;
  /// When the entry was last written; 0 when it can't be queried.
  virtual long getDateTimeOfLastModification() const = 0;

  /// Not absolute, or holding a "." or ".." component: the text needs expansion.
  static bool isRelativePath(const char* path);
  /// Makes path a clean absolute directory text ending with the separator: relative
  /// texts are taken from the current directory, "." components dropped, ".."
  /// components remove the one before. Going above the root, or a result longer than
  /// 260 characters, fails: path becomes empty and the result is false. path has room
  /// for 261 characters.
  static bool expandRelativePath(char* path);

protected:
  QelClFileABase() = default;
  /// Copies the base.
  QelClFileABase(const QelClFileABase&) = default;
  /// Copies the base.
  QelClFileABase& operator=(const QelClFileABase&) = default;

  /// The times of the entry path; 0 when the entry can't be queried.
  ///@{
  long getDateTimeOfCreation(const char* path) const;
  long getDateTimeOfLastAccess(const char* path) const;
  long getDateTimeOfLastModification(const char* path) const;
  ///@}
};

/// A directory of the file system: always absolute, written with the host's separator
/// (backslash on Windows, forward slash on POSIX; the other one is turned into it), and
/// ending with it. Failing operations fill the error record and return false; those that
/// succeed clear it, except attachSubDir.
class QEL_API QelClDirectory : public QelClFileABase {
public:
  /// The current working directory.
  QelClDirectory();
  /// A relative text is expanded against the current directory; a failed expansion
  /// leaves the text empty with DIRECTORY_EXPANSION_FAILED.
  explicit QelClDirectory(const QelClLocation& location);
  /// The directory text path, expanded as a location is.
  explicit QelClDirectory(const char* path);
  /// A copy of other's text and error record.
  QelClDirectory(const QelClDirectory& other);
  /// Takes other's text and error record.
  QelClDirectory& operator=(const QelClDirectory& other) = default;
  ~QelClDirectory() override;

  /// isRelativePath under the directory's name.
  static bool isRelativeDirectory(const char* path);
  /// expandRelativePath under the directory's name.
  static bool expandRelativeDirectory(char* path);

  /// Creates every missing level (DIRECTORY_COULD_NOT_CREATE); levels created before a
  /// failure stay. The numbers are accepted and not used.
  bool create();
  /// create(), the mode accepted and not used.
  bool create(unsigned long mode);
  /// create(), mode and attributes accepted and not used.
  bool create(unsigned long mode, unsigned long attributes);
  /// DIRECTORY_COULD_NOT_CHANGE.
  bool setAsCurrent();
  /// Removes the empty directory (DIRECTORY_COULD_NOT_REMOVE).
  bool remove() override;
  /// With recursive, first removes everything the directory holds, as far as it can;
  /// then as remove(). Symbolic links inside are removed, never followed.
  bool removeAll(bool recursive);

  /// Appends a sub-directory's text (without server prefix) and expands the result:
  /// `..\x\` attached to `C:\a\b\` gives `C:\a\x\`.
  void attachSubDir(const QelClLocation& subDirectory);
  /// `C:\a\b\` becomes `C:\a\`; a root fails with DIRECTORY_COULD_NOT_DETACH.
  bool detachLastSubDir();
  /// Stops at a root with DIRECTORY_COULD_NOT_DETACH, keeping the levels detached so far.
  bool detachSubDirs(unsigned int count);
  /// `C:\` has 0, `C:\a\b\` has 2.
  unsigned int getNumOfSubDirs() const;

  /// The directory's text as a location.
  const QelClLocation& getLocation() const { return clLocation; }
  /// The error record of the last operation.
  const _QelStError& getError() const { return stError; }
  /// The host's error code (errno, GetLastError) of the last failure; 0 when the record
  /// is clear or the failure was not the host's.
  std::uint32_t getHostError() const { return ulHostError; }

  const char* getAsCString() const override;
  operator const char*() const override;
  bool isExistent() const override;
  bool isDirectory() const override;
  bool isFile() const override;
  long getDateTimeOfCreation() const override;
  long getDateTimeOfLastAccess() const override;
  long getDateTimeOfLastModification() const override;

private:
  void expandRelativeDirectory();
  /// Takes a text with the host's separators and expanded where needed; false, and the
  /// text empty, when that fails.
  bool takeText(const char* text);
  /// Removes the entries of directory, sub-directories with their contents; stops at
  /// the first entry that can't be removed.
  static void removeTree(const QelClDirectory& directory);
  /// Fills the error record and the host error.
  void setError(std::uint32_t id, QelEnErrorClass errorClass, std::uint32_t hostError = 0);
  /// Clears the error record and the host error.
  void clearError();

  QelClLocation clLocation;
  _QelStError stError;  ///< The error record of the last operation.
  std::uint32_t ulHostError;  ///< The host's error code of the last failure.
};

// ---- Files -----------------------------------------------------------------------
/// A named file with the everyday operations. Copy, remove and rename report failure by
/// false and the error record, and clear the record when they succeed; the queries
/// report nothing (a file that can't be queried reads as 0). Nothing here throws.
class QEL_API QelClFile : public QelClFileABase {
public:
  /// A name without extension gets defaultType (".INI" and "INI" alike), unless null.
  QelClFile(const QelClFilenameABase& name, const char* defaultType);
  ~QelClFile() override;

  /// The file's name.
  const QelClFilename& getFilename() const { return clName; }
  /// The error record of the last copy, remove or rename.
  const _QelStError& getError() const { return stError; }
  /// The host's error code (errno, GetLastError) of the last failure; 0 when the record
  /// is clear or the failure was not the host's.
  std::uint32_t getHostError() const { return ulHostError; }

  const char* getAsCString() const override;
  operator const char*() const override;
  bool isExistent() const override;
  bool isDirectory() const override;
  bool isFile() const override;
  long getDateTimeOfCreation() const override;
  long getDateTimeOfLastAccess() const override;
  long getDateTimeOfLastModification() const override;

  /// A missing file is hidden and read-only. On POSIX hidden means the name starts
  /// with a dot.
  bool isHidden() const;
  /// The file may not be written (a missing file reads as read-only).
  bool isReadOnly() const;
  /// Makes the file read-only or writable; a file that can't be changed stays as it is.
  void setReadOnly(bool readOnly);
  /// The file's size in bytes; 0 when it can't be queried.
  unsigned long getFileSize() const;
  /// The extension without its dot: "gz" for a.tar.gz, "" for README.
  const char* getFileType() const;

  /// Copies into the directory under this file's name, replacing a file there. The copy
  /// is made writable unless keepAttributes. FILE_COULD_NOT_COPY_SELF when the target
  /// is this file (case ignored unless the name is UNIX_STYLE), else FILE_COULD_NOT_COPY.
  bool copyTo(const QelClLocation& directory, bool keepAttributes);
  /// Copies to the file name target, replacing a file there; as the directory form otherwise.
  bool copyTo(const QelClFilenameABase& target, bool keepAttributes);
  /// Removes the file even when it is read-only (FILE_COULD_NOT_REMOVE).
  bool remove() override;
  /// Takes the new name on success; an existing file of that name is never replaced
  /// (FILE_COULD_NOT_RENAME with IO_ALREADY_IN_USE).
  bool renameAs(const QelClFilenameABase& newName);

protected:
  /// name as it is, else its name in each directory of the variable's list (";" on
  /// Windows, ":" on POSIX) in turn, until one exists. name is left with the last
  /// directory tried.
  bool determineFileInEnvVarPath(QelClFilename& name, const char* variable) const;
  /// Fills the error record and the host error.
  void setError(std::uint32_t id, QelEnErrorClass errorClass, std::uint32_t hostError = 0);
  /// Clears the error record and the host error.
  void clearError();

  QelClFilename clName;  ///< The file's name.
  _QelStError stError;  ///< The error record of the last operation.
  std::uint32_t ulHostError;  ///< The host's error code of the last failure.
};

// ---- Replacing a file as a whole -------------------------------------------------
/// An update that leaves the file holding either its old contents or its new ones,
/// whatever happens in between: a crash, a kill, a full disk, a second writer.
/// lock() creates the lock file "<name>.lock" beside the file, exclusively, and holds
/// it: another update of the same file waits until this one ends, for at most the time
/// given, then fails (FILE_COULD_NOT_LOCK, class IO_ALREADY_IN_USE). A lock file whose
/// writer is gone (killed) is taken over. Take the lock before reading the file and
/// keep it until commit(), so that no other writer's change is lost in between.
/// write() adds to the new contents, which go into the lock file; commit() flushes them
/// to stable storage, gives them the file's permission bits, renames them over the file
/// (on POSIX a symbolic link is followed: the file it names is replaced) and flushes
/// the directory; the lock ends with it. A file that exists but may not be written is refused. On any
/// failure, and when the update ends without commit(), the lock file goes and the file
/// stays as it was; the error record (FILE_COULD_NOT_LOCK or FILE_COULD_NOT_WRITE, the
/// class from the host's error) and getHostError() say why.
class QEL_API QelClFileUpdate {
public:
  enum : unsigned long { DEFAULT_WAIT = 10000 };  ///< milliseconds

  /// An update of the file name; nothing is locked or written yet.
  explicit QelClFileUpdate(const QelClFilenameABase& name);
  /// Abandons an update that was not committed.
  ~QelClFileUpdate();
  QelClFileUpdate(const QelClFileUpdate&) = delete;
  QelClFileUpdate& operator=(const QelClFileUpdate&) = delete;

  /// Takes the lock file, waiting at most waitMilliseconds for another update to end; false with FILE_COULD_NOT_LOCK.
  bool lock(unsigned long waitMilliseconds = DEFAULT_WAIT);
  /// Whether the lock is held.
  bool isLocked() const { return pvState != nullptr; }
  /// Takes the lock first when it is not held. A failed write abandons the update.
  bool write(const void* data, std::size_t size);
  /// False without a held lock (FILE_COULD_NOT_WRITE, class LOGIC, unless a failure
  /// was recorded before): commit once per lock.
  bool commit();
  /// Removes the lock file and what was written; the file stays as it was.
  void abandon();

  /// The name of the file updated.
  const QelClFilename& getFilename() const { return clName; }
  /// The error record of the update.
  const _QelStError& getError() const { return stError; }
  /// The host's error code of the failure; 0 without one.
  std::uint32_t getHostError() const { return ulHostError; }

private:
  bool fail(std::uint32_t id, std::uint32_t hostError);

  QelClFilename clName;
  _QelStError stError;
  std::uint32_t ulHostError;
  void* pvState;  ///< the host's side of a held lock; null when none is held
};

// ---- Directory walking -----------------------------------------------------------
/// The platform-bound walker over the entries of one directory. Its entry text holds the
/// directory's text followed by the current entry's name, within 263 characters: a
/// directory text that leaves no room for the search pattern "*.*" can't be walked
/// (DIRWALK_COULD_NOT_INIT), and an entry whose name doesn't fit behind it ends the
/// walk as a failure (DIRWALK_COULD_NOT_INIT on the first entry, else
/// DIRWALK_NO_CONTINUATION). Failures are written to the caller's error record; the
/// host's code of the last one stays with the walker.
class QEL_API QelClOSSDirectoryWalker {
public:
  /// Starts the walk of directory and stands on its first entry; failures go to error.
  QelClOSSDirectoryWalker(const QelClLocation& directory, _QelStError& error);
  ~QelClOSSDirectoryWalker();
  QelClOSSDirectoryWalker(const QelClOSSDirectoryWalker&) = delete;
  QelClOSSDirectoryWalker& operator=(const QelClOSSDirectoryWalker&) = delete;

  /// Whether the walker stands on an entry.
  bool isValid() const { return bValid; }
  /// False at the end of the entries (the error record untouched) or on a failure.
  bool setToNext();

  /// The current entry is a directory.
  bool isDirectory() const;
  /// A directory other than "." and "..".
  bool isSubDirectory() const;
  /// A directory whose name begins with "..".
  bool isParentDirectory() const;
  /// The directory ".".
  bool isCurrentDirectory() const;
  /// The current entry is hidden (on POSIX: its name starts with a dot).
  bool isHidden() const;
  /// The current entry may not be written.
  bool isReadOnly() const;
  /// A symbolic link (on Windows any reparse point); on POSIX never a directory.
  bool isLink() const;

  /// The directory's text followed by the current entry's name.
  const char* getNameWithPath() const { return szEntryText; }
  /// The current entry's name.
  const char* getNameWithoutPath() const { return pszName; }
  /// The host's error code (errno, GetLastError) of the failure written to the caller's
  /// record; 0 before any, and for a name that doesn't fit.
  std::uint32_t getHostError() const { return ulHostError; }

private:
  bool hasAttribute(std::uint32_t attribute) const;
  std::size_t getNameCapacity() const;
  void setError(std::uint32_t id, std::uint32_t hostError);

  char szEntryText[264];
  char* pszName;
  bool bValid;
  _QelStError* pstError;
  void* pvSearch;
  std::uint32_t ulAttributes;
  std::uint32_t ulHostError;
};

/// Walks the entries of one directory (not recursively), "." and ".." included where
/// the file system has them, in the order the host delivers them. A walk that can't
/// start, or whose walker can't be allocated, is invalid from the beginning with
/// DIRWALK_COULD_NOT_INIT (class OUT_OF_MEMORY for the allocation).
class QEL_API QelClDirectoryWalk {
public:
  /// Starts the walk of the location and stands on its first entry.
  explicit QelClDirectoryWalk(const QelClLocation& directory);
  /// Starts the walk of the directory and stands on its first entry.
  explicit QelClDirectoryWalk(const QelClDirectory& directory);
  ~QelClDirectoryWalk();
  QelClDirectoryWalk(const QelClDirectoryWalk&) = delete;
  QelClDirectoryWalk& operator=(const QelClDirectoryWalk&) = delete;

  /// Whether the walk stands on an entry.
  bool isValid() const;
  /// Moves to the next entry; false at the end or on a failure (see getError()).
  bool setToNext();

  /// The current entry is a directory.
  bool isDirectory() const;
  /// The current entry is a directory other than "." and "..".
  bool isSubDirectory() const;
  /// The current entry is a directory whose name begins with "..".
  bool isParentDirectory() const;
  /// The current entry is the directory ".".
  bool isCurrentDirectory() const;
  /// The current entry is hidden (on POSIX: its name starts with a dot).
  bool isHidden() const;
  /// The current entry may not be written.
  bool isReadOnly() const;
  /// The current entry is a symbolic link (on Windows any reparse point).
  bool isLink() const;
  /// The entry's name against a pattern of * and ?, case ignored.
  bool matchesWildcardPattern(const char* pattern) const;

  /// The current entry's name behind the directory's text; it changes with every step.
  const char* getNameWithPath() const;
  /// The current entry's name; it changes with every step.
  const char* getNameWithoutPath() const;
  /// The error record of the walk.
  const _QelStError& getError() const { return stError; }
  /// The host's error code (errno, GetLastError) of the failure in the error record; 0
  /// when there is none or it was not the host's (a walker that could not be allocated).
  std::uint32_t getHostError() const;

private:
  void start(const QelClLocation& directory);

  QelClOSSDirectoryWalker* pclWalker;
  _QelStError stError;
};

// ---- Executables and loadable modules --------------------------------------------
/// A file that names a program. On Windows a name without extension gets .EXE; POSIX
/// programs have no extension. A bare name is searched where the host looks for
/// programs: on Windows the program's directory, the current directory, the system
/// directories, then PATH; on POSIX the program's directory, the current directory,
/// then PATH, and only files the caller may execute count. When found, the name
/// becomes the full name the search returned.
class QEL_API QelClExeFile : public QelClFile {
public:
  /// A name with a directory part stays as it is, unless it doesn't exist and
  /// QEL_NEWPROCESS_USEPATH is enabled: then its bare name is searched, and kept
  /// without the directory part when the search fails.
  explicit QelClExeFile(const QelClFilename& name);

  /// The name was resolved by the search.
  virtual bool isFoundInSystemPath() const;

  /// The variable that lists where programs are searched: "PATH".
  static const char* getSystemPathEnvironmentVariable();
  /// "EXE" on Windows, "" on POSIX.
  static const char* getDefaultFileType();

protected:
  /// For modules: a name with a directory part stays as it is without any search, a
  /// bare name is searched. The last two arguments are accepted and not used.
  QelClExeFile(const QelClFilename& name, const char* defaultType, bool, const char*);
  /// Searches the current name again; the arguments are not used.
  bool determinePath(bool, const char*);

  bool bFoundInSystemPath;  ///< The name was resolved by the search.

private:
  bool search();
};

/// A loadable module, loaded from construction to destruction (".DLL" by default on
/// Windows, ".so" on POSIX). A module that can't be loaded leaves the platform's error
/// code (Windows error, POSIX errno) as the id of the error record, class
/// RESOURCE_MISSING, and as the host error (getHostError()).
class QEL_API QelClDllFile : public QelClExeFile {
public:
  /// Finds the module name as a module is found and loads it.
  explicit QelClDllFile(const QelClFilename& name);
  QelClDllFile(const QelClDllFile&) = delete;
  QelClDllFile& operator=(const QelClDllFile&) = delete;
  ~QelClDllFile() override;

  /// Whether the module is loaded.
  bool isLoaded() const { return pvModule != nullptr; }

  /// The variable that lists where modules are searched: "PATH".
  static const char* getSystemPathEnvironmentVariable();
  /// The modules' default extension: ".so" on POSIX, ".DLL" on Windows.
  static const char* getDefaultFileType();

protected:
  void* pvModule;  ///< The host's handle of the loaded module; null when none is loaded.

private:
  void load();
};

/// The address of a procedure a module exports; cast it to the procedure's own type.
typedef int (*QelPfuProcedure)();

/// A loaded module whose exported procedures can be looked up by name.
class QEL_API QelClDllProcLoaderFile : public QelClDllFile {
public:
  /// Finds and loads the module name (see QelClDllFile).
  explicit QelClDllProcLoaderFile(const QelClFilename& name);
  /// Null when no module is loaded or it has no procedure of that name.
  QelPfuProcedure getProcedure(const char* name) const;
};

/// The same for callers that keep an opaque handle. Open returns null when the module
/// can't be loaded; each handle it returns is closed once. Close ignores null.
QEL_C_API void* qelDllProcLoaderOpen(const char* name);
/// The procedure name of the module of handle; null when it has none or handle is null.
QEL_C_API QelPfuProcedure qelDllProcLoaderGetProcedure(void* handle, const char* name);
/// Unloads the module of handle; null is ignored.
QEL_C_API void qelDllProcLoaderClose(void* handle);

// ---- System queries ----------------------------------------------------------------
/// 512 for the Windows NT family, 513 for Windows 95, 514 for Win32s; 0 for anything
/// else, POSIX hosts included.
QEL_C_API std::uint32_t qelGetOperatingSystemId();

/// Whether a stream is open in binary, or text, mode: streams of the standard library
/// are always binary.
///@{
QEL_API bool qelFileIsOpenedInBinaryMode(const std::istream& stream);
QEL_API bool qelFileIsOpenedInBinaryMode(const std::ostream& stream);
QEL_API bool qelFileIsOpenedInTextMode(const std::istream& stream);
QEL_API bool qelFileIsOpenedInTextMode(const std::ostream& stream);
///@}
/// The mode of a runtime file descriptor. On Windows the probe switches the descriptor
/// to binary and back to text unless it was binary; on POSIX every open descriptor is
/// binary. An invalid descriptor is neither.
QEL_C_API bool qelFileIsOpenedInBinaryMode(int fd);
/// Whether the runtime file descriptor is open in text mode (see qelFileIsOpenedInBinaryMode).
QEL_C_API bool qelFileIsOpenedInTextMode(int fd);

// ---- Environment variables -------------------------------------------------------
/// A named variable of the process environment, read afresh at every query.
/// Names are at most 40 characters; a longer name is refused: the object then names
/// no variable, its queries report the variable unset and its changes fail.
class QEL_API QelClEnvironmentVariableABase {
public:
  /// The variable is set.
  bool hasValue() const;
  /// Set, and its value is ON, YES, TRUE or 1 in any case.
  bool hasValueEnabled() const;
  /// The runtime's text, valid until the environment changes; null when unset.
  const char* getValue() const;

protected:
  /// Names the variable name (refused beyond 40 characters).
  explicit QelClEnvironmentVariableABase(const char* name);
  /// Names the variable name in place of the previous one (refused beyond 40 characters).
  void initName(const char* name);

  char szName[41];  ///< The variable's name; empty when refused.
  char szDefinition[303];  ///< The definition "name=value" handed to the runtime.
};

/// A variable that is only read; its name can change.
class QEL_API QelClEnvironmentVariableQueryOnly : public QelClEnvironmentVariableABase {
public:
  QelClEnvironmentVariableQueryOnly();
  /// Names the variable other names.
  explicit QelClEnvironmentVariableQueryOnly(const QelClEnvironmentVariableABase& other);
  /// Names the variable name from now on (refused beyond 40 characters).
  void setNewName(const char* name);
};

/// Sets, extends and resets a variable of the running process. A definition (name,
/// "=" and value) longer than 302 characters is refused and changes nothing.
class QEL_API QelClEnvironmentVariable : public QelClEnvironmentVariableABase {
public:
  /// Names the variable name and sets it to value (setNewValue).
  QelClEnvironmentVariable(const char* name, const char* value);
  /// An empty value removes the variable. A null value hands over the name alone,
  /// which changes nothing and returns false.
  bool setNewValue(const char* value);
  /// Puts value directly behind the current value (or alone when the variable is unset).
  bool appendValue(const char* value);
  /// Hands over the name alone: changes nothing.
  void resetValue();

private:
  bool putDefinition(const char* value, const char* appended);
};

#endif
