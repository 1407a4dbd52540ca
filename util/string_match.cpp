// The pattern-matcher interface, the wildcard matcher and the grep matcher.
#include "qel_util.h"

QelClStringMatchABase::QelClStringMatchABase(const char* pattern, bool flag)
    : cpszPattern(pattern), bFlag(flag) {}

QelClStringMatchABase::~QelClStringMatchABase() = default;

QelClStringMatchWildcards::QelClStringMatchWildcards(const char* pattern, bool caseSensitive)
    : QelClStringMatchABase(pattern, caseSensitive) {}

const char* QelClStringMatchWildcards::getPattern(const char* text) const {
  return qelMatchesWildcardPattern(cpszPattern, text, bFlag) ? text : nullptr;
}

QelClGrep::QelClGrep(const char* pattern, bool flag)
    : QelClStringMatchABase(pattern, flag), ulReady(1) {}

QelClGrep::QelClGrep(int, const char* pattern) : QelClStringMatchABase(pattern, false), ulReady(1) {}

void QelClGrep::init(const char* pattern, int) {
  cpszPattern = pattern;
  ulReady = 1;
}

const char* QelClGrep::getPattern(const char*) const { return nullptr; }

const char* QelClGrep::getPattern(const char*, int) const { return nullptr; }
