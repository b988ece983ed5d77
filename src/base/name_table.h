// Fixed sets of names looked up very often (record fields by name, script keywords):
// open addressing over a power-of-two table, keyed by a name's length and its first and
// last eight bytes, which hold the whole of a name of up to 16 bytes.
//
// NameTable holds names of any length (longer names are compared whole where their
// ends match) and values of any type. A slot holds only that key and the name's number;
// the values lie apart, in the order added, so that a probe reads 24 bytes.
// ShortNameIndex holds names of 1 to 16 bytes, each with a small value kept in its slot,
// at most a quarter of its slots taken: probes are short, and a name found needs no read
// beyond its slot. A look-up never allocates. As with a map's emplace, the first
// value added under a name is the one kept.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// How the tables key a name.
namespace name_keys {

// A name's length and its first and last eight bytes (fewer, zero-filled, for a shorter
// name; none, zero, for a name shorter than eight bytes).
struct Ends {
  uint64_t first = 0, last = 0;
  uint32_t length = 0;
};

// A piece read from memory as the number its bytes make, the first byte lowest.
template <class Piece>
inline uint64_t LittleEndian(Piece v) {
  if constexpr (std::endian::native == std::endian::little) {
    return v;
  } else {
    uint64_t out = 0;
    for (size_t i = 0; i < sizeof v; ++i) out |= uint64_t((v >> (8 * (sizeof v - 1 - i))) & 0xFF) << (8 * i);
    return out;
  }
}

template <class Piece>
inline uint64_t LoadPiece(const char* p) {
  Piece v;
  std::memcpy(&v, p, sizeof v);
  return LittleEndian(v);
}

// The n bytes (at most eight) from p as one number, the first byte lowest (zero above
// them); nothing beyond them is read. Fewer than eight are read as two overlapping
// pieces of four, two or one bytes: the second piece, moved up to where its bytes lie,
// repeats the bytes the pieces share, so or-ing the two gives each byte once.
inline uint64_t LoadUpTo8(const char* p, size_t n) {
  if (n >= 4) {
    if (n == 8) return LoadPiece<uint64_t>(p);
    return LoadPiece<uint32_t>(p) | LoadPiece<uint32_t>(p + n - 4) << (8 * (n - 4));
  }
  if (n >= 2) return LoadPiece<uint16_t>(p) | LoadPiece<uint16_t>(p + n - 2) << (8 * (n - 2));
  return n == 1 ? static_cast<unsigned char>(p[0]) : 0;
}

inline Ends EndsOf(std::string_view name) {
  const size_t n = name.size();
  const auto length = static_cast<uint32_t>(std::min<size_t>(n, UINT32_MAX));  // a longer one is compared whole
  if (n >= 8) return {LoadUpTo8(name.data(), 8), LoadUpTo8(name.data() + n - 8, 8), length};
  return {LoadUpTo8(name.data(), n), 0, length};
}

// The slot a name's probe starts at in a table of 2^(64 - shift) slots: its ends mixed
// by one multiplication, whose top bits (which every bit of the ends reaches) pick it.
inline size_t Home(const Ends& e, int shift) {
  const uint64_t h = ((e.first + e.length) ^ (e.last * 0xC2B2AE3D27D4EB4Full)) * 0x9E3779B97F4A7C15ull;
  return static_cast<size_t>(h >> shift);
}

// A power of two of at least `wanted` slots (16 at least), and the shift Home takes for it.
inline size_t SlotCount(size_t wanted) { return std::bit_ceil(std::max<size_t>(wanted, 16)); }
inline int ShiftFor(size_t slotCount) { return 64 - std::countr_zero(slotCount); }

}  // namespace name_keys

template <class T>
class NameTable {
 public:
  // Adds a name; false (and nothing changes) when it is there already.
  bool Add(std::string_view name, T value) {
    if (Find(name)) return false;
    if (2 * (names_.size() + 1) > slots_.size()) Grow(2 * (names_.size() + 1));
    names_.emplace_back(name);
    values_.push_back(std::move(value));
    Place(name_keys::EndsOf(name), static_cast<uint32_t>(names_.size()));
    return true;
  }

  // Makes room for `count` names in all, so that adding them places each name once.
  void Reserve(size_t count) {
    names_.reserve(count);
    values_.reserve(count);
    if (2 * count > slots_.size()) Grow(2 * count);
  }

