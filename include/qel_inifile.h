/// \file
/// vrnqel43: INI files. A file of [sections] and name = value options is read into a
/// model of two singly linked lists in file order, looked up and changed there, and
/// written back in one fixed layout by QelClIniFileSave.
#ifndef VRNQEL43_QEL_INIFILE_H
#define VRNQEL43_QEL_INIFILE_H

#include <cstddef>
#include <fstream>
#include <istream>

#include "qel_base.h"
#include "qel_cursor.h"
#include "qel_errors.h"
#include "qel_filesystem.h"

class QelClIniFileSectionCursor;
class QelClIniFileOptionCursor;

/// The character an escape stands for; cursor stands behind the backslash and is moved
/// behind the escape: `\a \b \f \n \r \t \v`, `\x` and hexadecimal digits, a decimal digit
/// starting an octal number, any other character for itself.
QEL_API char qelIniFileGetEscCharacter(const char*& cursor);
/// cursor stands on an opening single quote: the quoted character (or escape), with
/// cursor moved behind the closing quote. At the end of the text the cursor stays on it.
QEL_API char qelIniFileGetQuotedCharacter(const char*& cursor);

/// Where a file's nodes come from: chunks of the memory manager's blocks, carved one
/// node after the other, the chunks doubling from 32 KB up to 8 MB, so that a large
/// file costs few allocations and its model lies densely in memory. A chunk is released when its
/// last node is destroyed and the store carves no more from it. A file and its nodes
/// are used by one thread at a time, as the model itself is.
class QelClIniFileNodeStore {
public:
  QelClIniFileNodeStore() = default;
  ~QelClIniFileNodeStore();
  QelClIniFileNodeStore(const QelClIniFileNodeStore&) = delete;
  QelClIniFileNodeStore& operator=(const QelClIniFileNodeStore&) = delete;

  /// size bytes behind a node header, aligned for any type.
  void* carve(std::size_t size);

private:
  friend class QelClIniFileNode;
  struct Chunk;
  enum : std::size_t { FIRST_CHUNK_SIZE = 32 * 1024, LARGEST_CHUNK_SIZE = 8 * 1024 * 1024 };

  /// One hold less on the chunk; the last one releases it.
  static void release(Chunk* chunk);

  Chunk* pclChunk = nullptr;  ///< the chunk carved from, held by the store
  char* pcFree = nullptr;
  char* pcEnd = nullptr;
  std::size_t ulNextChunkSize = FIRST_CHUNK_SIZE;
};

/// Nodes of the model are allocated with the library's memory manager, either each in a
/// block of its own (plain new) or from a file's node store (new (store)); every node is
/// preceded by a header that tells which, so that delete releases either kind. An
/// allocation that fails throws the memory manager's fatal exception, and the model
/// stays as it was.
class QEL_API QelClIniFileNode {
public:
  /// Allocation of a node in a block of its own, or from store; delete releases either kind.
  ///@{
  static void* operator new(std::size_t size);
  static void* operator new(std::size_t size, QelClIniFileNodeStore& store);
  static void operator delete(void* node);
  static void operator delete(void* node, QelClIniFileNodeStore& store);
  ///@}
};

/// An option: name, value and comment one after the other in one text of 1028
/// characters. A null value marks an option line that did not parse; an empty name a
/// deleted option.
class QEL_API QelClIniFileOption : public QelClIniFileNode {
public:
  /// A value and its terminator end within the first 1024 characters of the text. A
  /// name read from a line keeps at most 1022 characters, so that its value has a place
  /// there; one given to the constructor keeps up to 1024, and its value is empty then.
  enum : std::size_t { TEXT_SIZE = 1028, VALUE_END = 1024, MAX_NAME = VALUE_END - 2, MAX_GIVEN_NAME = VALUE_END };

  /// Parses an option line: the name is every character before the first '=' that is
  /// not whitespace, the value what follows it (processValue).
  explicit QelClIniFileOption(const char* line);
  /// The name (up to 1024 characters) and the value as it is, unparsed, cut to what is
  /// left of the first 1024 characters, with an empty comment.
  QelClIniFileOption(const char* name, const char* value);
  /// Destroys the options after this one, too.
  ~QelClIniFileOption();
  QelClIniFileOption(const QelClIniFileOption&) = delete;
  QelClIniFileOption& operator=(const QelClIniFileOption&) = delete;

