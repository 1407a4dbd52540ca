// One message of a catalog, with its insertions.
#include "qel_messages.h"

#include <cstring>

#include "qel_memory.h"

namespace {

constexpr std::size_t kWorkCapacity = 4096;
const char kMissing[] = "???";

}  // namespace

QelClMessage::QelClMessage(const QelClMessageCatalog& catalog, unsigned long id)
    : rclCatalog(catalog), achTextBuffer{}, pszText(achTextBuffer), ulMessageId(0), bFound(false) {
  const char* const none[10] = {};
  fetch(id, none);
}

QelClMessage::QelClMessage(const QelClMessageCatalog& catalog, unsigned long id, const char* i1,
                           const char* i2, const char* i3, const char* i4, const char* i5,
                           const char* i6, const char* i7, const char* i8, const char* i9,
                           const char* i10)
    : rclCatalog(catalog), achTextBuffer{}, pszText(achTextBuffer), ulMessageId(0), bFound(false) {
  const char* const insertions[10] = {i1, i2, i3, i4, i5, i6, i7, i8, i9, i10};
  fetch(id, insertions);
}

QelClMessage::QelClMessage(const QelClMessageCatalog& catalog, unsigned long id,
                           const char* const insertions[])
    : rclCatalog(catalog), achTextBuffer{}, pszText(achTextBuffer), ulMessageId(0), bFound(false) {
  fetch(id, insertions);
}

QelClMessage::QelClMessage(const QelClMessage& other)
    : rclCatalog(other.rclCatalog), achTextBuffer{}, pszText(achTextBuffer),
      ulMessageId(other.ulMessageId), bFound(other.bFound) {
  store(other.pszText, std::strlen(other.pszText));
}

QelClMessage& QelClMessage::operator=(const QelClMessage& other) {
  if (this != &other) {
    releaseText();
    store(other.pszText, std::strlen(other.pszText));
    ulMessageId = other.ulMessageId;
    bFound = other.bFound;
  }
  return *this;
}

QelClMessage::~QelClMessage() { releaseText(); }

const char* QelClMessage::setNewMessageId(unsigned long id) {
  const char* const none[10] = {};
  fetch(id, none);
  return pszText;
}

const char* QelClMessage::setNewMessageId(unsigned long id, const char* i1, const char* i2,
                                          const char* i3, const char* i4, const char* i5,
                                          const char* i6, const char* i7, const char* i8,
                                          const char* i9, const char* i10) {
  const char* const insertions[10] = {i1, i2, i3, i4, i5, i6, i7, i8, i9, i10};
  fetch(id, insertions);
  return pszText;
}

void QelClMessage::fetch(unsigned long id, const char* const insertions[]) {
  const char* given[10];
  for (int i = 0; i < 10; ++i) given[i] = insertions[i] != nullptr ? insertions[i] : kMissing;
  releaseText();
  ulMessageId = static_cast<std::uint32_t>(id);
  char work[kWorkCapacity + 1];
  bFound = rclCatalog.fetch(id, given, work);
  if (!bFound) rclCatalog.writeFailureText(id, work);
  store(work, std::strlen(work));
}

// Short texts stay inside the object; longer ones take a block of their own.
void QelClMessage::store(const char* text, std::size_t length) {
  pszText = length < sizeof achTextBuffer
                ? achTextBuffer
                : static_cast<char*>(qelMalloc(static_cast<unsigned int>(length + 1)));
  std::memcpy(pszText, text, length);
  pszText[length] = '\0';
}

void QelClMessage::releaseText() {
  if (pszText != achTextBuffer) qelFree(pszText);
  pszText = achTextBuffer;
  achTextBuffer[0] = '\0';
}
