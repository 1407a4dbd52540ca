// Tests of bit arrays and their storage.
#include "tests/qel_test.h"

namespace {

std::string written(const QelClBitArray& bits) {
  std::ostringstream out;
  bits.write(out);
  return out.str();
}

// The stream form of count bits with the given storage bytes (count little-endian).
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

// The count, then one byte more than the whole bytes of bits; indexes at or beyond
// the count are ignored.
TEST(BitArray, StreamFormAndIndexesWithinTheCount) {
  EXPECT_EQ(written(QelClBitArray(0)), streamOf(0, std::string(1, '\0')));
  EXPECT_EQ(written(QelClBitArray(7)), streamOf(7, std::string(1, '\0')));
  EXPECT_EQ(written(withBits(8, {7})), streamOf(8, std::string("\x80\0", 2)));
  EXPECT_EQ(written(withBits(12, {0, 9, 11})), streamOf(12, "\x01\x0A"));

  QelClBitArray bits = withBits(10, {3, 9, 10, 4000000000u});
  for (unsigned int i : {2u, 3u, 9u, 10u, 4000000000u})
    EXPECT_EQ(bits.test(i), i == 3 || i == 9) << i;
  bits.clear(3);
  bits.clear(10);
  EXPECT_FALSE(bits.test(3));
  EXPECT_EQ(written(bits), streamOf(10, std::string("\0\x02", 2)));
}

TEST(BitArray, ComparesStorageBytesNotCounts) {
  EXPECT_TRUE(withBits(9, {1, 8}) == withBits(15, {1, 8}));
  EXPECT_FALSE(withBits(9, {1, 8}) == withBits(15, {1, 9}));
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
  original.set(0);
  EXPECT_EQ(assigned.getBitCount(), 20u);
  EXPECT_EQ(written(assigned), streamOf(20, std::string("\x20\0\x08", 3)));
  const QelClBitArray& same = assigned;
  assigned = same;
  EXPECT_TRUE(assigned.test(19));
}

// Large arrays too: their storage grows as the bytes arrive.
TEST(BitArray, ReadRestoresWhatWasWritten) {
  const QelClBitArray small = withBits(21, {0, 7, 8, 20});
  QelClBitArray large(3000000);
  for (unsigned int i = 0; i < 3000000; i += 7919) large.set(i);
  std::stringstream stream;
  small.write(stream);
  large.write(stream);
  small.write(stream);
  QelClBitArray first(21), second(1), third(21);
  first.read(stream);
  second.read(stream);
  third.read(stream);
  EXPECT_TRUE(first == small);
  EXPECT_TRUE(third == small);
  EXPECT_TRUE(stream.good());
  EXPECT_EQ(second.getBitCount(), 3000000u);
  EXPECT_TRUE(second == large);
  EXPECT_TRUE(second.test(7919 * 300));
  EXPECT_FALSE(second.test(7919 * 300 + 1));
}

// Reading takes the stored count and bits, whatever the array held before, and
// drops stored bits beyond the count. A stream that ends early leaves the array as
// it was and has failbit set.
TEST(BitArray, ReadTakesTheStoredCountOrNothing) {
  const QelClBitArray original = withBits(12, {1, 11});
  const std::string unchanged = written(original);
  const std::pair<std::string, std::string> rows[] = {
      {streamOf(30, std::string("\x01\0\0\x20", 4)), streamOf(30, std::string("\x01\0\0\x20", 4))},
      {streamOf(10, "\xFF\xFF"), streamOf(10, "\xFF\x03")}, {std::string(), unchanged},
      {std::string("\x10\0", 2), unchanged}, {streamOf(64, "\xFF\xFF\xFF"), unchanged},
      {streamOf(0xFFFFFFF0u, std::string(100000, '\x55')), unchanged}};
  for (const auto& [stream, expected] : rows) {
    QelClBitArray bits(original);
    std::istringstream in(stream);
    bits.read(in);
    EXPECT_EQ(in.fail(), expected == unchanged);
    EXPECT_EQ(written(bits), expected);
  }
}

// Bit arrays, and the upper-cased copy of a pattern that a search ignoring case
// keeps, take their storage from the library's allocator.
TEST(UtilStorage, ComesFromTheLibraryAllocator) {
  static int allocations, releases;
  allocations = releases = 0;
  const auto allocate = [](std::size_t size) { ++allocations; return std::malloc(size); };
  qelSetNewMemoryManager(allocate, nullptr, [](void* block) { ++releases; std::free(block); });
  {
    QelClBitArray bits(100);
    QelClBitArray copy(bits);
    bits = copy;
    std::istringstream in(streamOf(9, "\x01\x01"));
    copy.read(in);
    std::istringstream truncated(streamOf(9, "\x01"));
    copy.read(truncated);
    EXPECT_EQ(allocations - releases, 2);
  }
  EXPECT_EQ(allocations, releases);

  allocations = releases = 0;
  {
    std::string pattern = "Key";
    const QelClStringSearch folding(pattern.c_str(), true);
    pattern = "xyz";  // the object searches its own copy
    const char text[] = "a KEY";
    EXPECT_EQ(folding.getPattern(text), text + 2);
    const QelClStringSearch exact("Key", false);
    EXPECT_EQ(allocations, 1);
  }
  EXPECT_EQ(releases, 1);
  qelSetNewMemoryManager(malloc, nullptr, free);
}
