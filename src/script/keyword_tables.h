// The keywords of the script language as data: one row per keyword naming the record
// field it sets and how its value is read. Indexed keywords (NATIVE(1) to NATIVE(10))
// are one row with an index range; an alias (SHIELD for SHIELDFLAVOR) is written on
// its row. The few keywords that do more than set a field name their extra action.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "universe/record.h"

namespace tarvik {

struct Session;

// Block kinds: what the open block of a script is about. Internal to the script
// language; not the object kind codes of the universe file.
namespace BlockKind {
inline constexpr int kNone = 0;
inline constexpr int kPlanet = 1;
inline constexpr int kPlanetNames = 2;
inline constexpr int kMap = 3;
inline constexpr int kShip = 4;
inline constexpr int kBase = 5;
inline constexpr int kConPod = 6;
inline constexpr int kOrePod = 7;
inline constexpr int kLifePod = 8;
inline constexpr int kAssaultPod = 9;
inline constexpr int kOutfitPod = 10;
inline constexpr int kNativePod = 11;
inline constexpr int kResupplyPod = 12;
inline constexpr int kGoldPod = 13;
inline constexpr int kWreckage = 14;
inline constexpr int kMinefield = 15;
inline constexpr int kThing = 16;
inline constexpr int kBuoy = 17;
inline constexpr int kRaces = 18;
inline constexpr int kWing = 19;
inline constexpr int kStart = 20;
inline constexpr int kTech = 21;
inline constexpr int kExotic = 22;
}  // namespace BlockKind

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

// One keyword as a statement writes it (upper case, index in brackets), bound to its
// row and the record field it sets.
struct KeywordBinding {
  const KeywordRow* row = nullptr;
  const Field* field = nullptr;  // nullptr when the record layout lacks the field
  int index = 1;                 // element of an array field
};

// The keywords of one object block kind.
struct KeywordTable {
  int blockKind = 0;
  const RecordLayout* layout = nullptr;
  std::span<const KeywordRow> rows;
  std::unordered_map<std::string, KeywordBinding> byKeyword;

  const KeywordBinding* Find(const std::string& upperKeyword) const {
    auto it = byKeyword.find(upperKeyword);
    return it == byKeyword.end() ? nullptr : &it->second;
  }
};

// The keyword table of an object block kind (PLANET, SHIP to BUOY, WING), or nullptr
// for the other kinds. The ID statement is not in the tables: every object block
// accepts it.
const KeywordTable* ObjectKeywordTable(int blockKind);

// The rows of an object block kind, as written (for checks and listings).
std::span<const KeywordRow> ObjectKeywordRows(int blockKind);

// The settings of the START and TECH blocks: one row per keyword naming the setting.
struct SettingRow {
  std::string_view keyword;
  int32_t* (*number)(Session&);     // a number setting, read with the bounds
  std::string* (*text)(Session&);   // or a text setting, stored as written
  int32_t min = 0;
  int32_t max = 0;
};

std::span<const SettingRow> StartSettingRows();
std::span<const SettingRow> TechSettingRows();

}  // namespace tarvik
