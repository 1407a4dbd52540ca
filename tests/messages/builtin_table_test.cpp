#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const char* const* builtInTable(unsigned long& entries) { return qelMsgCatGetBuiltInTable(&entries); }

// The texts the library's operations show, by number.
const std::vector<std::pair<unsigned long, std::string>> kFixedTexts = {
    {0, "[QEL_MSGTAB_SIGNATURE] 274"},
    {1, "[QEL-LIBRARY]"},
    {2, "Percent:%% Arg1:%1 Arg2:%2 Arg3:%3 Arg4:%4 Arg5:%5 Arg6:%6 Arg7:%7 Arg8:%8 Arg9:%9 Arg10:%10"},
    {3, "YES"},
    {4, "NO"},
    {5, "Y/N"},
    {6, "min."},
    {7, "max."},
    {8, "hH\?"},
    {9, "copyright"},
    {10, "quiet"},
    {11, "default"},
    {12, "An exception occurred"},
    {13, "A fatal error occurred"},
    {14, "An error occurred"},
    {15, "Warning"},
    {16, "Informational message"},
    {17, "Usage"},
    {18, "Help"},
    {19, "=== Press any key to continue ==="},
    {20, "=== Press <ENTER> to continue ==="},
    {21, "(Specify '-h' for help)"},
    {22, "Sorry, no additional help available"},
    {23, "Unknown command line argument"},
    {24, "Command line argument not allowed"},
    {25, "Illegal repetition of command line argument"},
    {26, "Missing command line switch"},
    {27, "No value specified for command line switch"},
    {28, "No numeric value specified for command line switch"},
    {29, "Non-numeric value specified for numeric command line switch"},
    {30, "Invalid value specified"},
    {31, "Please enter a numeric value"},
    {32, "Please enter a value within limits"},
    {33, "Please use"},
    {34, "Copyright"},
    {35, "Level"},
    {36, "BLDR Level"},
    {37, "BLDR Level date"},
    {38, "Compile date"},
    {42, "Error ID"},
    {43, "Error Class"},
    {44, "Error Severity"},
    {45, "Recommended Action"},
    {46, "Cause for exception"},
    {47, "Exception occured in module"},
    {48, "Exception occured in function"},
    {49, "Exception occured in line"},
    {203, "Trace Controller"},
    {206, "key"},
    {207, "instance"},
    {208, "file"},
    {209, "verbose"},
    {210, "init"},
    {211, "dump"},
    {212, "display"},
    {213, "reset"},
    {214, "fdetail"},
    {215, "format"},
    {216, "fnofhd"},
    {217, "fssfhd"},
    {218, "fhex"},
    {219, "fbin"},
    {220, "fnest"},
    {221, "findent"},
    {222, "fdetail"},
    {223, "fcompids"},
    {224, "fpid"},
    {225, "ftid"},
    {226, "Key/Instance"},
    {227, "Trace Status"},
    {228, "Trace Filter"},
    {229, "Trace active"},
    {230, "Trace enabled"},
    {231, "Trace uses shared memory"},
    {232, "Trace buffer size"},
    {233, "Trace file"},
    {234, "Detail level"},
    {235, "Filter process id"},
    {236, "Filter thread id"},
    {237, "Component Set"},
    {238, "Compression rate"},
    {239, "Number of entries"},
    {240, "Include component(s)"},
    {241, "Exclude component(s)"},
    {242, "Bytes"},
    {243, " *** Clipped ***"},
    {244, "*** Illegal NULL pointer ***"},
    {245, "Nesting level: "},
    {246, "Specified trace file not found"},
    {247, "Invalid instance"},
    {248, "Trace file could not be identified; specified key may be invalid"},
    {249, "Could not initialize trace"},
    {250, "Could not open trace file for read access"},
    {251, "Trace file corrupted: unexpected end-of-file"},
    {252, "Trace file corrupted: invalid data found"},
    {273, "[QEL-LIBRARY]"},
};

// The trace controller's usage text, a line each.
const char* const kTraceUsage[] = {
    "(-key <key>) [(-instance <instance>)] [(-file <filename>)]",
    "[-display]",
    "[(-format <string>)] [(-findent <string>)]",
    "[-fnest] [-fnofhd] [-fssfhd] [-fhex] [-fbin]",
    "[(-fdetail <detail>)] [(-fcompids <compids>)]",
    "[(-fpid <pid>)] [(-ftid <tid>)]",
    "[-verbose]",
};

