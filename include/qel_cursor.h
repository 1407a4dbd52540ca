/// \file
/// vrnqel43: the cursor bases. Argument, usage and INI cursors derive from them.
#ifndef VRNQEL43_QEL_CURSOR_H
#define VRNQEL43_QEL_CURSOR_H

#include "qel_base.h"

/// A cursor walks a sequence one element at a time. Every positioning operation
/// returns whether the cursor stands on an element afterwards.
class QEL_API QelClUniDirCursorABase {
public:
  /// Destroys the cursor; the sequence it walks is not touched.
  virtual ~QelClUniDirCursorABase();
  /// Whether the cursor stands on an element.
  virtual bool isValid() const = 0;
  /// Moves to the first element; false when the sequence is empty.
  virtual bool setToFirst() = 0;
  /// Moves to the next element; false, and invalid, after the last.
  virtual bool setToNext() = 0;
};

/// A cursor that can also walk its sequence backwards.
class QEL_API QelClBiDirCursorABase : public QelClUniDirCursorABase {
public:
  /// Moves to the last element; false when the sequence is empty.
  virtual bool setToLast() = 0;
  /// Moves to the previous element; false, and invalid, before the first.
  virtual bool setToPrevious() = 0;
};

#endif
