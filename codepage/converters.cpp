// The converters: the choice of a conversion function for a pair of CCSIDs, the
// maximum sizes, and the conversion from code page to code page through UCS-2.
#include <algorithm>
#include <cstring>

#include "codepage/conversion_support.h"
#include "codepage/reverse_tables.h"
#include "qel_codepage.h"
#include "qel_memory.h"

namespace {

using Block = QelClConverterABase::_QelStConverter;

bool isHostUcs2(std::uint32_t number) {
  return number == 65501 || number == 61955 || number == 13488 || number == 17584 || number == 1200;
}

bool usesIcu(QelClConverterABase::QelPfuConvert function) {
  return function == qelConvertByAlgorithmIcuToUnicode || function == qelConvertByAlgorithmIcuFromUnicode;
}

}  // namespace

std::uint32_t qel::codepage::tableNumber(std::uint32_t number) {
  switch (number) {
    case 18030: case 5488: return 1392;
    case 5026: return 930;
    case 5035: return 939;
    case 938: return 948;
    case 954: return 33722;
    default: return number;
  }
}

std::uint32_t qel::codepage::icuNumber(std::uint32_t number) {
  return number == 18030 || number == 5488 ? CCSID_GB18030 : number;
}

using qel::codepage::tableNumber;

QelClConverterABase::QelClConverterABase(const QelClCCSID& source, const QelClCCSID& target)
    : stError{0, QelEnErrorClass(0)}, clSourceCCSID(source), clTargetCCSID(target), pvTable(nullptr),
      pfuConvert(qelConvertError) {}

QelClConverterABase::~QelClConverterABase() { deinit(); }

void QelClConverterABase::deinit() {
  if (usesIcu(pfuConvert)) qelDeleteICUConverter(pvTable);
  pvTable = nullptr;
  pfuConvert = qelConvertError;
}

void QelClConverterABase::setConverterError() { pfuConvert = qelConvertError; }

void QelClConverterABase::setError(std::uint32_t id, QelEnErrorClass errorClass) const {
  stError = _QelStError{id, errorClass};
}

void QelClConverterABase::initCodePage2Unicode() {
  const std::uint32_t number = clSourceCCSID.getCCSID();
  if (number == CCSID_UCS2_BIG_ENDIAN) {
    pfuConvert = qelConvertByEndianSwap;
  } else if (isHostUcs2(number)) {
    pfuConvert = qelConvertByCopying;
  } else if (number == CCSID_UTF8) {
    pfuConvert = qelConvertByAlgorithmUTF8toUCS2;
  } else if (const unsigned char* table = qelGetSBCStoUCS2Table(tableNumber(number))) {
    pvTable = table;
    pfuConvert = clSourceCCSID.isEBCDIC() ? qelConvertByTablesSBCS_EBCDICtoUCS2 : qelConvertByTablesSBCS_ASCIItoUCS2;
  } else if (bool ebcdic = false; const _QelStDBCSTable* pages = qelGetDBCStoUCS2Table(tableNumber(number), ebcdic)) {
    pvTable = pages;
    pfuConvert = ebcdic ? qelConvertByTablesDBCS_EBCDICtoUCS2 : qelConvertByTablesDBCS_ASCIItoUCS2;
  } else if (const void* icu = qelGetICUConverter(tableNumber(number), stError)) {
    pvTable = icu;
    pfuConvert = qelConvertByAlgorithmIcuToUnicode;
  }
}