  const T* Find(std::string_view name) const {
    if (name.size() > 16) return FindLong(name);
    if (slots_.empty()) return nullptr;
    // A name of up to 16 bytes is whole in its ends.
    const Ends ends = name_keys::EndsOf(name);
    for (size_t i = name_keys::Home(ends, shift_);; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.entry == 0) return nullptr;
      if (slot.Holds(ends)) return &values_[slot.entry - 1];
    }
  }

  // Find for the name with its ASCII letters upper-cased, without making that name. For
  // a table whose names hold no lower-case letter (the script's keywords), this is the
  // look-up without regard to letter case.
  const T* FindUpperCased(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    Ends ends = name_keys::EndsOf(name);
    ends.first = UpperBytes(ends.first);
    // A name shorter than eight bytes has no last eight (zero, which upper-cases to zero).
    if (ends.length >= 8) ends.last = UpperBytes(ends.last);
    for (size_t i = name_keys::Home(ends, shift_);; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.entry == 0) return nullptr;
      if (slot.Holds(ends) && (ends.length <= 16 || IsUpperCased(names_[slot.entry - 1], name))) {
        return &values_[slot.entry - 1];
      }
    }
  }

  size_t size() const { return names_.size(); }
  // The value of the name added as the number-th (from 0).
  const T& ValueAt(size_t number) const { return values_[number]; }

 private:
  using Ends = name_keys::Ends;

  // Find for a name longer than 16 bytes, which is compared whole where its ends match.
  // Kept out of Find, so that the look-up of a short name calls nothing.
  [[gnu::noinline]] const T* FindLong(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    const Ends ends = name_keys::EndsOf(name);
    for (size_t i = name_keys::Home(ends, shift_);; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.entry == 0) return nullptr;
      if (slot.Holds(ends) && names_[slot.entry - 1] == name) return &values_[slot.entry - 1];
    }
  }

  // A slot holds a name's ends and its number in names_ and values_ (1-based; 0 for a
  // free slot), in 24 bytes.
  struct Slot {
    uint64_t first = 0, last = 0;
    uint32_t length = 0;
    uint32_t entry = 0;
    bool Holds(const Ends& e) const { return first == e.first && last == e.last && length == e.length; }
  };

  // Eight bytes with each ASCII lower-case letter made upper-case, all at once: a byte
  // gets its bit 5 cleared when its low seven bits lie in 'a'..'z' and its top bit is
  // clear. Adding 0x80 - 'a' (or 0x80 - 'z' - 1) to the low seven bits of each byte
  // sets the byte's top bit exactly when they are at least 'a' (above 'z'); no sum
  // carries into the next byte. Zero bytes stay zero.
  static uint64_t UpperBytes(uint64_t v) {
    constexpr uint64_t ones = 0x0101010101010101ull;
    const uint64_t low = v & (0x7F * ones);
    const uint64_t atLeastA = low + (0x80 - 'a') * ones;
    const uint64_t aboveZ = low + (0x80 - 'z' - 1) * ones;
    const uint64_t lowerCase = atLeastA & ~aboveZ & ~v & (0x80 * ones);
    return v ^ (lowerCase >> 2);
  }

  // Whether `upper` is `name` with its ASCII letters upper-cased.
  static bool IsUpperCased(std::string_view upper, std::string_view name) {
    if (upper.size() != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
      const char c = name[i];
      if (upper[i] != ((c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c)) return false;
    }
    return true;
  }

  void Place(const Ends& ends, uint32_t entry) {
    size_t i = name_keys::Home(ends, shift_);
    while (slots_[i].entry != 0) i = (i + 1) & mask_;
    slots_[i] = Slot{ends.first, ends.last, ends.length, entry};
  }

  // At least `wanted` slots, every name placed afresh.
  void Grow(size_t wanted) {
    const size_t count = name_keys::SlotCount(wanted);
    slots_.assign(count, Slot{});
    mask_ = count - 1;
    shift_ = name_keys::ShiftFor(count);
    for (size_t k = 0; k < names_.size(); ++k) Place(name_keys::EndsOf(names_[k]), static_cast<uint32_t>(k + 1));
  }

  std::vector<std::string> names_;  // in the order added
  std::vector<T> values_;           // beside names_
  std::vector<Slot> slots_;
  size_t mask_ = 0;                 // slots_.size() - 1
  int shift_ = 64;                  // 64 - log2(slots_.size())
};

// V is a small value (a slot is its name's ends and the value: 32 bytes for a value of
// up to 12 bytes).
template <class V>
class ShortNameIndex {
 public:
  ShortNameIndex() { Grow(0); }

  // Adds a name of 1 to 16 bytes with its value; false (and nothing changes) for a name
  // of another length or one that is there already.
  bool Add(std::string_view name, const V& value) {
    if (name.empty() || name.size() > MAX_LENGTH || Find(name)) return false;
    if (4 * (count_ + 1) > slots_.size()) Grow(4 * (count_ + 1));
    const name_keys::Ends ends = name_keys::EndsOf(name);
    Place(Slot{ends.first, ends.last, ends.length, value});
    ++count_;
    return true;
  }

  // The value kept in the name's slot, or nullptr.
  const V* Find(std::string_view name) const {
    // An empty name would match a free slot; a longer one is not whole in its ends.
    if (name.size() - 1 >= MAX_LENGTH) return nullptr;
    const name_keys::Ends ends = name_keys::EndsOf(name);
    for (size_t i = name_keys::Home(ends, shift_);; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.first == ends.first && slot.last == ends.last && slot.length == ends.length) return &slot.value;
      if (slot.length == 0) return nullptr;  // a free slot
    }
  }

  // Makes room for `count` names in all, so that adding them places each name once.
  void Reserve(size_t count) {
    if (4 * count > slots_.size()) Grow(4 * count);
  }

  size_t size() const { return count_; }

 private:
  static constexpr size_t MAX_LENGTH = 16;

  // A name's ends and its value; a free slot has length 0.
  struct Slot {
    uint64_t first = 0, last = 0;
    uint32_t length = 0;
    V value{};
  };

  void Place(const Slot& slot) {
    size_t i = name_keys::Home(name_keys::Ends{slot.first, slot.last, slot.length}, shift_);
    while (slots_[i].length != 0) i = (i + 1) & mask_;
    slots_[i] = slot;
  }

  // At least `wanted` slots, every name placed afresh.
  void Grow(size_t wanted) {
    std::vector<Slot> old = std::move(slots_);
    const size_t count = name_keys::SlotCount(wanted);
    slots_.assign(count, Slot{});
    mask_ = count - 1;
    shift_ = name_keys::ShiftFor(count);
    for (const Slot& slot : old) {
      if (slot.length != 0) Place(slot);
    }
  }

  std::vector<Slot> slots_;  // never empty: a look-up always finds a free slot
  size_t count_ = 0;
  size_t mask_ = 0;  // slots_.size() - 1
  int shift_ = 64;   // 64 - log2(slots_.size())
};

}  // namespace tarvik
