// Damage done to a forged file in tests: a 32-bit value poked at a 0-based offset, or
// the file cut to a length.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

#include "forge/forge.h"

namespace tarvik::test {

// The 32-bit `value` poked at byte `at`; with value CUT, the file cut to `at` bytes.
struct Damage {
  long long at, value;
};
inline constexpr long long CUT = LLONG_MIN;

inline std::vector<uint8_t> WithDamage(std::vector<uint8_t> b, Damage d) {
  if (d.value == CUT) {
    b.resize(static_cast<size_t>(d.at));
  } else {
    forge::PokeI32(b, static_cast<size_t>(d.at), static_cast<int32_t>(d.value));
  }
  return b;
}

}  // namespace tarvik::test
