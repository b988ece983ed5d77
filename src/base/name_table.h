// A fixed set of names looked up very often (record fields by name, script keywords):
// open addressing over a power-of-two table, keyed by a name's length and its first and
// last eight bytes, which hold the whole of a name of up to 16 bytes (longer names are
// compared whole where those match). A look-up never allocates. As with a map's emplace,
// the first value added under a name is the one kept.
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
    Place(Slot{std::string(name), EndsOf(name), std::move(value), true});
    ++count_;
    return true;
  }

  const T* Find(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    const Ends ends = EndsOf(name);
    const size_t mask = slots_.size() - 1;
    for (size_t i = Hash(ends) & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (!slot.used) return nullptr;
      // Names of up to 16 bytes are whole in their ends; longer ones are compared whole.
      if (slot.ends == ends && (ends.length <= 16 || slot.name == name)) return &slot.value;
    }
  }

  size_t size() const { return count_; }

 private:
  // A name's length and its first and last eight bytes (fewer, zero-filled, for a
  // shorter name).
  struct Ends {
    uint64_t length = 0, first = 0, last = 0;
    bool operator==(const Ends&) const = default;
  };

  struct Slot {
    std::string name;
    Ends ends;
    T value{};
    bool used = false;
  };

  static uint64_t Load(const char* p, size_t n) {
    uint64_t v = 0;
    std::memcpy(&v, p, n);
    return v;
  }

  static Ends EndsOf(std::string_view name) {
    const size_t n = name.size();
    if (n >= 8) return {n, Load(name.data(), 8), Load(name.data() + n - 8, 8)};
    return {n, Load(name.data(), n), 0};
  }

  static size_t Hash(const Ends& e) {
    const uint64_t h =
        e.length * 0x9E3779B97F4A7C15ull ^ e.first * 0xC2B2AE3D27D4EB4Full ^ e.last * 0x165667B19E3779F9ull;
    return static_cast<size_t>(h ^ (h >> 29) ^ (h >> 47));
  }

  void Place(Slot slot) {
    const size_t mask = slots_.size() - 1;
    size_t i = Hash(slot.ends) & mask;
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
