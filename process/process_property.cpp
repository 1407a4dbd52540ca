// Process and thread ids.
#include "qel_process.h"

#include "platform/platform.h"

QelClProcessProperty::QelClProcessProperty() : ulProcessId(qel::platform::currentProcessId()) {}

QelClProcessProperty::QelClProcessProperty(unsigned int processId) : ulProcessId(processId) {}

QelClThreadProperty::QelClThreadProperty() : ulThreadId(qel::platform::currentThreadId()) {}

QelClThreadProperty::QelClThreadProperty(unsigned int threadId) : ulThreadId(threadId) {}
