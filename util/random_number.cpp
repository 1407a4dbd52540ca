// Random numbers from the runtime's generator.
#include "qel_util.h"

#include <cstdlib>

#include "platform/platform.h"

namespace {

// The generator's numbers are 0 to 32767 on every host: where the runtime's
// RAND_MAX is larger (2^31 - 1 with glibc) only the upper 15 bits are kept.
constexpr int kRandomLimit = 32767;
constexpr int kRandDivisor = RAND_MAX / (kRandomLimit + 1) + 1;
static_assert(RAND_MAX / kRandDivisor == kRandomLimit, "RAND_MAX must be 2^k - 1 with k >= 15");

}  // namespace

QelClRandomNumberGenerator::QelClRandomNumberGenerator() { std::srand(qel::platform::tickCount()); }

int QelClRandomNumberGenerator::getRandomNumber() const { return std::rand() / kRandDivisor; }

int QelClRandomNumberGenerator::getRandomNumber(int n) const {
  return static_cast<int>(getRandomNumber() * (1.0 / kRandomLimit) * n);
}
