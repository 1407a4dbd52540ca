// The walk over a trace file's records: whole records, a cut last record, the first
// damaged one, and files that can't be read.
#include "tests/trace/trace_support.h"

#include "tests/qel_test.h"

namespace {

using Type = QelEnTraceDataType;

std::string word(std::uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i));
  return bytes;
}

// A record's bytes: texts "hi" and "f", the given type and data.
std::string record(Type type, const std::string& data) {
  std::string bytes{static_cast<char>(type), 3, 2, 1};
  return bytes + word(1000) + word(16) + word(32) + word(static_cast<std::uint32_t>(data.size())) + "hif" + data;
}

class TraceFileScan : public ::testing::Test {
protected:
  void TearDown() override { std::remove(file.c_str()); }
  QelClTraceFileScan scan(const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
    return QelClTraceFileScan(file.c_str());
  }

  // Whether the formatter refuses bytes as a trace file of corrupted data.
  bool isRefused(const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
    std::ostringstream out;
    formatter.setFormatString("%d");
    try {
      formatter.format(out);
    } catch (const QelClException& exception) {
      return exception.getErrorId() == TRACEFORMAT_FILE_CORRUPTED;
    }
    return false;
  }

  std::string file = std::string("scan_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".trc";
  KeyVariables variables{"QELTSCAN", {{"FILE", file}}};
  QelClTraceEnvironment environment{"QELTSCAN", nullptr, true};
  QelClTraceFormatter formatter{environment, nullptr};
};

TEST_F(TraceFileScan, WholeAndCutRecords) {
  // The header after a + b straddles the scan's 64 KiB blocks.
  const std::string a = record(Type::INT32, word(42)), b = record(Type::DATA, std::string(65468, 'x')),
                    last = record(Type::CSTRING, "xyz");
  const struct {
    const char* name;
    std::string bytes;
    std::uint64_t records, cut;
  } cases[] = {
      {"empty", "", 0, 0},
      {"whole", a + b + last, 3, 0},
      {"cut in a header", a + b + a.substr(0, 19), 2, 19},
      {"cut in the texts", a + a.substr(0, 22), 1, 22},
      {"cut in the data", a + b.substr(0, 65000), 1, 65000},
      {"one byte", "\x0F", 0, 1},
  };
  for (const auto& c : cases) {
    const QelClTraceFileScan s = scan(c.bytes);
    EXPECT_EQ(s.getHostError(), 0u) << c.name;
    EXPECT_EQ(s.getWholeRecordCount(), c.records) << c.name;
    EXPECT_EQ(s.getWholeLength() + s.getCutLength(), c.bytes.size()) << c.name;
    EXPECT_EQ(s.getCutLength(), c.cut) << c.name;
    EXPECT_EQ(s.hasCutRecord(), c.cut != 0) << c.name;
    EXPECT_FALSE(s.hasDamagedRecord()) << c.name;
  }
}

// The records the formatter refuses, each after a whole one, and the lengths each type
// allows.
TEST_F(TraceFileScan, FirstDamagedRecord) {
  const std::string good = record(Type::INT32, word(1));
  const struct {
    std::string bad;
    bool damaged;
  } cases[] = {
      {record(Type::NONE, ""), true},
      {record(static_cast<Type>(22), ""), true},
      {record(Type::FUNCTION_ENTRY, "ab"), true},
      {record(Type::FUNCTION_EXIT, word(1)), false},
      {record(Type::ADDRESS, word(1) + word(2)), true},
      {record(Type::NO_DATA, "a"), true},
      {record(Type::NO_DATA, ""), false},
      {record(Type::DATA_NULL, std::string(128, 'x')), true},
      {record(Type::LONG_DOUBLE, std::string(127, 'x')), false},
      {record(Type::INT8, std::string(128, 'x')), true},
      {record(Type::DATA, std::string(128, 'x')), false},
      {record(Type::DATA_CLIPPED, std::string(128, 'x')), false},
      {record(Type::CSTRING, std::string(128, 'x')), false},
      {record(Type::WIDE_STRING, std::string(128, 'x')), false},
  };
  for (const auto& c : cases) {
    const QelClTraceFileScan s = scan(good + c.bad + record(Type::NONE, "") + good);
    const unsigned type = static_cast<unsigned char>(c.bad[0]);
    EXPECT_EQ(s.getWholeRecordCount(), 4u) << type << ": the walk goes on";
    EXPECT_TRUE(s.hasDamagedRecord()) << type;
    EXPECT_EQ(s.getDamagedOffset(), good.size() + (c.damaged ? 0 : c.bad.size())) << type;
    EXPECT_EQ(isRefused(c.bad), c.damaged) << type << ": as the formatter has it";
  }
  const QelClTraceFileScan cut = scan(good + record(Type::NO_DATA, "abc").substr(0, 21));
  EXPECT_TRUE(cut.hasDamagedRecord()) << "a whole header tells, also of a cut record";
  EXPECT_EQ(cut.getDamagedOffset(), good.size());
  EXPECT_EQ(cut.getCutLength(), 21u);
}

TEST_F(TraceFileScan, FilesThatCannotBeRead) {
  const QelClTraceFileScan missing("scan_no_such_file.trc");
  EXPECT_EQ(qelHostErrorGetClass(missing.getHostError()), QelEnErrorClass::IO_NOT_EXISTENT);
  EXPECT_EQ(missing.getWholeRecordCount() + missing.getCutLength(), 0u);
  EXPECT_NE(QelClTraceFileScan(".").getHostError(), 0u) << "a directory";
}

}  // namespace
