#include "universe/tables.h"

#include <algorithm>

namespace tarvik {

int MinefieldKindCode(int flavor, int radius) {
  int base;
  switch (flavor) {
    case 1: base = 30000; break;
    case 2: base = 30500; break;
    case 4: base = 31000; break;
    case 8: base = 31500; break;
    default: return 0;
  }
  // Widened: radius - 1 must not overflow for the most negative radius.
  return static_cast<int>(base + std::min<long long>(static_cast<long long>(radius) - 1, 499));
}

}  // namespace tarvik
