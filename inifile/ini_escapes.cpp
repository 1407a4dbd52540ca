// Escapes and quoted characters of INI values.
#include <cstdlib>

#include "qel_inifile.h"

char qelIniFileGetEscCharacter(const char*& cursor) {
  const char c = *cursor;
  switch (c) {
    case '\0': return '\0';  // a backslash at the end: nothing behind it to consume
    case 'a': ++cursor; return '\a';
    case 'b': ++cursor; return '\b';
    case 'f': ++cursor; return '\f';
    case 'n': ++cursor; return '\n';
    case 'r': ++cursor; return '\r';
    case 't': ++cursor; return '\t';
    case 'v': ++cursor; return '\v';
    default: break;
  }
  char* end = nullptr;
  if (c == 'x') {
    const long value = std::strtol(cursor + 1, &end, 16);
    cursor = end != cursor + 1 ? end : cursor + 1;
    return static_cast<char>(value & 0xFF);
  }
  if (c >= '0' && c <= '9') {
    const long value = std::strtol(cursor, &end, 8);
    cursor = end;  // 8 and 9 read no octal digit: nothing is consumed
    return static_cast<char>(value & 0xFF);
  }
  ++cursor;
  return c;
}

char qelIniFileGetQuotedCharacter(const char*& cursor) {
  if (*cursor != '\'') return *cursor;
  ++cursor;
  char c = *cursor;
  if (c == '\\') {
    ++cursor;
    c = qelIniFileGetEscCharacter(cursor);
  } else if (c != '\0') {
    ++cursor;
  }
  if (*cursor != '\0') ++cursor;  // the closing quote, whatever it is
  return c;
}
