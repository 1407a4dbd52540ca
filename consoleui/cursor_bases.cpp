// The cursor bases: their destructors anchor the virtual tables in the library.
#include "qel_cursor.h"

QelClUniDirCursorABase::~QelClUniDirCursorABase() = default;
