// vrnqel43: the cursor bases. Argument, usage and INI cursors derive from them.
#ifndef VRNQEL43_QEL_CURSOR_H
#define VRNQEL43_QEL_CURSOR_H

#include "qel_base.h"

// A cursor walks a sequence one element at a time. Every positioning operation
// returns whether the cursor stands on an element afterwards.
class QEL_API QelClUniDirCursorABase {
public:
  virtual ~QelClUniDirCursorABase();
  virtual bool isValid() const = 0;
  virtual bool setToFirst() = 0;
  virtual bool setToNext() = 0;
};

class QEL_API QelClBiDirCursorABase : public QelClUniDirCursorABase {
public:
  virtual bool setToLast() = 0;
  virtual bool setToPrevious() = 0;
};

#endif
