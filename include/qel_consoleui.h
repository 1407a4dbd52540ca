/// \file
/// vrnqel43: the console-application frame: usage texts and argument cursors.
#ifndef VRNQEL43_QEL_CONSOLEUI_H
#define VRNQEL43_QEL_CONSOLEUI_H

#include "qel_base.h"
#include "qel_cursor.h"
#include "qel_errors.h"
#include "qel_messages.h"

#include <iosfwd>

// ---- Usage texts -----------------------------------------------------------------
/// A usage text describes a command line, one or more lines separated by line feeds:
/// ~~~
///   -name         a switch ("-" followed by a non-digit); "-1" is a number item
///   <text>        a placeholder; blanks inside the brackets belong to it
///   ( ... )       a group: a switch and the items after it in the same group are the
///                 switch and its argument(s)
///   [ ... ]       an optional part
///   ..            a run of two or more dots: the argument before may be repeated
///   !             tags its line, from the '!' to the line end
///   "..."         quoted text, skipped whole and never shown in usage mode
///   word          a letter or digit after a blank starts a bare-word item
///   /             an item of its own
/// ~~~
/// A switch name ends at one of [ ] < > ( ) { } - | blank, or at the end of the text;
/// a line break does not end it, so "-verbose" followed by a line feed names no switch
/// while "[-verbose]" followed by one does.
///
/// The cursor stands on the first character of an item (on the last dot of an
/// ellipsis). Depths and the tagged-line flag describe everything passed since the
/// start, so at an item the group depth says how many groups are open around it.
/// Every walk ends: each step passes at least one character.
class QEL_API QelClUsageCursor : public QelClUniDirCursorABase {
public:
  /// The text is referenced, not copied. A null text is the empty usage text.
  /// The cursor starts at the first character; setToFirst moves it to the first item.
  explicit QelClUsageCursor(const char* usage);
  QelClUsageCursor& operator=(const QelClUsageCursor&) = delete;

  /// Whether the cursor stands on an item (not at the end of the text).
  bool isValid() const override;
  /// Back to the start with both depths and the flags cleared, then to the first item.
  bool setToFirst() override;
  /// Moves to the next item; false at the end of the text.
  bool setToNext() override;

  /// The usage text from the current item on.
  const char* getAsCString() const;
  /// How many groups "( ... )" are open at the cursor.
  std::int32_t getGroupDepth() const;
  /// How many optional parts "[ ... ]" are open at the cursor.
  std::int32_t getOptionalDepth() const;
  /// Whether the cursor is on a line tagged with '!'.
  bool isOnTaggedLine() const;

  /// Whether the item at the cursor is a switch.
  bool isSwitch() const;
  /// Whether the item at the cursor is an ellipsis "..".
  bool isArgEllipsis() const;
  /// The switch at the cursor takes an argument: the next item is no switch and lies
  /// in the same group, as "<key>" in "(-key <key>)". Never outside a group, and
  /// never for an item that is no switch.
  bool reqArg() const;
  /// The switch at the cursor takes a list: an ellipsis follows in the same group
  /// before any switch, as in "(-files <file> ...)".
  bool reqArgEllipsis() const;
  /// The switch at the cursor is name (one leading '-' of name is skipped):
  /// whole name, case-sensitive, followed by a delimiter or the end of the text.
  bool matchesSwitch(const char* name) const;
  /// The text at the cursor begins with text as written ('-' included), followed by a
  /// delimiter or the end of the text. False at the end of the text.
  bool matches(const char* text) const;

  /// s[0] is '-' and s[1] is not a decimal digit: "-key" is a switch, "-5" a value.
  static bool isSwitchIndicator(const char* s);
  /// False for the double quote and the parentheses, which usage mode hides.
  static bool isToBeDisplayed(char c);

