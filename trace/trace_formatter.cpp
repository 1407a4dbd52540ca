// The trace formatter: the walk over a trace file and over the format string.
#include <cstring>
#include <fstream>

#include "memory/managed_object.h"
#include "messages/builtin_message_ids.h"
#include "qel_trace.h"
#include "qel_util.h"

namespace {

const char kModule[] = "qel_trace_format";

struct TypeNames {
  const char* shortName;
  const char* longName;
};
constexpr TypeNames kTypeNames[] = {
#define QEL_TRACE_TYPE(value, shortName, longName) {shortName, longName},
#include "trace/trace_type_names.inc"
};
constexpr std::uint32_t kTypeCount = sizeof kTypeNames / sizeof kTypeNames[0];

}  // namespace

QelClTraceFormatter::QelClTraceFormatter(const QelClTraceEnvironment& environment,
                                         const QelClTraceFilter* filter)
    : pclEnvironment(&environment),
      pclFilter(filter != nullptr ? filter : &environment.getSettings().getFilter()),
      pszFormat(environment.getFormatString()) {}

QelClTraceFormatter::~QelClTraceFormatter() { qel::memory::destroy(pclMessage); }

void QelClTraceFormatter::attachQelMessageCatalog(const QelClMessageCatalog& catalog) {
  pclCatalog = &catalog;
  if (pclMessage == nullptr) pclMessage = qel::memory::construct<QelClMessage>(catalog, static_cast<unsigned long>(qel::msg::kLibraryMarker));
}

const char* QelClTraceFormatter::getMessage(unsigned long number) const {
  if (pclCatalog != nullptr) {
    if (pclMessage->getMessageId() != number) pclMessage->setNewMessageId(number);
    return pclMessage->getText();
  }
  if (number < qel::msg::kTraceBytes || number > qel::msg::kTraceNestingLevel) return nullptr;
  return qelMsgCatGetBuiltInTable(nullptr)[number];
}

const char* QelClTraceFormatter::getTypeAsShortCString(QelEnTraceDataType type) const {
  const auto value = static_cast<std::uint32_t>(type);
  if (value >= kTypeCount) raise(TRACEFORMAT_FILE_CORRUPTED, QelEnErrorClass::DATA_OUT_OF_BOUNDS, __LINE__);
  return kTypeNames[value].shortName;
}

const char* QelClTraceFormatter::getTypeAsLongCString(QelEnTraceDataType type) const {
  const auto value = static_cast<std::uint32_t>(type);
  if (value >= kTypeCount) raise(TRACEFORMAT_FILE_CORRUPTED, QelEnErrorClass::DATA_OUT_OF_BOUNDS, __LINE__);
  return kTypeNames[value].longName;
}

void QelClTraceFormatter::raise(std::uint32_t id, QelEnErrorClass errorClass, unsigned long line,
                                bool fatal) const {
  pOut->write(sRendered.data(), static_cast<std::streamsize>(sRendered.size()));
  sRendered.clear();
  const char* cause = id == TRACEFORMAT_COULD_NOT_OPEN   ? "Could not open trace file for read access"
                      : id == TRACEFORMAT_UNEXPECTED_EOF ? "Trace file corrupted: unexpected end-of-file"
                                                         : "Trace file corrupted: invalid data found";
  if (fatal) {
    QelClExceptionFatal exception(id, errorClass, QelEnErrorAction::TERMINATE, cause);
    exception.setLocation(kModule, line);
    throw exception;
  }
  QelClException exception(id, errorClass, QelEnErrorSeverity::FATAL, QelEnErrorAction::TERMINATE, cause);
  exception.setLocation(kModule, line);
  throw exception;
}

void QelClTraceFormatter::format(std::ostream& out) const {
  std::ifstream in(pclEnvironment->getTraceFileName(), std::ios::binary);
  pOut = &out;
  ulRecordCount = 0;
  acLastFunction[0] = '\0';
  sRendered.clear();
  if (!in.is_open()) raise(TRACEFORMAT_COULD_NOT_OPEN, QelEnErrorClass::IO_PERMISSION_DENIED, __LINE__);
  QelClTraceFileEntry entry(*pclEnvironment);  // one for all records: it is large
  while (!in.eof() && formatEntry(in, entry)) ++ulRecordCount;
}

void QelClTraceFormatter::displayBuffer(const char* text, std::size_t length) const {
  sRendered.append(text, length);
}

void QelClTraceFormatter::displayNumber(std::uint64_t value, bool negative) const {
  char digits[24];
  char* start = digits;
  if (negative) *start++ = '-';
  const int length = qelW64toa(value, start);
  displayBuffer(digits, static_cast<std::size_t>(start - digits) + static_cast<std::size_t>(length));
}

