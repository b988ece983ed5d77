#include "script/sections.h"

#include <algorithm>

#include "base/bytes.h"
#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "objects/map_planets.h"
#include "objects/object_store.h"
#include "objects/planet_defaults.h"
#include "objects/ship_construction.h"
#include "packs/map_files.h"
#include "packs/ship_packs.h"
#include "platform/rounding.h"
#include "script/keyword_tables.h"
#include "script/map_block.h"
#include "script/planet_names.h"
#include "script/script_line.h"
#include "script/script_session.h"
#include "script/values.h"

namespace tarvik {

namespace {

// Whether a statement's word is the given upper-case word, in any letter case.
bool IsWord(std::string_view text, std::string_view upperWord) {
  return text.size() == upperWord.size() && EqualsNoCase(text, upperWord);
}

// One step of a property statement: a run-time failure shows "Error DoProperty" and the
// statement goes on with its next step. Nothing else is caught here.
template <class F>
void Step(ScriptSession& s, F&& step) {
  try {
    step();
  } catch (const RuntimeError& e) {
    if (s.ui) s.ui->ShowStepError("Error DoProperty", e.what());
  }
}

void IdStatement(ScriptSession& s, std::string_view value) {
  if (IsWord(value, "RANDOM")) s.store.randomIds = true;
  if (IsWord(value, "NOTRANDOM")) s.store.randomIds = false;
}

[[noreturn]] void ThrowUnboundField(const KeywordBinding& b) {
  throw RuntimeError("no field " + std::string(b.row->field));
}

const Field& BoundField(const KeywordBinding& b) {
  if (!b.field) ThrowUnboundField(b);
  return *b.field;
}

// THING DATA1 (or CODE): a three-letter code, shown in info1 and packed into data1.
void ThingCode(ScriptSession& s, Record& thing, std::string_view value) {
  std::string code;
  Step(s, [&] {
    if (value.size() >= 3) {
      code = value;
    } else {
      for (int i = 0; i < 3; ++i) code += static_cast<char>(RoundToInt(s.random.Next() * 25 + 65));
    }
    code.append(10, '\0');
  });
  if (code.size() < 4) return;
  Step(s, [&] { thing.SetText("info1", "Code: " + code.substr(0, 3)); });
  Step(s, [&] { thing.Set("data1", GetI32(reinterpret_cast<const uint8_t*>(code.data()))); });
}

void UnknownObjectKeyword(ScriptSession& s, const ObjectKindDescriptor& kind, std::string_view keyword,
                          std::string_view value) {
  switch (kind.unknownKeyword) {
    case UnknownKeyword::LogKeyword: LogLine(s, "Error: Script: " + std::string(keyword)); break;
    case UnknownKeyword::LogKeywordAndValue:
      LogLine(s, "Error: Script: " + std::string(keyword) + " " + std::string(value));
      break;
    case UnknownKeyword::Ignore: break;
  }
}

// A statement of a keyword bound to its record field, of any value kind, and the extra
// action of its row.
void BoundProperty(ScriptSession& s, Record& rec, const KeywordBinding* b, std::string_view value) {
  const KeywordRow& row = *b->row;
  switch (row.kind) {
    case ValueKind::Number:
      Step(s, [&] { rec.Set(BoundField(*b), GetValue(s, value, row.min, row.max), b->index); });
      break;
    case ValueKind::Text:
      Step(s, [&] { rec.SetText(BoundField(*b), value, b->index); });
      break;
    case ValueKind::Code:
      Step(s, [&] { rec.SetText(BoundField(*b), CodeText(value), b->index); });
      break;
    case ValueKind::Bit:
      Step(s, [&] {
        const Field& f = BoundField(*b);
        const int32_t v = GetValue(s, value, 0, 1);
        rec.Set(f, SetFlagBit(s, rec.Get(f, b->index), row.bit, v), b->index);
      });
      break;
    case ValueKind::Strict:
      Step(s, [&] {
        std::optional<int32_t> v = StrictNumber(value);
        if (!v) throw RuntimeError("The value " + std::string(value) + " is not a number.");
        rec.Set(BoundField(*b), *v, b->index);
      });
      break;
    case ValueKind::PlanetName:
      Step(s, [&] {
        if (EqualsNoCase(value, "RANDOM")) {
          s.script.pickPlanetName = true;
        } else {
          rec.SetText(BoundField(*b), value);
          s.script.pickPlanetName = false;
        }
      });
      break;
    case ValueKind::ThingCode:
      ThingCode(s, rec, value);
      break;
  }
  switch (row.extra) {
    case ExtraAction::None:
      break;
    case ExtraAction::StarHeat:
      Step(s, [&] { DrawStarHeat(s); });
      break;
    case ExtraAction::HullRebuild:
      Step(s, [&] {
        const int32_t hull = rec.Get(BoundField(*b));
        if (hull >= 1 && hull <= 2000 && HullKnown(s, hull)) NewShip(s, hull);
      });
      break;
    case ExtraAction::AntiAirLog:
      Step(s, [&] { LogLine(s, "antiair: " + NumText(rec.Get(BoundField(*b)))); });
      break;
  }
}

void MapProperty(ScriptSession& s, const std::string& upperKey, const std::string& upperValue) {
  if (upperKey == "ID") {
    IdStatement(s, upperValue);
    return;
  }
  if (upperKey != "FILE") return;
  Step(s, [&] { SetScriptMapFile(s, upperValue); });
  Step(s, [&] {
    // The map's extent, as the map step shows it for a custom map.
    MapStats stats;
    if (MapFileStats(s.paths.dataDir + MapFileName(upperValue), stats)) {
      s.map.centerX = stats.centerX;
      s.map.centerY = stats.centerY;
      s.map.width = stats.width;
      s.map.height = stats.height;
      s.map.halfExtent = stats.radius;
      s.map.planetCount = stats.planetCount;
    }
  });
}

bool IsPlayerKeyword(const std::string& upperKey, int& n) {
  if (upperKey.size() < 9 || upperKey.compare(0, 7, "PLAYER(") != 0 || upperKey.back() != ')') return false;
  for (int i = 1; i <= MAX_PLAYERS; ++i) {
    if (upperKey == "PLAYER(" + std::to_string(i) + ")") {
      n = i;
      return true;
    }
  }
  return false;
}

void RacesProperty(ScriptSession& s, const std::string& upperKey, std::string_view value) {
  if (upperKey == "PLAYERCOUNT") {
    Step(s, [&] {
      const int32_t c = std::clamp(GetValue(s, value, MIN_PLAYER_COUNT, MAX_PLAYERS), MIN_PLAYER_COUNT, MAX_PLAYERS);
      s.tables.playerCount = c;
      for (int i = 1; i <= MAX_PLAYERS; ++i) s.tables.playerActive[i] = i <= c ? 1 : 0;
    });
    return;
  }
  int n = 0;
  if (IsPlayerKeyword(upperKey, n)) {
    Step(s, [&] { SetPlayerRace(s, n, GetValue(s, value, 1, 1000000)); });
  }
}

void SettingProperty(ScriptSession& s, std::span<const SettingRow> rows, const std::string& upperKey,
                     std::string_view value) {
  for (const SettingRow& row : rows) {
    if (row.keyword != upperKey) continue;
    Step(s, [&] {
      if (row.number) {
        *row.number(s) = GetValue(s, value, row.min, row.max);
      } else {
        *row.text(s) = value;
      }
    });
    return;
  }
}

void ExoticProperty(ScriptSession& s, const std::string& upperKey, std::string_view value) {
  int32_t& player = s.script.exoticPlayer;
  Step(s, [&] {
    if (player < 1) player = 1;
  });
  auto startsWith = [&](std::string_view stem) { return upperKey.compare(0, stem.size(), stem) == 0; };
  if (startsWith("PLAYER")) {
    Step(s, [&] { player = GetValue(s, value, 1, MAX_PLAYERS); });
  }
  auto exoticBit = [&](Table<int32_t, MAX_PLAYERS>& words) {
    Step(s, [&] {
      const int32_t n = GetIndex(std::string_view(upperKey).substr(7), 0, 30);
      const int32_t v = GetValue(s, value, 0, 1);
      words[player] = SetFlagBit(s, words[player], n, v);
    });
  };
  if (startsWith("EXOTICA") && upperKey.size() > 7) exoticBit(s.tables.exoticA);
  if (startsWith("EXOTICB") && upperKey.size() > 7) exoticBit(s.tables.exoticB);
  if (startsWith("GALMONEY")) {
    Step(s, [&] { s.tables.playerMoney[player] = GetValue(s, value, 0, 900000000); });
  }
}

// A property statement of a block that holds no object: the script's settings, its
// planet names and its map.
[[gnu::noinline]] void SectionProperty(ScriptSession& s, std::string_view keyword, std::string_view value) {
  std::string& k = s.script.upperKeyword;
  UpperAsciiInto(keyword, k);
  switch (s.script.blockKind) {
    case BlockKind::PlanetNames:
      Step(s, [&] { AddPlanetName(s, value); });
      return;
    case BlockKind::Map:
      MapProperty(s, k, UpperAscii(value));
      return;
    case BlockKind::Races:
      RacesProperty(s, k, value);
      return;
    case BlockKind::Start:
      SettingProperty(s, StartSettingRows(), k, value);
      return;
    case BlockKind::Tech:
      SettingProperty(s, TechSettingRows(), k, value);
      return;
    case BlockKind::Exotic:
      ExoticProperty(s, k, value);
      return;
    default:
      break;
  }
}

}  // namespace

void SetPlayerRace(ScriptSession& s, int32_t n, int32_t r) {
  if (n < 1 || r < 1 || n > MAX_PLAYERS) return;
  for (int i = 1; i <= MAX_RACES; ++i) {
    if (s.packs.raceList[i].raceId == r) {
      s.tables.playerRace[n] = static_cast<int16_t>(i);
      return;
    }
  }
}

// The arguments of a section statement that open a block in a settings pass.
constexpr std::string_view SETTINGS_BLOCK_WORDS[] = {"RACES", "START", "TECH", "EXOTIC"};

void SkipLinesOutsideBlocks(const ScriptSession& s, ScriptLines& lines) {
  // Outside a block a settings pass acts only on a section statement that opens one of
  // its blocks: BEGIN and END then commit no block (none is open) and any other word
  // does nothing. An objects pass acts on every section statement.
  if (s.script.pass == ScriptPass::Settings) {
    lines.SkipLinesWithoutArguments(SETTINGS_BLOCK_WORDS);
  } else {
    lines.SkipPropertyLines();
  }
}

void ScriptSection(ScriptSession& s, std::string_view word, std::string_view argument) {
  ScriptState& st = s.script;
  // The word and the argument are taken in any letter case: compared without regard to
  // case with the system's upper-case words, as their upper-cased copies would be.
  if (IsWord(word, "BEGIN")) {
    CommitBlock(s);
    if (st.pass == ScriptPass::Objects) {
      if (const ObjectKindDescriptor* kind = KindOfWordAnyCase(argument)) {
        st.blockKind = kind->blockKind;
        kind->construct(s);
        if (kind->blockKind == BlockKind::Planet) st.pickPlanetName = true;
      } else if (IsWord(argument, "PLANETNAMES")) {
        st.blockKind = BlockKind::PlanetNames;
      } else if (IsWord(argument, "MAP")) {
        st.blockKind = BlockKind::Map;
      }
    }
  }
  if (st.pass == ScriptPass::Settings) {  // each of SETTINGS_BLOCK_WORDS opens its block
    if (IsWord(argument, "RACES")) st.blockKind = BlockKind::Races;
    if (IsWord(argument, "START")) st.blockKind = BlockKind::Start;
    if (IsWord(argument, "TECH")) {
      st.blockKind = BlockKind::Tech;
      s.tables.scriptTech = true;
    }
    if (IsWord(argument, "EXOTIC")) st.blockKind = BlockKind::Exotic;
  }
  if (IsWord(word, "END")) CommitBlock(s);
}

void CommitBlock(ScriptSession& s) {
  ScriptState& st = s.script;
  const BlockKind blockKind = st.blockKind;
  st.blockKind = BlockKind::None;
  // An object block left open from an objects pass into a later settings pass has no
  // universe file to go to: it is dropped.
  if (!ObjectStoreOpen(s)) return;
  if (blockKind == BlockKind::Map) {
    if (st.pendingMapFile) AddMapPlanetObjects(s, st.pendingMapPath);
    return;
  }
  const ObjectKindDescriptor* kind = KindOfBlock(blockKind);
  if (!kind) return;
  Record& rec = s.records.*kind->record;
  if (blockKind == BlockKind::Planet) {
    if (st.pickPlanetName) PickPlanetName(s);
    static const Field& planetNameKey = PlanetRecordLayout().Get("nameKey");  // found once: every planet sets it
    rec.Set(planetNameKey, Draw(s.random, 200, 10));
  }
  if (kind->finish) kind->finish(s);
  ScrambleNames(*kind, rec);
  kind->store(s);
}

namespace {

// The statement of a keyword bound to an element (KeywordStatement), whose value is not
// a plain number: the one step BoundProperty would take for it (its Number case),
// writing that element as Record::Set of its field and index writes it, which cannot
// fail for the element's bounds. Kept out of DoProperty (as are BoundStatement,
// OtherProperty and SectionProperty), so that the common statement does not pay for the
// registers and the frame of the rare ones.
[[gnu::noinline]] void ElementStatement(ScriptSession& s, Record& rec, const KeywordStatement& element,
                                        std::string_view value) {
  Step(s, [&] { rec.SetFitting(element.type, element.place, GetValue(s, value, element.min, element.max)); });
}

// A statement of a keyword bound in the open block's table: a number statement of an
// element found when the table was built takes the one step ElementStatement takes;
// BoundProperty carries out any other.
[[gnu::noinline]] void BoundStatement(ScriptSession& s, const KeywordTable& table, const KeywordBinding* b,
                                      std::string_view value) {
  Record& rec = s.records.*table.kind->record;
  if (b->element.field) {
    Step(s, [&] { rec.Set(b->element, GetValue(s, value, b->row->min, b->row->max)); });
    return;
  }
  BoundProperty(s, rec, b, value);
}

// A property statement whose keyword the open block's shortKeywords do not hold: the
// statements of the blocks that hold no object; ID; and an object block's keywords
// written with lower-case letters or longer than 16 bytes, or unknown, which are looked
// up in any letter case without an upper-cased copy.
[[gnu::noinline]] void OtherProperty(ScriptSession& s, std::string_view keyword, std::string_view value) {
  const KeywordTable* table = ObjectKeywordTable(s.script.blockKind);
  if (!table) {
    SectionProperty(s, keyword, value);
    return;
  }
  if (IsWord(keyword, "ID")) {
    IdStatement(s, value);
    return;
  }
  if (const KeywordBinding* b = table->FindAnyCase(keyword)) {
    BoundStatement(s, *table, b, value);
    return;
  }
  UnknownObjectKeyword(s, *table->kind, keyword, value);
}

}  // namespace

void DoProperty(ScriptSession& s, std::string_view keyword, std::string_view value) {
  // An object block's keyword written in upper case, as nearly every statement of a
  // script writes it: shortKeywords holds it as byKeyword does (never ID), so these are
  // the steps OtherProperty takes for it. A number statement of an element with a plain
  // number (nearly every statement) is carried out here: GetValue's reading of a plain
  // number, written where BoundStatement writes it, which cannot fail for the element's
  // bounds. Before a pass has begun, OtherProperty finds the table.
  const KeywordTablesByKind* tables = s.script.keywordTables;
  if (const KeywordTable* table = tables ? TableOfKind(*tables, s.script.blockKind) : nullptr) {
    if (const KeywordStatement* k = table->shortKeywords.Find(keyword)) {
      if (k->type == FieldType::Chars) {
        BoundStatement(s, *table, &table->byKeyword.ValueAt(k->place), value);
        return;
      }
      Record& rec = s.records.*table->kind->record;
      int32_t number = 0;
      if (PlainNumber(value, number)) {
        rec.SetFitting(k->type, k->place, BoundedNumber(number, k->min, k->max));
        return;
      }
      ElementStatement(s, rec, *k, value);
      return;
    }
  }
  OtherProperty(s, keyword, value);
}

}  // namespace tarvik