  /// Writes a usage or help text (the console frame shows its usage and help texts
  /// through it): after each line break the indentation in blanks.
  /// Usage mode hides the characters isToBeDisplayed refuses. A '!' is never shown;
  /// with hideTaggedLines everything from a '!' up to and including the next line
  /// break is dropped (and the output stops if the text ends first). A text that
  /// does not end with a line break gets one.
  static void display(std::ostream& out, const char* text, unsigned long indentation,
                      bool usageMode, bool hideTaggedLines);

private:
  QelClUsageCursor(const QelClUsageCursor&) = default;
  void skipItem();
  bool locateItem();

  const char* pszStart;
  const char* pszCurrent;
  std::int32_t lOptionalDepth;
  std::int32_t lGroupDepth;
  bool bTaggedLine;
  bool bInsidePlaceholder;
};

// ---- Argument cursors ------------------------------------------------------------
/// Walks argv[1] to argv[argc - 1]; argv[0] is reachable only through getArgv0.
/// The vector is referenced, not copied. Stepping past either end leaves the cursor
/// invalid; stepping back in is allowed. Copies are cheap.
class QEL_API QelClArgvCursor : public QelClBiDirCursorABase {
public:
  /// Stands on the first argument (if there is one).
  QelClArgvCursor(int argc, const char* const* argv);

  bool isValid() const override;
  /// Moves to the first free argument; false when there is none.
  bool setToFirst() override;
  /// Moves to the next free argument; false after the last.
  bool setToNext() override;
  /// Moves to the last free argument; false when there is none.
  bool setToLast() override;
  /// Moves to the previous free argument; false before the first.
  bool setToPrevious() override;

  /// argv[0], the program as started; null when argc is 0.
  const char* getArgv0() const;
  /// The current argument as given ('-' included); null when the cursor is invalid.
  const char* getAsCString() const;
  /// Whether the current argument is a switch ('-' and a non-digit).
  bool isSwitch() const;
  /// The current argument is the switch name: one leading '-' of name is skipped,
  /// then the whole name is compared, case-sensitive, no abbreviation.
  bool matches(const char* name) const;
  /// The first switch argument that matches name; invalid when there is none.
  bool positionTo(const char* name);

protected:
  /// The argument at index, or null outside 1..argc-1.
  const char* getArgAt(std::int32_t index) const;

  std::int32_t lArgc;  ///< The number of entries of the vector.
  std::int32_t lIndex;  ///< The index of the current argument.
  const char* const* ppszArgv;  ///< The vector, referenced.
};

/// An argument cursor that measures the arguments against a usage text (referenced,
/// not copied; null is the empty text). A switch is described by its first item in
/// the usage text.
class QEL_API QelClArgvCheckCursor : public QelClArgvCursor {
public:
  /// Stands on the first argument (if there is one) of argv, measured against usage.
  QelClArgvCheckCursor(int argc, const char* const* argv, const char* usage);

  /// The current argument is a switch whose usage item takes an argument.
  bool reqArg() const;
  /// The current argument is a switch followed by a non-switch argument ("-5" counts
  /// as a value). The usage text is not consulted.
  bool hasArg() const;
  /// The current argument is no switch and is the value of the switch before it.
  bool isBound() const;
  /// The current argument is neither a switch nor bound.
  bool isFree() const;
  /// The current argument, as written, is an item on a tagged line of the usage text.
  bool isTagged() const;
  /// A switch is legal when the usage text has it; a bound value is legal; a free
  /// argument is legal when the usage text has an item outside every group that is
  /// no switch (a placeholder, a bare word, an ellipsis).
  bool isLegal() const;

protected:
  /// Whether argument is a switch whose usage item takes an argument.
  bool switchRequiresArg(const char* argument) const;

  const char* pszUsage;  ///< The usage text, referenced; never null.
};

/// A check cursor that stands only on free arguments.
class QEL_API QelClArgvFreeCursor : public QelClArgvCheckCursor {
public:
  /// Stands on the first free argument (if there is one).
  QelClArgvFreeCursor(int argc, const char* const* argv, const char* usage);

  bool setToFirst() override;
  bool setToNext() override;
  bool setToLast() override;
  bool setToPrevious() override;
};

