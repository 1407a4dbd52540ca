/// \file
/// vrnqel43: definitions shared by every public header of the library.
#ifndef VRNQEL43_QEL_BASE_H
#define VRNQEL43_QEL_BASE_H

#include <cstddef>
#include <cstdint>

/// QEL_API marks what the library exports; everything else stays hidden.
#if defined(_WIN32)
#  if defined(QEL_BUILDING_LIBRARY)
#    define QEL_API __declspec(dllexport)
#  else
#    define QEL_API __declspec(dllimport)
#  endif
#else
#  define QEL_API __attribute__((visibility("default")))
#endif

/// Functions exported under their plain, unmangled names.
#define QEL_C_API extern "C" QEL_API

/// Branch layout of the few hot paths that public headers define inline: condition is
/// expected to hold (QEL_LIKELY) or not to hold (QEL_UNLIKELY).
#if defined(__GNUC__)
#  define QEL_LIKELY(condition) __builtin_expect(!!(condition), 1)
/// Tells the compiler that condition is expected not to hold.
#  define QEL_UNLIKELY(condition) __builtin_expect(!!(condition), 0)
#else
#  define QEL_LIKELY(condition) (condition)
#  define QEL_UNLIKELY(condition) (condition)
#endif

#endif
