// One descriptor per object kind: its block word and block kind in a script, its
// working record and layout, its keyword rows, the rule of its kind code, its run-log
// text, its constructor, its owner rule, what END does to it and how it is stored. The
// script, the object store and the standard generation all read this one table.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "universe/record.h"
#include "universe/records.h"

namespace tarvik {

struct ObjectSession;

// Block kinds: what the open block of a script is about, numbered as the system
// numbers them. Not the object kind codes of the universe file. The object kinds have
// descriptors; PLANETNAMES, MAP, RACES, START, TECH and EXOTIC are the script's own
// sections.
enum class BlockKind : int32_t {
  None = 0,
  Planet = 1,
  PlanetNames = 2,
  Map = 3,
  Ship = 4,
  Base = 5,
  ConPod = 6,
  OrePod = 7,
  LifePod = 8,
  AssaultPod = 9,
  OutfitPod = 10,
  NativePod = 11,
  ResupplyPod = 12,
  GoldPod = 13,
  Wreckage = 14,
  Minefield = 15,
  Thing = 16,
  Buoy = 17,
  Races = 18,
  Wing = 19,
  Start = 20,
  Tech = 21,
  Exotic = 22,
};
inline constexpr int BLOCK_KIND_COUNT = 23;

// ---- Keyword rows -------------------------------------------------------------------
// The keywords of the script language as data: one row per keyword naming the record
// field it sets and how its value is read. Indexed keywords (NATIVE(1) to NATIVE(10))
// are one row with an index range; an alias (SHIELD for SHIELDFLAVOR) is written on
// its row. The few keywords that do more than set a field name their extra action.

enum class ValueKind {
  Number,      // GetValue with the row's bounds, into a 16- or 32-bit field
  Text,        // the value as written, blank-padded or cut to the field's width
  Code,        // the value followed by "AAA", cut to 3
  Bit,         // GetValue with bounds 0 and 1, into one bit of a flag word
  Strict,      // the whole value as a decimal number, rounded
  PlanetName,  // RANDOM picks a name from the planet-name list, anything else is the name
  ThingCode,   // a three-letter code shown in info1 and packed into data1
};

enum class ExtraAction {
  None,
  StarHeat,     // the planet's starHeat is drawn again from the new star
  HullRebuild,  // a known hull type rebuilds the whole ship on it
  AntiAirLog,   // the stored value goes to the run log
};

struct KeywordRow {
  std::string_view keyword;  // for an indexed row, the stem: "NATIVE" for NATIVE(n)
  std::string_view field;
  ValueKind kind = ValueKind::Number;
  int32_t min = 0;
  int32_t max = 0;
  int width = 32;      // 16 or 32 for a number; characters for a text; 3 for a code
  int bit = 0;         // bit number of a Bit row
  int firstIndex = 0;  // index range of an indexed row; 0 when not indexed
  int lastIndex = 0;
  ExtraAction extra = ExtraAction::None;
  std::string_view alias;  // a second keyword for the same row

