#include "platform/random.h"

#include <cstring>

#include "platform/rounding.h"

namespace tarvik {

namespace {
uint64_t SplitMix(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
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

double Random::Next() {
  // xoshiro256**: 53 random bits give a double in [0, 1).
  uint64_t result = Rotl(s_[1] * 5, 7) * 9;
  uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = Rotl(s_[3], 45);
  return static_cast<double>(result >> 11) * 0x1.0p-53;
}

long long Draw(Random& random, double scale, double offset) { return RoundToInt(random.Next() * scale + offset); }

}  // namespace tarvik
