#include "objects/taken_ids.h"

#include <bit>

#include "base/errors.h"

namespace tarvik {

namespace {

constexpr uint64_t ALL = ~uint64_t{0};

// The bits below `bit` of a word, set.
uint64_t Below(int bit) { return (uint64_t{1} << bit) - 1; }

}  // namespace

void TakenIds::Clear() {
  bits_.fill(0);
  full_.fill(0);
  bits_[0] = 1;  // identifier 0
}

void TakenIds::Take(int id) {
  if (id < 1 || id > MAX_OBJECTS) throw RuntimeError("The identifier " + std::to_string(id) + " is out of range.");
  uint64_t& word = bits_[static_cast<size_t>(id / 64)];
  word |= uint64_t{1} << (id % 64);
  if (word == ALL) full_[static_cast<size_t>(id / 64 / 64)] |= uint64_t{1} << (id / 64 % 64);
}

bool TakenIds::Taken(int id) const {
  if (id < 1 || id > MAX_OBJECTS) throw RuntimeError("The identifier " + std::to_string(id) + " is out of range.");
  return (bits_[static_cast<size_t>(id / 64)] >> (id % 64) & 1) != 0;
}

int TakenIds::FirstOpenWordAfter(int word) const {
  const int from = word + 1;
  int s = from / 64;
  if (s >= SUMMARY_WORDS) return WORDS;
  // The words before `from` in its summary word count as full: they are not looked at.
  uint64_t full = full_[static_cast<size_t>(s)] | Below(from % 64);
  while (full == ALL) {
    if (++s == SUMMARY_WORDS) return WORDS;
    full = full_[static_cast<size_t>(s)];
  }
  // Summary bits past the last word are never set: a word found there means none.
  const int open = s * 64 + std::countr_one(full);
  return open < WORDS ? open : WORDS;
}

int TakenIds::FirstFreeFrom(int from) const {
  if (from < 1) throw RuntimeError("The identifier " + std::to_string(from) + " is out of range.");
  if (from > MAX_OBJECTS) return NONE;
  int w = from / 64;
  // The identifiers below `from` in its word count as taken: they are not looked at.
  uint64_t taken = bits_[static_cast<size_t>(w)] | Below(from % 64);
  if (taken == ALL) {
    w = FirstOpenWordAfter(w);
    if (w == WORDS) return NONE;
    taken = bits_[static_cast<size_t>(w)];
  }
  // Bits past MAX_OBJECTS in the last word are never set: an identifier found there
  // means none.
  const int id = w * 64 + std::countr_one(taken);
  return id <= MAX_OBJECTS ? id : NONE;
}

}  // namespace tarvik
