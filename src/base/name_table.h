// A fixed set of names looked up very often (record fields by name, script keywords):
// open addressing over a power-of-two table with a hash of a name's length and its first
// and last bytes. A look-up computes that hash, compares whole names only where it
// matches, and never allocates. As with a map's emplace, the first value added under a
// name is the one kept.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

template <class T>
class NameTable {
 public:
  // Adds a name; false (and nothing changes) when it is there already.
  bool Add(std::string_view name, T value) {
    if (Find(name)) return false;
    if (2 * (count_ + 1) > slots_.size()) Grow();
    Place(Slot{std::string(name), std::move(value), true});
    ++count_;
    return true;
  }

  const T* Find(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    const size_t mask = slots_.size() - 1;
    for (size_t i = Hash(name) & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (!slot.used) return nullptr;
      if (slot.name == name) return &slot.value;
    }
  }

  size_t size() const { return count_; }

 private:
  struct Slot {
    std::string name;
    T value{};
    bool used = false;
  };

  static uint64_t Load(const char* p, size_t n) {
    uint64_t v = 0;
    std::memcpy(&v, p, n);
    return v;
  }

  static size_t Hash(std::string_view name) {
    const size_t n = name.size();
    uint64_t h = n * 0x9E3779B97F4A7C15ull;
    if (n >= 8) {
      h ^= Load(name.data(), 8) * 0xC2B2AE3D27D4EB4Full;
      h ^= Load(name.data() + n - 8, 8) * 0x165667B19E3779F9ull;
    } else {
      h ^= Load(name.data(), n) * 0xC2B2AE3D27D4EB4Full;
    }
    return static_cast<size_t>(h ^ (h >> 29) ^ (h >> 47));
  }

  void Place(Slot slot) {
    const size_t mask = slots_.size() - 1;
    size_t i = Hash(slot.name) & mask;
    while (slots_[i].used) i = (i + 1) & mask;
    slots_[i] = std::move(slot);
  }

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : 2 * old.size(), Slot{});
    for (Slot& slot : old) {
      if (slot.used) Place(std::move(slot));
    }
  }

  std::vector<Slot> slots_;
  size_t count_ = 0;
};

}  // namespace tarvik
