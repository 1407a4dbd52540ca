/// \file
/// vrnqel43: messages and languages.
#ifndef VRNQEL43_QEL_MESSAGES_H
#define VRNQEL43_QEL_MESSAGES_H

#include "qel_base.h"
#include "qel_filesystem.h"

#include <iosfwd>

// ---- Message tables ------------------------------------------------------------
/// The library's own string table: entry 0 is the signature line
/// "[QEL_MSGTAB_SIGNATURE] 274", entry 1 the catalog name "[QEL-LIBRARY]", the others
/// the library's messages by number. Stores the entry count (274) in *entries.
QEL_C_API const char* const* qelMsgCatGetBuiltInTable(unsigned long* entries);

// ---- Catalogs --------------------------------------------------------------------
/// Numbered messages from a message module (a resource-only DLL found by its file name,
/// Windows only) or, when that does not load, from an attached string table. Fetching
/// never fails: a message that cannot be had gets a failure text naming the catalog.
class QEL_API QelClMessageCatalog : public QelClFile {
public:
  /// The module is name with its extension replaced by ".DLL".
  explicit QelClMessageCatalog(const QelClFilename& name);
  /// The library's own catalog: the module "vrnmsg43.DLL".
  QelClMessageCatalog();
  QelClMessageCatalog(const QelClMessageCatalog&) = delete;
  QelClMessageCatalog& operator=(const QelClMessageCatalog&) = delete;
  ~QelClMessageCatalog() override;

  /// Every number but 0.
  static bool isValidMessageId(unsigned long id);
  /// Attaches table (not copied: it must outlive the catalog), replacing any other.
  void useStringTable(const char* const table[], unsigned long entries);

  /// When the module did not load, getHostError() tells the host's reason (on POSIX,
  /// which has no message modules, ENOSYS); the error record stays clear.
  bool isModuleLoaded() const { return bModuleLoaded; }
  /// Whether this is the library's own catalog (built by the default constructor).
  bool isDefaultCatalog() const { return bDefaultCatalog; }
  /// Messages can come from somewhere: a loaded module or an attached string table.
  bool hasTexts() const { return bModuleLoaded || ppszStringTable != nullptr; }
  /// The language (a Windows LANGID) in which messages come from the module; 0 without one.
  unsigned int getLanguage() const { return uiLanguage; }
  /// The probe message was found in the user's or the system's default language.
  bool isLanguageFound() const { return bLanguageFound; }
  /// The module's file name text.
  const char* getFileName() const { return getAsCString(); }

private:
  friend class QelClMessage;
  void startUp();
  /// Message id into buffer (room for 4096 characters and a terminator); false when the
  /// catalog does not have it.
  bool fetch(unsigned long id, const char* const insertions[10], char* buffer) const;
  void writeFailureText(unsigned long id, char* buffer) const;

  void* hMessageModule;
  bool bModuleLoaded;
  bool bDefaultCatalog;
  const char* const* ppszStringTable;
  std::uint32_t ulStringTableEntries;
  unsigned int uiLanguage;
  bool bLanguageFound;
};

/// One message of a catalog with up to ten insertions; its text is ready once the
/// object is built. In string-table messages `%1` to `%10` are the insertions and `%%`
/// is `%`; a missing insertion (null) reads "???".
class QEL_API QelClMessage {
public:
  /// Message id of catalog without insertions.
  QelClMessage(const QelClMessageCatalog& catalog, unsigned long id);
  /// Message id of catalog with the insertions i1 to i10, each may be null.
  QelClMessage(const QelClMessageCatalog& catalog, unsigned long id, const char* i1,
               const char* i2, const char* i3, const char* i4, const char* i5, const char* i6,
               const char* i7, const char* i8, const char* i9, const char* i10);
  /// Exactly ten insertion pointers, each may be null.
  QelClMessage(const QelClMessageCatalog& catalog, unsigned long id,
               const char* const insertions[]);
  /// A copy has its own text, from the same catalog.
  QelClMessage(const QelClMessage& other);
  /// Takes the other's text, number and found flag; the catalog stays this one's.
  QelClMessage& operator=(const QelClMessage& other);
  ~QelClMessage();

  /// Replaces the text by message id without insertions; returns the new text.
  const char* setNewMessageId(unsigned long id);
  /// Replaces the text by message id with the insertions i1 to i10; returns the new text.
  const char* setNewMessageId(unsigned long id, const char* i1, const char* i2, const char* i3,
                              const char* i4, const char* i5, const char* i6, const char* i7,
                              const char* i8, const char* i9, const char* i10);

  /// The message's text, or the catalog's failure text when it was not found.
  const char* getText() const { return pszText; }
  /// Whether the catalog had the message.
  bool isFound() const { return bFound; }
  /// The message's number.
  std::uint32_t getMessageId() const { return ulMessageId; }

private:
  void fetch(unsigned long id, const char* const insertions[]);
  void store(const char* text, std::size_t length);
  void releaseText();

  const QelClMessageCatalog& rclCatalog;
  char achTextBuffer[81];
  char* pszText;
  std::uint32_t ulMessageId;
  bool bFound;
};

/// A catalog behind a plain function interface: the handle of the qelMsgCat functions.
class QEL_API QelClMessageCatalogProxy {
public:
  /// Owns a new catalog made from name.
  explicit QelClMessageCatalogProxy(const QelClFilename& name);
  /// Owns a new catalog; table is attached when its module did not load.
  QelClMessageCatalogProxy(const QelClFilename& name, const char* const table[],
                           unsigned long entries);
  /// Refers to catalog without owning it.
  explicit QelClMessageCatalogProxy(const QelClMessageCatalog* catalog);
  QelClMessageCatalogProxy(const QelClMessageCatalogProxy&) = delete;
  QelClMessageCatalogProxy& operator=(const QelClMessageCatalogProxy&) = delete;
  ~QelClMessageCatalogProxy();

