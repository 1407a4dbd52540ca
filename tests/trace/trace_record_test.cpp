// Tests of trace records: header layout, string packing, data.
#include "tests/trace/trace_support.h"

#include "tests/qel_test.h"

namespace {

std::string recordBytes(const QelClTraceEntry& entry) {
  std::string bytes(reinterpret_cast<const char*>(entry.getRecord()), entry.getRecordLength());
  if (entry.getData() != nullptr) bytes.append(static_cast<const char*>(entry.getData()), entry.getDataLength());
  return bytes;
}

// The record without its timestamp, process and thread id.
std::string withoutStamps(const std::string& bytes) { return bytes.substr(0, 4) + bytes.substr(16); }

std::string hex(const std::string& bytes) {
  std::string text;
  char byte[4];
  for (char c : bytes) {
    std::snprintf(byte, sizeof byte, "%02X ", static_cast<unsigned char>(c));
    text += byte;
  }
  return text;
}

TEST(TraceRecord, LayoutOfARecordPlainAndPacked) {
  const std::int32_t value = 42;
  {
    KeyVariables variables("QELTREC", {});
    QelClTraceEnvironment environment("QELTREC", nullptr, false);
    QelClTraceEntry entry(environment, QelEnTraceDetail::LOW, 3, QelEnTraceDataType::INT32, "f", "hi", &value, 4);
    const std::string bytes = recordBytes(entry);
    ASSERT_EQ(bytes.size(), 27u);
    EXPECT_EQ(hex(withoutStamps(bytes)), "4F 03 02 01 04 00 00 00 68 69 66 2A 00 00 00 ");
    EXPECT_EQ(entry.getProcessId(), QelClProcessProperty().getProcessId());
    EXPECT_EQ(entry.getThreadId(), QelClThreadProperty().getThreadId());
    EXPECT_LE(entry.getTimeStamp() - qelGetTimeStamp() + 1000u, 1000u) << "taken just now";
    EXPECT_EQ(entry.getType(), QelEnTraceDataType::INT32);
    EXPECT_EQ(entry.getDetail(), QelEnTraceDetail::LOW);
  }
  KeyVariables variables("QELTREC", {{"COMPRESS", "yes"}});
  QelClTraceEnvironment environment("QELTREC", nullptr, false);
  QelClTraceEntry entry(environment, QelEnTraceDetail::LOW, 3, QelEnTraceDataType::INT32, "f", "hi", &value, 4);
  EXPECT_EQ(hex(withoutStamps(recordBytes(entry))), "6F 03 02 01 04 00 00 00 B2 DF AB 2A 00 00 00 ");
}

TEST(TraceRecord, TypesLengthsAndCuts) {
  KeyVariables variables("QELTREC", {{"BUFSIZE", "4"}});
  QelClTraceEnvironment environment("QELTREC", nullptr, false);
  ASSERT_EQ(environment.getBufferSize(), 4096u - 24u);
  const std::string longText(300, 'x');
  const std::vector<char> data(5000, 'd');
  const struct {
    const char* name;
    QelEnTraceDetail detail;
    QelEnTraceDataType type;
    const char* message;
    const void* data;
    unsigned int length;
    QelEnTraceDataType recordedType;
    std::uint32_t messageLength, dataLength;
  } cases[] = {
      {"nothing", QelEnTraceDetail::OFF, QelEnTraceDataType::NO_DATA, "", nullptr, 0, QelEnTraceDataType::DATA_NULL, 0, 0},
      {"null data", QelEnTraceDetail::LOW, QelEnTraceDataType::INT32, "m", nullptr, 4, QelEnTraceDataType::DATA_NULL, 1, 0},
      {"long message", QelEnTraceDetail::MED, QelEnTraceDataType::DATA, longText.c_str(), data.data(), 10,
       QelEnTraceDataType::DATA, 255, 10},
      {"data over the capacity", QelEnTraceDetail::HIGH, QelEnTraceDataType::UINT8, "", data.data(), 5000,
       QelEnTraceDataType::DATA_CLIPPED, 0, 4072},
  };
  for (const auto& c : cases) {
    QelClTraceEntry entry(environment, c.detail, 0, c.type, "", c.message, c.data, c.length);
    EXPECT_EQ(entry.getType(), c.recordedType) << c.name;
    EXPECT_EQ(entry.getDetail(), c.detail) << c.name;
    EXPECT_EQ(entry.getMessageLength(), c.messageLength) << c.name;
    EXPECT_EQ(entry.getDataLength(), c.dataLength) << c.name;
    EXPECT_EQ(entry.getRecordLength(), 20u + c.messageLength) << c.name;
  }
  QelClTraceEntry entry(environment, QelEnTraceDetail::HIGH, 300, QelEnTraceDataType::DATA, longText.c_str(), "", "", 0);
  EXPECT_EQ(entry.getComponentId(), 300u % 256u);
  EXPECT_EQ(entry.getFunctionNameLength(), 255u);
  EXPECT_EQ(entry.getRecord()[0], 0xC4) << "type 4 under detail HIGH";
}

TEST(TraceRecord, PackingExamplesRoundTrip) {
  const struct {
    const char* text;
    const char* packed;
  } cases[] = {{"Ab", "2E 6F "}, {"1", "FC C7 "}, {"hi", "B2 DF "}, {"f", "AB "}, {"", ""},
               {"a.b\xE4 z", "97 F2 E9 BF E4 03 EF "}};
  for (const auto& c : cases) {
    char packed[255];
    const unsigned int bytes = QelClTraceEntry::compressCString(packed, c.text, sizeof packed);
    EXPECT_EQ(hex(std::string(packed, bytes)), c.packed) << c.text;
    char text[400];
    EXPECT_EQ(QelClTraceEntry::deCompressCString(text, packed, bytes), std::strlen(c.text)) << c.text;
    EXPECT_STREQ(text, c.text);
  }
}

TEST(TraceRecord, PackingStopsWithinItsLimit) {
  const std::string digits(400, '7');  // 14 bits each
  const std::string letters(400, 'Q');  // 6 bits each
  const struct {
    const std::string& text;
    unsigned int limit, bytes, characters;
  } cases[] = {{digits, 255, 254, 145}, {letters, 255, 255, 339}, {letters, 1, 1, 1}, {digits, 1, 0, 0},
               {digits, 0, 0, 0}};
  for (const auto& c : cases) {
    char packed[256];
    std::memset(packed, 0x5A, sizeof packed);
    const unsigned int bytes = QelClTraceEntry::compressCString(packed, c.text.c_str(), c.limit);
    EXPECT_EQ(bytes, c.bytes) << c.text[0] << " in " << c.limit;
    EXPECT_EQ(packed[c.limit], 0x5A) << "nothing written behind the limit";
    char text[400];
    EXPECT_EQ(QelClTraceEntry::deCompressCString(text, packed, bytes), c.characters) << c.text[0] << " in " << c.limit;
  }
}

}  // namespace
