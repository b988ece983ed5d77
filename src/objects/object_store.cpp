// The object store: objects are appended to a universe file that WriteUniverseFile
// made. Opening loads the counters, the five object tables and the object index;
// each store operation takes an identifier and a map-list slot, appends the working
// record and its index entry, and logs one line; closing writes everything back.
//
// Cost per object does not grow with the number of objects already stored:
// - identifiers: the search "first free identifier from C upwards" follows skip
//   pointers over runs of taken identifiers (s.store.nextFreeId) instead of testing
//   every identifier from C; the answer is the one the plain upward scan gives;
// - map-list slots: a cursor on the first slot that may be free, which only moves
//   forward while the store is open;
// - file output: records are collected and written in large pieces, and the index
//   entries are kept in memory and written once at close.
#include "objects/object_store.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include "app/run_log.h"
#include "base/bytes.h"
#include "base/errors.h"
#include "base/text.h"
#include "platform/rounding.h"
#include "session.h"

namespace tarvik {

namespace {

constexpr int kIndexEntrySize = 12;
constexpr long long kTableBytes = 2LL * MAX_OBJECTS;  // one int16 table
constexpr int kNoFreeId = MAX_OBJECTS + 1;
constexpr size_t kRecordFlushBytes = 1 << 20;
constexpr int32_t kBaseStructMask = 2147475455;  // bits 0..30 except bit 13

// Directory offsets from tableBase of the values the store keeps.
constexpr int kObjectTablesPosAt = 256;
constexpr int kIndexPosAt = 260;
constexpr int kReserved264At = 264;
constexpr int kObjectCountAt = 268;
constexpr int kDataEndAt = 272;

// Header positions.
constexpr int kTableBasePos = 473;
constexpr int kSerialCounterPos = 477;
constexpr int kLastPlanetIdPos = 481;

bool StoreOpen(const Session& s) { return s.store.file && s.store.file->IsOpen(); }

void RequireOpen(const Session& s) {
  if (!StoreOpen(s)) throw RuntimeError("object store is not open");
}

// The five object tables in file order.
std::array<Table<int16_t, MAX_OBJECTS>*, 5> TablesInFileOrder(ObjectTables& t) {
  return {&t.mapListX, &t.mapListId, &t.objectX, &t.objectY, &t.objectKind};
}

// Offsets of the index entry's fields, taken from its record layout.
struct IndexFields {
  int owner, recordPos, recordSize, reserved;
};
const IndexFields& IndexOffsets() {
  static const IndexFields f = [] {
    const RecordLayout& l = ObjectIndexEntryLayout();
    return IndexFields{l.Get("owner").offset, l.Get("recordPos").offset, l.Get("recordSize").offset,
                       l.Get("reserved").offset};
  }();
  return f;
}

// Whether an identifier is in use. An identifier whose index entry already records
// a stored object stays in use even when its kind code is 0 (a minefield of an
// unknown flavor): a second object given the same identifier would overwrite that
// entry, and the game host would find two records under one identifier, one of them
// unreachable. The kind code in the table stays 0 as the rules say; only the
// identifier is kept. The index entries are in memory only while the store is open,
// so this is what OpenObjectStore rebuilds from the file: the reservation holds
// across later opens too.
bool IdTaken(const Session& s, int id) {
  if (s.tables.objects.objectKind[id] > 0) return true;
  if (!StoreOpen(s)) return false;
  const uint8_t* e = s.store.index.data() + static_cast<size_t>(id - 1) * kIndexEntrySize;
  return GetI16(e + IndexOffsets().recordSize) != 0;
}

// The first free identifier from `from` to MAX_OBJECTS, or kNoFreeId. The result is
// the one the plain upward scan gives; while the store is open the skip pointers
// jump over identifiers already known to be taken.
int FirstFreeIdFrom(Session& s, int from) {
  if (!StoreOpen(s)) {
    for (int i = from; i <= MAX_OBJECTS; ++i) {
      if (!IdTaken(s, i)) return i;
    }
    return kNoFreeId;
  }
  std::vector<int32_t>& next = s.store.nextFreeId;
  int i = from;
  for (;;) {
    // Follow the pointers, halving the path as we go.
    while (next[i] != i) {
      next[i] = next[next[i]];
      i = next[i];
    }
    if (i == kNoFreeId || !IdTaken(s, i)) break;
    next[i] = i + 1;  // taken since the pointers were last told
  }
  // Shorten the way for the next search from the same start.
  if (from != i) next[from] = i;
  return i;
}

void MarkIdTaken(Session& s, int id) {
  if (StoreOpen(s)) s.store.nextFreeId[id] = id + 1;
}

// Coordinates go into the 16-bit tables saturated at -32768 and 32767. Object
// coordinates run up to 99000, and the tables have 16 bits: wrapping them round
// would put an object at 40000 at -25536, on the far side of the map, for any host
// that reads the tables as the signed values they are. Saturating keeps every
// coordinate inside the 16-bit range exact and keeps the order of all of them, so a
// host that sweeps the map list by X, or looks for the nearest object, still finds
// the objects beyond 32767 at the edge where they lie; their exact position is in
// their record.
int16_t TableCoordinate(int32_t v) {
  return static_cast<int16_t>(std::clamp<int32_t>(v, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max()));
}

void FlushPendingRecords(StoreState& st) {
  if (st.pendingRecords.empty()) return;
  st.file->Write(st.pendingPos, st.pendingRecords);
  st.pendingPos += static_cast<long long>(st.pendingRecords.size());
  st.pendingRecords.clear();
}

void AppendRecord(StoreState& st, long long pos, const std::vector<uint8_t>& bytes) {
  if (st.pendingRecords.empty()) st.pendingPos = pos;
  if (st.pendingPos + static_cast<long long>(st.pendingRecords.size()) != pos) {
    FlushPendingRecords(st);
    st.pendingPos = pos;
  }
  st.pendingRecords.insert(st.pendingRecords.end(), bytes.begin(), bytes.end());
  if (st.pendingRecords.size() >= kRecordFlushBytes) FlushPendingRecords(st);
}

void SetIndexEntry(StoreState& st, int id, int16_t owner, int32_t pos, int16_t size) {
  const IndexFields& f = IndexOffsets();
  uint8_t* e = st.index.data() + static_cast<size_t>(id - 1) * kIndexEntrySize;
  PutI16(e + f.owner, owner);
  PutI32(e + f.recordPos, pos);
  PutI16(e + f.recordSize, size);
  PutI32(e + f.reserved, 0);
  st.indexDirtyFirst = std::min(st.indexDirtyFirst, id);
  st.indexDirtyLast = std::max(st.indexDirtyLast, id);
}

void ResetStore(StoreState& st) {
  st.file.reset();
  st.nextFreeId.clear();
  st.nextFreeId.shrink_to_fit();
  st.mapListCursor = 1;
  st.index.clear();
  st.index.shrink_to_fit();
  st.indexDirtyFirst = 1;
  st.indexDirtyLast = 0;
  st.pendingRecords.clear();
  st.pendingPos = 0;
}

// The add operation shared by every kind: record `rec` of the kind's size, owner W,
// position (x, y), kind code K and run-log label (none for a planet).
void StoreObject(Session& s, Record& rec, int expectedSize, long long owner, int32_t x, int32_t y, long long kind,
                 std::string_view label, bool planet) {
  RequireOpen(s);
  if (rec.size() != expectedSize) {
    throw RuntimeError("record " + std::string(rec.layout().name()) + " has size " + std::to_string(rec.size()));
  }
  UniverseCounters& c = s.tables.counters;
  ObjectTables& t = s.tables.objects;
  StoreState& st = s.store;

  // Everything that can refuse the object is checked before anything changes, so a
  // refused object leaves no trace.
  const int16_t kindCode = CheckedI16(kind, "object kind");
  const int16_t ownerCode = CheckedI16(owner, "object owner");
  const long long pos = static_cast<long long>(c.dataEnd) + 1;
  const long long newEnd = static_cast<long long>(c.dataEnd) + expectedSize;
  if (pos < 1 || newEnd > std::numeric_limits<int32_t>::max()) {
    throw RuntimeError("universe file full: no room for a record after position " + std::to_string(c.dataEnd));
  }
  if (c.serialCounter == std::numeric_limits<int32_t>::max() || c.objectCount == std::numeric_limits<int32_t>::max()) {
    throw RuntimeError("universe file counters exhausted");
  }
  const int16_t tableX = TableCoordinate(x);
  const int16_t tableY = TableCoordinate(y);

  const int32_t id = AllocateObjectId(s);
  if (id == 0) return;  // no free identifier: the object is silently not stored

  rec.Set("id", id);
  c.serialCounter += 1;
  rec.Set("serial", c.serialCounter);
  if (planet) {
    c.lastPlanetId = id;
  } else {
    st.lastObjectId = id;
  }
  c.dataEnd = static_cast<int32_t>(newEnd);
  c.objectCount += 1;

  SetIndexEntry(st, id, ownerCode, static_cast<int32_t>(pos), static_cast<int16_t>(expectedSize));
  AppendRecord(st, pos, rec.bytes());

  t.objectX[id] = tableX;
  t.objectY[id] = tableY;
  t.objectKind[id] = kindCode;
  MarkIdTaken(s, id);

  AddToMapList(s, id);

  if (!label.empty()) LogLine(s, std::string(label) + NumText(id));
}

// The usual case: owner from pNum, position from x and y.
void StoreOwned(Session& s, Record& rec, int size, long long kind, std::string_view label) {
  StoreObject(s, rec, size, rec.Get("pNum"), rec.Get("x"), rec.Get("y"), kind, label, false);
}

}  // namespace

void OpenObjectStore(Session& s, const std::string& path) {
  StoreState& st = s.store;
  ResetStore(st);  // a store left open by a build that stopped is dropped unwritten
  UniverseCounters& c = s.tables.counters;
  ObjectTables& t = s.tables.objects;

  st.path = path;
  auto file = std::make_unique<BinaryFile>(path, BinaryFile::Mode::ReadWrite);

  c.tableBase = file->ReadI32(kTableBasePos);
  c.serialCounter = file->ReadI32(kSerialCounterPos);
  c.lastPlanetId = file->ReadI32(kLastPlanetIdPos);
  if (c.tableBase < 1) throw RuntimeError("universe file " + path + " has a damaged directory");

  // The directory: 30 values, the 30 race block positions, then the nine values from
  // the data file copy's position to dataEnd; one read for all of it.
  std::vector<uint8_t> dir = file->Read(c.tableBase, kDataEndAt + 4);
  c.objectTablesPos = GetI32(dir.data() + kObjectTablesPosAt);
  c.indexPos = GetI32(dir.data() + kIndexPosAt);
  st.reserved264 = GetI32(dir.data() + kReserved264At);
  c.recordsPos = st.reserved264;
  c.objectCount = GetI32(dir.data() + kObjectCountAt);
  c.dataEnd = GetI32(dir.data() + kDataEndAt);
  if (c.objectTablesPos < 1 || c.indexPos < 1 || c.dataEnd < 0) {
    throw RuntimeError("universe file " + path + " has a damaged directory");
  }

  std::vector<uint8_t> tables = file->Read(c.objectTablesPos, static_cast<size_t>(5 * kTableBytes));
  const auto order = TablesInFileOrder(t);
  for (int k = 0; k < 5; ++k) {
    const uint8_t* p = tables.data() + k * kTableBytes;
    int16_t* out = order[k]->data();
    for (int i = 0; i < MAX_OBJECTS; ++i) out[i] = GetI16(p + 2 * i);
  }
  st.index = file->Read(c.indexPos, static_cast<size_t>(MAX_OBJECTS) * kIndexEntrySize);
  st.file = std::move(file);

  st.nextFreeId.assign(kNoFreeId + 1, 0);
  for (int i = 1; i <= MAX_OBJECTS; ++i) st.nextFreeId[i] = IdTaken(s, i) ? i + 1 : i;
  st.nextFreeId[kNoFreeId] = kNoFreeId;
  st.mapListCursor = 1;
}

void CloseObjectStore(Session& s) {
  if (!StoreOpen(s)) return;
  StoreState& st = s.store;
  const UniverseCounters& c = s.tables.counters;
  ObjectTables& t = s.tables.objects;
  try {
    BinaryFile& f = *st.file;
    FlushPendingRecords(st);
    if (st.indexDirtyFirst <= st.indexDirtyLast) {
      const size_t from = static_cast<size_t>(st.indexDirtyFirst - 1) * kIndexEntrySize;
      const size_t to = static_cast<size_t>(st.indexDirtyLast) * kIndexEntrySize;
      f.Write(c.indexPos + static_cast<long long>(from), st.index.data() + from, to - from);
    }
    f.WriteI32(kSerialCounterPos, c.serialCounter);
    f.WriteI32(kLastPlanetIdPos, c.lastPlanetId);
    f.WriteI32(static_cast<long long>(c.tableBase) + kReserved264At, st.reserved264);
    f.WriteI32(static_cast<long long>(c.tableBase) + kObjectCountAt, c.objectCount);
    f.WriteI32(static_cast<long long>(c.tableBase) + kDataEndAt, c.dataEnd);

    std::vector<uint8_t> tables(static_cast<size_t>(5 * kTableBytes));
    const auto order = TablesInFileOrder(t);
    for (int k = 0; k < 5; ++k) {
      uint8_t* p = tables.data() + k * kTableBytes;
      const int16_t* in = order[k]->data();
      for (int i = 0; i < MAX_OBJECTS; ++i) PutI16(p + 2 * i, in[i]);
    }
    f.Write(c.objectTablesPos, tables);
    f.Close();  // throws when the last buffered bytes cannot be written
  } catch (...) {
    ResetStore(st);
    throw;
  }
  ResetStore(st);
}

void AbandonObjectStore(Session& s) { ResetStore(s.store); }

int32_t AllocateObjectId(Session& s) {
  long long candidate;
  if (s.script.randomIds) {
    candidate = RoundToInt(s.random.Next() * 19000 + 10);
  } else {
    candidate = static_cast<long long>(s.tables.counters.lastPlanetId) + 1;
  }
  if (candidate > MAX_OBJECTS) candidate = 1;
  const int c = static_cast<int>(candidate);
  if (!IdTaken(s, c)) return c;
  int found = FirstFreeIdFrom(s, c);
  if (found <= MAX_OBJECTS) return found;
  found = FirstFreeIdFrom(s, 1);
  return found <= c ? found : 0;
}

void AddToMapList(Session& s, int32_t id) {
  ObjectTables& t = s.tables.objects;
  const bool open = StoreOpen(s);
  int slot = open ? s.store.mapListCursor : 1;
  while (slot <= MAX_OBJECTS && t.mapListId[slot] != 0) ++slot;
  if (open) s.store.mapListCursor = slot;
  if (slot > MAX_OBJECTS) ShowFatalError(s, "No room in map list!");
  t.mapListId.Set(slot, id);
  t.mapListX[slot] = t.objectX[id];
}

void StorePlanet(Session& s) {
  Record& r = s.records.planet;
  StoreObject(s, r, 288, 1000, r.Get("x"), r.Get("y"), ObjectKind::kPlanet, "", true);
}

void StoreShip(Session& s) {
  Record& r = s.records.ship;
  StoreOwned(s, r, 1424, ObjectKind::kShipBase + static_cast<long long>(r.Get("hull")), "Ship Object ID# ");
}

void StoreBase(Session& s) {
  Record& r = s.records.base;
  r.Set("structMask", kBaseStructMask);
  StoreOwned(s, r, 1502, ObjectKind::kBase, "Base Object ID# ");
}

void StoreConPod(Session& s) { StoreOwned(s, s.records.conPod, 132, ObjectKind::kConPod, "PodCon Object ID# "); }

void StoreOrePod(Session& s) { StoreOwned(s, s.records.orePod, 130, ObjectKind::kOrePod, "Pod Ore Object ID# "); }

void StoreLifePod(Session& s) {
  StoreOwned(s, s.records.lifePod, 134, ObjectKind::kLifePod, "Life Pod Object ID# ");
}

void StoreAssaultPod(Session& s) {
  // x and y are 16-bit fields in this record; Get widens them.
  StoreOwned(s, s.records.assaultPod, 150, ObjectKind::kAssaultPod, "PodAssalt Object ID# ");
}

void StoreOutfitPod(Session& s) {
  StoreOwned(s, s.records.outfitPod, 408, ObjectKind::kOutfitPod, "Pod Outfit Object ID# ");
}

void StoreNativePod(Session& s) {
  StoreOwned(s, s.records.nativePod, 154, ObjectKind::kNativePod, "Pod Native Object ID# ");
}

void StoreResupplyPod(Session& s) {
  StoreOwned(s, s.records.resupplyPod, 142, ObjectKind::kResupplyPod, "Pod Resupply Object ID# ");
}

void StoreGoldPod(Session& s) { StoreOwned(s, s.records.goldPod, 196, ObjectKind::kGoldPod, "Pod Gold Object ID# "); }

void StoreWreckage(Session& s) { StoreOwned(s, s.records.wreckage, 346, ObjectKind::kWreckage, "Junk Object ID# "); }

void StoreMinefield(Session& s) {
  Record& r = s.records.minefield;
  StoreOwned(s, r, 60, MinefieldKindCode(r.Get("flavor"), r.Get("radius")), "Mine Object ID# ");
}

void StoreThing(Session& s) {
  Record& r = s.records.thing;
  StoreObject(s, r, 180, 1000, r.Get("x"), r.Get("y"), ObjectKind::kThing, "Thing Object ID# ", false);
}

void StoreBuoy(Session& s) { StoreOwned(s, s.records.buoy, 222, ObjectKind::kBuoy, "Buoy Object ID# "); }

void StoreWing(Session& s) { StoreOwned(s, s.records.wing, 284, ObjectKind::kWing, "Wing Object ID# "); }

}  // namespace tarvik
