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
  return base + std::min(radius - 1, 499);
}

}  // namespace tarvik
