// The strict check chosen for a CCSID, and the texts of the faults.
#include "qel_codepage.h"

const char* qelTextFaultGetText(QelEnTextFault fault) {
  static const char* const texts[] = {"no fault",
                                      "truncated character",
                                      "unexpected continuation byte",
                                      "missing continuation byte",
                                      "overlong form",
                                      "surrogate",
                                      "beyond U+10FFFF",
                                      "invalid lead byte",
                                      "unpaired surrogate",
                                      "undefined double-byte character",
                                      "unbalanced shift code",
                                      "double-byte character cut by a shift code",
                                      "no shift-in before the end",
                                      "no strict check for the code page",
                                      "undefined character",
                                      "illegal byte sequence",
                                      "no mapping in the target code set"};
  return fault < sizeof texts / sizeof texts[0] ? texts[fault] : "unknown fault";
}

QelClTextValidator::QelClTextValidator(const QelClCCSID& ccsid)
    : enForm(Form::NONE), ulCCSID(ccsid.getCCSID()), enFault(TEXTFAULT_NONE), ulOffset(0) {
  bool ebcdic = false;
  if (ccsid.getCCSID() == CCSID_UTF8) {
    enForm = Form::UTF8;
  } else if (ccsid.isUCS2()) {
    enForm = ccsid.isUCS2BigEndian() ? Form::UTF16_BIG : Form::UTF16_LITTLE;
  } else if (qelGetDBCStoUCS2Table(ulCCSID, ebcdic) != nullptr) {
    enForm = Form::DBCS;
  }
}

bool QelClTextValidator::isSupported() const { return enForm != Form::NONE; }

bool QelClTextValidator::validate(const char* text, std::size_t size) {
  switch (enForm) {
    case Form::UTF8: enFault = qelValidateUTF8(text, size, &ulOffset); break;
    case Form::UTF16_LITTLE: enFault = qelValidateUTF16(text, size, false, &ulOffset); break;
    case Form::UTF16_BIG: enFault = qelValidateUTF16(text, size, true, &ulOffset); break;
    case Form::DBCS: enFault = qelValidateDBCS(ulCCSID, text, size, &ulOffset); break;
    case Form::NONE:
      enFault = TEXTFAULT_UNSUPPORTED_CCSID;
      ulOffset = 0;
      break;
  }
  return enFault == TEXTFAULT_NONE;
}
