// Rounding to the nearest whole number, ties to even: the one rounding rule of the
// program wherever a draw or a computed value becomes a whole number.
#pragma once

#include <cmath>

namespace tarvik {

inline double RoundHalfEven(double v) { return std::nearbyint(v); }

// The rounded value as a whole number; values beyond the long long range saturate.
inline long long RoundToInt(double v) {
  double r = std::nearbyint(v);
  if (!(r == r)) return 0;
  if (r >= 9.2e18) return 9200000000000000000LL;
  if (r <= -9.2e18) return -9200000000000000000LL;
  return static_cast<long long>(r);
}

}  // namespace tarvik
