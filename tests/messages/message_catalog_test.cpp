// Tests of message catalogs, messages with insertions, and the plain catalog functions.
#include "tests/qel_test.h"

namespace {

const char* const* builtIn() { return qelMsgCatGetBuiltInTable(nullptr); }

// A catalog whose module is absent, serving the given table.
class TableCatalog {
public:
  TableCatalog(const char* const table[], unsigned long entries)
      : catalog(QelClFilename("no_such_catalog.cat")) {
    catalog.useStringTable(table, entries);
  }
  QelClMessageCatalog catalog;
};

bool isInside(const QelClMessage& message) {
  const char* begin = reinterpret_cast<const char*>(&message);
  return message.getText() >= begin && message.getText() < begin + sizeof message;
}

// Message 2 of the built-in table with the given insertions, "???" for the rest.
std::string message2(std::initializer_list<const char*> insertions, const char* end = "") {
  std::string text = "Percent:%";
  auto insertion = insertions.begin();
  for (int n = 1; n <= 10; ++n, insertion += insertion != insertions.end()) {
    const bool given = insertion != insertions.end() && *insertion != nullptr;
    text += " Arg" + std::to_string(n) + ":" + (given ? *insertion : "???");
  }
  return text + end;
}

}  // namespace

// A module that does not load leaves the host's reason (ERROR_MOD_NOT_FOUND; POSIX has
// no message modules) and a clear record.
TEST(MessageCatalog, ModuleNameTakesTheExtensionDll) {
  const QelClMessageCatalog catalog(QelClFilename("messages.cat"));
  EXPECT_STREQ(catalog.getFileName(), "messages.DLL");
  EXPECT_FALSE(catalog.isModuleLoaded());
  EXPECT_FALSE(catalog.isDefaultCatalog());
  EXPECT_EQ(catalog.getLanguage(), 0u);
#ifdef _WIN32
  EXPECT_EQ(catalog.getHostError(), 126u);
#else
  EXPECT_EQ(qelHostErrorGetClass(catalog.getHostError()), QelEnErrorClass::FUNCTION_NOT_SUPPORTED);
#endif
  expectError(catalog);

  const QelClMessageCatalog library;
  EXPECT_STREQ(library.getFileName(), "vrnmsg43.DLL");
  EXPECT_TRUE(library.isDefaultCatalog());
  EXPECT_FALSE(QelClMessageCatalog::isValidMessageId(0));
  EXPECT_TRUE(QelClMessageCatalog::isValidMessageId(1));
}

// Without module or table every message fails; a table serves its entries only.
TEST(MessageCatalog, MessagesComeFromTheTableOrFail) {
  const QelClMessageCatalog catalog(QelClFilename("absent.cat"));
  for (unsigned long id : {0ul, 2ul, 5000ul}) {
    const QelClMessage message(catalog, id);
    EXPECT_FALSE(message.isFound());
    EXPECT_STREQ(message.getText(), "UNABLE TO LOAD MESSAGE CATALOG: absent.DLL");
    EXPECT_EQ(message.getMessageId(), id);
  }
  const TableCatalog table(builtIn(), 274);
  EXPECT_STREQ(QelClMessage(table.catalog, 273).getText(), "[QEL-LIBRARY]");
  EXPECT_STREQ(QelClMessage(table.catalog, 0).getText(), "[QEL_MSGTAB_SIGNATURE] 274");
  const QelClMessage beyond(table.catalog, 274);
  EXPECT_FALSE(beyond.isFound());
  EXPECT_STREQ(beyond.getText(), "UNABLE TO LOAD MESSAGE CATALOG: no_such_catalog.DLL");
}

TEST(Message, InsertionsFillThePlaceholders) {
  const TableCatalog table(builtIn(), 274);
  EXPECT_EQ(QelClMessage(table.catalog, 2).getText(), message2({}));
  const QelClMessage full(table.catalog, 2, "a", "b", "c", "d", "e", "f", "g", "h", "i", "j");
  EXPECT_EQ(full.getText(), message2({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}));
  const char* const some[10] = {"x", nullptr, "z"};
  EXPECT_EQ(QelClMessage(table.catalog, 2, some).getText(), message2({"x", nullptr, "z"}));
}

// Texts longer than the working buffer are cut there.
TEST(Message, PlaceholderSyntaxAndLongTexts) {
  const std::string huge(5000, 'w');
  const char* const texts[] = {"[SIG]", "[T]", "100%", "%x and %0", "%%1 %10 %11 %-1 %+2",
                               "%02z", "% 3", "%", huge.c_str()};
  const TableCatalog table(texts, 9);
  const char* const insertions[10] = {"one", "two", "three", nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, "ten"};
  const auto text = [&](unsigned long id) {
    return std::string(QelClMessage(table.catalog, id, insertions).getText());
  };
  EXPECT_EQ(text(2), "100???");
  EXPECT_EQ(text(3), "???x and ???");
  EXPECT_EQ(text(4), "%1 ten ??? ???" "-1 two+2");
  EXPECT_EQ(text(5), "twoz");
  EXPECT_EQ(text(6), "three 3");  // blanks are skipped to read the number, then kept
  EXPECT_EQ(text(7), "???");
  EXPECT_EQ(text(8), std::string(4096, 'w'));
}

