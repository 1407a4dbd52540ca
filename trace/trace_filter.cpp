// Which records count: detail level, process, thread and component set.
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "qel_trace.h"

namespace {

constexpr unsigned short kLastComponent = 255;

// The text starts with the keyword, case ignored.
bool startsWith(const char* text, const char* keyword) {
  for (; *keyword != '\0'; ++text, ++keyword) {
    if (std::toupper(static_cast<unsigned char>(*text)) != *keyword) return false;
  }
  return true;
}

}  // namespace

QelClTraceFilter::QelClTraceFilter()
    : ulDetailLevel(static_cast<std::uint32_t>(QelEnTraceDetail::LOW)), ulProcessId(0), ulThreadId(0) {
  enableAllComponentIds();
}

void QelClTraceFilter::setDetail(const char* text) {
  QelEnTraceDetail detail = QelEnTraceDetail::OFF;
  if (startsWith(text, "HIGH")) {
    detail = QelEnTraceDetail::HIGH;
  } else if (startsWith(text, "MED")) {
    detail = QelEnTraceDetail::MED;
  } else if (startsWith(text, "LOW")) {
    detail = QelEnTraceDetail::LOW;
  }
  setDetail(detail);
}

const char* QelClTraceFilter::getDetailAsCString(QelEnTraceDetail detail) {
  static const char* const names[] = {"OFF", "LOW", "MED", "HIGH"};
  const auto index = static_cast<unsigned int>(detail);
  return index < 4 ? names[index] : nullptr;
}

void QelClTraceFilter::setProcessId(const char* text) {
  ulProcessId = static_cast<std::uint32_t>(std::strtol(text, nullptr, 10));
}

void QelClTraceFilter::setThreadId(const char* text) {
  ulThreadId = static_cast<std::uint32_t>(std::strtol(text, nullptr, 10));
}

void QelClTraceFilter::enableComponentId(unsigned short id) {
  if (id <= kLastComponent) aucComponents[id / 8] = static_cast<unsigned char>(aucComponents[id / 8] | 1u << (id % 8));
}

void QelClTraceFilter::disableComponentId(unsigned short id) {
  if (id <= kLastComponent) aucComponents[id / 8] = static_cast<unsigned char>(aucComponents[id / 8] & ~(1u << (id % 8)));
}

void QelClTraceFilter::enableAllComponentIds() { std::memset(aucComponents, 0xFF, sizeof aucComponents); }

void QelClTraceFilter::disableAllComponentIds() { std::memset(aucComponents, 0, sizeof aucComponents); }

void QelClTraceFilter::setComponentIdSet(unsigned short first, unsigned short last, bool enable) {
  if (first == 0) return;
  if (last == 0) last = first;
  if (last > kLastComponent) last = kLastComponent;
  for (unsigned int id = first; id <= last; ++id) {
    if (enable) {
      enableComponentId(static_cast<unsigned short>(id));
    } else {
      disableComponentId(static_cast<unsigned short>(id));
    }
  }
}

// The list is read with a pending range, a mode and a target for the next number;
// ',' and the list's end apply the range.
void QelClTraceFilter::enableComponentIds(const char* list) {
  unsigned long range[2] = {0, 0};
  unsigned int target = 0;
  bool include = true;
  const auto apply = [&] {
    // Numbers beyond 65535 stand above every component: they clamp like 256 does.
    const auto clamp = [](unsigned long value) { return static_cast<unsigned short>(value > 65535 ? 65535 : value); };
    setComponentIdSet(clamp(range[0]), clamp(range[1]), include);
  };
  for (const char* c = list; *c != '\0'; ++c) {
    if (std::isdigit(static_cast<unsigned char>(*c))) {
      unsigned long value = 0;
      for (; std::isdigit(static_cast<unsigned char>(*c)); ++c) {
        if (value < 1000000) value = value * 10 + static_cast<unsigned long>(*c - '0');
      }
      range[target] = value;
      --c;
    } else if (*c == '.') {
      target = 1;
    } else if (*c == '*') {
      range[0] = 1;
      range[1] = kLastComponent;
    } else if (*c == '+' || *c == '-') {
      include = *c == '+';
    } else if (*c == ',') {
      apply();
      range[0] = range[1] = 0;
      include = true;
      target = 0;
    }
  }
  apply();
}

bool QelClTraceFilter::usesCompIdFilter() const {
  for (unsigned short id = 1; id <= kLastComponent; ++id) {
    if (!isComponentIdEnabled(id)) return true;
  }
  return false;
}
