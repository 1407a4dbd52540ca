// Tests of the trace ring buffer and its resource key.
#include "tests/trace/trace_support.h"

#include "tests/qel_test.h"

namespace {

struct HandOver {
  std::string first;
  bool hasSecond;
  std::string second;
};

// A manager on a buffer with a data area of 100 bytes; records of any length are
// built with messages of length - 20 characters.
class TraceBuffer : public ::testing::Test {
protected:
  static constexpr unsigned int kCapacity = 100;

  static void collect(const _QelStTraceOverflow* overflow) {
    auto& handOvers = *static_cast<std::vector<HandOver>*>(overflow->pvContext);
    handOvers.push_back({std::string(overflow->pcFirst, overflow->ulFirstLength), overflow->pcSecond != nullptr,
                         overflow->pcSecond != nullptr ? std::string(overflow->pcSecond, overflow->ulSecondLength) : ""});
  }
  // Writes a record of length bytes through the manager, the fixture's by default, and
  // returns its bytes.
  std::string write(unsigned int length, char fill, QelClTraceBufferManager* to = nullptr) {
    const std::string message(length - 20, fill);
    QelClTraceEntry entry(environment, QelEnTraceDetail::LOW, 0, QelEnTraceDataType::NO_DATA, "", message.c_str(),
                          nullptr, 0);
    (to != nullptr ? *to : manager).write(entry);
    return std::string(reinterpret_cast<const char*>(entry.getRecord()), entry.getRecordLength());
  }
  std::string handedOver() const {
    std::string bytes;
    for (const auto& h : handOvers) bytes += h.first + h.second;
    return bytes;
  }

  KeyVariables variables{"QELTBUF", {}};
  QelClTraceEnvironment environment{"QELTBUF", nullptr, false};
  QelClResourceKeySemaphore key{"QELTBUF", nullptr};
  char buffer[QelClTraceBufferManager::HEADER_SIZE + kCapacity] = {};
  QelClTraceBufferManager manager{key, buffer, sizeof buffer};
  std::vector<HandOver> handOvers;
};

TEST_F(TraceBuffer, HandsEveryByteOverOnceInOrder) {
  manager.setOverflowCallback(collect, &handOvers);
  manager.flush();
  EXPECT_TRUE(handOvers.empty()) << "nothing written, nothing handed over";

  std::string written = write(30, 'a');
  manager.flush();
  manager.flush();
  ASSERT_EQ(handOvers.size(), 1u) << "a second flush has nothing new";
  EXPECT_EQ(handOvers[0].first, written);
  EXPECT_FALSE(handOvers[0].hasSecond);

  written += write(30, 'b');
  written += write(40, 'c');  // ends exactly at the last byte
  ASSERT_EQ(handOvers.size(), 2u) << "reaching the end hands over";
  EXPECT_EQ(handOvers[1].first.size(), 70u);

  written += write(60, 'd');  // starts at the data area's start
  manager.flush();
  ASSERT_EQ(handOvers.size(), 3u);
  EXPECT_EQ(handOvers[2].first, "") << "a flush after a wrap: empty first block";
  EXPECT_EQ(handOvers[2].second, written.substr(100));

  written += write(60, 'e');  // straddles the end: 40 bytes now, 20 at the flush
  ASSERT_EQ(handOvers.size(), 4u);
  EXPECT_EQ(handOvers[3].first.size(), 40u);
  EXPECT_EQ(handOvers[3].second, "");
  manager.flush();
  ASSERT_EQ(handOvers.size(), 5u);
  EXPECT_EQ(handOvers[4].first, "");
  EXPECT_EQ(handOvers[4].second.size(), 20u);
  EXPECT_EQ(handedOver(), written);
}

TEST_F(TraceBuffer, WithoutCallbackOverwritesTheOldest) {
  EXPECT_EQ(std::string(buffer, 4), "QELT");
  EXPECT_EQ(wordAt(std::string(buffer, 8), 4), kCapacity);
  const std::string first = write(60, 'a'), second = write(60, 'b'), third = write(60, 'c');
  manager.flush();
  const std::string data(buffer + 24, kCapacity);
  EXPECT_EQ(data.substr(0, 20), second.substr(40)) << "the second record's end wrapped to the start";
  EXPECT_EQ(data.substr(20, 60), third);
  EXPECT_EQ(data.substr(80), second.substr(20, 20));

  // A manager on a set-up buffer keeps its header: hand-overs start at the saved
  // position, which without callback never moved from the start.
  QelClTraceBufferManager attached(key, buffer, sizeof buffer);
  attached.setOverflowCallback(collect, &handOvers);
  const std::string fourth = write(21, 'x', &attached);
  attached.flush();
  EXPECT_EQ(handedOver(), data.substr(0, 80) + fourth);
}

TEST(TraceResourceKey, TextsOfKeys) {
  const std::string longName(300, 'n');
  const struct {
    const char* name;
    const char* instance;
    std::string text;
  } cases[] = {{"my app", "x", "SEM32:myGapp:x"},
               {"MYAPP", nullptr, "SEM32:MYAPP"}, {"a\\b", nullptr, "SEM32:a:b"},
               {"x./:_-@\xFF", "", "SEM32:xUV6_-@8:"},
               {longName.c_str(), "i", "SEM32:" + longName.substr(0, 249)}};
  for (const auto& c : cases) {
    const QelClResourceKeySemaphore key(c.name, c.instance);
    EXPECT_EQ(key.getText(), c.text) << c.name;
    EXPECT_EQ(key.getLength(), c.text.size()) << c.name;
    EXPECT_EQ(std::string(key.getName()), c.text.substr(6)) << c.name;
  }
  QelClResourceKeySemaphore copy("other", nullptr);
  {
    const QelClResourceKeySemaphore original("my app", "x");
    copy = original;
  }
  EXPECT_STREQ(copy.getName(), "myGapp:x") << "the name points into the copy's own text";
  KeyVariables variables("MYAPP", {});
  EXPECT_STREQ(QelClTraceEnvironment("MYAPP", nullptr, true).getResourceKey().getText(),
               "SEM32:MYAPP:QELTRACEINSTANCE0");
}

}  // namespace