TEST(Message, ShortTextsStayInsideTheObject) {
  const std::string eighty(80, 'e');
  const std::string eightyOne(81, 'f');
  const char* const texts[] = {"[SIG]", "[T]", eighty.c_str(), eightyOne.c_str()};
  const TableCatalog table(texts, 4);
  QelClMessage message(table.catalog, 2);
  EXPECT_TRUE(isInside(message));
  EXPECT_EQ(message.getText(), eighty);
  EXPECT_STREQ(message.setNewMessageId(3), eightyOne.c_str());
  EXPECT_FALSE(isInside(message));

  const QelClMessage copy(message);
  EXPECT_NE(copy.getText(), message.getText());
  EXPECT_EQ(std::string(copy.getText()), eightyOne);

  QelClMessage assigned(table.catalog, 2);
  assigned = message;
  EXPECT_EQ(std::string(assigned.getText()), eightyOne);
  assigned = QelClMessage(table.catalog, 2);
  EXPECT_TRUE(isInside(assigned));

  QelClMessage& self = message;
  message = self;
  EXPECT_EQ(std::string(message.getText()), eightyOne);
  EXPECT_EQ(message.getMessageId(), 3u);
  EXPECT_TRUE(message.isFound());
}

TEST(MessageCatalogFunctions, OpenFailsWithoutModuleUnlessATableServes) {
  EXPECT_EQ(qelMsgCatOpen("absent_catalog"), nullptr);
  qelMsgCatClose(nullptr);
  const QelClMessageCatalog catalog(QelClFilename("absent.cat"));
  EXPECT_EQ(qelMsgCatOpenAttach(&catalog), nullptr);
  EXPECT_EQ(qelMsgCatOpenAttach(nullptr), nullptr);
  QelMsgCatHandle handle = qelMsgCatOpenOrUseStringTable("absent_catalog", builtIn(), 274);
  ASSERT_NE(handle, nullptr);
  EXPECT_STREQ(qelMsgCatGet(handle, 3), "YES");
  EXPECT_EQ(qelMsgCatGetVar(handle, 2, "a", "b", static_cast<const char*>(nullptr)),
            message2({"a", "b"}));
  EXPECT_EQ(qelMsgCatGetVar(handle, 2, static_cast<const char*>(nullptr)), message2({}));
  EXPECT_TRUE(qelMsgCatIsValid(handle, 0));
  EXPECT_TRUE(qelMsgCatIsValid(handle, 273));
  EXPECT_FALSE(qelMsgCatIsValid(handle, 274));
  EXPECT_EQ(qelMsgCatGetLanguage(handle), 0u);
  qelMsgCatClose(handle);
}

TEST(MessageCatalogProxy, RefersToACatalogWithoutOwningIt) {
  const TableCatalog table(builtIn(), 274);
  {
    QelClMessageCatalogProxy proxy(&table.catalog);
    EXPECT_STREQ(proxy.getMessage(4), "NO");
    const char* const insertions[10] = {"p"};
    EXPECT_EQ(proxy.getMessage(2, insertions), message2({"p"}));
  }
  EXPECT_STREQ(QelClMessage(table.catalog, 4).getText(), "NO");
}

#if defined(_WIN32)
// The test programs have the message modules catalog_en_de.dll and catalog_de.dll
// next to them; Wine's default language is English (United States).
TEST(MessageModule, MessagesComeFromTheModuleInTheUsersLanguage) {
  const QelClMessageCatalog catalog(QelClFilename("catalog_en_de.cat"));
  ASSERT_TRUE(catalog.isModuleLoaded());
  EXPECT_EQ(catalog.getHostError(), 0u);
  EXPECT_TRUE(catalog.isLanguageFound());
  EXPECT_EQ(catalog.getLanguage(), 0x0409u);
  EXPECT_STREQ(QelClMessage(catalog, 1).getText(), "[QEL-LIBRARY]\r\n");
  const char* const insertions[10] = {"a", "b"};
  EXPECT_EQ(QelClMessage(catalog, 2, insertions).getText(), message2({"a", "b"}, "\r\n"));
  const QelClMessage missing(catalog, 9);
  EXPECT_FALSE(missing.isFound());
  EXPECT_STREQ(missing.getText(), "UNABLE TO LOAD MESSAGE #9 FROM CATALOG: catalog_en_de.DLL");

  QelMsgCatHandle attached = qelMsgCatOpenAttach(&catalog);
  ASSERT_NE(attached, nullptr);
  EXPECT_EQ(qelMsgCatGetLanguage(attached), 0x0409u);
  EXPECT_STREQ(qelMsgCatGet(attached, 3), "YES\r\n");
  EXPECT_STREQ(qelMsgCatGetVar(attached, 17, static_cast<const char*>(nullptr)), "Usage\r\n");
  qelMsgCatClose(attached);
  EXPECT_TRUE(catalog.isModuleLoaded());

  QelMsgCatHandle opened = qelMsgCatOpen("catalog_en_de");
  ASSERT_NE(opened, nullptr);
  EXPECT_TRUE(qelMsgCatIsValid(opened, 2));
  EXPECT_FALSE(qelMsgCatIsValid(opened, 4));
  EXPECT_EQ(qelMsgCatGetVar(opened, 2, "x", static_cast<const char*>(nullptr)),
            message2({"x"}, "\r\n"));
  qelMsgCatClose(opened);
}

TEST(MessageModule, ModuleWithoutTheLanguagesFallsBackToEnglish) {
  const QelClMessageCatalog catalog(QelClFilename("catalog_de"));
  ASSERT_TRUE(catalog.isModuleLoaded());
  EXPECT_FALSE(catalog.isLanguageFound());
  EXPECT_EQ(catalog.getLanguage(), 1033u);
  const QelClMessage message(catalog, 3);
  EXPECT_FALSE(message.isFound());
  EXPECT_STREQ(message.getText(), "UNABLE TO LOAD MESSAGE #3 FROM CATALOG: catalog_de.DLL");
}
#endif