  /// Links next behind this option.
  void appendOption(QelClIniFileOption* next) { pclNext = next; }
  /// The following option of the section, or null.
  QelClIniFileOption* getNext() const { return pclNext; }
  /// The option's name; empty when deleted.
  const char* getName() const { return szText; }
  /// The option's value; null for a line that did not parse.
  const char* getValue() const { return pszValue; }
  /// The option's comment; empty when it has none.
  const char* getComment() const { return pszComment; }

  /// Parses source as a value into destination (inside this option's text) and the
  /// comment behind it: quoted parts with escapes, quoted characters, $(NAME) from the
  /// environment, a comment after an unquoted ';'. Cut to the room of the text.
  void processValue(const char* source, char* destination);
  /// A continuation line: its value directly behind the current value, its comment in
  /// place of the current one.
  void appendOptionValue(const char* line);
  /// The new value over the old one, cut to end within the first 1024 characters; a
  /// comment the new value reaches is cleared.
  void setNewValue(const char* value);
  /// Deleted: name, value and comment the empty text at the start of the text.
  void deleteContents();

private:
  QelClIniFileOption* pclNext;
  char szText[TEXT_SIZE];
  char* pszValue;
  char* pszComment;
};

/// A section: its name (at most 80 characters; empty when deleted) and its options.
class QEL_API QelClIniFileSection : public QelClIniFileNode {
public:
  enum : std::size_t { NAME_LENGTH = 80 };

  /// A section named by the characters from begin to end, at most NAME_LENGTH of them.
  QelClIniFileSection(const char* begin, const char* end);
  /// A section named name, cut to NAME_LENGTH characters.
  explicit QelClIniFileSection(const char* name);
  /// Destroys the sections after this one and the options, too.
  ~QelClIniFileSection();
  QelClIniFileSection(const QelClIniFileSection&) = delete;
  QelClIniFileSection& operator=(const QelClIniFileSection&) = delete;

  /// Makes option the first of the section's options.
  void setFirstOption(QelClIniFileOption* option) { pclFirstOption = option; }
  /// Links next behind this section.
  void appendSection(QelClIniFileSection* next) { pclNext = next; }
  /// The name emptied and the options destroyed.
  void deleteContents();
  /// The following section of the file, or null.
  QelClIniFileSection* getNext() const { return pclNext; }
  /// The section's first option, or null.
  QelClIniFileOption* getFirstOption() const { return pclFirstOption; }
  /// The section's name; empty when deleted.
  const char* getName() const { return szName; }

private:
  QelClIniFileSection* pclNext;
  QelClIniFileOption* pclFirstOption;
  char szName[NAME_LENGTH + 1];
};

/// Receives a bad line's error record and 1-based line with the data given to setErrorHandler; false stops the reading.
typedef bool (*QelPfuIniFileErrorHandler)(const _QelStError& error, unsigned int line, void* data);

/// An INI file: a QelClFile (default extension ".INI") with the model of its contents.
/// Names of sections and options are compared without regard to case; lookups take the
/// first match in file order. Bad lines go to the error handler (INIFILE_INVAL_SECTION,
/// INIFILE_INVAL_OPTION, INIFILE_INVAL_WHITESPACE with their 1-based line), whose false
/// stops the reading.
class QEL_API QelClIniFile : public QelClFile {
public:
  enum : std::size_t { LINE_LENGTH = 1023 };

  /// How the last load went. READ_WHOLE: every line was read and either taken into the
  /// model, blank or a comment. Otherwise the first line that was not, and why: the
  /// file could not be opened or read (the error record, FILE_COULD_NOT_READ, and
  /// getHostError() tell why), a line over 1023 characters (reading ended there), a NUL
  /// byte (binary content: the line's rest after it is lost), a line reported to the
  /// error handler, or text before the first section, which the model ignores.
  enum QelEnReadResult {
    READ_WHOLE = 0,
    READ_NOT_OPENED = 1,
    READ_LINE_TOO_LONG = 2,
    READ_BINARY_CONTENT = 3,
    READ_BAD_LINE = 4,
    READ_OUTSIDE_SECTION = 5
  };

