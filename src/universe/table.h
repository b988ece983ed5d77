// A fixed-size table indexed from 1. An index outside 1..N is a RuntimeError; the table
// never grows. Set() also checks that the value fits the element type (an int16 table
// refuses 40000).
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>

#include "base/errors.h"

namespace tarvik {

template <typename T, int N>
class Table {
 public:
  static constexpr int SIZE = N;

  T& operator[](int i) { return v_[Check(i)]; }
  const T& operator[](int i) const { return v_[Check(i)]; }

  void Set(int i, long long value) {
    if constexpr (std::numeric_limits<T>::is_integer) {
      if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
        throw RuntimeError("The number " + std::to_string(value) + " does not fit a table of " +
                           std::to_string(sizeof(T) * 8) + "-bit numbers.");
      }
    }
    v_[Check(i)] = static_cast<T>(value);
  }
  void Fill(const T& value) { v_.fill(value); }
  T* data() { return v_.data(); }
  const T* data() const { return v_.data(); }

 private:
  static size_t Check(int i) {
    if (i < 1 || i > N) {
      throw RuntimeError("The index " + std::to_string(i) + " lies outside a table of 1 to " + std::to_string(N) + ".");
    }
    return static_cast<size_t>(i - 1);
  }
  std::array<T, N> v_{};
};

}  // namespace tarvik