  /// Whether the catalog has message id.
  bool isValidMessageId(unsigned long id) const;
  /// The catalog's language (QelClMessageCatalog::getLanguage).
  unsigned int getLanguage() const;
  /// The text stays valid until the next getMessage on this proxy.
  const char* getMessage(unsigned long id);
  /// Message id with exactly ten insertion pointers (each may be null); valid until the next getMessage.
  const char* getMessage(unsigned long id, const char* const insertions[]);
  /// The catalog the proxy serves.
  const QelClMessageCatalog& getCatalog() const { return *pclCatalog; }

private:
  bool bOwnsCatalog;
  const QelClMessageCatalog* pclCatalog;
  char achBuffer[4100];
};

/// The handle of a catalog opened by the qelMsgCat functions.
typedef QelClMessageCatalogProxy* QelMsgCatHandle;

/// Null when the catalog's module did not load.
QEL_C_API QelMsgCatHandle qelMsgCatOpen(const char* name);
/// Null when catalog has no loaded module; the catalog is never destroyed by the handle.
QEL_C_API QelMsgCatHandle qelMsgCatOpenAttach(const QelClMessageCatalog* catalog);
/// Never null: the table serves when the module did not load.
QEL_C_API QelMsgCatHandle qelMsgCatOpenOrUseStringTable(const char* name, const char* const table[],
                                                         unsigned long entries);
/// Whether the catalog of handle has message id.
QEL_C_API bool qelMsgCatIsValid(QelMsgCatHandle handle, unsigned long id);
/// The language of the catalog of handle (QelClMessageCatalog::getLanguage).
QEL_C_API unsigned int qelMsgCatGetLanguage(QelMsgCatHandle handle);
/// Message id without insertions; valid until the next call on the handle.
QEL_C_API const char* qelMsgCatGet(QelMsgCatHandle handle, unsigned long id);
/// The insertions follow as texts, ended by a null pointer; at most ten are taken.
QEL_C_API const char* qelMsgCatGetVar(QelMsgCatHandle handle, unsigned long id, ...);
/// A null handle is ignored.
QEL_C_API void qelMsgCatClose(QelMsgCatHandle handle);

// ---- Languages -------------------------------------------------------------------
/// A language and optionally a territory, as locale texts name them (en-us, de_DE).
class QEL_API QelClLanguage {
public:
  /// Indices into the language table; LANGUAGE_NONE: no language recognised.
  enum QelEnLanguage : unsigned int {
#define QEL_LANGUAGE(id, code, name) LANGUAGE_##id,
#include "qel_languages.inc"
    LANGUAGE_NONE
  };
  /// Indices into the territory table; TERRITORY_UNSPECIFIED (0): none given,
  /// TERRITORY_NONE: not recognised.
  enum QelEnTerritory : unsigned int {
#define QEL_TERRITORY(id, shortCode, longCode, number, name) TERRITORY_##id,
#include "qel_territories.inc"
    TERRITORY_NONE
  };

  /// Joins a language code and a territory code: "-".
  static const char* const cv_cpszCombiningCharString;

  /// The language and territory of a locale text: the language from its first two characters, the territory from what follows the first "-" (or else "_"), both in any case.
  explicit QelClLanguage(const char* locale);
  /// The language index in the high 16 bits, the territory index in the low 16 bits;
  /// an index beyond its table counts as not recognised.
  explicit QelClLanguage(unsigned int number);

  /// The language index in the high 16 bits and the territory index in the low 16 bits.
  unsigned int asNumber() const;
  /// The language, or LANGUAGE_NONE.
  QelEnLanguage getLanguage() const { return enLanguage; }
  /// The territory, TERRITORY_UNSPECIFIED or TERRITORY_NONE.
  QelEnTerritory getTerritory() const { return enTerritory; }

  /// "en-us", or "en-**" without territory; "??" for a part not recognised.
  /// The buffer holds at least 6 characters and the terminator.
  void extractShortCode(char* buffer) const;
  /// "en-usa", or "en-*" without territory; the buffer holds at least 7 characters
  /// and the terminator.
  void extractLongCode(char* buffer) const;

  /// Row data of the tables: the language's English name ("German") and two-letter code,
  /// the territory's English name, two- and three-letter codes and number. "??" (or -1
  /// for the number) for LANGUAGE_NONE, TERRITORY_NONE and anything beyond the tables.
  ///@{
  static const char* getLanguageName(QelEnLanguage language);
  static const char* getLanguageCode(QelEnLanguage language);
  static const char* getTerritoryName(QelEnTerritory territory);
  static const char* getTerritoryCodeShort(QelEnTerritory territory);
  static const char* getTerritoryCodeLong(QelEnTerritory territory);
  static int getTerritoryIdNumber(QelEnTerritory territory);
  ///@}
  /// The number of rows of the language table, LANGUAGE_UNSPECIFIED included.
  static unsigned int getNumberOfLanguagesSupported();
  /// The number of rows of the territory table, TERRITORY_UNSPECIFIED included.
  static unsigned int getNumberOfTerritoriesSupported();

protected:
  /// Takes the language from the first two characters and the territory from
  /// everything after the first "-" (or else "_"), both ignoring case.
  void init(const char* locale);

private:
  QelEnLanguage enLanguage;
  QelEnTerritory enTerritory;
};

/// "en-us", "en" without territory, "??" when either part was not recognised.
QEL_API std::ostream& operator<<(std::ostream& out, const QelClLanguage& language);

#endif
