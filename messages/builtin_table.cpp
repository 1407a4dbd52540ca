// The library's built-in string table, generated from builtin_messages.txt.
#include "qel_messages.h"

namespace {

const char* const kBuiltInTable[] = {
#include "messages/builtin_messages.inc"
};

}  // namespace

const char* const* qelMsgCatGetBuiltInTable(unsigned long* entries) {
  if (entries != nullptr) *entries = sizeof kBuiltInTable / sizeof kBuiltInTable[0];
  return kBuiltInTable;
}