  /// The INI file name, with the default extension ".INI"; nothing is read yet.
  explicit QelClIniFile(const QelClFilenameABase& name);
  ~QelClIniFile() override;
  QelClIniFile(const QelClIniFile&) = delete;
  QelClIniFile& operator=(const QelClIniFile&) = delete;

  /// Adds what is read to the model. False when the file cannot be opened or the
  /// handler stopped the reading. The file is read as it is on every host: a UTF-8 byte
  /// order mark at its start is skipped, and CR LF and a lone CR end a line as LF does.
  bool load(bool allowContinuation);
  /// Adds what the text holds to the model, read as load() reads the file; false when the handler stopped the reading.
  bool loadFromCString(const char* text, bool allowContinuation);
  /// Installs handler, called with data for each bad line; null: bad lines are skipped.
  void setErrorHandler(QelPfuIniFileErrorHandler handler, void* data);

  /// Whether the last load read every line and understood it; see QelEnReadResult.
  bool isReadWhole() const { return enReadResult == READ_WHOLE; }
  /// How the last load went.
  QelEnReadResult getReadResult() const { return enReadResult; }
  /// The 1-based line of the result; 0 for READ_WHOLE and READ_NOT_OPENED.
  std::uint32_t getReadResultLine() const { return ulReadResultLine; }

  /// Selects the current section; none when the name is not found.
  bool getSection(const char* name) const;
  /// Lookups in the current section; the outputs are unchanged when not found.
  /// Numbers are read as decimal text (strtol, strtoul), a character as the first one of
  /// the value or the quoted one after an opening single quote, a flag as true for one of
  /// getStringAllTrueTokens() in any case; comment receives the option's comment.
  ///@{
  bool getOption(const char* name, const char*& value) const;
  bool getOption(const char* name, const char*& value, const char*& comment) const;
  bool getOption(const char* name, long& value) const;
  bool getOption(const char* name, long& value, const char*& comment) const;
  bool getOption(const char* name, unsigned long& value) const;
  bool getOption(const char* name, unsigned long& value, const char*& comment) const;
  bool getOption(const char* name, unsigned int& value) const;
  bool getOption(const char* name, unsigned int& value, const char*& comment) const;
  bool getOption(const char* name, int& value) const;
  bool getOption(const char* name, int& value, const char*& comment) const;
  bool getOption(const char* name, char& value) const;
  bool getOption(const char* name, char& value, const char*& comment) const;
  bool getOptionBool(const char* name, bool& value) const;
  bool getOptionBool(const char* name, bool& value, const char*& comment) const;
  ///@}

  /// A new section at the end, made current (a section of the same name may exist).
  bool addSection(const char* name);
  /// False when the section is not found or already has an option of that name.
  bool addOption(const char* section, const char* name, const char* value);
  /// The same in the section the cursor stands on.
  bool addOption(const QelClIniFileSectionCursor& section, const char* name, const char* value);
  /// Deleted entries stay in the lists with empty names.
  bool deleteSection(const char* name);
  /// Deletes the section the cursor stands on; false when it is invalid.
  bool deleteSection(const QelClIniFileSectionCursor& section);
  /// Deletes an option, named in a section, or the one a cursor stands on; false when not found.
  ///@{
  bool deleteOption(const char* section, const char* name);
  bool deleteOption(const QelClIniFileSectionCursor& section, const char* name);
  bool deleteOption(const QelClIniFileOptionCursor& option);
  ///@}
  /// Gives an option, named in a section or the one a cursor stands on, a new value (QelClIniFileOption::setNewValue); false when not found.
  ///@{
  bool setNewValue(const char* section, const char* name, const char* value);
  bool setNewValue(const QelClIniFileSectionCursor& section, const char* name, const char* value);
  bool setNewValue(const QelClIniFileOptionCursor& option, const char* value);
  ///@}

