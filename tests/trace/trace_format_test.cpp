// Tests of the trace formatter and its format string.
#include "tests/trace/trace_support.h"

#include "tests/qel_test.h"

namespace {

using Type = QelEnTraceDataType;
constexpr char kKey[] = "QELTFMT";

std::string word(std::uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i));
  return bytes;
}

// A record's bytes: the kind byte from type and detail, the example's stamps.
std::string record(Type type, const std::string& data, const std::string& message = "hi",
                   const std::string& function = "f", unsigned detail = 1, unsigned component = 3,
                   std::uint32_t pid = 16, std::uint32_t tid = 32) {
  std::string bytes;
  bytes += static_cast<char>(static_cast<unsigned>(type) | detail << 6);
  bytes += static_cast<char>(component);
  bytes += static_cast<char>(message.size());
  bytes += static_cast<char>(function.size());
  bytes += word(1000) + word(pid) + word(tid) + word(static_cast<std::uint32_t>(data.size()));
  return bytes + message + function + data;
}

// Trace files of the test's own, formatted through a controller environment.
class TraceFormat : public ::testing::Test {
protected:
  void TearDown() override { std::remove(file.c_str()); }
  // Formats bytes as a trace file; the output, and the exception's id and class if one
  // was raised (0 and 0 else).
  std::string format(const std::string& bytes, std::uint32_t* id = nullptr,
                     QelEnErrorClass* errorClass = nullptr) {
    std::ofstream(file, std::ios::binary) << bytes;
    std::ostringstream out;
    if (id != nullptr) *id = 0;
    try {
      formatter.format(out);
    } catch (const QelClException& exception) {
      EXPECT_NE(id, nullptr) << "unexpected exception " << exception.getErrorId();
      if (id != nullptr) *id = exception.getErrorId();
      if (errorClass != nullptr) *errorClass = exception.getErrorClass();
    }
    return out.str();
  }

