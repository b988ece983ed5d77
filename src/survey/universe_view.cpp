#include "survey/universe_view.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>

#include "base/bytes.h"
#include "base/text.h"
#include "objects/placed_objects.h"
#include "packs/pack_state.h"
#include "packs/scramble.h"
#include "universe/tables.h"

namespace tarvik {

void Problems::Add(std::string text) {
  ++count_;
  if (shown_.size() < MAX_PROBLEMS) shown_.push_back(std::move(text));
}

std::vector<std::string> Problems::List() const {
  std::vector<std::string> list = shown_;
  if (count_ > shown_.size()) list.push_back("... and " + std::to_string(count_ - shown_.size()) + " more problems");
  return list;
}

PartRecord ReadPartRecord(std::span<const uint8_t> bytes, const RecordLayout& layout, long long pos) {
  PartRecord part(layout);
  const ByteView file(bytes);
  if (!file.Has(pos, 1)) return part;
  const long long available = std::min<long long>(layout.size(), file.length() - (pos - 1));
  const std::span<const uint8_t> held = *file.Bytes(pos, available);
  std::copy(held.begin(), held.end(), part.record.bytes().begin());
  part.length = static_cast<int>(available);
  return part;
}

PartRecord InnerRecord(const PartRecord& outer, std::string_view field, int index, const RecordLayout& inner) {
  const Field& f = outer.record.layout().Get(field);
  const long long start = f.offset + static_cast<long long>(index - 1) * f.charLen;
  const std::span<const uint8_t> bytes(outer.record.bytes().data(), static_cast<size_t>(outer.length));
  return ReadPartRecord(bytes, inner, start + 1);
}

UniverseView::UniverseView()
    : header(UniverseHeaderLayout()),
      directory(UniverseDirectoryLayout()),
      settings(SettingsBlockLayout()),
      playerSection(PlayerSectionLayout()) {}

bool IsUniverseFile(std::span<const uint8_t> bytes) {
  const std::optional<std::string> title = ByteView(bytes).Text(1, static_cast<long long>(UNIVERSE_FILE_HEADER.size()));
  return title && *title == UNIVERSE_FILE_HEADER;
}

std::string Unscrambled(const Record& record, const Field& text, int index, int key) {
  std::string plain = record.Text(text, index);
  ScrambleName(key, plain);
  return plain;
}

namespace {

std::string Pos(long long pos) { return std::to_string(pos); }

// A value of a part record's field, when the file held it.
std::optional<int32_t> Held(const PartRecord& part, std::string_view field, int index = 1) {
  const Field& f = part.record.layout().Get(field);
  if (!part.Holds(f)) return std::nullopt;
  return part.record.Get(f, index);
}

// Reads the structure of `layout` at the position the directory gives in `posField`;
// says what is missing.
PartRecord ReadSection(std::span<const uint8_t> bytes, UniverseView& v, const RecordLayout& layout,
                       std::string_view posField, const std::string& what) {
  const std::optional<int32_t> pos = Held(v.directory, posField);
  if (!pos) return PartRecord(layout);
  PartRecord part = ReadPartRecord(bytes, layout, *pos);
  if (part.length == 0) {
    v.problems.Add("the " + what + " position " + Pos(*pos) + " lies outside the file");
  } else if (!part.complete()) {
    v.problems.Add("the " + what + " at position " + Pos(*pos) + " is cut off: the file ends after " +
                   std::to_string(part.length) + " of its " + std::to_string(layout.size()) + " bytes");
  }
  return part;
}

void ReadObjects(std::span<const uint8_t> bytes, UniverseView& v) {
  const ByteView file(bytes);
  constexpr long long TABLE_BYTES = 2LL * MAX_OBJECTS;
  const std::optional<int32_t> tablesPos = Held(v.directory, "objectTablesPos");
  const std::optional<int32_t> indexPos = Held(v.directory, "indexPos");
  if (!tablesPos && !indexPos) return;
  if (tablesPos && !file.Has(*tablesPos, 5 * TABLE_BYTES)) {
    v.problems.Add("the object tables at position " + Pos(*tablesPos) + " do not lie inside the file");
  }
  const RecordLayout& entryLayout = ObjectIndexEntryLayout();
  if (indexPos && !file.Has(*indexPos, static_cast<long long>(entryLayout.size()) * MAX_OBJECTS)) {
    v.problems.Add("the object index at position " + Pos(*indexPos) + " does not lie inside the file");
  }
  // Table k (0 = mapListX .. 4 = objectKind), element i; 0 where the file does not hold it.
  auto table = [&](int k, int i) -> int16_t {
    if (!tablesPos) return 0;
    return file.I16(*tablesPos + k * TABLE_BYTES + 2LL * (i - 1)).value_or(0);
  };
  long long stored = 0;
  for (int id = 1; id <= MAX_OBJECTS; ++id) {
    // Most identifiers are free (no kind code, an all-zero entry): they are skipped before
    // anything is built for them.
    const int kindCode = table(4, id);
    long long entryPos = 0;
    bool entryUsed = false;
    if (indexPos) {
      entryPos = *indexPos + static_cast<long long>(entryLayout.size()) * (id - 1);
      const std::optional<std::span<const uint8_t>> raw = file.Bytes(entryPos, entryLayout.size());
      entryUsed = raw && std::any_of(raw->begin(), raw->end(), [](uint8_t b) { return b != 0; });
    }
    if (kindCode == 0 && !entryUsed) continue;
    IndexEntryView entry;
    entry.id = id;
    if (entryUsed) {
      entry.record = ReadPartRecord(bytes, entryLayout, entryPos).record;
      entry.owner = static_cast<int16_t>(entry.record.Get("owner"));
      entry.recordPos = entry.record.Get("recordPos");
      entry.recordSize = static_cast<int16_t>(entry.record.Get("recordSize"));
      entry.reserved = entry.record.Get("reserved");
      v.index.push_back(entry);
    }
    if (entry.recordSize != 0) ++stored;

    ObjectView o;
    o.id = id;
    o.kindCode = kindCode;
    o.tableX = table(2, id);
    o.tableY = table(3, id);
    o.entry = std::move(entry);
    const auto name = [id] { return "object " + std::to_string(id); };
    if (kindCode != 0) {
      o.kind = KindOfCode(kindCode);
      if (!o.kind) v.problems.Add(name() + ": its kind code " + std::to_string(kindCode) + " names no object kind");
    }
    if (!o.kind && o.entry.recordSize != 0) o.kind = KindOfSize(o.entry.recordSize);
    if (!entryUsed) {
      v.problems.Add(name() + ": the object tables give it kind code " + std::to_string(kindCode) +
                     ", and its index entry is empty");
    } else if (o.kind && o.entry.recordSize != o.kind->layout().size()) {
      v.problems.Add(name() + ": its index entry gives a record size of " + std::to_string(o.entry.recordSize) + "; a " +
                     std::string(o.kind->layout().name()) + " is " + std::to_string(o.kind->layout().size()) +
                     " bytes");
    } else if (!o.kind) {
      v.problems.Add(name() + ": neither its kind code nor its record size " + std::to_string(o.entry.recordSize) +
                     " names an object kind");
    }
    if (o.kind && entryUsed) {
      PartRecord record = ReadPartRecord(bytes, o.kind->layout(), o.entry.recordPos);
      if (record.length == 0) {
        v.problems.Add(name() + ": its record position " + Pos(o.entry.recordPos) + " lies outside the file");
      } else {
        if (!record.complete()) {
          v.problems.Add(name() + ": its record at position " + Pos(o.entry.recordPos) + " is cut off by the end of the file");
        }
        o.record = std::move(record);
      }
    }
    v.objects.push_back(std::move(o));
  }
  if (tablesPos) {
    std::vector<bool> held(MAX_OBJECTS + 1, false);
    for (const ObjectView& o : v.objects) held[static_cast<size_t>(o.id)] = true;
    for (int slot = 1; slot <= MAX_OBJECTS; ++slot) {
      const int id = table(1, slot);
      if (id == 0) continue;
      v.mapList.push_back(MapListEntry{slot, id, table(0, slot)});
      if (id < 1 || id > MAX_OBJECTS || !held[static_cast<size_t>(id)]) {
        v.problems.Add("map-list slot " + std::to_string(slot) + " names object " + std::to_string(id) +
                       ", which the file does not hold");
      }
    }
  }
  if (const std::optional<int32_t> count = Held(v.directory, "objectCount"); count && *count != stored) {
    v.problems.Add("the directory counts " + std::to_string(*count) + " objects; the object index holds " +
                   std::to_string(stored));
  }
}

}  // namespace

namespace {

// Everything of a universe file but its objects: the header, the directory, the
// sections and the game races. False when the file holds no directory to go on from.
bool ReadFrame(std::span<const uint8_t> bytes, UniverseView& v) {
  v.fileLength = static_cast<long long>(bytes.size());
  if (bytes.empty()) {
    v.problems.Add("the file is empty");
    return false;
  }
  v.isUniverse = IsUniverseFile(bytes);
  if (!v.isUniverse) v.problems.Add("the file does not begin with the universe file's header text");
  v.header = ReadPartRecord(bytes, UniverseHeaderLayout(), 1);
  if (!v.header.complete()) {
    v.problems.Add("the file ends after " + std::to_string(v.fileLength) + " bytes, inside the header (" +
                   std::to_string(UniverseHeaderLayout().size()) + " bytes)");
  }
  const std::optional<int32_t> tableBase = Held(v.header, "tableBase");
  if (!tableBase) return false;
  v.directory = ReadPartRecord(bytes, UniverseDirectoryLayout(), *tableBase);
  if (v.directory.length == 0) {
    v.problems.Add("the directory position " + Pos(*tableBase) + " lies outside the file");
    return false;
  }
  if (!v.directory.complete()) {
    v.problems.Add("the directory at position " + Pos(*tableBase) + " is cut off by the end of the file");
  }
  v.settings = ReadSection(bytes, v, SettingsBlockLayout(), "settingsPos", "settings block");
  v.playerSection = ReadSection(bytes, v, PlayerSectionLayout(), "playerSectionPos", "player section");
  const std::optional<int32_t> copyPos = Held(v.directory, "dataCopyPos");
  const std::optional<int32_t> reservedPos = Held(v.directory, "reservedPos");
  if (copyPos && reservedPos) {
    v.dataCopyPos = *copyPos;
    v.dataCopyLength = static_cast<long long>(*reservedPos) - *copyPos;
    if (v.dataCopyLength < 0 || !ByteView(bytes).Has(v.dataCopyPos, v.dataCopyLength)) {
      v.problems.Add("the copy of the main data file (positions " + Pos(*copyPos) + " to " + Pos(*reservedPos) +
                     ") does not lie inside the file");
    }
  }
  for (int k = 1; k <= MAX_PLAYERS; ++k) {
    const std::optional<int32_t> raceId = Held(v.playerSection, "raceId", k);
    const std::optional<int32_t> pos = Held(v.directory, "raceBlockPos", k);
    if (!raceId || *raceId <= 0 || !pos) continue;
    GameRaceView race;
    race.k = k;
    race.raceId = *raceId;
    race.pos = *pos;
    race.block = ReadPartRecord(bytes, RaceDataBlockLayout(), *pos);
    if (!race.block.complete()) {
      v.problems.Add("the race data of game race " + std::to_string(k) + " at position " + Pos(*pos) +
                     " does not lie inside the file");
    }
    v.gameRaces.push_back(std::move(race));
  }
  return true;
}

}  // namespace

UniverseView ReadUniverseView(std::span<const uint8_t> bytes) {
  UniverseView v;
  if (ReadFrame(bytes, v)) ReadObjects(bytes, v);
  return v;
}

std::string TrimmedName(std::string text) {
  text.resize(TrimmedLength(text));
  return text;
}

namespace {

// The plain name of an object of `kind` whose record is r (see ObjectName).
std::string NameOf(const ObjectKindDescriptor& kind, const Record& r) {
  for (const ScrambledText& text : kind.scrambled) {
    if (text.field != "name") continue;
    return TrimmedName(Unscrambled(r, TextField(text, r.layout()), 1, r.Get(text.keyField)));
  }
  return {};
}

}  // namespace

std::string ObjectName(const ObjectView& object) {
  if (!object.kind || !object.record) return {};
  return NameOf(*object.kind, object.record->record);
}

namespace {

std::vector<PlacedObject> PlacedObjects(const UniverseView& view) {
  std::vector<PlacedObject> placed;
  std::string scratch;
  for (const ObjectView& o : view.objects) {
    // The record is read with its kind's layout (see ReadObjects).
    if (!o.kind || !o.record) continue;
    placed.push_back(Placed(o.id, *o.kind, o.entry.owner, o.entry.recordPos, o.record->record.bytes(), &scratch));
  }
  return placed;
}

// The `size` bytes of a record at 1-based position pos, which lies inside the file: the
// file's own bytes when it holds them all; a record the file cuts off is copied into
// `scratch` with zero past the file's end, which is what a record read into a cleared
// Record holds.
std::span<const uint8_t> RecordBytes(const ByteView& file, long long pos, long long size,
                                     std::vector<uint8_t>& scratch) {
  if (const std::optional<std::span<const uint8_t>> whole = file.Bytes(pos, size)) return *whole;
  const long long available = std::min<long long>(size, file.length() - (pos - 1));
  const std::span<const uint8_t> held = *file.Bytes(pos, available);
  scratch.assign(static_cast<size_t>(size), 0);
  std::copy(held.begin(), held.end(), scratch.begin());
  return scratch;
}

// The objects with a kind and a record straight from the file's bytes, as ReadObjects
// would find them and PlacedObjects take them from its view: an object is there when
// the object tables give it a kind code or its index entry is not all zero; its kind is
// the one of its code, or else the one of its record size; it has a record when it has
// a kind, an entry, and a record position inside the file (a record the file cuts off
// reads as zero past the file's end). Nothing is kept of the other objects, and a
// record the file holds whole is read where it lies, not copied. `zeros` are stretches
// of `bytes` known to be zero (in order), which the search of the index passes over.
// The planets are left without their names (see NameHomePlanets).
std::vector<PlacedObject> ScanPlacedObjects(std::span<const uint8_t> bytes, const UniverseView& v,
                                            std::span<const ByteStretch> zeros) {
  std::vector<PlacedObject> placed;
  const ByteView file(bytes);
  constexpr long long TABLE_BYTES = 2LL * MAX_OBJECTS;
  const std::optional<int32_t> tablesPos = Held(v.directory, "objectTablesPos");
  const std::optional<int32_t> indexPos = Held(v.directory, "indexPos");
  if (!tablesPos && !indexPos) return placed;
  const RecordLayout& entryLayout = ObjectIndexEntryLayout();
  const Field& ownerField = entryLayout.Get("owner");
  const Field& posField = entryLayout.Get("recordPos");
  const Field& sizeField = entryLayout.Get("recordSize");
  const long long entrySize = entryLayout.size();
  std::vector<uint8_t> scratch;
  const auto recordAt = [&](long long pos, long long size) { return RecordBytes(file, pos, size, scratch); };
  // The object with a used index entry at entryPos.
  const auto take = [&](int id, long long entryPos) {
    const std::span<const uint8_t> entry = recordAt(entryPos, entrySize);
    const int kindCode = tablesPos ? file.I16(*tablesPos + 4 * TABLE_BYTES + 2LL * (id - 1)).value_or(0) : 0;
    const int16_t recordSize = static_cast<int16_t>(ValueIn(entry, sizeField));
    const ObjectKindDescriptor* kind = KindOfStoredObject(kindCode, recordSize);
    const int32_t recordPos = ValueIn(entry, posField);
    if (!kind || !file.Has(recordPos, 1)) return;
    const int16_t owner = static_cast<int16_t>(ValueIn(entry, ownerField));
    placed.push_back(Placed(id, *kind, owner, recordPos, recordAt(recordPos, kind->layout().size()), nullptr));
  };
  if (!indexPos) return placed;  // no entry, no record
  const std::optional<std::span<const uint8_t>> index = file.Bytes(*indexPos, entrySize * MAX_OBJECTS);
  if (!index) {
    // An index the file cuts off: each entry as far as it lies inside the file.
    for (int id = 1; id <= MAX_OBJECTS; ++id) {
      const long long entryPos = *indexPos + entrySize * (id - 1);
      const std::optional<std::span<const uint8_t>> raw = file.Bytes(entryPos, entrySize);
      if (raw && std::any_of(raw->begin(), raw->end(), [](uint8_t b) { return b != 0; })) take(id, entryPos);
    }
    return placed;
  }
  // The whole index inside the file: the used entries are found by skipping the zero
  // bytes between them 32 and then eight at a time, in the order of their identifiers.
  // A stretch known to be zero is passed over at once: the first byte after it that is
  // not zero is the one the byte by byte search would stop at.
  const uint8_t* const first = index->data();
  const size_t length = index->size();
  const size_t indexStart = static_cast<size_t>(*indexPos - 1);  // of `bytes`
  size_t at = 0;
  size_t zero = 0;  // the first of `zeros` that may still lie at or after `at`
  while (at < length) {
    while (zero < zeros.size() && zeros[zero].end <= indexStart + at) ++zero;
    if (zero < zeros.size() && zeros[zero].begin <= indexStart + at) {
      at = zeros[zero].end - indexStart;
      continue;
    }
    if (at + 4 * sizeof(uint64_t) <= length) {
      uint64_t words[4];
      std::memcpy(words, first + at, sizeof words);
      if ((words[0] | words[1] | words[2] | words[3]) == 0) {
        at += sizeof words;
        continue;
      }
    }
    uint64_t word = 0;
    if (at + sizeof word <= length) {
      std::memcpy(&word, first + at, sizeof word);
      if (word == 0) {
        at += sizeof word;
        continue;
      }
    }
    if (first[at] == 0) {
      ++at;
      continue;
    }
    const size_t slot = at / static_cast<size_t>(entrySize);
    take(static_cast<int>(slot) + 1, *indexPos + static_cast<long long>(slot) * entrySize);
    at = (slot + 1) * static_cast<size_t>(entrySize);
  }
  return placed;
}

// The planets among the placed objects; their names are moved out, the rest is kept.
std::vector<PlanetView> PlanetsOf(std::vector<PlacedObject>& placed) {
  std::vector<PlanetView> planets;
  for (PlacedObject& o : placed) {
    if (o.kind == BlockKind::Planet) planets.push_back(PlanetView{o.id, o.x, o.y, std::move(o.name), o.ore});
  }
  return planets;
}

}  // namespace

std::vector<PlanetView> Planets(const UniverseView& view) {
  std::vector<PlacedObject> placed = PlacedObjects(view);
  return PlanetsOf(placed);
}

namespace {

// The race name of a game race from its race data block, plain.
std::string GameRaceName(const UniverseView& view, int k) {
  for (const GameRaceView& race : view.gameRaces) {
    if (race.k != k) continue;
    const PartRecord rec = InnerRecord(race.block, "raceRecord", 1, RaceRecordLayout());
    if (!rec.complete()) return {};
    const Record& r = rec.record;
    return TrimmedName(Unscrambled(r, r.layout().Get("raceName"), 1, r.Get("nameKey")));
  }
  return {};
}

}  // namespace

namespace {

std::vector<PlayerView> PlayersOf(const UniverseView& view, const std::vector<PlacedObject>& placed) {
  std::map<int, PlayerView> players;
  const std::optional<int32_t> mask = Held(view.header, "activeMask");
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    const int32_t raceId = Held(view.header, "playerRaceId", p).value_or(0);
    const bool active = mask && (static_cast<uint32_t>(*mask) >> (p - 1) & 1u);
    if (!active || raceId <= 0) continue;
    PlayerView& pl = players[p];
    pl.slot = p;
    pl.raceId = raceId;
    if (const std::optional<int32_t> k = Held(view.playerSection, "playerGameRace", p)) pl.raceName = GameRaceName(view, *k);
  }
  // Homes in the order the objects were stored: bases first, then ships and wings.
  std::vector<const PlacedObject*> stored;
  for (const PlacedObject& o : placed) stored.push_back(&o);
  std::sort(stored.begin(), stored.end(),
            [](const PlacedObject* a, const PlacedObject* b) { return a->recordPos < b->recordPos; });
  for (const bool bases : {true, false}) {
    for (const PlacedObject* o : stored) {
      const BlockKind kind = o->kind;
      const bool wanted = bases ? kind == BlockKind::Base : (kind == BlockKind::Ship || kind == BlockKind::Wing);
      const int owner = o->owner;
      if (!wanted || owner < 1 || owner > MAX_PLAYERS) continue;
      PlayerView& pl = players[owner];
      if (pl.slot == 0) {
        pl.slot = owner;
        pl.raceId = Held(view.header, "playerRaceId", owner).value_or(0);
      }
      if (pl.hasHome) continue;
      pl.hasHome = true;
      pl.homeIsBase = bases;
      pl.x = o->x;
      pl.y = o->y;
      pl.homePlanetId = bases ? o->planetId : 0;
    }
  }
  std::vector<PlayerView> list;
  for (auto& [slot, pl] : players) list.push_back(pl);
  return list;
}

// The names of the planets that are some player's home planet (by identifier), read
// from their records as Placed reads them (`recordAt(pos, size)` gives the bytes of the
// record at pos); the other planets keep no name.
template <class RecordAt>
void NameHomePlanets(const RecordAt& recordAt, const std::vector<PlayerView>& players,
                     std::vector<PlacedObject>& placed) {
  const std::vector<int> homes = HomePlanetIds(players);
  if (homes.empty()) return;
  const ObjectKindDescriptor& planet = *KindOfBlock(BlockKind::Planet);
  const RecordLayout& layout = planet.layout();
  const PlacedFields& f = PlacedFieldsOf(planet);
  std::string name;
  for (PlacedObject& o : placed) {
    if (o.kind != BlockKind::Planet || !std::binary_search(homes.begin(), homes.end(), o.id)) continue;
    o.name = PlanetName(f, recordAt(o.recordPos, layout.size()), name);
  }
}

// The players of the frame with their homes among the placed objects (by identifier),
// the home planets named through recordAt, and the planets.
template <class RecordAt>
StartPositions PositionsOf(const UniverseView& frame, std::vector<PlacedObject>& placed, const RecordAt& recordAt) {
  StartPositions start;
  start.players = PlayersOf(frame, placed);  // reads no names
  NameHomePlanets(recordAt, start.players, placed);
  start.planets = PlanetsOf(placed);
  return start;
}

}  // namespace

