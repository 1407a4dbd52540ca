// vrnqel43: the console-application frame: usage texts and argument cursors.
#ifndef VRNQEL43_QEL_CONSOLEUI_H
#define VRNQEL43_QEL_CONSOLEUI_H

#include "qel_base.h"
#include "qel_cursor.h"

#include <iosfwd>

// ---- Usage texts -----------------------------------------------------------------
// A usage text describes a command line, one or more lines separated by '\n':
//   -name         a switch ("-" followed by a non-digit); "-1" is a number item
//   <text>        a placeholder; blanks inside the brackets belong to it
//   ( ... )       a group: a switch and the items after it in the same group are the
//                 switch and its argument(s)
//   [ ... ]       an optional part
//   ..            a run of two or more dots: the argument before may be repeated
//   !             tags its line, from the '!' to the line end
//   "..."         quoted text, skipped whole and never shown in usage mode
//   word          a letter or digit after a blank starts a bare-word item
//   /             an item of its own
// A switch name ends at one of [ ] < > ( ) { } - | blank, or at the end of the text;
// a line break does not end it, so "-verbose\n" names no switch while "[-verbose]\n"
// does.
//
// The cursor stands on the first character of an item (on the last dot of an
// ellipsis). Depths and the tagged-line flag describe everything passed since the
// start, so at an item the group depth says how many groups are open around it.
// Every walk ends: each step passes at least one character.
class QEL_API QelClUsageCursor : public QelClUniDirCursorABase {
public:
  // The text is referenced, not copied. A null text is the empty usage text.
  // The cursor starts at the first character; setToFirst moves it to the first item.
  explicit QelClUsageCursor(const char* usage);
  QelClUsageCursor& operator=(const QelClUsageCursor&) = delete;

  bool isValid() const override;
  // Back to the start with both depths and the flags cleared, then to the first item.
  bool setToFirst() override;
  bool setToNext() override;

  // The usage text from the current item on.
  const char* getAsCString() const;
  std::int32_t getGroupDepth() const;
  std::int32_t getOptionalDepth() const;
  bool isOnTaggedLine() const;

  bool isSwitch() const;
  bool isArgEllipsis() const;
  // The switch at the cursor takes an argument: the next item is no switch and lies
  // in the same group, as "<key>" in "(-key <key>)". Never outside a group, and
  // never for an item that is no switch.
  bool reqArg() const;
  // The switch at the cursor takes a list: an ellipsis follows in the same group
  // before any switch, as in "(-files <file> ...)".
  bool reqArgEllipsis() const;
  // The switch at the cursor is name (one leading '-' of name is skipped):
  // whole name, case-sensitive, followed by a delimiter or the end of the text.
  bool matchesSwitch(const char* name) const;
  // The text at the cursor begins with text as written ('-' included), followed by a
  // delimiter or the end of the text. False at the end of the text.
  bool matches(const char* text) const;

  // s[0] is '-' and s[1] is not a decimal digit: "-key" is a switch, "-5" a value.
  static bool isSwitchIndicator(const char* s);
  // False for the double quote and the parentheses, which usage mode hides.
  static bool isToBeDisplayed(char c);

  // Writes a usage or help text (the console frame shows its usage and help texts
  // through it): after each line break the indentation in blanks.
  // Usage mode hides the characters isToBeDisplayed refuses. A '!' is never shown;
  // with hideTaggedLines everything from a '!' up to and including the next line
  // break is dropped (and the output stops if the text ends first). A text that
  // does not end with a line break gets one.
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
// Walks argv[1] to argv[argc - 1]; argv[0] is reachable only through getArgv0.
// The vector is referenced, not copied. Stepping past either end leaves the cursor
// invalid; stepping back in is allowed. Copies are cheap.
class QEL_API QelClArgvCursor : public QelClBiDirCursorABase {
public:
  // Stands on the first argument (if there is one).
  QelClArgvCursor(int argc, const char* const* argv);

  bool isValid() const override;
  bool setToFirst() override;
  bool setToNext() override;
  bool setToLast() override;
  bool setToPrevious() override;

  const char* getArgv0() const;
  // The current argument as given ('-' included); null when the cursor is invalid.
  const char* getAsCString() const;
  bool isSwitch() const;
  // The current argument is the switch name: one leading '-' of name is skipped,
  // then the whole name is compared, case-sensitive, no abbreviation.
  bool matches(const char* name) const;
  // The first switch argument that matches name; invalid when there is none.
  bool positionTo(const char* name);

protected:
  // The argument at index, or null outside 1..argc-1.
  const char* getArgAt(std::int32_t index) const;

  std::int32_t lArgc;
  std::int32_t lIndex;
  const char* const* ppszArgv;
};

// An argument cursor that measures the arguments against a usage text (referenced,
// not copied; null is the empty text). A switch is described by its first item in
// the usage text.
class QEL_API QelClArgvCheckCursor : public QelClArgvCursor {
public:
  QelClArgvCheckCursor(int argc, const char* const* argv, const char* usage);

  // The current argument is a switch whose usage item takes an argument.
  bool reqArg() const;
  // The current argument is a switch followed by a non-switch argument ("-5" counts
  // as a value). The usage text is not consulted.
  bool hasArg() const;
  // The current argument is no switch and is the value of the switch before it.
  bool isBound() const;
  // The current argument is neither a switch nor bound.
  bool isFree() const;
  // The current argument, as written, is an item on a tagged line of the usage text.
  bool isTagged() const;
  // A switch is legal when the usage text has it; a bound value is legal; a free
  // argument is legal when the usage text has an item outside every group that is
  // no switch (a placeholder, a bare word, an ellipsis).
  bool isLegal() const;

protected:
  bool switchRequiresArg(const char* argument) const;

  const char* pszUsage;
};

// A check cursor that stands only on free arguments.
class QEL_API QelClArgvFreeCursor : public QelClArgvCheckCursor {
public:
  // Stands on the first free argument (if there is one).
  QelClArgvFreeCursor(int argc, const char* const* argv, const char* usage);

  bool setToFirst() override;
  bool setToNext() override;
  bool setToLast() override;
  bool setToPrevious() override;
};

#endif