  constexpr KeywordRow Indexed(int first, int last) const {
    KeywordRow r = *this;
    r.firstIndex = first;
    r.lastIndex = last;
    return r;
  }
  constexpr KeywordRow Also(std::string_view other) const {
    KeywordRow r = *this;
    r.alias = other;
    return r;
  }
  constexpr KeywordRow Then(ExtraAction action) const {
    KeywordRow r = *this;
    r.extra = action;
    return r;
  }
};

constexpr KeywordRow Row(std::string_view kw, std::string_view field, ValueKind kind, int32_t min, int32_t max,
                         int width, int bit = 0) {
  KeywordRow r;
  r.keyword = kw;
  r.field = field;
  r.kind = kind;
  r.min = min;
  r.max = max;
  r.width = width;
  r.bit = bit;
  return r;
}
constexpr KeywordRow Num(std::string_view kw, std::string_view field, int32_t min, int32_t max) {
  return Row(kw, field, ValueKind::Number, min, max, 32);
}
constexpr KeywordRow Num16(std::string_view kw, std::string_view field, int32_t min, int32_t max) {
  return Row(kw, field, ValueKind::Number, min, max, 16);
}
constexpr KeywordRow Text(std::string_view kw, std::string_view field, int width) {
  return Row(kw, field, ValueKind::Text, 0, 0, width);
}
constexpr KeywordRow Code(std::string_view kw, std::string_view field) {
  return Row(kw, field, ValueKind::Code, 0, 0, 3);
}
constexpr KeywordRow Bit(std::string_view kw, std::string_view field, int bit) {
  return Row(kw, field, ValueKind::Bit, 0, 1, 32, bit);
}
constexpr KeywordRow Strict(std::string_view kw, std::string_view field) {
  return Row(kw, field, ValueKind::Strict, 0, 0, 32);
}

// ---- Descriptors --------------------------------------------------------------------

// How the code stored in objectKind is made from the descriptor's kindCode.
enum class KindCodeRule {
  Fixed,      // kindCode itself
  PlusHull,   // kindCode plus the record's hull type (ships)
  Minefield,  // MinefieldKindCode of the record's flavor and radius
};

// The owner an object's index entry names: the record's pNum, or OWNER_NONE.
enum class OwnerRule { PNum, None };
inline constexpr int OWNER_NONE = 1000;

// What the run log says about a keyword the kind's block does not know.
enum class UnknownKeyword {
  LogKeyword,          // "Error: Script: " and the keyword
  LogKeywordAndValue,  // "Error: Script: ", the keyword, a blank and the value
  Ignore,
};

// A text field that END scrambles under a key field of the same record. A field
// without a name is given by its offset.
struct ScrambledText {
  std::string_view field;
  std::string_view keyField;
  int offset = 0;
};

struct ObjectKindDescriptor {
  std::string_view blockWord;  // the word after BEGIN
  BlockKind blockKind;
  Record WorkingRecords::*record;  // the kind's working record
  const RecordLayout& (*layout)();
  std::span<const KeywordRow> keywords;
  KindCodeRule kindCodeRule;
  int kindCode;
  std::string_view logText;            // the stored object's log line before its id; empty: none
  void (*construct)(ObjectSession&);   // fills the working record with a new object
  OwnerRule owner;
  UnknownKeyword unknownKeyword;
  std::span<const ScrambledText> scrambled;
  void (*finish)(ObjectSession&);      // what END does before the names are scrambled, or nullptr
  void (*store)(ObjectSession&);       // the kind's store operation
};

// Every object kind, in block-kind order.
std::span<const ObjectKindDescriptor> ObjectKinds();
// The descriptor of each block kind (nullptr for the script's own sections): the first
// of ObjectKinds() with that block kind, fixed when the program is built.
extern const std::array<const ObjectKindDescriptor*, BLOCK_KIND_COUNT> KINDS_BY_BLOCK;
// The descriptor of a block kind, of a block word (upper case) or of a kind code, or
// nullptr when no object kind has it. KindOfBlock is asked by every property statement.
inline const ObjectKindDescriptor* KindOfBlock(BlockKind kind) {
  const auto k = static_cast<size_t>(static_cast<int32_t>(kind));  // below 0: far beyond the count
  return k < KINDS_BY_BLOCK.size() ? KINDS_BY_BLOCK[k] : nullptr;
}
const ObjectKindDescriptor* KindOfWord(std::string_view upperWord);
// KindOfWord of the word upper-cased (ASCII letters), without making that copy.
const ObjectKindDescriptor* KindOfWordAnyCase(std::string_view word);
const ObjectKindDescriptor* KindOfCode(int kindCode);
// The kind whose record has this size (the first in ObjectKinds()), for an object whose
// kind code names none; nullptr when none has.
const ObjectKindDescriptor* KindOfSize(int size);

// The kind code and the owner of the object in the kind's working record.
long long KindCodeOf(const ObjectKindDescriptor& kind, const Record& record);
long long OwnerOf(const ObjectKindDescriptor& kind, const Record& record);

// The field of a scrambled text in its record's layout.
const Field& TextField(const ScrambledText& text, const RecordLayout& layout);
// Scrambles the kind's name texts in its record (one of the kind's layout), each under
// its key field.
void ScrambleNames(const ObjectKindDescriptor& kind, Record& record);

}  // namespace tarvik