  std::string file = std::string("format_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".trc";
  KeyVariables variables{kKey, {{"FILE", file}}};
  QelClTraceEnvironment environment{kKey, nullptr, true};
  QelClTraceFormatter formatter{environment, nullptr};
};

TEST_F(TraceFormat, DataByType) {
  formatter.setFormatString("%x: %d|%X");
  const std::string address = QelClStrepAddress(reinterpret_cast<const void*>(std::uintptr_t{0x1234})).getAsCString();
  double twoAndAQuarter = 2.25;
  float oneAndAHalf = 1.5f;
  const struct {
    Type type;
    std::string data;
    std::string expected;
  } cases[] = {
      {Type::BOOLEAN, "\2", "b: TRUE|bool"}, {Type::BOOLEAN, std::string(1, '\0'), "b: FALSE|bool"},
      {Type::INT8, "\xFF", "i8: 0xFF/255|signed integer (8 bits)"},
      {Type::UINT8, "A", "w8: 0x41/65/'A'|unsigned integer (8 bits)"},
      {Type::INT16, "\xFE\xFF", "i16: -2|signed integer (16 bits)"},
      {Type::UINT16, "\xFF\xFF", "w16: 65535|unsigned integer (16 bits)"},
      {Type::INT32, word(0x80000000u), "i32: -2147483648|signed integer (32 bits)"},
      {Type::UINT32, word(0xFFFFFFFFu), "w32: 4294967295|unsigned integer (32 bits)"},
      {Type::INT64, word(0) + word(0x80000000u), "i64: -9223372036854775808|signed integer (64 bits)"},
      {Type::UINT64, word(0xFFFFFFFFu) + word(0xFFFFFFFFu), "w64: 18446744073709551615|unsigned integer (64 bits)"},
      {Type::FLOAT32, std::string(reinterpret_cast<const char*>(&oneAndAHalf), 4), "f: 1.5|float"},
      {Type::FLOAT64, std::string(reinterpret_cast<const char*>(&twoAndAQuarter), 8), "d: 2.25|double"},
      {Type::LONG_DOUBLE, std::string(reinterpret_cast<const char*>(&twoAndAQuarter), 8), "ld: 2.25|long double"},
      {Type::NO_DATA, "", "ND: |NO DATA"},
      {Type::DATA_NULL, "", "DA: *** Illegal NULL pointer ***|DATA"},
      {Type::CSTRING, "a\"b", "cpsz: \"a\"b\"|C string"},
      {Type::ADDRESS, word(0x1234), "p: " + address + "|Address"},
      {Type::DATA, "", "DA (0 Bytes): |DATA (0 Bytes)"},
      {Type::DATA, "AB\n",
       "DA (3 Bytes): \n00000000: 41 42 0A __ __ __ __ __  __ __ __ __ __ __ __ __ | AB._____________|DATA (3 Bytes)"},
      {Type::WIDE_STRING, std::string(16, 'w') + "x",
       "wc: \n00000000: 77 77 77 77 77 77 77 77  77 77 77 77 77 77 77 77 | wwwwwwwwwwwwwwww\n"
       "00000010: 78 __ __ __ __ __ __ __  __ __ __ __ __ __ __ __ | x_______________|Unicode"},
      {Type::DATA_CLIPPED, std::string(100, 'c'), ""},
  };
  for (const auto& c : cases) {
    const std::string out = format(record(c.type, c.data));
    if (c.type == Type::DATA_CLIPPED) {
      EXPECT_EQ(out.substr(0, 32), "DA (100 Bytes) *** Clipped ***: ");
    } else {
      EXPECT_EQ(out, c.expected) << static_cast<int>(c.type);
    }
  }
  // Only the value's bytes are copied: an 80-bit long double is padded in its storage.
  const long double wide = 0.5L;
  std::string wideBytes(sizeof wide, '\0');
  std::memcpy(&wideBytes[0], &wide, std::numeric_limits<long double>::digits == 64 ? 10 : sizeof wide);
  EXPECT_EQ(format(record(Type::LONG_DOUBLE, wideBytes)),
            "ld: 0.5|long double");
  formatter.setFormatString("%d");
  formatter.bHex = true;
  EXPECT_EQ(format(record(Type::INT16, "\1\2")),
            "513\nHEX: 01 02 __ __ __ __ __ __  __ __ __ __ __ __ __ __ | ..______________");
}

TEST_F(TraceFormat, FormatVariablesAndEscapes) {
  const struct {
    const char* format;
    const char* expected;
  } cases[] = {
      {"%%|%q|%c|%p|%s|%t|%l|%m|%f", "%|%|3|16|1000|32|LOW|hi|f"},
      {"a%", "a%"}, {"\\\\|\\t|\\x|\\n|", "\\|\t|x|\n|"}, {"a\\", "a"}, {"%d%d", "42"}, {"", ""},
  };
  for (const auto& c : cases) {
    formatter.setFormatString(c.format);
    EXPECT_EQ(format(record(Type::INT32, word(42))), c.expected) << c.format;
  }
  formatter.setFormatString("%m ");
  const std::string two = record(Type::INT32, word(1), "one") + record(Type::DATA, "xyz", "two");
  EXPECT_EQ(format(two), "one two ") << "data that is not shown is skipped";
  EXPECT_EQ(formatter.getRecordCount(), 2u);
}

TEST_F(TraceFormat, NestingIndentsAndExitsStepBack) {
  formatter.setFormatString("%m%d%n");
  formatter.setDisplayIndentation("..");
  formatter.bShowNesting = true;
  const std::string bytes = record(Type::FUNCTION_ENTRY, word(1), "in") + record(Type::FUNCTION_ENTRY, word(2), "in") +
                            record(Type::NO_DATA, "", "x") + record(Type::FUNCTION_EXIT, word(1), "out") +
                            record(Type::FUNCTION_EXIT, word(0xFFFFFFFFu), "out") + record(Type::NO_DATA, "", "y");
  EXPECT_EQ(format(bytes), "inNesting level: 1\n..inNesting level: 2\n....x\n....outNesting level: 1\n.."
                           "outNesting level: 4294967295\ny\n");
  EXPECT_EQ(formatter.getNestingLevel(), 0xFFFFFFFFu) << "a level read as negative indents nothing";
  formatter.bShowNesting = false;
  EXPECT_EQ(format(record(Type::FUNCTION_ENTRY, word(100000)) + record(Type::NO_DATA, "", "z")),
            "hi\n" + std::string(2 * QelClTraceFormatter::MAX_INDENTATION, '.') + "z" +
                std::string(2 * QelClTraceFormatter::MAX_INDENTATION, '.').insert(0, "\n"));
}

TEST_F(TraceFormat, FunctionHeadersAndNames) {
  formatter.setFormatString("%f:%m ");
  const std::string bytes = record(Type::FUNCTION_ENTRY, word(1), "", "a") + record(Type::INT32, word(1), "1", "a") +
                            record(Type::INT32, word(1), "2", "a") + record(Type::INT32, word(1), "3", "b") +
                            record(Type::FUNCTION_ENTRY, word(2), "", "b") + record(Type::FUNCTION_EXIT, word(1), "", "b");
  EXPECT_EQ(format(bytes), "a: a:1 a:2 b:3 b: b: ");
  formatter.bRepeatFunctionNames = false;
  EXPECT_EQ(format(bytes), "a: a:1 :2 b:3 b: : ");
  formatter.bShowFunctionRecords = false;
  EXPECT_EQ(format(bytes), "a:1 :2 b:3 ");
  EXPECT_EQ(formatter.getRecordCount(), 6u);
}

TEST_F(TraceFormat, FilterRejectsRecords) {
  formatter.setFormatString("%m");
  const std::string bytes = record(Type::NO_DATA, "", "a", "f", 1, 3, 16, 32) + record(Type::NO_DATA, "", "b", "f", 2) +
                            record(Type::INT32, word(1), "c", "f", 1, 4) + record(Type::NO_DATA, "", "d", "f", 1, 0) +
                            record(Type::NO_DATA, "", "e", "f", 1, 3, 17) + record(Type::NO_DATA, "", "g", "f", 1, 3, 16, 33);
  QelClTraceFilter filter;
  filter.enableComponentIds("-4");
  QelClTraceFormatter filtered(environment, &filter);
  filtered.setFormatString("%m");
  std::ofstream(file, std::ios::binary) << bytes;
  std::ostringstream out;
  filtered.format(out);
  EXPECT_EQ(out.str(), "adeg");
  EXPECT_EQ(filtered.getRecordCount(), 6u) << "rejected records count too";
  filter.setProcessId("16");
  filter.setThreadId("32");
  out.str("");
  filtered.format(out);
  EXPECT_EQ(out.str(), "ad");
  EXPECT_EQ(format(bytes), "acdeg") << "the environment's filter: detail LOW, every component";
}

// A file cut inside a record ends the output at the last whole record shown; one cut
// where a datum is read, or whose record cannot be, raises the exception. (The example
// record in the default format is the trace controller's output test.)
TEST_F(TraceFormat, CutAndCorruptedFiles) {
  const std::string example = record(Type::INT32, word(42));
  constexpr std::uint32_t kEof = TRACEFORMAT_UNEXPECTED_EOF, kCorrupted = TRACEFORMAT_FILE_CORRUPTED;
  constexpr QelEnErrorClass kRead = QelEnErrorClass::IO_READ_PROBLEM, kInvalid = QelEnErrorClass::INVALID_DATA;
  const struct {
    const char* name;
    const char* format;
    std::string bytes;
    std::uint32_t id;
    QelEnErrorClass errorClass;
    std::size_t recordsShown;
  } cases[] = {
      {"empty", "%m", "", 0, {}, 0}, {"cut in a header", "%m", example + example.substr(0, 10), 0, {}, 1},
      {"cut in the strings", "%m", example + example.substr(0, 21), 0, {}, 1},
      {"cut in a scalar, %d last", "%m%d", example + example.substr(0, 25), 0, {}, 2},
      {"cut in a scalar", "%m%d.", example.substr(0, 25), kEof, kRead, 0},
      {"cut in a skipped datum", "%m", example.substr(0, 25), kEof, kRead, 0},
      {"cut in a dump", "%d", record(Type::DATA, std::string(20, 'x')).substr(0, 40), kEof, kRead, 0},
      {"cut in a string", "%d", record(Type::CSTRING, "abc").substr(0, 25), kEof, kRead, 0},
      {"cut in an address", "%d", record(Type::ADDRESS, word(1)).substr(0, 25), kEof, kRead, 0},
      {"entry of 2 bytes", "%d", record(Type::FUNCTION_ENTRY, "ab"), kCorrupted, kInvalid, 0},
      {"address of 8 bytes", "%d", record(Type::ADDRESS, word(1) + word(2)), kCorrupted, kInvalid, 0},
      {"no data with data", "%d", record(Type::NO_DATA, "a"), kCorrupted, kInvalid, 0},
      {"scalar of 128 bytes", "%d", record(Type::INT32, std::string(128, 'x')), kCorrupted, kInvalid, 0},
      {"type 0", "%d", record(Type::NONE, ""), kCorrupted, kInvalid, 0},
      {"type 25", "%d", record(static_cast<Type>(25), ""), kCorrupted, kInvalid, 0},
      {"type 25 named", "%X", record(static_cast<Type>(25), ""), kCorrupted, QelEnErrorClass::DATA_OUT_OF_BOUNDS, 0},
  };
  for (const auto& c : cases) {
    formatter.setFormatString(c.format);
    std::uint32_t id = 0;
    QelEnErrorClass errorClass{};
    format(c.bytes, &id, &errorClass);
    EXPECT_EQ(id, c.id) << c.name;
    EXPECT_EQ(errorClass, c.errorClass) << c.name;
    EXPECT_EQ(formatter.getRecordCount(), c.recordsShown) << c.name;
  }
  formatter.setFormatString("%m:%d");
  std::uint32_t id = 0;
  EXPECT_EQ(format(example + record(Type::DATA, "abc").substr(0, 25), &id), "hi:42hi:\n")
      << "the output so far stays";
  EXPECT_EQ(id, TRACEFORMAT_UNEXPECTED_EOF);
}

TEST_F(TraceFormat, ErrorsRaisedAsTheLibrarysExceptions) {
  std::ostringstream out;
  expectThrown([&] { formatter.format(out); },  // no file yet
               {TRACEFORMAT_COULD_NOT_OPEN, QelEnErrorClass::IO_PERMISSION_DENIED, QelEnErrorSeverity::FATAL,
                QelEnErrorAction::TERMINATE, "Could not open trace file for read access"},
               [](const QelClException& e) {
                 EXPECT_STREQ(e.getModule(), "qel_trace_format");
                 EXPECT_GT(e.getLine(), 0u);
               });
  formatter.bShowFunctionRecords = false;
  std::ofstream(file, std::ios::binary) << record(Type::FUNCTION_ENTRY, word(1)).substr(0, 25);
  EXPECT_THROW(formatter.format(out), QelClExceptionFatal) << "a hidden entry whose data is cut";
}

TEST_F(TraceFormat, LabelsFromAnAttachedCatalog) {
  const char* table[246] = {};
  for (auto& text : table) text = "?";
  table[0] = "[SIG]";
  table[242] = "Octets";
  table[243] = " (cut)";
  QelClMessageCatalog catalog(QelClFilename("no_such_catalog.cat"));
  catalog.useStringTable(table, 246);
  formatter.attachQelMessageCatalog(catalog);
  formatter.setFormatString("%x");
  EXPECT_EQ(format(record(Type::DATA_CLIPPED, "ab")), "DA (2 Octets) (cut)");
}

TEST_F(TraceFormat, PackedRecordsReadBack) {
  KeyVariables packing(kKey, {{"FILE", file}, {"COMPRESS", "on"}, {"AUTOSAVE", "on"}});
  const std::int32_t value = -7;
  {
    QelClTraceEnvironment writer(kKey, nullptr, false);
    writer.add(QelClTraceEntry(writer, QelEnTraceDetail::LOW, 3, Type::INT32, "fn", "a packed message", &value, 4));
  }
  QelClTraceEnvironment reader(kKey, nullptr, true);
  std::ifstream in(file, std::ios::binary);
  QelClTraceFileEntry entry(reader);
  ASSERT_TRUE(entry.read(in));
  EXPECT_TRUE(entry.isCompressed());
  EXPECT_STREQ(entry.getMessage(), "a packed message");
  EXPECT_EQ(entry.getMessageTextLength(), 16u);
  EXPECT_STREQ(entry.getFunctionName(), "fn");
  EXPECT_EQ(reader.getCompressionRate(),
            static_cast<float>(entry.getMessageLength() + entry.getFunctionNameLength()) / 18.0f);
  in.ignore(4);
  EXPECT_FALSE(entry.read(in));
  EXPECT_EQ(entry.getDataLength(), 0u) << "cleared at the end";
}

}  // namespace