// ---- The console-application frame -----------------------------------------------
/// The horizontal rule: 74 dashes and a line end.
QEL_API extern const char* const gs_cpszLine;
/// The usage text while an application has set none.
QEL_API extern const char* const gs_cpszNoUsage;

class QelClConsoleUIParams;

/// The frame of a console application: its message catalog, argc/argv, the title,
/// the switches every application has (-h, -H, -?, -copyright, -quiet), the check of
/// the command line against a usage text, the switch queries and one layout for all
/// console output. Every text the frame adds is message base + k of its catalog.
/// Command-line faults end the process: 201 after usage, help or copyright, 202 for a
/// missing switch without a usage text, 203 for a missing value, 204 for a
/// non-numeric one. Message ids are unsigned long (42ul): a plain int is ambiguous
/// where a one-character form exists as well.
class QEL_API QelClConsoleUI {
public:
  /// How format aligns a label in its field: filled on the right with the fill character, right-aligned, or centred.
  enum QelEnFormatStyle { LEFT_FILLED = 0, RIGHT_ALIGNED = 1, CENTRED = 2 };

  /// The library's catalog (module vrnmsg43, else the built-in table), base 0.
  QelClConsoleUI(int argc, const char* const* argv, const char* title = nullptr,
                 const char* subtitle = nullptr, const char* level = nullptr,
                 const char* date = nullptr);
  /// The application's catalog: the message module of that name or, when it does not
  /// load, table (which may be null). Title and subtitle are message ids (0: none).
  QelClConsoleUI(const QelClFilename& catalog, const char* const table[], unsigned long entries,
                 unsigned long messageBase, int argc, const char* const* argv,
                 unsigned long titleId, unsigned long subtitleId = 0,
                 const char* level = nullptr, const char* date = nullptr);
  QelClConsoleUI(const QelClConsoleUI&) = delete;
  QelClConsoleUI& operator=(const QelClConsoleUI&) = delete;
  virtual ~QelClConsoleUI();
  /// The catalog whose messages the frame shows.
  virtual const QelClMessageCatalog& getMessageCatalog() const;

  // ---- Set-up and settings
  /// Writes a line end, "NAME - title", then three blanks and subtitle, and a line end; null parts are left out.
  void displayTitle(const char* title, const char* subtitle);
  /// The usage text set by handleUsageHelp, or gs_cpszNoUsage.
  const char* getUsage() const;
  /// The program's name in capitals, as the frame shows it ("WORDCOUNT").
  const char* getProcessName() const;
  /// The stream output goes to (the null device when quiet).
  std::ostream& getOutputStream() const;
  /// Unless quiet, both output and error go to stream (which must outlive the frame).
  void setOutputStream(std::ostream& stream);
  /// Whether -quiet was given: output and error go to the null device.
  bool mustBeQuiet() const;
  /// Tagged lines of the usage text are not shown in usage and help.
  void hideTaggedLines();
  /// Tagged lines of the usage text are not shown, and their arguments are refused.
  void disableTaggedLines();
  /// The width of format's label field (36 at first).
  void setFormatWidth(unsigned int width);
  /// How format aligns its labels (LEFT_FILLED at first).
  void setFormatStyle(QelEnFormatStyle style);
  /// The character that fills a LEFT_FILLED label field ('.' at first).
  void setFormatFillChar(char fill);
  /// Beeps unless code is 0, then ends the process with code.
  [[noreturn]] void processExit(unsigned long code);

