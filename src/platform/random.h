// The program's one random generator: uniform numbers in [0, 1), reseeded at the
// documented points. Normally each seeding takes the time of day; with a fixed seed N
// (--seed N) the k-th seeding of the run uses N and k instead, so a run is
// reproducible draw for draw.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/rounding.h"

namespace tarvik {

class Random {
 public:
  // Seeds from the time of day, or from the fixed seed and the seeding count.
  void Seed(double timeOfDay);
  // Uniform in [0, 1): xoshiro256**, whose 53 highest random bits give the double.
  // Inline: a build draws hundreds of thousands of numbers.
  double Next() {
    const uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    const uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return static_cast<double>(result >> 11) * 0x1.0p-53;
  }
  void SetFixedSeed(std::optional<int64_t> seed) { fixedSeed_ = seed; }
  std::optional<int64_t> fixedSeed() const { return fixedSeed_; }
  int seedings() const { return seedings_; }

 private:
  static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  void SeedState(uint64_t value);
  uint64_t s_[4] = {0x9E3779B97F4A7C15ull, 0xBF58476D1CE4E5B9ull, 0x94D049BB133111EBull, 1};
  std::optional<int64_t> fixedSeed_;
  int seedings_ = 0;
};

// One draw as a whole number: round(random * scale + offset), to the nearest with ties
// to even.
inline long long Draw(Random& random, double scale, double offset = 0) {
  return RoundToInt(random.Next() * scale + offset);
}

}  // namespace tarvik