  /// The values that read as true, between bars: "|ON|TRUE|YES|1|OK|".
  const char* getStringAllTrueTokens() const { return "|ON|TRUE|YES|1|OK|"; }
  /// The value written for true: "ON".
  const char* getStringTrue() const { return "ON"; }
  /// The value written for false: "OFF".
  const char* getStringFalse() const { return "OFF"; }

  /// The first section of the model, or null.
  QelClIniFileSection* getFirstSection() const { return pclFirstSection; }
  /// The section getSection() selected, or null.
  const QelClIniFileSection* getCurrentSection() const { return pclCurrentSection; }

protected:
  /// Appends section to the model and makes it current.
  void addSection(QelClIniFileSection* section);
  /// Appends option to the current section.
  void addOption(QelClIniFileOption* option);
  /// Reads the next line into buffer (LINE_LENGTH characters and a terminator); false at the end of in.
  bool nextLine(std::istream& in, char* buffer);
  /// Reads on while buffer holds a blank or comment line; false at the end of in.
  bool skipComment(std::istream& in, char* buffer);
  /// Reports the current line as bad with errorId to the handler; returns whether reading goes on.
  bool error(unsigned long errorId);
  /// Adds what in holds to the model; false when the handler stopped the reading.
  bool load(std::istream& in, bool allowContinuation);

private:
  /// Keeps the first line that was not read whole.
  void noteReadResult(QelEnReadResult result);

  const QelClIniFileOption* findOption(const char* name) const;
  QelClIniFileOption* findOption(const char* section, const char* name) const;

  QelClIniFileSection* pclFirstSection;
  QelClIniFileSection* pclLastSection;
  std::uint32_t ulLineNumber;
  mutable QelClIniFileSection* pclCurrentSection;
  QelPfuIniFileErrorHandler pfuErrorHandler;
  void* pvHandlerData;
  /// The last option appended and its section, so that appending needs no walk.
  QelClIniFileSection* pclTailSection;
  QelClIniFileOption* pclTailOption;
  /// Where the nodes this file makes come from.
  QelClIniFileNodeStore clNodes;
  QelEnReadResult enReadResult;
  std::uint32_t ulReadResultLine;
};

/// Walks the sections of a file in order, deleted ones (empty names) included.
class QEL_API QelClIniFileSectionCursor : public QelClUniDirCursorABase {
public:
  /// Stands on the first section of file (if there is one).
  explicit QelClIniFileSectionCursor(const QelClIniFile& file);
  ~QelClIniFileSectionCursor() override;

  bool isValid() const override { return pclCurrent != nullptr; }
  /// Moves to the first section; false when there is none.
  bool setToFirst() override;
  /// Moves to the next section; false after the last.
  bool setToNext() override;
  /// Stays when it stands on a section of that name (case ignored), else the first.
  virtual bool setTo(const char* name);
  /// The name of the section the cursor stands on; the cursor must be valid.
  const char* getSection() const;
  /// Whether the cursor stands on a section of that name (case ignored).
  bool matches(const char* name) const;

private:
  friend class QelClIniFile;
  friend class QelClIniFileOptionCursor;

  const QelClIniFile* pclFile;
  QelClIniFileSection* pclFirst;
  QelClIniFileSection* pclCurrent;
};

/// Walks the options of one section in order, deleted ones included. Made over a file
/// without a current section, or from an invalid section cursor, it is never valid.
class QEL_API QelClIniFileOptionCursor : public QelClUniDirCursorABase {
public:
  /// Stands on the first option of the file's current section (if there is one).
  explicit QelClIniFileOptionCursor(const QelClIniFile& file);
  /// Stands on the first option of the section the cursor stands on (if there is one).
  explicit QelClIniFileOptionCursor(const QelClIniFileSectionCursor& sections);
  ~QelClIniFileOptionCursor() override;