  // ---- Output on the frame's streams (silenced by -quiet)
  /// Writes a line end to the output stream.
  void newline();
  /// Writes the bell character to the output stream.
  void beep();
  /// Writes the horizontal rule (gs_cpszLine) to the output stream.
  void horizontalBar();
  /// Writes an empty line, the rule and "NAME: text" to the output stream (text, or message id); continued ends it with ':' and indents the next line under the text.
  ///@{
  void header(const char* text, bool continued = false);
  void header(unsigned long id, bool continued = false);
  ///@}
  /// A header with text (or message id) on the output stream; with p2 a continued header and the line "  p2: p3: p4: p5" of the parts given.
  ///@{
  void info(const char* text, const char* p2 = nullptr, const char* p3 = nullptr,
            const char* p4 = nullptr, const char* p5 = nullptr);
  void info(unsigned long id, const char* p2 = nullptr, const char* p3 = nullptr,
            const char* p4 = nullptr, const char* p5 = nullptr);
  ///@}
  /// The frame's warning header and the line "  text: p2: ..." of the parts given, on the error stream.
  ///@{
  void warning(const char* text, const char* p2 = nullptr, const char* p3 = nullptr,
               const char* p4 = nullptr, const char* p5 = nullptr);
  void warning(unsigned long id, const char* p2 = nullptr, const char* p3 = nullptr,
               const char* p4 = nullptr, const char* p5 = nullptr);
  ///@}
  /// The frame's error header and the line "  text: p2: ..." of the parts given, on the error stream.
  ///@{
  void error(const char* text, const char* p2 = nullptr, const char* p3 = nullptr,
             const char* p4 = nullptr, const char* p5 = nullptr);
  void error(unsigned long id, const char* p2 = nullptr, const char* p3 = nullptr,
             const char* p4 = nullptr, const char* p5 = nullptr);
  ///@}
  /// The frame's fatal-error header and the line "  text: p2: ..." on the error stream; then ends the process with code (processExit).
  ///@{
  [[noreturn]] void fatal(unsigned long code, const char* text, const char* p2 = nullptr,
                          const char* p3 = nullptr, const char* p4 = nullptr,
                          const char* p5 = nullptr);
  [[noreturn]] void fatal(unsigned long code, unsigned long id, const char* p2 = nullptr,
                          const char* p3 = nullptr, const char* p4 = nullptr,
                          const char* p5 = nullptr);
  ///@}
  /// Header on the error stream, the exception's full details on the output stream.
  void exception(const QelClException& exc, const char* text = nullptr,
                 const char* p2 = nullptr, const char* p3 = nullptr, const char* p4 = nullptr,
                 const char* p5 = nullptr);
  /// A section heading for format lines: an empty line, "  text" and an underline.
  ///@{
  void formatHeader(const char* text);
  void formatHeader(unsigned long id);
  ///@}
  /// A label/value line on the output stream: "  ", the label in a field of the format width (see setFormatStyle), ": " and the value; strings are quoted when QEL_CONSOLEUI_QUOTE_STRINGS=yes. A data/length pair writes length characters; formatBool writes the frame's yes or no text; the id forms take the label from the catalog.
  ///@{
  void format(const char* label, const char* value);
  void format(const char* label, const char* data, unsigned int length);
  void format(const char* label, char value);
  void format(const char* label, long value);
  void format(const char* label, unsigned long value);
  void format(const char* label, int value);
  void format(const char* label, unsigned int value);
  void format(const char* label, short value);
  void format(const char* label, unsigned short value);
  void format(const char* label, float value);
  void format(const char* label, double value);
  void formatBool(const char* label, bool value);
  void format(unsigned long id, const char* value);
  void format(unsigned long id, const char* data, unsigned int length);
  void format(unsigned long id, char value);
  void format(unsigned long id, long value);
  void format(unsigned long id, unsigned long value);
  void format(unsigned long id, int value);
  void format(unsigned long id, unsigned int value);
  void format(unsigned long id, short value);
  void format(unsigned long id, unsigned short value);
  void format(unsigned long id, float value);
  void format(unsigned long id, double value);
  void formatBool(unsigned long id, bool value);
  ///@}
  /// Label/value lines of an error record or an exception's record: nothing when not
  /// all and the id is 0; zero fields only with all.
  ///@{
  void format(const _QelStError& error, bool all = false);
  void format(const _QelStUserError& error, bool all = false);
  void format(const QelClException& exc, bool all = false);
  ///@}
  /// A section heading (label, or message id), then hex-dump rows of 16 bytes
  /// addressed by their offset.
  ///@{
  void dump(const char* label, const void* data, unsigned int length);
  void dump(unsigned long id, const void* data, unsigned int length);
  ///@}

