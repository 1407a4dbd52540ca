// Tests of the random number generator.
#include "tests/qel_test.h"

namespace {

std::vector<int> draw(const QelClRandomNumberGenerator& generator, int count) {
  std::vector<int> numbers;
  for (int i = 0; i < count; ++i) numbers.push_back(generator.getRandomNumber());
  return numbers;
}

}  // namespace

// The generator is the runtime's: reseeding it replays the sequence, which the
// scaled numbers follow within 0 to n.
TEST(RandomNumber, CoversZeroTo32767AndScalesWithinZeroToN) {
  const QelClRandomNumberGenerator generator;
  std::srand(12345);
  const std::vector<int> numbers = draw(generator, 100000);
  const auto [lowest, highest] = std::minmax_element(numbers.begin(), numbers.end());
  EXPECT_GE(*lowest, 0);
  EXPECT_LT(*lowest, 100);
  EXPECT_LE(*highest, 32767);
  EXPECT_GT(*highest, 32667);

  std::srand(12345);
  for (std::size_t i = 0; i < 1000; ++i) {
    EXPECT_EQ(generator.getRandomNumber(1000), static_cast<int>(numbers[i] / 32767.0 * 1000));
  }
  for (int i = 0; i < 1000; ++i) {
    EXPECT_EQ(generator.getRandomNumber(0), 0);
    const int negative = generator.getRandomNumber(-10);
    EXPECT_TRUE(negative <= 0 && negative >= -10) << negative;
  }
}

TEST(RandomNumber, GeneratorsOfOneMillisecondGiveOneSequence) {
  // The tick may move on between the two constructions; try until it does not.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::uint32_t tick = qelGetTimeStamp();
    const QelClRandomNumberGenerator first;
    const std::vector<int> firstNumbers = draw(first, 20);
    const QelClRandomNumberGenerator second;
    const std::vector<int> secondNumbers = draw(second, 20);
    if (qelGetTimeStamp() != tick) continue;
    EXPECT_EQ(firstNumbers, secondNumbers);
    return;
  }
  GTEST_SKIP() << "the tick count moved on during every attempt";
}