  bool isValid() const override { return pclCurrent != nullptr; }
  /// Moves to the first option; false when there is none.
  bool setToFirst() override;
  /// Moves to the next option; false after the last.
  bool setToNext() override;
  /// Stays when it stands on an option of that name (case ignored), else the first.
  virtual bool setTo(const char* name);
  /// Whether the cursor stands on an option of that name (case ignored).
  bool matches(const char* name) const;
  /// The name of the option the cursor stands on.
  const char* getOption() const;
  /// The value of the option the cursor stands on.
  const char* getValue() const;
  /// The comment of the option the cursor stands on.
  const char* getComment() const;
  /// Each stores the converted value and returns the value text.
  ///@{
  const char* getValue(int& value) const;
  const char* getValue(unsigned int& value) const;
  const char* getValue(long& value) const;
  const char* getValue(unsigned long& value) const;
  const char* getValue(char& value) const;
  const char* getValueBool(bool& value) const;
  ///@}

private:
  friend class QelClIniFile;

  QelClIniFileOptionCursor(const QelClIniFile& file, const QelClIniFileSection* section);

  const QelClIniFile* pclFile;
  const QelClIniFileSection* pclSection;
  QelClIniFileOption* pclFirst;
  QelClIniFileOption* pclCurrent;
};

/// An INI file that writes its model back: a line feed and "[name]" for each section,
/// "name<TAB>= value" for each option, "<TAB>; comment" behind when it has one. Values
/// with ';' or control characters are written in double quotes with escapes. Deleted
/// entries and empty values are left out. The file is emptied when first opened and
/// stays open: a second save() writes the model again behind the first.
///
/// Beside save(), which writes the file in place, saveAtomic() replaces the file in one
/// step (QelClFileUpdate): the file holds the old or the new model, whatever happens.
/// A writer that holds the lock from before load() to saveAtomic() loses no change that
/// another writer made meanwhile: the other waits.
class QEL_API QelClIniFileSave : public QelClIniFile {
public:
  /// The INI file name, with the default extension ".INI"; nothing is read or written yet.
  explicit QelClIniFileSave(const QelClFilenameABase& name);
  ~QelClIniFileSave() override;

  /// Writes the model into the object's file, opening and emptying it the first time; returns whether the stream is good.
  bool save();
  /// Writes the model into stream; returns whether the stream is good.
  bool save(std::ofstream& stream);

  /// Takes the file's lock file; false, with the error record (FILE_COULD_NOT_LOCK) and
  /// getHostError(), when another writer keeps it longer than waitMilliseconds.
  bool lock(unsigned long waitMilliseconds = QelClFileUpdate::DEFAULT_WAIT);
  /// Lets the lock go without saving.
  void unlock() { clUpdate.abandon(); }
  /// Whether the lock taken by lock() is held.
  bool isLocked() const { return clUpdate.isLocked(); }
  /// Writes the model in save()'s layout into the lock file (taking the lock first when
  /// it is not held), flushes it to stable storage and renames it over the file, which
  /// keeps its permission bits; the lock ends with it. On failure the file is untouched
  /// and the error record (FILE_COULD_NOT_LOCK or FILE_COULD_NOT_WRITE, the class from
  /// the host's error) and getHostError() say why. Does not touch save()'s own output.
  bool saveAtomic();

protected:
  /// The pieces of the layout, for writers of their own: the forms with a value open the
  /// object's file into stream when nothing was opened yet, and return whether stream
  /// is good afterwards.
  bool saveSection(std::ofstream& stream, const char* name, const char* comment);
  /// Writes an option line: name, the value (strings quoted where save() quotes them, flags as getStringTrue() or getStringFalse()) and the comment; nothing for an empty string value.
  ///@{
  bool saveOption(std::ofstream& stream, const char* name, const char* value, const char* comment);
  bool saveOption(std::ofstream& stream, const char* name, int value, const char* comment);
  bool saveOption(std::ofstream& stream, const char* name, unsigned int value, const char* comment);
  bool saveOption(std::ofstream& stream, const char* name, long value, const char* comment);
  bool saveOption(std::ofstream& stream, const char* name, unsigned long value, const char* comment);
  bool saveOption(std::ofstream& stream, const char* name, char value, const char* comment);
  bool saveOptionBool(std::ofstream& stream, const char* name, bool value, const char* comment);
  ///@}
  /// Writes "name<TAB>= ".
  void saveOption(std::ofstream& stream, const char* name);
  /// Writes "<TAB>; comment" when there is a comment, then the line end.
  void saveComment(std::ofstream& stream, const char* comment) const;
  /// Writes c, or its escape for a control character or a backslash.
  void saveChar(std::ofstream& stream, char c) const;

private:
  void open(std::ofstream& stream);
  template <typename T>
  bool saveNumber(std::ofstream& stream, const char* name, T value, const char* comment);

