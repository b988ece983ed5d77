#include "script/keyword_tables.h"

#include <algorithm>
#include <charconv>

#include "universe/universe_session.h"

namespace tarvik {

namespace {

// Whether every number GetValue gives for the row's bounds fits the element, so that
// writing it cannot fail: each lies between the bounds or is one of them (a bound wins
// when they cross) or is 0 (a text read as no number), and a 32-bit or floating element
// holds any of them.
bool BoundsFitElement(const KeywordRow& row, const FieldElement& element) {
  if (element.field->type != FieldType::I16) return true;
  auto fits = [](int32_t v) { return v >= INT16_MIN && v <= INT16_MAX; };
  return fits(row.min) && fits(row.max);
}

// Binds a keyword to its row, the row's field (found once for every keyword of the row)
// and, for a number statement that writes its element and cannot fail to, that element.
// shortKeywords holds it too, with its statement (never ID, which every object block
// takes before its keywords).
void Bind(KeywordTable& table, std::string_view keyword, const KeywordRow& row, const Field* field, int index) {
  KeywordBinding b{&row, field, index, {}};
  if (b.field && row.kind == ValueKind::Number && row.extra == ExtraAction::None) {
    const FieldElement element = FieldElement::Of(*b.field, index);
    if (element.field && BoundsFitElement(row, element)) b.element = element;
  }
  if (!table.byKeyword.Add(keyword, b)) return;  // an earlier row took the keyword
  const size_t number = table.byKeyword.size() - 1;
  if (keyword == "ID" || number > UINT16_MAX || b.element.offset > UINT16_MAX) return;
  KeywordStatement statement{row.min, row.max, static_cast<uint16_t>(number)};
  if (b.element.field) {
    statement.place = static_cast<uint16_t>(b.element.offset);
    statement.type = b.element.field->type;
  }
  table.shortKeywords.Add(keyword, statement);
}

// How many keywords the rows bind: one per index of an indexed row, else one, and the alias.
size_t KeywordCount(std::span<const KeywordRow> rows) {
  size_t count = 0;
  for (const KeywordRow& row : rows) {
    count += row.firstIndex > 0 ? static_cast<size_t>(std::max(0, row.lastIndex - row.firstIndex + 1)) : 1;
    count += row.alias.empty() ? 0 : 1;
  }
  return count;
}

KeywordTable BuildTable(const ObjectKindDescriptor& kind) {
  KeywordTable table;
  table.blockKind = kind.blockKind;
  table.layout = &kind.layout();
  table.rows = kind.keywords;
  table.kind = &kind;
  table.byKeyword.Reserve(KeywordCount(kind.keywords));
  table.shortKeywords.Reserve(KeywordCount(kind.keywords));
  std::string indexed;
  for (const KeywordRow& row : kind.keywords) {
    const Field* field = table.layout->Find(row.field);
    if (row.firstIndex > 0) {
      for (int i = row.firstIndex; i <= row.lastIndex; ++i) {
        char digits[12];
        const char* end = std::to_chars(digits, digits + sizeof digits, i).ptr;
        indexed.assign(row.keyword);
        indexed += '(';
        indexed.append(digits, static_cast<size_t>(end - digits));
        indexed += ')';
        Bind(table, indexed, row, field, i);
      }
    } else {
      Bind(table, row.keyword, row, field, 1);
    }
    if (!row.alias.empty()) Bind(table, row.alias, row, field, 1);
  }
  return table;
}

struct AllTables {
  KeywordTable byKind[BLOCK_KIND_COUNT];
  KeywordTablesByKind found{};
  AllTables() {
    for (const ObjectKindDescriptor& kind : ObjectKinds()) {
      const auto k = static_cast<size_t>(kind.blockKind);
      byKind[k] = BuildTable(kind);
      found[k] = &byKind[k];
    }
  }
};

// START (HomeSettings and the game's money and names).
const SettingRow START_ROWS[] = {
    {"HOMEMINERAL", [](UniverseSession& s) { return &s.home.homeMineral; }, nullptr, 0, 5},
    {"HOMENATIVE", [](UniverseSession& s) { return &s.home.homeNative; }, nullptr, 0, 5},
    {"HOMECASH", [](UniverseSession& s) { return &s.home.homeCash; }, nullptr, 0, 1000000},
    {"HOMEPOPULATION", [](UniverseSession& s) { return &s.home.homePopulation; }, nullptr, 0, 50000000},
    {"HOMECARGO", [](UniverseSession& s) { return &s.home.homeCargo; }, nullptr, 0, 5},
    {"MINERAL", [](UniverseSession& s) { return &s.home.mineral; }, nullptr, 0, 5},
    {"NATIVE", [](UniverseSession& s) { return &s.home.native; }, nullptr, 0, 5},
    {"CONTRABAND", [](UniverseSession& s) { return &s.home.contraband; }, nullptr, 0, 5},
    {"CARGO", [](UniverseSession& s) { return &s.home.cargo; }, nullptr, 0, 5},
    {"GALMONEY", [](UniverseSession& s) { return &s.tables.galMoney; }, nullptr, 0, 50000000},
    {"GAMENAME", nullptr, [](UniverseSession& s) { return &s.tables.gameName; }},
    {"HOSTNAME", nullptr, [](UniverseSession& s) { return &s.tables.hostName; }},
    {"RSTNAME", nullptr, [](UniverseSession& s) { return &s.tables.rstName; }},
};

// TECH (starting technology of every player).
const SettingRow TECH_ROWS[] = {
    {"TECHPLANET", [](UniverseSession& s) { return &s.tables.techPlanet; }, nullptr, 0, 10},
    {"TECHLARGE", [](UniverseSession& s) { return &s.tables.techLarge; }, nullptr, 0, 5},
    {"TECHSMALL", [](UniverseSession& s) { return &s.tables.techSmall; }, nullptr, 0, 5},
    {"TECHPD", [](UniverseSession& s) { return &s.tables.techPd; }, nullptr, 0, 5},
    {"TECHGEN", [](UniverseSession& s) { return &s.tables.techGen; }, nullptr, 0, 5},
    {"TECHENGINE", [](UniverseSession& s) { return &s.tables.techEngine; }, nullptr, 0, 7},
    {"TECHHULL", [](UniverseSession& s) { return &s.tables.techHull; }, nullptr, 0, 7},
    {"TECHHYP", [](UniverseSession& s) { return &s.tables.techHyp; }, nullptr, 0, 5},
    {"TECHSHIELD", [](UniverseSession& s) { return &s.tables.techShield; }, nullptr, 0, 5},
};

}  // namespace

const KeywordTablesByKind& AllKeywordTables() {
  static const AllTables tables;
  return tables.found;
}

std::span<const SettingRow> StartSettingRows() { return START_ROWS; }
std::span<const SettingRow> TechSettingRows() { return TECH_ROWS; }

}  // namespace tarvik
