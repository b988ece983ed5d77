// The keywords of the script language bound to the record fields they set: built once
// from the keyword rows of the object kind descriptors (objects/object_kinds.h), and the
// settings of the START and TECH blocks.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/name_table.h"
#include "objects/object_kinds.h"
#include "universe/record.h"

namespace tarvik {

struct UniverseSession;

// One keyword as a statement writes it (upper case, index in brackets), bound to its
// row and the record field it sets.
struct KeywordBinding {
  const KeywordRow* row = nullptr;
  const Field* field = nullptr;  // nullptr when the record layout lacks the field
  int index = 1;                 // element of an array field
  // For a number statement with no extra action whose field and element exist and whose
  // bounds fit that element (nearly every statement of a script): the element it
  // writes, which no value can fail to fit; none for every other binding.
  FieldElement element;
};

// What a statement of a keyword needs, kept in the keyword's slot of shortKeywords so
// that the statement reads nothing else of the table. For a keyword bound to an element
// (KeywordBinding::element): the element's type, its byte offset in the record (`place`)
// and the row's bounds. For any other keyword, type Chars and the number of its binding
// in byKeyword (`place`).
struct KeywordStatement {
  int32_t min = 0, max = 0;
  uint16_t place = 0;
  FieldType type = FieldType::Chars;
};

// The keywords of one object block kind.
struct KeywordTable {
  BlockKind blockKind = BlockKind::None;
  const ObjectKindDescriptor* kind = nullptr;  // whose keywords these are
  const RecordLayout* layout = nullptr;
  std::span<const KeywordRow> rows;
  NameTable<KeywordBinding> byKeyword;
  // The keywords of byKeyword of up to 16 bytes but ID, as scripts nearly always write
  // them (upper case), each with its statement; one whose binding's number or element's
  // place a KeywordStatement cannot hold (none in a real table) is left to byKeyword.
  ShortNameIndex<KeywordStatement> shortKeywords;

  const KeywordBinding* Find(std::string_view upperKeyword) const { return byKeyword.Find(upperKeyword); }
  // The keyword as a statement may write it, in any letter case. The table's keywords
  // are all upper case, so a keyword found as it stands (as scripts nearly always write
  // it) is the one its upper-cased copy finds; any other is looked up upper-cased.
  const KeywordBinding* FindAnyCase(std::string_view keyword) const {
    if (const KeywordBinding* b = byKeyword.Find(keyword)) return b;
    return byKeyword.FindUpperCased(keyword);
  }
};

// The keyword tables of every block kind, built once: nullptr for the kinds without one.
using KeywordTablesByKind = std::array<const KeywordTable*, BLOCK_KIND_COUNT>;
const KeywordTablesByKind& AllKeywordTables();

// The table of a block kind among the tables, or nullptr for a kind without one.
inline const KeywordTable* TableOfKind(const KeywordTablesByKind& tables, BlockKind blockKind) {
  const auto k = static_cast<size_t>(static_cast<int32_t>(blockKind));  // below 0: far beyond the count
  return k < tables.size() ? tables[k] : nullptr;
}

// The keyword table of an object block kind (PLANET, SHIP to BUOY, WING), or nullptr
// for the other kinds. The ID statement is not in the tables: every object block
// accepts it.
inline const KeywordTable* ObjectKeywordTable(BlockKind blockKind) {
  static const KeywordTablesByKind& tables = AllKeywordTables();
  return TableOfKind(tables, blockKind);
}

// The settings of the START and TECH blocks: one row per keyword naming the setting.
struct SettingRow {
  std::string_view keyword;
  int32_t* (*number)(UniverseSession&);     // a number setting, read with the bounds
  std::string* (*text)(UniverseSession&);   // or a text setting, stored as written
  int32_t min = 0;
  int32_t max = 0;
};

std::span<const SettingRow> StartSettingRows();
std::span<const SettingRow> TechSettingRows();

}  // namespace tarvik
