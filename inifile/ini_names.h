// How the INI family reads whitespace, compares names and reads values: ASCII case
// folding, the truth rule and the quoted character rule.
#ifndef VRNQEL43_INIFILE_INI_NAMES_H
#define VRNQEL43_INIFILE_INI_NAMES_H

namespace qel::ini {

// The characters isspace classifies as whitespace in the C locale, fixed here so that
// a program's setlocale does not change how files read.
inline bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Equal when they differ at most in the case of ASCII letters.
bool namesEqual(const char* a, const char* b);
// True when value occurs, case ignored, inside "|ON|TRUE|YES|1|OK|".
bool isTrue(const char* value);
// The character a value stands for: after an opening single quote the quoted one,
// else the first.
char quotedCharacter(const char* value);

}  // namespace qel::ini

#endif
