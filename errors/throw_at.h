// How the library throws: the exception carries the throwing source's module name
// and line as one static text "module:line", then is thrown by value.
// A source that throws defines QEL_MODULE (its file name without extension) first.
#ifndef VRNQEL43_ERRORS_THROW_AT_H
#define VRNQEL43_ERRORS_THROW_AT_H

#define QEL_STRINGIFY_(x) #x
#define QEL_STRINGIFY(x) QEL_STRINGIFY_(x)

#define QEL_THROW(exception)                                                 \
  do {                                                                       \
    auto qelThrown = (exception);                                            \
    qelThrown.setLocation(QEL_MODULE ":" QEL_STRINGIFY(__LINE__), __LINE__); \
    throw qelThrown;                                                         \
  } while (0)

#endif