  // ---- Command line (usage, help and prompts use standard output/input directly)
  /// Sets the usage and help texts (or those of two message ids) and checks every
  /// argument against the usage; -h/-H/-? show usage and help and end with 201, as do
  /// unknown, refused or repeated arguments after their error lines.
  ///@{
  void handleUsageHelp(const char* usage, const char* help);
  void handleUsageHelp(unsigned long usageId, unsigned long helpId);
  ///@}
  /// Writes "Usage: NAME", the built-in switches and the usage text to standard output; with exitAfter ends the process with 201.
  void displayUsage(bool exitAfter);
  /// Writes the help text (or the frame's note that there is none) to standard output; with exitAfter ends the process with 201.
  void displayHelp(bool exitAfter);
  /// Sets the usage and help texts, then writes both; with exitAfter ends the process with 201.
  void displayUsageHelp(const char* usage, const char* help, bool exitAfter);

  /// Asks on standard output for a text, the default shown, and reads the answer from
  /// standard input; an empty answer takes the default. The answer stays valid until
  /// the next prompt. At the end of standard input every prompt takes its default; a
  /// default that is itself rejected ends the prompt after one error with the default
  /// returned as given.
  ///@{
  const char* promptString(const char* text, const char* defaultValue);
  const char* promptString(unsigned long id, const char* defaultValue);
  ///@}
  /// Asks for a number from min to max (text, or message id), with defaultValue; asks again after a wrong answer, as promptString does at the end of input.
  ///@{
  long promptNumval(const char* text, long min, long max, long defaultValue);
  long promptNumval(unsigned long id, long min, long max, long defaultValue);
  ///@}
  /// Asks for the frame's yes or no letter (text, or message id), with defaultValue; asks again after a wrong answer, as promptString does at the end of input.
  ///@{
  bool promptYesNo(const char* text, bool defaultValue);
  bool promptYesNo(unsigned long id, bool defaultValue);
  ///@}
  /// Asks on standard output for a key and waits until one is pressed.
  void promptForKey();
  /// Restarts the spinner of progressStep.
  void progressStart();
  /// Writes a carriage return, the next spinner character (| / - and a backslash in turn) and text to the output stream.
  void progressStep(const char* text = nullptr);
  /// Blanks the spinner's line.
  void progressStop();

  // ---- Switch queries: the name with or without '-', one character, or a message id
  /// Whether the switch is on the command line: name with or without '-', one character, or the message id of the name.
  ///@{
  bool hasArgSwitch(const char* name);
  bool hasArgSwitch(char name);
  bool hasArgSwitch(unsigned long id);
  ///@}
  /// Whether the switch is given; if so, value is the argument after it, pointing into
  /// argv (a negative number counts as a value). A switch without a value ends the
  /// process with 203.
  ///@{
  bool hasArgString(const char* name, const char*& value);
  bool hasArgString(char name, const char*& value);
  bool hasArgString(unsigned long id, const char*& value);
  ///@}
  /// Whether the switch is given; if so, value is the leading decimal number of the
  /// argument after it (one leading apostrophe skipped). A missing value ends the
  /// process with 203, a non-numeric one with 204.
  ///@{
  bool hasArgNumval(const char* name, long& value);
  bool hasArgNumval(char name, long& value);
  bool hasArgNumval(unsigned long id, long& value);
  bool hasArgNumval(const char* name, int& value);
  bool hasArgNumval(char name, int& value);
  bool hasArgNumval(unsigned long id, int& value);
  bool hasArgNumval(const char* name, short& value);
  bool hasArgNumval(char name, short& value);
  bool hasArgNumval(unsigned long id, short& value);
  ///@}
  /// Like hasArgSwitch; a missing switch shows the usage and ends the process with 201 (202 without a usage text).
  ///@{
  void reqArgSwitch(const char* name);
  void reqArgSwitch(char name);
  void reqArgSwitch(unsigned long id);
  ///@}
  /// Like hasArgString; a missing switch shows the usage and ends the process with 201 (202 without a usage text).
  ///@{
  void reqArgString(const char* name, const char*& value);
  void reqArgString(char name, const char*& value);
  void reqArgString(unsigned long id, const char*& value);
  ///@}
  /// Like hasArgNumval; a missing switch shows the usage and ends the process with 201 (202 without a usage text).
  ///@{
  void reqArgNumval(const char* name, long& value);
  void reqArgNumval(char name, long& value);
  void reqArgNumval(unsigned long id, long& value);
  void reqArgNumval(const char* name, int& value);
  void reqArgNumval(char name, int& value);
  void reqArgNumval(unsigned long id, int& value);
  void reqArgNumval(const char* name, short& value);
  void reqArgNumval(char name, short& value);
  void reqArgNumval(unsigned long id, short& value);
  ///@}

private:
  void init(unsigned long titleId, unsigned long subtitleId, const char* level,
            const char* date);
  void init(const char* title, const char* subtitle, const char* level, const char* date);
  void handleBuiltInSwitches(const char* title, const char* subtitle, const char* level,
                             const char* date);
  void displayCopyright(const char* level, const char* date);
  void setUsage(const char* usage, const char* help);
  void handleHelp();
  [[noreturn]] void displayUsageAndExit();
  [[noreturn]] void privateProcessExit(unsigned long code);
  [[noreturn]] void privateFatal(unsigned long code, const char* text, const char* part2,
                                 const char* part3 = nullptr);
  [[noreturn]] void fatalMissingArg(const char* name);
  [[noreturn]] void fatalMissingArg(char name);
  const char* prompt(const char* text, const char* range, const char* defaultValue);
  /// Frame text k (message base + k).
  QelClMessage text(unsigned long k) const;

