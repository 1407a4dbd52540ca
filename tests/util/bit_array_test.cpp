#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace {

std::string written(const QelClBitArray& bits) {
  std::ostringstream out;
  bits.write(out);
  return out.str();
}

// The stream form of count bits whose storage bytes are given.
std::string streamOf(std::uint32_t count, const std::string& storage) {
  const char header[4] = {static_cast<char>(count), static_cast<char>(count >> 8),
                          static_cast<char>(count >> 16), static_cast<char>(count >> 24)};
  return std::string(header, 4) + storage;
}

QelClBitArray withBits(unsigned int count, std::initializer_list<unsigned int> indexes) {
  QelClBitArray bits(count);
  for (unsigned int index : indexes) bits.set(index);
  return bits;
}

}  // namespace

TEST(BitArray, StorageIsOneByteMoreThanTheWholeBytes) {
  EXPECT_EQ(written(QelClBitArray(0)), streamOf(0, std::string(1, '\0')));
  EXPECT_EQ(written(QelClBitArray(7)), streamOf(7, std::string(1, '\0')));
  EXPECT_EQ(written(QelClBitArray(8)), streamOf(8, std::string(2, '\0')));
  EXPECT_EQ(written(QelClBitArray(12)).size(), 6u);
}

TEST(BitArray, BitIIsBitIMod8OfByteIDiv8) {
  EXPECT_EQ(written(withBits(12, {0, 9, 11})), streamOf(12, "\x01\x0A"));
  EXPECT_EQ(written(withBits(16, {7, 15})), streamOf(16, std::string("\x80\x80\0", 3)));
}

TEST(BitArray, SetClearAndTestStayWithinTheCount) {
  QelClBitArray bits(10);
  bits.set(3);
  bits.set(9);
  bits.set(10);
  bits.set(4000000000u);
  EXPECT_TRUE(bits.test(3));
  EXPECT_TRUE(bits.test(9));
  EXPECT_FALSE(bits.test(2));
  EXPECT_FALSE(bits.test(10));
  EXPECT_FALSE(bits.test(4000000000u));
  EXPECT_EQ(written(bits), streamOf(10, "\x08\x02"));

  bits.clear(3);
  bits.clear(3);
  bits.clear(10);
  EXPECT_FALSE(bits.test(3));
  EXPECT_TRUE(bits.test(9));

  QelClBitArray none(0);
  none.set(0);
  EXPECT_FALSE(none.test(0));
}

TEST(BitArray, ComparesStorageBytesNotCounts) {
  EXPECT_TRUE(withBits(9, {1, 8}) == withBits(15, {1, 8}));
  EXPECT_FALSE(withBits(9, {1, 8}) == withBits(15, {1, 9}));
  EXPECT_FALSE(withBits(9, {1}) == withBits(9, {2}));
  // A 9-bit array compares two bytes, a 17-bit one three.
  EXPECT_TRUE(withBits(9, {1}) == withBits(17, {1, 16}));
  EXPECT_FALSE(withBits(17, {1}) == withBits(9, {1}));
}

TEST(BitArray, CopiesAreIndependent) {
  QelClBitArray original = withBits(20, {5, 19});
  QelClBitArray copy(original);
  copy.clear(5);
  EXPECT_TRUE(original.test(5));

  QelClBitArray assigned(3);
  assigned = original;
  EXPECT_EQ(assigned.getBitCount(), 20u);
  EXPECT_TRUE(assigned == original);
  original.set(0);
  EXPECT_FALSE(assigned.test(0));

  const QelClBitArray& same = assigned;
  assigned = same;
  EXPECT_TRUE(assigned.test(19));
}

TEST(BitArray, ReadRestoresWhatWasWritten) {
  const QelClBitArray original = withBits(21, {0, 7, 8, 20});
  std::stringstream stream;
  original.write(stream);
  original.write(stream);

  QelClBitArray first(21), second(21);
  first.read(stream);
  second.read(stream);
  EXPECT_TRUE(first == original);
  EXPECT_TRUE(second == original);
  EXPECT_TRUE(second.test(20));
  EXPECT_TRUE(stream.good());
}

TEST(BitArray, ReadTakesTheStoredCount) {
  std::istringstream longer(streamOf(30, std::string("\x01\0\0\x20", 4)));
  QelClBitArray bits(4);
  bits.read(longer);
  EXPECT_EQ(bits.getBitCount(), 30u);
  EXPECT_TRUE(bits.test(0));
  EXPECT_TRUE(bits.test(29));
  EXPECT_TRUE(longer.good());

  std::istringstream shorter(streamOf(3, "\x05"));
  bits.read(shorter);
  EXPECT_EQ(bits.getBitCount(), 3u);
  EXPECT_TRUE(bits.test(2));
  EXPECT_FALSE(bits.test(29));
  EXPECT_EQ(written(bits), streamOf(3, "\x05"));
}

TEST(BitArray, ReadDropsStoredBitsBeyondTheCount) {
  std::istringstream in(streamOf(10, "\xFF\xFF"));
  QelClBitArray bits(10);
  bits.read(in);
  EXPECT_EQ(written(bits), streamOf(10, "\xFF\x03"));
  EXPECT_TRUE(bits == withBits(10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(BitArray, TruncatedStreamLeavesTheArrayAsItWas) {
  const QelClBitArray original = withBits(12, {1, 11});
  for (const std::string& truncated :
       {std::string(), std::string("\x10\0", 2), streamOf(64, "\xFF\xFF\xFF")}) {
    QelClBitArray bits(original);
    std::istringstream in(truncated);
    bits.read(in);
    EXPECT_TRUE(in.fail());
    EXPECT_EQ(bits.getBitCount(), 12u);
    EXPECT_EQ(written(bits), written(original));
  }
}

TEST(BitArray, StorageComesFromTheLibraryAllocator) {
  static int blocks;
  blocks = 0;
  qelSetNewMemoryManager(
      [](std::size_t size) {
        ++blocks;
        return std::malloc(size);
      },
      nullptr,
      [](void* block) {
        --blocks;
        std::free(block);
      });
  {
    QelClBitArray bits(100);
    QelClBitArray copy(bits);
    bits = copy;
    std::istringstream in(streamOf(9, "\x01\x01"));
    copy.read(in);
    std::istringstream truncated(streamOf(9, "\x01"));
    copy.read(truncated);
    EXPECT_EQ(blocks, 2);
  }
  EXPECT_EQ(blocks, 0);
  qelSetNewMemoryManager(malloc, nullptr, free);
}