// The indentation string once per nesting level, within the bound.
void QelClTraceFormatter::displayIndent() const {
  if (pszIndentation == nullptr || static_cast<std::int32_t>(ulNestingLevel) < 0) return;
  const std::size_t length = std::strlen(pszIndentation);
  const std::uint32_t steps = ulNestingLevel < MAX_INDENTATION ? ulNestingLevel : MAX_INDENTATION;
  for (std::uint32_t i = 0; i < steps; ++i) displayBuffer(pszIndentation, length);
}

bool QelClTraceFormatter::formatEntry(std::istream& in, QelClTraceFileEntry& entry) const {
  if (!entry.read(in)) return false;
  const QelEnTraceDataType type = entry.getType();
  if (!bShowFunctionRecords && isFunction(type)) {
    skipEntry(in, entry, true);
    return true;
  }
  const QelClTraceFilter& filter = *pclFilter;
  const bool rejected =
      !filter.isPassing(entry.getDetail(), static_cast<unsigned short>(entry.getComponentId())) ||
      (filter.getProcessId() != 0 && filter.getProcessId() != entry.getProcessId()) ||
      (filter.getThreadId() != 0 && filter.getThreadId() != entry.getThreadId());
  if (rejected) {
    skipEntry(in, entry, false);
    return true;
  }
  bool showFunction = true;
  if (!bRepeatFunctionNames && type != QelEnTraceDataType::FUNCTION_ENTRY) {
    if (std::strncmp(acLastFunction, entry.getFunctionName(), entry.getFunctionNameTextLength()) != 0) {
      std::memcpy(acLastFunction, entry.getFunctionName(), entry.getFunctionNameTextLength() + 1);
    } else {
      showFunction = false;
    }
  }

  bool dataDone = false;
  for (const char* c = pszFormat; *c != '\0'; ++c) {
    if (in.eof()) raise(TRACEFORMAT_UNEXPECTED_EOF, QelEnErrorClass::IO_READ_PROBLEM, __LINE__);
    if (*c == '\\') {
      if (*++c == '\0') break;
      if (*c == 'n') {
        displayBuffer("\n", 1);
        displayIndent();
      } else {
        displayBuffer(*c == 't' ? "\t" : c, 1);
      }
      continue;
    }
    if (*c != '%') {
      const std::size_t run = std::strcspn(c, "%\\");  // plain characters up to the next variable
      displayBuffer(c, run);
      c += run - 1;
      continue;
    }
    switch (*++c) {
      case '\0':
        displayBuffer("%", 1);
        --c;  // the loop ends at the terminator
        break;
      case 'x':
      case 'X': {
        const char* name = *c == 'x' ? getTypeAsShortCString(type) : getTypeAsLongCString(type);
        displayBuffer(name, std::strlen(name));
        if (type == QelEnTraceDataType::DATA || type == QelEnTraceDataType::DATA_CLIPPED) {
          displayBuffer(" (", 2);
          displayNumber(entry.getDataLength());
          displayBuffer(" ", 1);
          const char* bytes = getMessage(qel::msg::kTraceBytes);
          displayBuffer(bytes, std::strlen(bytes));
          displayBuffer(")", 1);
        }
        if (type == QelEnTraceDataType::DATA_CLIPPED) {
          const char* clipped = getMessage(qel::msg::kTraceClipped);
          displayBuffer(clipped, std::strlen(clipped));
        }
        break;
      }
      case 'c': displayNumber(entry.getComponentId()); break;
      case 'd':
        if (!dataDone) formatData(in, entry);
        dataDone = true;
        break;
      case 'f':
        if (showFunction) displayBuffer(entry.getFunctionName(), entry.getFunctionNameTextLength());
        break;
      case 'l': {
        const char* detail = QelClTraceFilter::getDetailAsCString(entry.getDetail());
        displayBuffer(detail, std::strlen(detail));
        break;
      }
      case 'm': displayBuffer(entry.getMessage(), entry.getMessageTextLength()); break;
      case 'n':
        displayBuffer("\n", 1);
        displayIndent();
        break;
      case 'p': displayNumber(entry.getProcessId()); break;
      case 's': displayNumber(entry.getTimeStamp()); break;
      case 't': displayNumber(entry.getThreadId()); break;
      default: displayBuffer("%", 1); break;  // "%%", and '%' before any other character
    }
  }
  if (!dataDone) skipEntry(in, entry, false);
  pOut->write(sRendered.data(), static_cast<std::streamsize>(sRendered.size()));
  sRendered.clear();
  return true;
}
