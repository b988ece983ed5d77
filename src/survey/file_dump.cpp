#include "survey/file_dump.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "base/bytes.h"
#include "base/cp1252.h"
#include "base/json.h"
#include "base/text.h"
#include "survey/universe_view.h"
#include "packs/data_files.h"
#include "packs/map_files.h"
#include "packs/pack_state.h"
#include "packs/race_modules.h"
#include "packs/ship_packs.h"
#include "universe/slot_records.h"

namespace tarvik {

namespace {

// Text fields that hold whole records of another layout: shown as those records.
struct NestedRecords {
  const RecordLayout& (*outer)();
  std::string_view field;
  const RecordLayout& (*inner)();
};
const NestedRecords NESTED[] = {
    {PlayerSectionLayout, "playerRecords", PlayerRecordLayout},
    {PlayerSectionLayout, "siteRecords", SiteRecordLayout},
    {RaceDataBlockLayout, "raceRecord", RaceRecordLayout},
    {RaceDataBlockLayout, "unitRecords", RaceUnitRecordLayout},
    {RaceDataBlockLayout, "extraRecords", RaceExtraRecordLayout},
};

// The scrambled texts of the structures that are not objects (the objects' own are in
// their kind descriptors).
struct ScrambledIn {
  const RecordLayout& (*layout)();
  ScrambledText text;
};
const ScrambledIn SCRAMBLED[] = {
    {PlayerSectionLayout, {"playerName", "playerNameKey"}},
    {PlayerSectionLayout, {"blankText", "blankTextKey"}},
    {PlayerSectionLayout, {"playerCode", "playerCodeKey"}},
    {RaceRecordLayout, {"raceName", "nameKey"}},
    {HullRecordLayout, {"hullName", "nameKey"}},
};

std::vector<ScrambledText> ScrambledTextsOf(const RecordLayout& layout) {
  std::vector<ScrambledText> texts;
  for (const ScrambledIn& s : SCRAMBLED) {
    if (&s.layout() == &layout) texts.push_back(s.text);
  }
  return texts;
}

// A text of the game as the JSON shows it: its bytes without the zero bytes at the end,
// read as the game's code page.
std::string Shown(std::string bytes) {
  while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  return Cp1252ToUtf8(bytes);
}

std::string FieldKey(const Field& f) { return f.name.empty() ? "@" + std::to_string(f.offset) : std::string(f.name); }

const NestedRecords* NestedOf(const RecordLayout& layout, const Field& f) {
  for (const NestedRecords& n : NESTED) {
    if (&n.outer() == &layout && n.field == f.name) return &n;
  }
  return nullptr;
}

void WriteRecord(JsonWriter& w, const PartRecord& part, std::span<const ScrambledText> scrambled = {});

void WriteElement(JsonWriter& w, const Record& r, const Field& f, int index) {
  switch (f.type) {
    case FieldType::I16:
    case FieldType::I32: w.Int(r.Get(f, index)); return;
    case FieldType::F32: {
      const uint8_t* p = r.bytes().data() + f.offset + (index - 1) * 4;
      w.Number(GetF32(p));
      return;
    }
    case FieldType::Chars: w.String(Shown(r.Text(f, index))); return;
  }
}

void WriteField(JsonWriter& w, const PartRecord& part, const Field& f) {
  const Record& r = part.record;
  if (const NestedRecords* nested = NestedOf(r.layout(), f)) {
    const RecordLayout& inner = nested->inner();
    const std::vector<ScrambledText> texts = ScrambledTextsOf(inner);
    auto element = [&](int i) { WriteRecord(w, InnerRecord(part, f.name, i, inner), texts); };
    if (f.count == 1) return element(1);
    w.BeginArray();
    for (int i = 1; i <= f.count; ++i) {
      if (f.offset + (i - 1) * f.charLen >= part.length) break;
      element(i);
    }
    w.EndArray();
    return;
  }
  if (f.count == 1) return WriteElement(w, r, f, 1);
  w.BeginArray();
  for (int i = 1; i <= f.count; ++i) WriteElement(w, r, f, i);
  w.EndArray();
}

void WriteRecord(JsonWriter& w, const PartRecord& part, std::span<const ScrambledText> scrambled) {
  const Record& r = part.record;
  w.BeginObject();
  for (const Field& f : r.layout().fields()) {
    const bool nested = NestedOf(r.layout(), f) != nullptr;
    if (!part.Holds(f) && !(nested && f.offset < part.length)) continue;
    w.Key(FieldKey(f));
    WriteField(w, part, f);
  }
  bool any = false;
  for (const ScrambledText& text : scrambled) {
    const Field& f = TextField(text, r.layout());
    const Field& key = r.layout().Get(text.keyField);
    if (!part.Holds(f) || !part.Holds(key)) continue;
    if (!any) w.Key("unscrambled").BeginObject();
    any = true;
    w.Key(FieldKey(f));
    if (f.count > 1) w.BeginArray();
    for (int i = 1; i <= f.count; ++i) w.String(Shown(Unscrambled(r, f, i, r.Get(key))));
    if (f.count > 1) w.EndArray();
  }
  if (any) w.EndObject();
  w.EndObject();
}

// The whole-number fields of a small record as members of the open object.
void WriteMembers(JsonWriter& w, const Record& r) {
  for (const Field& f : r.layout().fields()) w.Member(FieldKey(f), static_cast<long long>(r.Get(f)));
}

void WriteErrors(JsonWriter& w, const Problems& problems) {
  w.Key("errors").BeginArray();
  for (const std::string& p : problems.List()) w.String(p);
  w.EndArray();
}

// ---- Universe files -----------------------------------------------------------------

void WriteUniverse(JsonWriter& w, std::span<const uint8_t> bytes, Problems& problems) {
  UniverseView v = ReadUniverseView(bytes);
  w.Key("header");
  WriteRecord(w, v.header);
  if (v.directory.length > 0) {
    w.Key("directory");
    WriteRecord(w, v.directory);
  }
  if (v.settings.length > 0) {
    w.Key("settingsBlock");
    WriteRecord(w, v.settings);
  }
  if (v.playerSection.length > 0) {
    w.Key("playerSection");
    WriteRecord(w, v.playerSection, ScrambledTextsOf(PlayerSectionLayout()));
  }
  w.Key("gameRaces").BeginArray();
  for (const GameRaceView& race : v.gameRaces) {
    w.BeginObject().Member("gameRace", race.k).Member("raceId", race.raceId).Member("position", race.pos);
    if (race.block.length > 0) {
      w.Key("raceData");
      WriteRecord(w, race.block);
    }
    w.EndObject();
  }
  w.EndArray();
  if (v.dataCopyPos > 0) {
    w.Key("dataFileCopy").BeginObject().Member("position", v.dataCopyPos).Member("length", v.dataCopyLength).EndObject();
  }
  w.Key("objects").BeginArray();
  for (const ObjectView& o : v.objects) {
    w.BeginObject().Member("id", o.id);
    if (o.kind) w.Member("kind", o.kind->blockWord);
    if (const std::string name = ObjectName(o); !name.empty()) w.Member("name", Cp1252ToUtf8(name));
    w.Member("objectKind", o.kindCode).Member("objectX", static_cast<int>(o.tableX)).Member("objectY", static_cast<int>(o.tableY));
    w.Member("owner", static_cast<int>(o.entry.owner));
    if (o.record) {
      w.Member("record", o.record->record.layout().name()).Member("position", static_cast<long long>(o.entry.recordPos));
      w.Key("fields");
      WriteRecord(w, *o.record, o.kind->scrambled);
    }
    w.EndObject();
  }
  w.EndArray();
  w.Key("index").BeginArray();
  for (const IndexEntryView& e : v.index) {
    w.BeginObject().Member("id", e.id);
    WriteMembers(w, e.record);
    w.EndObject();
  }
  w.EndArray();
  w.Key("mapList").BeginArray();
  for (const MapListEntry& m : v.mapList) {
    w.BeginObject().Member("slot", m.slot).Member("mapListId", m.id).Member("mapListX", static_cast<int>(m.x)).EndObject();
  }
  w.EndArray();
  problems = v.problems;
}

// ---- Slot records ---------------------------------------------------------------------

void WriteSlotRecord(JsonWriter& w, std::span<const uint8_t> bytes, const RecordLayout& layout, Problems& problems) {
  const PartRecord part = ReadPartRecord(bytes, layout, 1);
  if (static_cast<long long>(bytes.size()) != layout.size()) {
    problems.Add("a " + std::string(layout.name()) + " is " + std::to_string(layout.size()) + " bytes; this file has " +
                 std::to_string(bytes.size()) +
                 (static_cast<long long>(bytes.size()) < layout.size() ? " (the fields past its end are not shown)"
                                                                         : " (the bytes past the record are not shown)"));
  }
  w.Member("record", layout.name());
  w.Key("fields");
  WriteRecord(w, part);
}

// ---- Race modules and ship packs ------------------------------------------------------

// The record of `layout` at a position a file gives, with what went wrong.
PartRecord ReadAt(std::span<const uint8_t> bytes, const RecordLayout& layout, long long pos, const std::string& what,
                  Problems& problems) {
  PartRecord part = ReadPartRecord(bytes, layout, pos);
  if (part.length == 0) {
    problems.Add(what + ": position " + std::to_string(pos) + " lies outside the file");
  } else if (!part.complete()) {
    problems.Add(what + " at position " + std::to_string(pos) + " is cut off by the end of the file");
  }
  return part;
}

// A data pack's header, read and written as "header".
PartRecord WriteHeader(JsonWriter& w, std::span<const uint8_t> bytes, const RecordLayout& layout, Problems& problems) {
  PartRecord header = ReadAt(bytes, layout, 1, "the header", problems);
  w.Key("header");
  WriteRecord(w, header);
  return header;
}

void WriteRaceModule(JsonWriter& w, std::span<const uint8_t> bytes, Problems& problems) {
  const PartRecord header = WriteHeader(w, bytes, RaceModuleHeaderLayout(), problems);
  if (!header.complete()) return;
  const long long d = header.record.Get("directoryPos");
  const PartRecord dir = ReadAt(bytes, RaceModuleDirectoryLayout(), d, "the directory", problems);
  if (dir.length == 0) return;
  w.Key("directory");
  WriteRecord(w, dir);
  auto record = [&](std::string_view posField, int k, const RecordLayout& layout) {
    if (!dir.Holds(dir.record.layout().Get(posField))) return;
    const long long pos = dir.record.Get(posField, k);
    const PartRecord r = ReadAt(bytes, layout, pos, "the " + std::string(layout.name()), problems);
    if (r.length == 0) return w.Null(), void();
    WriteRecord(w, r, ScrambledTextsOf(layout));
  };
  w.Key("raceRecord");
  record("raceRecordPos", 1, RaceRecordLayout());
  w.Key("unitRecords").BeginArray();
  for (int k = 1; k <= 3; ++k) record("unitRecordPos", k, RaceUnitRecordLayout());
  w.EndArray();
  w.Key("extraRecords").BeginArray();
  for (int k = 1; k <= 3; ++k) record("extraRecordPos", k, RaceExtraRecordLayout());
  w.EndArray();
}

// How many entries of `size` bytes from pos the file holds, of `count` wanted.
long long EntriesHeld(std::span<const uint8_t> bytes, long long pos, long long count, long long size) {
  const long long room = static_cast<long long>(bytes.size()) - (pos - 1);
  if (pos < 1 || room <= 0 || count <= 0) return 0;
  return std::min(count, room / size);
}

void WriteShipPack(JsonWriter& w, std::span<const uint8_t> bytes, Problems& problems) {
  const PartRecord header = WriteHeader(w, bytes, ShipPackHeaderLayout(), problems);
  if (!header.Holds(header.record.layout().Get("hullTablePos"))) return;
  const long long t = header.record.Get("hullTablePos");
  const std::optional<int32_t> count = ByteView(bytes).I32(t);
  if (!count) {
    problems.Add("the hull table's position " + std::to_string(t) + " lies outside the file");
    return;
  }
  const RecordLayout& entryLayout = HullTableEntryLayout();
  const long long held = EntriesHeld(bytes, t + 4, *count, entryLayout.size());
  if (*count < 0 || held < *count) {
    problems.Add("the hull table counts " + std::to_string(*count) + " entries; the file holds " + std::to_string(held));
  }
  w.Key("hullTable").BeginObject().Member("position", t).Member("count", static_cast<long long>(*count)).EndObject();
  w.Key("hulls").BeginArray();
  for (long long k = 1; k <= held; ++k) {
    const long long e = t + 4 + entryLayout.size() * (k - 1);
    const PartRecord entry = ReadPartRecord(bytes, entryLayout, e);
    w.BeginObject().Member("entry", k).Member("position", e);
    WriteMembers(w, entry.record);
    const long long q = entry.record.Get("recordPos");
    const PartRecord hull =
        ReadAt(bytes, HullRecordLayout(), q, "the hull record of entry " + std::to_string(k), problems);
    if (hull.length > 0) {
      w.Key("hullRecord");
      WriteRecord(w, hull, ScrambledTextsOf(HullRecordLayout()));
    }
    w.EndObject();
  }
  w.EndArray();
}

// ---- Map files and the main data file -------------------------------------------------

void WriteMapFile(JsonWriter& w, std::span<const uint8_t> bytes, Problems& problems) {
  const PartRecord header = WriteHeader(w, bytes, MapFileHeaderLayout(), problems);
  if (!header.complete()) return;
  long long n = header.record.Get("planetCount");
  const long long coords = header.record.Get("coordinatePos");
  const long long names = header.record.Get("namePos");
  if (n < 1 || n >= MAP_MAX_PLANETS) {
    problems.Add("the planet count " + std::to_string(n) + " lies outside 1 to " + std::to_string(MAP_MAX_PLANETS - 1) +
                 ": no planet of this map is used");
    n = 0;
  }
  const RecordLayout& coordinate = MapCoordinateLayout();
  const long long coordsHeld = EntriesHeld(bytes, coords, n, coordinate.size());
  const long long namesHeld = EntriesHeld(bytes, names, n, MAP_NAME_SIZE);
  for (const auto& [list, pos, held] : {std::tuple{"coordinate", coords, coordsHeld}, {"name", names, namesHeld}}) {
    if (held < n) {
      problems.Add("the " + std::string(list) + " list at position " + std::to_string(pos) + " holds " +
                   std::to_string(held) + " of the " + std::to_string(n) + " planets");
    }
  }
  const ByteView file(bytes);
  w.Key("planets").BeginArray();
  for (long long i = 1; i <= std::max(coordsHeld, namesHeld); ++i) {
    w.BeginObject().Member("planet", i);
    if (i <= coordsHeld) {
      WriteMembers(w, ReadPartRecord(bytes, coordinate, coords + coordinate.size() * (i - 1)).record);
    }
    if (i <= namesHeld) w.Member("name", Shown(*file.Text(names + MAP_NAME_SIZE * (i - 1), MAP_NAME_SIZE)));
    w.EndObject();
  }
  w.EndArray();
}

void WriteDataFile(JsonWriter& w, std::span<const uint8_t> bytes, Problems& problems) {
  const PartRecord header = WriteHeader(w, bytes, DataFileHeaderLayout(), problems);
  w.Member("bodyLength", std::max<long long>(0, static_cast<long long>(bytes.size()) - header.record.size()));
}

// ---- Kinds ----------------------------------------------------------------------------------

bool Begins(std::span<const uint8_t> bytes, std::string_view text, long long longerThan) {
  if (static_cast<long long>(bytes.size()) <= longerThan) return false;
  const std::optional<std::string> start = ByteView(bytes).Text(1, static_cast<long long>(text.size()));
  return start && *start == text;
}

std::string BaseName(std::string_view path) {
  const size_t cut = path.find_last_of("/\\");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

const char* KindName(InspectedKind kind) {
  switch (kind) {
    case InspectedKind::Universe: return "universe file";
    case InspectedKind::GameRecord: return "host slot record (game.dat)";
    case InspectedKind::SlotRecord: return "player slot record (slot.dat)";
    case InspectedKind::RaceModule: return "race module";
    case InspectedKind::ShipPack: return "ship pack";
    case InspectedKind::MapFile: return "map file";
    case InspectedKind::DataFile: return "main data file";
    case InspectedKind::Unknown: break;
  }
  return "unknown";
}

}  // namespace

InspectedKind InspectedKindOf(std::span<const uint8_t> bytes, std::string_view fileName) {
  // The universe file's header is read whole or not at all; a cut-off universe file
  // is still one.
  if (IsUniverseFile(bytes)) return InspectedKind::Universe;
  if (Begins(bytes, RACE_MODULE_HEADER, static_cast<long long>(RACE_MODULE_HEADER.size()))) return InspectedKind::RaceModule;
  if (Begins(bytes, SHIP_PACK_HEADER, static_cast<long long>(SHIP_PACK_HEADER.size()))) return InspectedKind::ShipPack;
  if (Begins(bytes, MAP_FILE_HEADER, 100)) return InspectedKind::MapFile;
  if (Begins(bytes, DATA_FILE_HEADER, 100)) return InspectedKind::DataFile;
  const long long size = static_cast<long long>(bytes.size());
  if (size == GAME_RECORD_SIZE) return InspectedKind::GameRecord;
  if (size == SLOT_RECORD_SIZE) return InspectedKind::SlotRecord;
  const std::string name = LowerAscii(BaseName(fileName));
  if (size > 0 && name == "game.dat") return InspectedKind::GameRecord;
  if (size > 0 && (name == "slot.dat" || name == "m123.new")) return InspectedKind::SlotRecord;
  return InspectedKind::Unknown;
}

Inspection InspectFile(std::span<const uint8_t> bytes, std::string_view shownName, std::string_view fileName) {
  Inspection result;
  result.kind = InspectedKindOf(bytes, fileName);
  Problems problems;
  JsonWriter w(result.json);
  w.BeginObject();
  w.Member("file", Cp1252ToUtf8(shownName)).Member("kind", KindName(result.kind));
  w.Member("length", static_cast<long long>(bytes.size()));
  switch (result.kind) {
    case InspectedKind::Universe: WriteUniverse(w, bytes, problems); break;
    case InspectedKind::GameRecord: WriteSlotRecord(w, bytes, GameRecordLayout(), problems); break;
    case InspectedKind::SlotRecord: WriteSlotRecord(w, bytes, SlotRecordLayout(), problems); break;
    case InspectedKind::RaceModule: WriteRaceModule(w, bytes, problems); break;
    case InspectedKind::ShipPack: WriteShipPack(w, bytes, problems); break;
    case InspectedKind::MapFile: WriteMapFile(w, bytes, problems); break;
    case InspectedKind::DataFile: WriteDataFile(w, bytes, problems); break;
    case InspectedKind::Unknown:
      problems.Add(bytes.empty() ? "the file is empty"
                                 : "not a file of the game: it begins with none of the header texts of a universe "
                                   "file, race module, ship pack, map file or main data file, and has the size of "
                                   "neither slot record");
      break;
  }
  WriteErrors(w, problems);
  w.EndObject();
  result.errorCount = problems.count();
  return result;
}

}  // namespace tarvik
