// The trace settings: flags and the record filter, in the object's own block or a
// caller's.

#include "qel_trace.h"

namespace {
constexpr std::uint32_t kSignature = 'Q' << 8 | 'E';  // the bytes 45 51 in memory
}

QelClTraceSettings::QelClTraceSettings() : pstBlock(&stBlock), stBlock{} { init(); }

QelClTraceSettings::QelClTraceSettings(void* block)
    : pstBlock(static_cast<_QelStTraceSettingsBlock*>(block)), stBlock{} {
  init();
}

void QelClTraceSettings::init() {
  pstBlock->ulSignature = kSignature;
  pstBlock->ulFlags = 0;
}

void QelClTraceSettings::setDetailLevel(const char* text) { pstBlock->clFilter.setDetail(text); }

void QelClTraceSettings::initComponentIds(const char* text) {
  pstBlock->clFilter.disableAllComponentIds();
  pstBlock->clFilter.enableComponentIds(text);
}
