// Expansion of %1 to %n placeholders in string-table messages.
#ifndef VRNQEL43_MESSAGES_PLACEHOLDERS_H
#define VRNQEL43_MESSAGES_PLACEHOLDERS_H

#include <cstddef>

namespace qel {

// Copies source into destination (room for capacity characters and a terminator),
// replacing "%%" by "%" and "%<n>" by insertion n (1 to count); any other number, or
// none, and a null insertion give "???". Stops when capacity characters are written.
// Returns the number of characters written.
std::size_t replaceVars(char* destination, std::size_t capacity, const char* source,
                        const char* const insertions[], std::size_t count);

}  // namespace qel

#endif