std::vector<int> HomePlanetIds(const std::vector<PlayerView>& players) {
  std::vector<int> ids;
  for (const PlayerView& p : players) {
    if (p.hasHome && p.homePlanetId != 0) ids.push_back(p.homePlanetId);
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

std::vector<PlayerView> Players(const UniverseView& view) { return PlayersOf(view, PlacedObjects(view)); }

StartPositions ReadStartPositions(std::span<const uint8_t> bytes, std::span<const ByteStretch> zeros) {
  UniverseView frame;
  if (!ReadFrame(bytes, frame)) {
    StartPositions start;
    start.players = PlayersOf(frame, {});
    return start;
  }
  std::vector<PlacedObject> placed = ScanPlacedObjects(bytes, frame, zeros);
  const ByteView file(bytes);
  std::vector<uint8_t> scratch;
  return PositionsOf(frame, placed,
                     [&](long long pos, long long size) { return RecordBytes(file, pos, size, scratch); });
}

std::optional<StartPositions> StartPositionsOf(std::span<const uint8_t> head, std::vector<PlacedObject> placed,
                                               const RecordReader& recordAt) {
  UniverseView frame;
  if (!ReadFrame(head, frame) || !frame.header.complete() || !frame.directory.complete() ||
      !frame.playerSection.complete()) {
    return std::nullopt;
  }
  for (const GameRaceView& race : frame.gameRaces) {
    if (!race.block.complete()) return std::nullopt;
  }
  // In the order the file's index gives them (the order they were stored in, unless
  // their identifiers were drawn at random).
  const auto byId = [](const PlacedObject& a, const PlacedObject& b) { return a.id < b.id; };
  if (!std::is_sorted(placed.begin(), placed.end(), byId)) std::sort(placed.begin(), placed.end(), byId);
  std::vector<uint8_t> record;
  return PositionsOf(frame, placed, [&](long long pos, long long size) {
    record = recordAt(static_cast<int32_t>(pos), static_cast<int>(size));
    return std::span<const uint8_t>(record);
  });
}

}  // namespace tarvik