// The trace controller's help text, a line each.
const char* const kTraceHelp[] = {
    "-key <key>               Specify a key for the trace facility",
    "[-instance <instance>]   Specify an optional instance key",
    "[-file <filename>]       Specify a filename for the trace file",
    "                            (Default: <key>_TRACE_FILE)",
    "[-verbose]               Verbose display mode",
    "[-display]               Display the current trace",
    "[-format <string>]       Use the specified format <string>",
    "                            (Default: <key>_TRACE_FORMAT)",
    "[-findent <string>]      Format with <string> for indentation",
    "[-fnest]                 Format with function nesting",
    "[-fnofhd]                Format without function headers",
    "[-fssfhd]                Format and skip subsequent function headers",
    "[-fhex]                  Format integral data in hex notation, too",
    "[-fbin]                  Format integral data in binary notation, too",
    "[-fdetail <detail>]      Format only entries with the specified",
    "                            detail level (Default: <key>_TRACE_DETAIL)",
    "[-fcompids <compids>]    Format only entries with the specified",
    "                            component ids",
    "[-fpid <pid>]            Format only entries with the specified",
    "                            process id",
    "[-ftid <tid>]            Format only entries with the specified",
    "                            thread id",
    "@",
    "Trace environment variables:",
    "============================",
    "   <key>_TRACE_ACTIVE=yes     enables trace",
    "   <key>_TRACE_AUTOSAVE=yes   enables trace autosave feature",
    "   <key>_TRACE_AUTOCLEAR=yes  automatically clears the trace buffer and file",
    "   <key>_TRACE_BUFSIZE=xxx    sets trace buffer to 'xxx' KB of memory",
    "   <key>_TRACE_COMPRESS=yes   enables the compression of trace data",
    "   <key>_TRACE_DETAIL=xxx     sets the trace detail level to 'xxx'",
    "   <key>_TRACE_FILE=xxx       names the trace file as 'xxx'",
    "   <key>_TRACE_FORMAT=xxx     sets the trace format string to 'xxx'",
    "   <key>_TRACE_COMPSET=xxx    sets the component ids for the trace",
    "@",
    "Trace format variables:",
    "=======================",
    "   %%x   display the type of the trace entry with a short name",
    "   %%X   display the type of the trace entry with a long name",
    "   %%l   display the detail level of the trace entry",
    "   %%s   display the timestamp of the trace entry",
    "   %%c   display the component id of the trace entry",
    "   %%p   display the process id of the trace entry",
    "   %%t   display the thread id of the trace entry",
    "   %%f   display the function name of the trace entry",
    "   %%m   display the message string of the trace entry",
    "   %%d   display the dump data of the trace entry",
    "   %%\\   display the backslash character",
    "   %%n   display the newline character",
    "   %%t   display the tab character",
};

template <std::size_t N>
std::string joinedLines(const char* const (&lines)[N]) {
  std::string text;
  for (std::size_t i = 0; i < N; ++i) text += (i == 0 ? "" : "\n") + std::string(lines[i]);
  return text;
}

}  // namespace

TEST(BuiltInTable, HasItsEntriesAndSignature) {
  unsigned long entries = 0;
  const char* const* table = builtInTable(entries);
  ASSERT_EQ(entries, 274u);
  EXPECT_EQ(qelMsgCatGetBuiltInTable(nullptr), table);
  for (unsigned long n = 0; n < entries; ++n) ASSERT_NE(table[n], nullptr) << n;
  for (unsigned long n = 253; n <= 272; ++n) EXPECT_STREQ(table[n], "?") << n;
}

TEST(BuiltInTable, FixedTextsAreExact) {
  unsigned long entries = 0;
  const char* const* table = builtInTable(entries);
  for (const auto& fixed : kFixedTexts) EXPECT_EQ(table[fixed.first], fixed.second) << fixed.first;
  EXPECT_EQ(table[204], joinedLines(kTraceUsage));
  EXPECT_EQ(table[205], joinedLines(kTraceHelp));
}

// The message that names each error value is the enumerator's own name.
TEST(BuiltInTable, NamesTheErrorVocabularies) {
  unsigned long entries = 0;
  const char* const* table = builtInTable(entries);
#define QEL_ERROR_ID(name, value, message) \
  EXPECT_STREQ(table[qelErrorGetIdAsMessageId(name)], #name);
#define QEL_ERROR_CLASS(name, value, message) \
  EXPECT_STREQ(table[qelErrorGetClassAsMessageId(QelEnErrorClass::name)], #name);
#define QEL_ERROR_SEVERITY(name, value, message) \
  EXPECT_STREQ(table[qelErrorGetSeverityAsMessageId(QelEnErrorSeverity::name)], #name);
#define QEL_ERROR_ACTION(name, value, message) \
  EXPECT_STREQ(table[qelErrorGetActionAsMessageId(QelEnErrorAction::name)], #name);
#include <qel_errortables.inc>
}