void QelClConverterABase::initUnicode2CodePage() {
  const std::uint32_t number = clTargetCCSID.getCCSID();
  if (number == CCSID_UCS2_BIG_ENDIAN) {
    pfuConvert = qelConvertByEndianSwap;
  } else if (isHostUcs2(number)) {
    pfuConvert = qelConvertByCopying;
  } else if (const unsigned char* pages = qelGetUCS2toSBCSTable(number)) {
    pvTable = pages;
    pfuConvert = qelConvertByTablesUCS2toSBCS;
  } else if (number == CCSID_ISO8859_1) {
    pfuConvert = qelConvertByAlgorithmUCS2to819;
  } else if (number == CCSID_UTF8) {
    pfuConvert = qelConvertByAlgorithmUCS2toUTF8;
  } else if (const void* icu = qelGetICUConverter(qel::codepage::icuNumber(number), stError)) {
    pvTable = icu;
    pfuConvert = qelConvertByAlgorithmIcuFromUnicode;
  } else if (const qel::codepage::ReverseTable* reverse = qel::codepage::findReverseTable(tableNumber(number))) {
    pvTable = reverse;  // where ICU is missing, or has no converter for the page
    pfuConvert = qel::codepage::convertByReverseTable;
  } else if (number != 0 && (number == QelClCCSID::getSystemCCSID() || number == QelClCCSID::getConsoleCCSID())) {
    pfuConvert = qelConvertByWindowsCallUCS2ToWinCP;
  }
}

void QelClConverterABase::initNewCodePage2Unicode(const QelClCCSID& source) {
  deinit();
  clSourceCCSID = source;
  initCodePage2Unicode();
}

bool QelClConverterABase::isSupported() const { return pfuConvert != qelConvertError; }

bool QelClConverterABase::requiresExternalICONVRoutine() const { return pfuConvert == qelConvertError; }

bool QelClConverterABase::requiresExternalICUData() const { return usesIcu(pfuConvert); }

unsigned int QelClConverterABase::convertBytes(char* target, unsigned int targetSize, const char** source,
                                               unsigned int sourceSize) const {
  stError = _QelStError{0, QelEnErrorClass(0)};
  Block block{this, target, targetSize, source, sourceSize};
  return pfuConvert(block);
}

unsigned int QelClConverterABase::convertBytes(char* target, unsigned int targetSize, const char* source,
                                               unsigned int sourceSize) const {
  return convertBytes(target, targetSize, &source, sourceSize);
}

const char* QelClConverterABase::getUCS2BigEndianId() { return "\xFE\xFF"; }
const char* QelClConverterABase::getUCS2LittleEndianId() { return "\xFF\xFE"; }
const char* QelClConverterABase::getUCS2HostEndianId() { return getUCS2LittleEndianId(); }

bool QelClConverterABase::isUCS2BigEndianId(const char* text) {
  return static_cast<unsigned char>(text[0]) == 0xFE && static_cast<unsigned char>(text[1]) == 0xFF;
}

bool QelClConverterABase::isUCS2LittleEndianId(const char* text) {
  return static_cast<unsigned char>(text[0]) == 0xFF && static_cast<unsigned char>(text[1]) == 0xFE;
}

QelClCodePage2UnicodeConverter::QelClCodePage2UnicodeConverter(const QelClCCSID& source)
    : QelClConverterABase(source, CCSID_UCS2) {
  initCodePage2Unicode();
}

unsigned int QelClCodePage2UnicodeConverter::getMaximumSizeForLength(unsigned int length) const {
  return clSourceCCSID.getCCSID() == CCSID_GB18030 ? 4 * length : 2 * length;
}

unsigned int QelClCodePage2UnicodeConverter::getMaximumSizeForSize(unsigned int size) const {
  if (clSourceCCSID.getCCSID() != CCSID_GB18030 && clSourceCCSID.isUCS2()) return size;
  return 2 * size;
}

QelClUnicode2CodePageConverter::QelClUnicode2CodePageConverter(const QelClCCSID& target)
    : QelClConverterABase(CCSID_UCS2, target) {
  initUnicode2CodePage();
}

unsigned int QelClUnicode2CodePageConverter::getMaximumSizeForLength(unsigned int length) const {
  const std::uint32_t number = clTargetCCSID.getCCSID();
  return number == CCSID_UTF8 || number == CCSID_GB18030 ? 4 * length : 2 * length;
}

unsigned int QelClUnicode2CodePageConverter::getMaximumSizeForSize(unsigned int size) const {
  const std::uint32_t number = clTargetCCSID.getCCSID();
  if (number == CCSID_UTF8) return size / 2 * 3;
  if (number == CCSID_GB18030 || clTargetCCSID.isUCS2()) return size;
  return clTargetCCSID.isDBCS() ? size & ~1u : size / 2;
}