  void indent(std::ostream& out) const;
  static void indent(std::ostream& out, unsigned long count, char c);
  void header(std::ostream& out, const char* text, bool continued) const;
  static void msg(std::ostream& out, const char* text, const char* p2 = nullptr,
                  const char* p3 = nullptr, const char* p4 = nullptr, const char* p5 = nullptr);
  static void msgSubseq(std::ostream& out, const char* text);
  void error(std::ostream& out, const char* text, const char* p2, const char* p3) const;
  void formatLabel(const char* label);
  void formatQuoted(const char* label, const char* data, std::size_t length, char quote);
  void formatErrId(std::uint32_t id, bool all);
  void format(QelEnErrorClass errorClass);
  void format(QelEnErrorSeverity severity);
  void format(QelEnErrorAction action);

  QelClMessageCatalog clCatalog;
  std::uint32_t ulMessageBase;
  std::int32_t lArgc;
  const char* const* ppszArgv;
  QelClConsoleUIParams* pclParams;
};

/// The frame's settings and buffers, made by the frame with the memory manager.
class QEL_API QelClConsoleUIParams {
public:
  /// The process name comes from the program path (argv[0]).
  explicit QelClConsoleUIParams(const char* programPath);
  QelClConsoleUIParams(const QelClConsoleUIParams&) = delete;
  QelClConsoleUIParams& operator=(const QelClConsoleUIParams&) = delete;
  ~QelClConsoleUIParams();

  /// Output and error go to the null device from now on.
  void setQuietMode();
  /// Unless quiet, output and error both become stream.
  void setOutputStream(std::ostream& stream);
  /// Quiet off, output to stream, error to standard error.
  void forceOutputStream(std::ostream& stream);
  /// Flushes the output stream.
  void flushOutputStream();

private:
  friend class QelClConsoleUI;

  const char* pszUsage;
  char* pszHelp;
  char achAnswer[81];
  char szProcessName[26];
  std::uint32_t ulProcessNameLength;
  std::uint32_t ulProgressStep;
  bool bQuiet;
  bool bHideTaggedLines;
  bool bDisableTaggedLines;
  bool bQuoteStrings;
  unsigned int uiFormatWidth;
  QelClConsoleUI::QelEnFormatStyle enFormatStyle;
  char chFillChar;
  std::ostream* pclOutputStream;
  std::ostream* pclErrorStream;
  std::ostream* pclQuietStream;
};

#endif
