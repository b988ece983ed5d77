// A universe file read back, for the tools that show what a build made (the inspector,
// the map picture, the fairness report). Everything is read through the field tables
// that the writer and the object store use, and through the one checked byte reader: a
// damaged or cut-off file gives what could be read, and a list of what could not.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "objects/object_kinds.h"
#include "objects/placed_objects.h"
#include "platform/mapped_file.h"
#include "universe/record.h"
#include "universe/records.h"
#include "universe/universe_layout.h"

namespace tarvik {

// What the tools found wrong in a file, in the order found. Past MAX_PROBLEMS the list
// only counts.
class Problems {
 public:
  static constexpr size_t MAX_PROBLEMS = 200;
  void Add(std::string text);
  // The problems, with a last line "... and N more problems" when some were only counted.
  std::vector<std::string> List() const;
  bool empty() const { return count_ == 0; }
  size_t count() const { return count_; }

 private:
  std::vector<std::string> shown_;
  size_t count_ = 0;
};

// A record read from a file, perhaps cut off: the bytes the file holds from its start,
// the rest zero.
struct PartRecord {
  Record record;
  int length = 0;  // bytes of the record that lay inside the file

  explicit PartRecord(const RecordLayout& layout) : record(layout) {}
  bool complete() const { return length == record.size(); }
  // Whether every byte of the field lay inside the file.
  bool Holds(const Field& f) const { return f.offset + f.Width() <= length; }
};

// The record of `layout` at 1-based position pos of `bytes`, as far as the file holds it.
// A record that starts outside the file has length 0.
PartRecord ReadPartRecord(std::span<const uint8_t> bytes, const RecordLayout& layout, long long pos);

// The records a structure of one layout holds in a text field (a player section's
// player records, a race data block's race records): element `index` (1-based) of the
// field, as far as the outer record's bytes reach.
PartRecord InnerRecord(const PartRecord& outer, std::string_view field, int index, const RecordLayout& inner);

struct IndexEntryView {
  int id = 0;
  Record record{ObjectIndexEntryLayout()};
  int16_t owner = 0;  // the record's fields
  int32_t recordPos = 0;
  int16_t recordSize = 0;
  int32_t reserved = 0;
};

struct MapListEntry {
  int slot = 0;
  int id = 0;
  int16_t x = 0;
};

struct ObjectView {
  int id = 0;
  int kindCode = 0;  // the object table's code (0 for a minefield of an unknown flavor)
  int16_t tableX = 0, tableY = 0;
  IndexEntryView entry;
  // The object's kind: by its kind code, or by its record size when the code names none.
  const ObjectKindDescriptor* kind = nullptr;
  std::optional<PartRecord> record;  // the kind's record; none without a kind or a position
};

struct GameRaceView {
  int k = 0;  // game race number 1..30
  int32_t raceId = 0;
  long long pos = 0;
  PartRecord block{RaceDataBlockLayout()};
};

struct UniverseView {
  long long fileLength = 0;
  bool isUniverse = false;  // begins with the universe file's header literal
  PartRecord header;
  PartRecord directory;
  PartRecord settings;
  PartRecord playerSection;
  std::vector<GameRaceView> gameRaces;  // the game races whose race ID is above 0
  long long dataCopyPos = 0, dataCopyLength = 0;
  std::vector<IndexEntryView> index;  // the entries that are not all zero, by id
  std::vector<MapListEntry> mapList;  // the map-list slots in use, by slot
  std::vector<ObjectView> objects;    // by id
  Problems problems;

  UniverseView();
};

// Whether the bytes begin with the universe file's header literal.
bool IsUniverseFile(std::span<const uint8_t> bytes);

// Reads everything a universe file holds. Never throws for the file's content.
UniverseView ReadUniverseView(std::span<const uint8_t> bytes);

// A text field's bytes (element `index`) unscrambled under the low byte of `key`.
std::string Unscrambled(const Record& record, const Field& text, int index, int key);

// A stored name without the blanks and zero bytes at its end.
std::string TrimmedName(std::string text);

// The plain name of an object, as END scrambled it: its "name" field unscrambled under
// its name key, blanks at the end dropped. Empty for a kind without a name.
std::string ObjectName(const ObjectView& object);

// ---- Players, homes and planets, for the map picture and the fairness report -------

struct PlanetView {
  int id = 0;
  int x = 0, y = 0;
  std::string name;  // plain, blanks at the end dropped
  long long ore = 0;  // oreN + oreD + oreT + oreM
};

struct PlayerView {
  int slot = 0;
  int32_t raceId = 0;
  std::string raceName;  // plain, blanks at the end dropped; empty when unknown
  // The player's home: its first base, or for a player without a base (a race that
  // keeps its colony on ships) where its first ship or wing stands.
  bool hasHome = false;
  bool homeIsBase = false;
  int x = 0, y = 0;
  int homePlanetId = 0;  // the planet the base is locked to; 0 for none
};

std::vector<PlanetView> Planets(const UniverseView& view);
// Every player slot that plays a race (active with a race ID above 0) or owns a base,
// ship or wing, in slot order.
std::vector<PlayerView> Players(const UniverseView& view);

// The identifiers of the planets the players with a home have it on (homePlanetId not
// 0), in ascending order, each once.
std::vector<int> HomePlanetIds(const std::vector<PlayerView>& players);

// Players(view) and Planets(view) of the file's view, read without keeping a view of
// every object (for the fairness report after a build), except that only the planets
// that are some player's home planet (PlayerView::homePlanetId) have their names: the
// report names no other. `zeros`: stretches of `bytes` known to be zero, in order (a
// mapped file's holes), which need not be looked at.
struct StartPositions {
  std::vector<PlayerView> players;
  std::vector<PlanetView> planets;
};
StartPositions ReadStartPositions(std::span<const uint8_t> bytes, std::span<const ByteStretch> zeros = {});

// The bytes of the record of `size` bytes at 1-based position pos of a universe file.
using RecordReader = std::function<std::vector<uint8_t>(int32_t pos, int size)>;
// ReadStartPositions of a universe file whose objects are already known: `head`, the
// file's first bytes, in which its header, directory, player section and race data
// lie whole; `placed`, every object of the file as the file's reader takes it (any
// order, planets without their names: see StoreState::placed); `recordAt`, for the
// names of the home planets. Nothing when the head does not hold all it must.
std::optional<StartPositions> StartPositionsOf(std::span<const uint8_t> head, std::vector<PlacedObject> placed,
                                               const RecordReader& recordAt);

}  // namespace tarvik
