// Rounding to the nearest whole number, ties to even: the one rounding rule of the
// program wherever a draw or a computed value becomes a whole number.
#pragma once

#include <cfloat>
#include <cmath>

namespace tarvik {

inline double RoundHalfEven(double v) { return std::nearbyint(v); }

// nearbyint(v) for |v| < 2^51, without a call (a build rounds hundreds of thousands of
// draws). v + 1.5 * 2^52 lies where the doubles are the whole numbers one apart, so the
// addition itself rounds v to the nearest whole number, ties to even (the default
// rounding mode, which the program never changes), and taking 1.5 * 2^52 away again is
// exact. This needs arithmetic in plain double precision (FLT_EVAL_METHOD 0); elsewhere
// nearbyint does it.
inline double RoundSmall(double v) {
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
  constexpr double shift = 0x1.8p52;
  return (v + shift) - shift;
#else
  return std::nearbyint(v);
#endif
}

// The rounded value as a whole number; values beyond the long long range saturate.
inline long long RoundToInt(double v) {
  if (std::fabs(v) < 0x1p51) return static_cast<long long>(RoundSmall(v));
  const double r = std::nearbyint(v);
  if (!(r == r)) return 0;
  if (r >= 9.2e18) return 9200000000000000000LL;
  if (r <= -9.2e18) return -9200000000000000000LL;
  return static_cast<long long>(r);
}

}  // namespace tarvik
