// The program's one random generator: uniform numbers in [0, 1), reseeded at the
// documented points. Normally each seeding takes the time of day; with a fixed seed N
// (--seed N) the k-th seeding of the run uses N and k instead, so a run is
// reproducible draw for draw.
#pragma once

#include <cstdint>
#include <optional>

namespace tarvik {

class Random {
 public:
  // Seeds from the time of day, or from the fixed seed and the seeding count.
  void Seed(double timeOfDay);
  // Uniform in [0, 1).
  double Next();
  void SetFixedSeed(std::optional<int64_t> seed) { fixedSeed_ = seed; }
  std::optional<int64_t> fixedSeed() const { return fixedSeed_; }
  int seedings() const { return seedings_; }

 private:
  void SeedState(uint64_t value);
  uint64_t s_[4] = {0x9E3779B97F4A7C15ull, 0xBF58476D1CE4E5B9ull, 0x94D049BB133111EBull, 1};
  std::optional<int64_t> fixedSeed_;
  int seedings_ = 0;
};

// One draw as a whole number: round(random * scale + offset), to the nearest with ties
// to even.
long long Draw(Random& random, double scale, double offset = 0);

}  // namespace tarvik