  std::ofstream clOutput;
  bool bOpened;
  QelClFileUpdate clUpdate;
};

// ---- Editing an INI file's text in place ------------------------------------------
/// QelClIniFileText holds the bytes of an INI file and changes them line by line, so that
/// everything a change does not touch stays byte for byte: comment and blank lines,
/// indentation, the spelling of names, end-of-line comments, a UTF-8 byte order mark
/// and every line end (LF, CR LF or a lone CR, as each line has it).
///
/// Its reading follows the model's (QelClIniFile), widened to what real files hold:
/// - a line whose first character is '[' is a section header; its name is the text up to
///   the first ']' (at most 80 characters count), and a header without ']' is not
///   understood;
/// - a line whose first non-blank character is ';' or '#' is a comment;
/// - a line with '=' is an option: its name is the line's non-blank characters before the
///   first '=', its value is parsed as QelClIniFileOption parses it;
/// - an indented line continues the option before it when that option's own line was not
///   indented; otherwise (no option yet in the section, or after an indented option) it
///   is an indented option of its own, as git's configuration writes them (a tab, then "key = v");
/// - option lines before the first header belong to no section: they are kept, as the
///   model ignores them, and never found; any other such line is not understood.
/// Names compare without regard to case; lookups take the first section of a name and,
/// in it, the first option of a name, as the model does. A line of more than 1023
/// characters (the model's line) or with a NUL byte is not understood.
///
/// Changes are refused while any line is not understood. The text lives in one block of
/// the memory manager; a failed allocation throws its QelClExceptionFatal and leaves the
/// text as it was. One thread at a time uses an object.
class QEL_API QelClIniFileText {
public:
  enum : std::size_t {
    LINE_LENGTH = QelClIniFile::LINE_LENGTH,               ///< characters of a line, without its end
    SECTION_NAME_LENGTH = QelClIniFileSection::NAME_LENGTH  ///< characters of a section name
  };

  /// Why a line was not understood.
  enum class QelEnLineFault {
    NONE,                ///< every line was understood
    NUL_BYTE,            ///< the line holds a NUL byte: binary content
    LINE_TOO_LONG,       ///< more than LINE_LENGTH characters
    NO_CLOSING_BRACKET,  ///< a '[' line without ']'
    NOT_AN_OPTION,       ///< in a section: neither comment, option nor continuation
    OUTSIDE_SECTION      ///< before the first header: neither comment nor option
  };

  /// What a change did.
  enum class QelEnChange {
    CHANGED,         ///< the text was changed
    UNCHANGED,       ///< the option already had that value: nothing to write
    NOT_FOUND,       ///< no such section or option
    NOT_UNDERSTOOD,  ///< refused: a line of the text was not understood
    INVALID_NAME,    ///< refused: a name that no line could carry (isValidSectionName, ...)
    TOO_LONG         ///< refused: beyond the model's limits (fitsOption, LINE_LENGTH)
  };

  QelClIniFileText();
  /// A copy of the size bytes at data.
  QelClIniFileText(const void* data, std::size_t size);
  ~QelClIniFileText();
  QelClIniFileText(const QelClIniFileText&) = delete;
  QelClIniFileText& operator=(const QelClIniFileText&) = delete;

  /// The text becomes a copy of size bytes at data.
  void assign(const void* data, std::size_t size);
  /// size bytes at data are added at the end, as when a file is read piece by piece.
  void append(const void* data, std::size_t size);
  /// The bytes as they are now; not terminated, valid until the next change.
  const char* getText() const { return pcText != nullptr ? pcText : ""; }
  /// The number of bytes.
  std::size_t getSize() const { return ulSize; }

  /// Whether every line was understood; if not, the first line that was not (1-based,
  /// the byte order mark not counted as a line) and why.
  bool isUnderstood() const { return getFault() == QelEnLineFault::NONE; }
  /// Why the first line that was not understood was not; NONE when every line was.
  QelEnLineFault getFault() const;
  /// The 1-based number of the first line that was not understood; 0 when every line was.
  std::uint32_t getFaultLine() const;

