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

#endif