QelClCodePage2CodePageConverter::QelClCodePage2CodePageConverter(const QelClCCSID& source, const QelClCCSID& target)
    : QelClCodePage2UnicodeConverter(source), clStep(target), pchBuffer(nullptr), uiBufferSize(0) {}

QelClCodePage2CodePageConverter::~QelClCodePage2CodePageConverter() {
  if (pchBuffer != nullptr) QelClMemoryManager::free(pchBuffer);
}

bool QelClCodePage2CodePageConverter::isSupported() const {
  return QelClCodePage2UnicodeConverter::isSupported() && clStep.isSupported();
}

bool QelClCodePage2CodePageConverter::requiresExternalICONVRoutine() const {
  return QelClCodePage2UnicodeConverter::requiresExternalICONVRoutine() || clStep.requiresExternalICONVRoutine();
}

bool QelClCodePage2CodePageConverter::requiresExternalICUData() const {
  return QelClCodePage2UnicodeConverter::requiresExternalICUData() || clStep.requiresExternalICUData();
}

unsigned int QelClCodePage2CodePageConverter::getMaximumSizeForLength(unsigned int length) const {
  return clStep.getMaximumSizeForLength(length);
}

unsigned int QelClCodePage2CodePageConverter::getMaximumSizeForSize(unsigned int size) const {
  if (clSourceCCSID == getTargetCCSID().getCCSID()) return size;
  const bool gb18030 = clSourceCCSID.getCCSID() == CCSID_GB18030;
  const bool ucs2 = !gb18030 && clSourceCCSID.isUCS2();
  const unsigned int middle = ucs2 ? size : 2 * size;
  const unsigned int result = clStep.getMaximumSizeForSize(middle);
  if (gb18030) return middle;
  if (ucs2) return result;
  return std::min(result, clStep.getMaximumSizeForLength(size));
}

unsigned int QelClCodePage2CodePageConverter::convertBytes(char* target, unsigned int targetSize, const char** source,
                                                           unsigned int sourceSize) const {
  stError = _QelStError{0, QelEnErrorClass(0)};
  if (clSourceCCSID == getTargetCCSID().getCCSID()) {
    const unsigned int n = std::min(sourceSize, targetSize);
    if (n != 0) std::memcpy(target, *source, n);
    *source += n;
    return n;
  }
  if (clSourceCCSID.isUCS2HostEndian()) {
    const unsigned int written = clStep.convertBytes(target, targetSize, source, sourceSize);
    stError = clStep.getError();
    return written;
  }
  if (getTargetCCSID().isUCS2HostEndian()) {
    return QelClCodePage2UnicodeConverter::convertBytes(target, targetSize, source, sourceSize);
  }
  const bool ucs2 = clSourceCCSID.getCCSID() != CCSID_GB18030 && clSourceCCSID.isUCS2();
  const unsigned int need = ucs2 ? sourceSize : 2 * sourceSize;
  if (uiBufferSize < need) {
    if (pchBuffer != nullptr) QelClMemoryManager::free(pchBuffer);
    pchBuffer = nullptr;
    uiBufferSize = 0;
    pchBuffer = static_cast<char*>(QelClMemoryManager::malloc(need + 32768));
    uiBufferSize = need + 32768;
  }
  const unsigned int middle = QelClCodePage2UnicodeConverter::convertBytes(pchBuffer, uiBufferSize, source, sourceSize);
  if (stError.ulErrorId != 0 && stError.ulErrorId != CPCONVERTER_INCOMPLETE) return 0;
  const unsigned int written = clStep.convertBytes(target, targetSize, pchBuffer, middle);
  stError = clStep.getError();
  return written;
}

QelClCodePage2UTF8Converter::QelClCodePage2UTF8Converter(const QelClCCSID& source)
    : QelClCodePage2CodePageConverter(source, CCSID_UTF8) {}
