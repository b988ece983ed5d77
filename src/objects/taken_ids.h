// The object identifiers in use while a store is open, one bit each, and the search
// for the first free identifier from a given one upward.
#pragma once

#include <array>
#include <cstdint>

#include "universe/tables.h"

namespace tarvik {

class TakenIds {
 public:
  // The answer of FirstFreeFrom when every identifier from the start is taken.
  static constexpr int NONE = MAX_OBJECTS + 1;

  // Every identifier 1..MAX_OBJECTS free.
  void Clear();
  // id in 1..MAX_OBJECTS.
  void Take(int id);
  bool Taken(int id) const;
  // The first identifier from `from` to MAX_OBJECTS that is not taken, or NONE: the
  // answer of the plain scan that tests every identifier upward from `from`. The bits
  // are searched a word of 64 identifiers at a time, and words whose identifiers are
  // all taken are skipped through a summary with one bit per such word, so a search
  // looks at no more than a few words however long the run of taken identifiers is.
  int FirstFreeFrom(int from) const;

 private:
  // Bit i % 64 of word i / 64 stands for identifier i; identifier 0, which is never
  // given, counts as taken.
  static constexpr int WORDS = (MAX_OBJECTS + 1 + 63) / 64;
  static constexpr int SUMMARY_WORDS = (WORDS + 63) / 64;
  // The first word after `word` that has a free bit, or WORDS when none has.
  int FirstOpenWordAfter(int word) const;
  std::array<uint64_t, WORDS> bits_{};
  // Bit w % 64 of summary word w / 64: every identifier of word w is taken.
  std::array<uint64_t, SUMMARY_WORDS> full_{};
};

}  // namespace tarvik
