#include "platform/random.h"

#include <cstring>

namespace tarvik {

namespace {
uint64_t SplitMix(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
}  // namespace

void Random::SeedState(uint64_t value) {
  uint64_t x = value;
  for (auto& word : s_) word = SplitMix(x);
}

void Random::Seed(double timeOfDay) {
  ++seedings_;
  if (fixedSeed_) {
    SeedState(static_cast<uint64_t>(*fixedSeed_) * 1000003ull + static_cast<uint64_t>(seedings_));
    return;
  }
  uint64_t bits;
  std::memcpy(&bits, &timeOfDay, sizeof bits);
  SeedState(bits ^ (static_cast<uint64_t>(seedings_) << 56));
}

}  // namespace tarvik
