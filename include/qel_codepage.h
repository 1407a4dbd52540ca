// vrnqel43: code pages. A CCSID names a coded character set of the registry; the
// converters between them build on it.
#ifndef VRNQEL43_QEL_CODEPAGE_H
#define VRNQEL43_QEL_CODEPAGE_H

#include "qel_base.h"

// A CCSID number; any unsigned 32-bit value can be held. The named ones have a fixed
// role: UCS-2 in host byte order (little-endian here) is 1200, 13488, 17584 or 61955.
enum QelEnCCSID : std::uint32_t {
  CCSID_NONE = 0,
  CCSID_ISO8859_1 = 819,
  CCSID_UTF8 = 1208,
  CCSID_GB18030 = 1392,
  CCSID_UCS2 = 13488,
  CCSID_UCS2_BIG_ENDIAN = 65500,
  CCSID_UCS2_LITTLE_ENDIAN = 65501  // compares equal to CCSID_UCS2
};

// A CCSID and its registry row: name and kind (ASCII- or EBCDIC-based, single- or
// double-byte, UCS-2). The row is looked up on the first query that needs it.
class QEL_API QelClCCSID {
public:
  struct Entry {
    std::uint32_t ulNumber;
    const char* pszName;
    std::uint32_t ulFlags;
  };
  enum : std::uint32_t { ASCII = 1, EBCDIC = 2, DBCS = 4, SBCS = 8, UCS2 = 64 };

  QelClCCSID(QelEnCCSID number) : enCCSID(number), pstEntry(nullptr) {}
  // A decimal number, or a registry name in any case (a name repeated in the registry
  // gives its lowest number). Any other text takes the number from its first digits
  // and is not valid ("CP850": 850, "???").
  explicit QelClCCSID(const char* text);

  QelEnCCSID getCCSID() const { return enCCSID; }
  bool isValid() const;
  // "???" for a number outside the registry.
  const char* getName() const;
  // Equal numbers, 65501 counting as 13488.
  bool operator==(QelEnCCSID other) const;
  bool isUCS2() const { return hasFlag(UCS2); }
  bool isASCII() const { return hasFlag(ASCII); }
  bool isEBCDIC() const { return hasFlag(EBCDIC); }
  bool isDBCS() const { return hasFlag(DBCS); }
  bool isSBCS() const { return hasFlag(SBCS); }
  // By number alone.
  bool isUCS2BigEndian() const { return enCCSID == CCSID_UCS2_BIG_ENDIAN; }
  bool isUCS2LittleEndian() const;
  bool isUCS2HostEndian() const;

  // 65500 for a mark starting with the bytes FE FF, 65501 for FF FE, else 0.
  static QelEnCCSID getCCSIDForUCS2EndianId(const char* mark);
  // The code page the system runs with, and the console's (asked once); 0 when the
  // host's code set has no CCSID.
  static QelEnCCSID getSystemCCSID();
  static QelEnCCSID getConsoleCCSID();

private:
  void determineProperties() const;
  bool hasFlag(std::uint32_t flag) const;

  QelEnCCSID enCCSID;
  mutable const Entry* pstEntry;
};

#endif
