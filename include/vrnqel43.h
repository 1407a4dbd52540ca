/// \file
/// vrnqel43: the whole public interface of the library. Applications include only this.
#ifndef VRNQEL43_H
#define VRNQEL43_H

#include "qel_base.h"
#include "qel_codepage.h"
#include "qel_consoleui.h"
#include "qel_cursor.h"
#include "qel_errors.h"
#include "qel_filesystem.h"
#include "qel_inifile.h"
#include "qel_memory.h"
#include "qel_messages.h"
#include "qel_process.h"
#include "qel_trace.h"
#include "qel_util.h"

#endif