  /// Whether the text has a header of that section (case ignored).
  bool hasSection(const char* section) const;
  /// The option's value as the model reads it, continuation lines appended. The text
  /// stays valid until the next lookup or change.
  bool getValue(const char* section, const char* option, const char*& value) const;

  /// Sets the option's value on its own line: its indentation, the name as spelt, the
  /// text around '=', an end-of-line comment and the line end stay; continuation lines
  /// go. A new option goes behind the section's last option (or right behind its
  /// header), indented and separated as that option is (" = " when there is none); a new
  /// section goes at the end of the text, after an empty line. The value is written so
  /// that it reads back unchanged: as it is when plain, else in double quotes with
  /// escapes.
  QelEnChange setValue(const char* section, const char* option, const char* value);
  /// Removes the option's line and its continuation lines.
  QelEnChange deleteOption(const char* section, const char* option);
  /// Removes the header and every line up to the section's last option (continuation
  /// lines included); comment and blank lines behind that stay.
  QelEnChange deleteSection(const char* section);

  /// A section name a header can carry: not empty, no ']' and no control character. A
  /// name of more than SECTION_NAME_LENGTH characters is refused as TOO_LONG.
  static bool isValidSectionName(const char* name);
  /// An option name that reads back as it is written: not empty, no blank, '=' or control
  /// character, not beginning with ';', '#' or '['.
  static bool isValidOptionName(const char* name);
  /// Whether the model keeps name and value whole: both with their terminating zeros
  /// within the first QelClIniFileOption::VALUE_END characters of the option's text.
  static bool fitsOption(const char* name, const char* value);

private:
  friend class QelClIniFileTextOptionCursor;

  void reserve(std::size_t size);
  /// Replaces length bytes at offset at by count bytes from bytes.
  void replace(std::size_t at, std::size_t length, const char* bytes, std::size_t count);
  /// Removes the option's line and its continuation lines, or, when option is null, the
  /// section's header and its lines up to its last option.
  QelEnChange removeLines(const char* section, const char* option);
  /// Why a change of these names (option and value may be null) is refused, or CHANGED.
  QelEnChange refusal(const char* section, const char* option, const char* value) const;

  char* pcText;
  std::size_t ulSize;
  std::size_t ulCapacity;
  /// The outcome of reading the lines, found when first asked after a change.
  mutable bool bExamined;
  mutable QelEnLineFault enFault;
  mutable std::uint32_t ulFaultLine;
  /// The option of the last lookup, which holds the value handed out.
  mutable QelClIniFileOption* pclLookup;
};

/// Walks the options of a text's section (the first of that name) in file order, each
/// with its name and value as the model reads them. Options with an empty name ("=v"),
/// which the model counts as deleted, are passed over. The text must outlive the cursor
/// and not change while it is used.
class QEL_API QelClIniFileTextOptionCursor : public QelClUniDirCursorABase {
public:
  /// Stands on the first option of the section (if there is one).
  QelClIniFileTextOptionCursor(const QelClIniFileText& text, const char* section);
  ~QelClIniFileTextOptionCursor() override;
  QelClIniFileTextOptionCursor(const QelClIniFileTextOptionCursor&) = delete;
  QelClIniFileTextOptionCursor& operator=(const QelClIniFileTextOptionCursor&) = delete;

  bool isValid() const override { return pclOption != nullptr; }
  bool setToFirst() override;
  bool setToNext() override;
  /// The current option's name (its blanks dropped) and value.
  const char* getOption() const;
  /// The current option's value as the model reads it, continuation lines appended.
  const char* getValue() const;

private:
  /// Stands on the first option with a name at or behind offset at, within the section;
  /// with skipFirst, behind the option whose line begins at at.
  bool standOn(std::size_t at, bool skipFirst);

  const QelClIniFileText* pclText;
  std::size_t ulFirst;    ///< the line behind the section's header; all ones when none
  std::size_t ulCurrent;  ///< the current option's line
  QelClIniFileOption* pclOption;
};

#endif
