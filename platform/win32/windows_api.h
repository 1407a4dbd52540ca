// <windows.h> as the win32 platform sources include it: without the min/max macros
// and without the rarely used parts.
#ifndef VRNQEL43_PLATFORM_WIN32_WINDOWS_API_H
#define VRNQEL43_PLATFORM_WIN32_WINDOWS_API_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#endif
