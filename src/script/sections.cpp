#include "script/sections.h"

#include <algorithm>
#include <cstring>

#include "app/run_log.h"
#include "base/errors.h"
#include "base/text.h"
#include "objects/constructors.h"
#include "objects/object_store.h"
#include "objects/ship_construction.h"
#include "packs/map_files.h"
#include "packs/map_planets.h"
#include "packs/scramble.h"
#include "packs/ship_packs.h"
#include "platform/rounding.h"
#include "script/keyword_tables.h"
#include "script/planets.h"
#include "script/values.h"
#include "session.h"

namespace tarvik {

namespace {

// The second 40-character text of a wing (unnamed in its record).
constexpr int kWingSecondText = 46;
constexpr int kWingTextWidth = 40;

// An object block: the section argument that opens it, its kind, its working record,
// how it is opened and how its object is stored.
struct ObjectBlock {
  std::string_view word;
  int kind;
  Record WorkingRecords::*record;
  void (*open)(Session&);
  void (*store)(Session&);
};

void OpenPlanetBlock(Session& s) {
  RandomPlanet(s);
  Record& p = s.records.planet;
  p.Set("x", RoundToInt(s.random.Next() * 2000 + 1000));
  p.Set("y", RoundToInt(s.random.Next() * 2000 + 1000));
  s.script.pickPlanetName = true;
}

void OpenShipBlock(Session& s) {
  // Without hull type 1 the ship record keeps what the last ship left in it.
  if (HullKnown(s, 1)) NewShip(s, 1);
}

void OpenNothing(Session&) {}
void StoreNothing(Session&) {}

const ObjectBlock kObjectBlocks[] = {
    {"PLANET", BlockKind::kPlanet, &WorkingRecords::planet, OpenPlanetBlock, StorePlanet},
    {"PLANETNAMES", BlockKind::kPlanetNames, nullptr, OpenNothing, StoreNothing},
    {"MAP", BlockKind::kMap, nullptr, OpenNothing, StoreNothing},
    {"SHIP", BlockKind::kShip, &WorkingRecords::ship, OpenShipBlock, StoreShip},
    {"BASE", BlockKind::kBase, &WorkingRecords::base, NewBase, StoreBase},
    {"CONPOD", BlockKind::kConPod, &WorkingRecords::conPod, NewConPod, StoreConPod},
    {"OREPOD", BlockKind::kOrePod, &WorkingRecords::orePod, NewOrePod, StoreOrePod},
    {"LIFEPOD", BlockKind::kLifePod, &WorkingRecords::lifePod, NewLifePod, StoreLifePod},
    {"ASSAULTPOD", BlockKind::kAssaultPod, &WorkingRecords::assaultPod, NewAssaultPod, StoreAssaultPod},
    {"OUTFITPOD", BlockKind::kOutfitPod, &WorkingRecords::outfitPod, NewOutfitPod, StoreOutfitPod},
    {"NATIVEPOD", BlockKind::kNativePod, &WorkingRecords::nativePod, NewNativePod, StoreNativePod},
    {"RESUPPLYPOD", BlockKind::kResupplyPod, &WorkingRecords::resupplyPod, NewResupplyPod, StoreResupplyPod},
    {"GOLDPOD", BlockKind::kGoldPod, &WorkingRecords::goldPod, NewGoldPod, StoreGoldPod},
    {"WRECKAGE", BlockKind::kWreckage, &WorkingRecords::wreckage, NewWreckage, StoreWreckage},
    {"MINEFIELD", BlockKind::kMinefield, &WorkingRecords::minefield, NewMinefield, StoreMinefield},
    {"THING", BlockKind::kThing, &WorkingRecords::thing, NewThing, StoreThing},
    {"BUOY", BlockKind::kBuoy, &WorkingRecords::buoy, NewBuoy, StoreBuoy},
    {"WING", BlockKind::kWing, &WorkingRecords::wing, NewWing, StoreWing},
};

const ObjectBlock* BlockByWord(const std::string& upperWord) {
  for (const ObjectBlock& b : kObjectBlocks) {
    if (b.word == upperWord) return &b;
  }
  return nullptr;
}

const ObjectBlock* BlockByKind(int kind) {
  for (const ObjectBlock& b : kObjectBlocks) {
    if (b.kind == kind) return &b;
  }
  return nullptr;
}

bool IsObjectKind(int kind) {
  return kind == BlockKind::kPlanet || (kind >= BlockKind::kMap && kind <= BlockKind::kBuoy) ||
         kind == BlockKind::kWing;
}

// Scrambles a text field of a record in place under the given key.
void ScrambleField(Record& r, std::string_view field, int key) {
  const Field& f = r.layout().Get(field);
  std::string text = r.Text(f);
  ScrambleName(key, text);
  r.SetBytes(f, text);
}

void ScrambleAt(Record& r, int offset, int width, int key) {
  std::string text(reinterpret_cast<const char*>(r.bytes().data() + offset), static_cast<size_t>(width));
  ScrambleName(key, text);
  std::memcpy(r.bytes().data() + offset, text.data(), text.size());
}

bool StoreIsOpen(const Session& s) { return s.store.file && s.store.file->IsOpen(); }

// One step of a property statement: a run-time failure shows "Error DoProperty" and the
// statement goes on with its next step. Nothing else is caught here.
template <class F>
void Step(Session& s, F&& step) {
  try {
    step();
  } catch (const RuntimeError& e) {
    if (s.ui) s.ui->ShowStepError("Error DoProperty", e.what());
  }
}

void IdStatement(Session& s, const std::string& upperValue) {
  if (upperValue == "RANDOM") s.script.randomIds = true;
  if (upperValue == "NOTRANDOM") s.script.randomIds = false;
}

const Field& BoundField(const KeywordBinding& b) {
  if (!b.field) throw RuntimeError("no field " + std::string(b.row->field));
  return *b.field;
}

// THING DATA1 (or CODE): a three-letter code, shown in info1 and packed into data1.
void ThingCode(Session& s, Record& thing, const std::string& value) {
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
  Step(s, [&] {
    const auto* b = reinterpret_cast<const uint8_t*>(code.data());
    uint32_t packed = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                      static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    thing.Set("data1", static_cast<int32_t>(packed));
  });
}

void ObjectProperty(Session& s, const KeywordTable& table, const std::string& keyword, const std::string& upperKey,
                    const std::string& value, const std::string& upperValue) {
  const int kind = table.blockKind;
  Record& rec = s.records.*(BlockByKind(kind)->record);
  const KeywordBinding* b = table.Find(upperKey);
  if (!b) {
    if (kind == BlockKind::kPlanet) {
      LogLine(s, "Error: Script: " + keyword);
    } else if (kind >= BlockKind::kShip && kind <= BlockKind::kBuoy) {
      LogLine(s, "Error: Script: " + keyword + " " + value);
    }
    return;
  }
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
        if (!v) throw RuntimeError("type mismatch: " + value);
        rec.Set(BoundField(*b), *v, b->index);
      });
      break;
    case ValueKind::PlanetName:
      Step(s, [&] {
        if (upperValue == "RANDOM") {
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

void MapProperty(Session& s, const std::string& upperKey, const std::string& upperValue) {
  if (upperKey == "ID") {
    IdStatement(s, upperValue);
    return;
  }
  if (upperKey != "FILE") return;
  Step(s, [&] { SetScriptMapFile(s, upperValue); });
  Step(s, [&] {
    // The map's extent, as the map step shows it for a custom map.
    std::string name = upperValue;
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".MAP") != 0) name += ".MAP";
    MapStats stats;
    if (MapFileStats(s.paths.dataDir + name, stats)) {
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

void RacesProperty(Session& s, const std::string& upperKey, const std::string& value) {
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

void SettingProperty(Session& s, std::span<const SettingRow> rows, const std::string& upperKey,
                     const std::string& value) {
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

void ExoticProperty(Session& s, const std::string& upperKey, const std::string& value) {
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

}  // namespace

void SetPlayerRace(Session& s, int32_t n, int32_t r) {
  if (n < 1 || r < 1 || n > MAX_PLAYERS) return;
  for (int i = 1; i <= MAX_RACES; ++i) {
    if (s.packs.raceList[i].raceId == r) {
      s.tables.playerRace[n] = static_cast<int16_t>(i);
      return;
    }
  }
}

void ScriptSection(Session& s, const std::string& word, const std::string& argument) {
  const std::string w = UpperAscii(word);
  const std::string a = UpperAscii(argument);
  ScriptState& st = s.script;
  if (w == "BEGIN") {
    CommitBlock(s);
    if (st.pass == 1) {
      const ObjectBlock* block = BlockByWord(a);
      if (block) {
        st.blockKind = block->kind;
        block->open(s);
      }
    }
  }
  if (st.pass == 0) {
    if (a == "RACES") st.blockKind = BlockKind::kRaces;
    if (a == "START") st.blockKind = BlockKind::kStart;
    if (a == "TECH") {
      st.blockKind = BlockKind::kTech;
      s.tables.scriptTech = true;
    }
    if (a == "EXOTIC") st.blockKind = BlockKind::kExotic;
  }
  if (w == "END") CommitBlock(s);
}

void CommitBlock(Session& s) {
  ScriptState& st = s.script;
  const int kind = st.blockKind;
  st.blockKind = BlockKind::kNone;
  const ObjectBlock* block = BlockByKind(kind);
  if (!block) return;
  // An object block left open from an objects pass into a later settings pass has no
  // universe file to go to: it is dropped.
  if (!StoreIsOpen(s)) return;
  if (kind == BlockKind::kMap) {
    if (st.pendingMapFile) AddMapPlanetObjects(s, st.pendingMapPath);
    return;
  }
  if (!block->record) return;
  Record& rec = s.records.*(block->record);
  switch (kind) {
    case BlockKind::kPlanet:
      if (st.pickPlanetName) PickPlanetName(s);
      rec.Set("nameKey", RoundToInt(s.random.Next() * 200 + 10));
      ScrambleField(rec, "name", rec.Get("nameKey"));
      break;
    case BlockKind::kShip:
      TrimShip(s);
      ScrambleField(rec, "name", rec.Get("nameKey"));
      ScrambleField(rec, "shipLog", rec.Get("shipLogKey"));
      break;
    case BlockKind::kBase:
      ScrambleField(rec, "name", rec.Get("nameKey"));
      LockBaseToPlanet(s);
      break;
    case BlockKind::kMinefield:
      break;
    case BlockKind::kThing:
      ScrambleField(rec, "name", rec.Get("nameKey"));
      ScrambleField(rec, "info1", rec.Get("nameKey"));
      ScrambleField(rec, "info2", rec.Get("nameKey"));
      break;
    case BlockKind::kBuoy:
      ScrambleField(rec, "name", rec.Get("nameKey"));
      ScrambleField(rec, "message", rec.Get("nameKey"));
      break;
    case BlockKind::kWing:
      ScrambleField(rec, "name", rec.Get("nameKey"));
      ScrambleAt(rec, kWingSecondText, kWingTextWidth, rec.Get("nameKey"));
      break;
    default:  // the eight pods and wreckage
      ScrambleField(rec, "name", rec.Get("nameKey"));
      break;
  }
  block->store(s);
}

void DoProperty(Session& s, const std::string& keyword, const std::string& value) {
  const std::string k = UpperAscii(keyword);
  const std::string v = UpperAscii(value);
  const int kind = s.script.blockKind;
  switch (kind) {
    case BlockKind::kPlanetNames:
      Step(s, [&] { AddPlanetName(s, value); });
      return;
    case BlockKind::kMap:
      MapProperty(s, k, v);
      return;
    case BlockKind::kRaces:
      RacesProperty(s, k, value);
      return;
    case BlockKind::kStart:
      SettingProperty(s, StartSettingRows(), k, value);
      return;
    case BlockKind::kTech:
      SettingProperty(s, TechSettingRows(), k, value);
      return;
    case BlockKind::kExotic:
      ExoticProperty(s, k, value);
      return;
    default:
      break;
  }
  if (!IsObjectKind(kind)) return;
  if (k == "ID") {
    IdStatement(s, v);
    return;
  }
  if (const KeywordTable* table = ObjectKeywordTable(kind)) ObjectProperty(s, *table, keyword, k, value, v);
}

}  // namespace tarvik
