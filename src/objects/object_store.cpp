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

#include "base/bytes.h"
#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "objects/constructors.h"
#include "objects/object_kinds.h"
#include "objects/object_session.h"
#include "platform/rounding.h"
#include "universe/universe_layout.h"

namespace tarvik {

namespace {

constexpr int INDEX_ENTRY_SIZE = 12;
constexpr long long TABLE_BYTES = 2LL * MAX_OBJECTS;  // one int16 table
constexpr int NO_FREE_ID = MAX_OBJECTS + 1;
constexpr size_t RECORD_FLUSH_BYTES = 1 << 20;

void RequireOpen(const ObjectSession& s) {
  if (!ObjectStoreOpen(s)) throw RuntimeError("The universe file is not open for objects.");
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
bool IdTaken(const ObjectSession& s, int id) {
  if (s.tables.objects.objectKind[id] > 0) return true;
  if (!ObjectStoreOpen(s)) return false;
  const uint8_t* e = s.store.index.data() + static_cast<size_t>(id - 1) * INDEX_ENTRY_SIZE;
  return GetI16(e + IndexOffsets().recordSize) != 0;
}

// The first free identifier from `from` to MAX_OBJECTS, or NO_FREE_ID. The result is
// the one the plain upward scan gives; while the store is open the skip pointers
// jump over identifiers already known to be taken.
int FirstFreeIdFrom(ObjectSession& s, int from) {
  if (!ObjectStoreOpen(s)) {
    for (int i = from; i <= MAX_OBJECTS; ++i) {
      if (!IdTaken(s, i)) return i;
    }
    return NO_FREE_ID;
  }
  std::vector<int32_t>& next = s.store.nextFreeId;
  int i = from;
  for (;;) {
    // Follow the pointers, halving the path as we go.
    while (next[i] != i) {
      next[i] = next[next[i]];
      i = next[i];
    }
    if (i == NO_FREE_ID || !IdTaken(s, i)) break;
    next[i] = i + 1;  // taken since the pointers were last told
  }
  // Shorten the way for the next search from the same start.
  if (from != i) next[from] = i;
  return i;
}

void MarkIdTaken(ObjectSession& s, int id) {
  if (ObjectStoreOpen(s)) s.store.nextFreeId[id] = id + 1;
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
  if (st.pendingRecords.size() >= RECORD_FLUSH_BYTES) FlushPendingRecords(st);
}

void SetIndexEntry(StoreState& st, int id, int16_t owner, int32_t pos, int16_t size) {
  const IndexFields& f = IndexOffsets();
  uint8_t* e = st.index.data() + static_cast<size_t>(id - 1) * INDEX_ENTRY_SIZE;
  PutI16(e + f.owner, owner);
  PutI32(e + f.recordPos, pos);
  PutI16(e + f.recordSize, size);
  PutI32(e + f.reserved, 0);
  st.indexDirtyFirst = std::min(st.indexDirtyFirst, id);
  st.indexDirtyLast = std::max(st.indexDirtyLast, id);
}

void ResetStore(StoreState& st) {
  st.file.reset();
  st.dry = false;
  st.nextFreeId.clear();
  st.nextFreeId.shrink_to_fit();
  st.mapListCursor = 1;
  st.index.clear();
  st.index.shrink_to_fit();
  st.indexDirtyFirst = 1;
  st.indexDirtyLast = 0;
  st.pendingRecords.clear();
  st.pendingRecords.shrink_to_fit();
  st.pendingPos = 0;
  st.planets.Clear();
}

// The identifier search's pointers, from the identifiers in use when the store opens.
void StartIdSearch(ObjectSession& s) {
  StoreState& st = s.store;
  st.nextFreeId.assign(NO_FREE_ID + 1, 0);
  for (int i = 1; i <= MAX_OBJECTS; ++i) st.nextFreeId[i] = IdTaken(s, i) ? i + 1 : i;
  st.nextFreeId[NO_FREE_ID] = NO_FREE_ID;
  st.mapListCursor = 1;
}

// The fields every kind's record has that storing an object reads and writes, found
// once per kind: the store names them for every object.
struct StoredFields {
  const Field* x = nullptr;
  const Field* y = nullptr;
  const Field* id = nullptr;
  const Field* serial = nullptr;
};

const StoredFields& StoredFieldsOf(const ObjectKindDescriptor& kind) {
  static const std::array<StoredFields, BLOCK_KIND_COUNT> byKind = [] {
    std::array<StoredFields, BLOCK_KIND_COUNT> fields{};
    for (const ObjectKindDescriptor& k : ObjectKinds()) {
      const RecordLayout& layout = k.layout();
      fields[static_cast<size_t>(k.blockKind)] = {&layout.Get("x"), &layout.Get("y"), &layout.Get("id"),
                                                  &layout.Get("serial")};
    }
    return fields;
  }();
  return byKind[static_cast<size_t>(kind.blockKind)];
}

// The add operation of every kind: the kind's working record with its owner, position,
// kind code and run-log line (none for a planet), as its descriptor says.
void StoreObject(ObjectSession& s, const ObjectKindDescriptor& kind) {
  RequireOpen(s);
  Record& rec = s.records.*kind.record;
  const StoredFields& f = StoredFieldsOf(kind);
  UniverseCounters& c = s.tables.counters;
  ObjectTables& t = s.tables.objects;
  StoreState& st = s.store;

  // Everything that can refuse the object is checked before anything changes, so a
  // refused object leaves no trace.
  const int16_t kindCode = CheckedI16(KindCodeOf(kind, rec), "object kind");
  const int16_t ownerCode = CheckedI16(OwnerOf(kind, rec), "object owner");
  const int size = rec.size();
  const long long pos = static_cast<long long>(c.dataEnd) + 1;
  const long long newEnd = static_cast<long long>(c.dataEnd) + size;
  if (pos < 1 || newEnd > std::numeric_limits<int32_t>::max()) {
    throw RuntimeError("The universe file is full: no room for a record after position " +
                       std::to_string(c.dataEnd) + ".");
  }
  if (c.serialCounter == std::numeric_limits<int32_t>::max() || c.objectCount == std::numeric_limits<int32_t>::max()) {
    throw RuntimeError("The universe file's object counters are used up.");
  }
  // The assault pod keeps its position as 16-bit fields; Get widens them.
  const int16_t tableX = TableCoordinate(rec.Get(*f.x));
  const int16_t tableY = TableCoordinate(rec.Get(*f.y));

  const int32_t id = AllocateObjectId(s);
  if (id == 0) return;  // no free identifier: the object is silently not stored

  rec.Set(*f.id, id);
  c.serialCounter += 1;
  rec.Set(*f.serial, c.serialCounter);
  if (kind.blockKind == BlockKind::Planet) {
    c.lastPlanetId = id;
  } else {
    st.lastObjectId = id;
  }
  c.dataEnd = static_cast<int32_t>(newEnd);
  c.objectCount += 1;

  SetIndexEntry(st, id, ownerCode, static_cast<int32_t>(pos), static_cast<int16_t>(size));
  if (!st.dry) AppendRecord(st, pos, rec.bytes());

  t.objectX[id] = tableX;
  t.objectY[id] = tableY;
  t.objectKind[id] = kindCode;
  if (kindCode == ObjectKind::PLANET) st.planets.Add(id, tableX, tableY);
  MarkIdTaken(s, id);

  AddToMapList(s, id);

  if (!kind.logText.empty()) {
    st.logLine.assign(kind.logText);
    st.logLine += NumText(id);
    LogLine(s, st.logLine);
  }
}

void StoreKind(ObjectSession& s, BlockKind kind) { StoreObject(s, *KindOfBlock(kind)); }

}  // namespace

bool ObjectStoreOpen(const ObjectSession& s) { return s.store.dry || (s.store.file && s.store.file->IsOpen()); }

void OpenObjectStore(ObjectSession& s, const std::string& path) {
  StoreState& st = s.store;
  ResetStore(st);  // a store left open by a build that stopped is dropped unwritten
  UniverseCounters& c = s.tables.counters;
  ObjectTables& t = s.tables.objects;

  st.path = path;
  auto file = std::make_unique<BinaryFile>(path, BinaryFile::Mode::ReadWrite);

  c.tableBase = file->ReadI32(HeaderPosition("tableBase"));
  c.serialCounter = file->ReadI32(HeaderPosition("serialCounter"));
  c.lastPlanetId = file->ReadI32(HeaderPosition("lastPlanetId"));
  if (c.tableBase < 1) throw RuntimeError("The universe file " + path + " has a damaged directory.");

  // The directory up to dataEnd, its last field that the store uses, in one read.
  Record dir(UniverseDirectoryLayout());
  const Field& last = dir.layout().Get("dataEnd");
  const std::vector<uint8_t> read = file->Read(c.tableBase, static_cast<size_t>(last.offset + last.Width()));
  std::copy(read.begin(), read.end(), dir.bytes().begin());
  c.objectTablesPos = dir.Get("objectTablesPos");
  c.indexPos = dir.Get("indexPos");
  c.recordsPos = dir.Get("recordsPos");
  c.objectCount = dir.Get("objectCount");
  c.dataEnd = dir.Get("dataEnd");
  if (c.objectTablesPos < 1 || c.indexPos < 1 || c.dataEnd < 0) {
    throw RuntimeError("The universe file " + path + " has a damaged directory.");
  }

  std::vector<uint8_t> tables = file->Read(c.objectTablesPos, static_cast<size_t>(5 * TABLE_BYTES));
  const auto order = TablesInFileOrder(t);
  for (int k = 0; k < 5; ++k) {
    const uint8_t* p = tables.data() + k * TABLE_BYTES;
    int16_t* out = order[k]->data();
    for (int i = 0; i < MAX_OBJECTS; ++i) out[i] = GetI16(p + 2 * i);
  }
  st.index = file->Read(c.indexPos, static_cast<size_t>(MAX_OBJECTS) * INDEX_ENTRY_SIZE);
  st.file = std::move(file);
  StartIdSearch(s);
  st.planets.Rebuild(t);
}

void OpenDryObjectStore(ObjectSession& s) {
  StoreState& st = s.store;
  ResetStore(st);
  st.path.clear();
  for (Table<int16_t, MAX_OBJECTS>* table : TablesInFileOrder(s.tables.objects)) table->Fill(0);
  s.tables.counters = UniverseCounters{};
  s.tables.counters.tableBase = UNIVERSE_TABLE_BASE;
  st.index.assign(static_cast<size_t>(MAX_OBJECTS) * INDEX_ENTRY_SIZE, 0);
  st.dry = true;
  StartIdSearch(s);
}

void CloseObjectStore(ObjectSession& s) {
  if (!ObjectStoreOpen(s)) return;
  StoreState& st = s.store;
  if (st.dry) {
    ResetStore(st);
    return;
  }
  const UniverseCounters& c = s.tables.counters;
  ObjectTables& t = s.tables.objects;
  try {
    BinaryFile& f = *st.file;
    FlushPendingRecords(st);
    if (st.indexDirtyFirst <= st.indexDirtyLast) {
      const size_t from = static_cast<size_t>(st.indexDirtyFirst - 1) * INDEX_ENTRY_SIZE;
      const size_t to = static_cast<size_t>(st.indexDirtyLast) * INDEX_ENTRY_SIZE;
      f.Write(c.indexPos + static_cast<long long>(from), st.index.data() + from, to - from);
    }
    f.WriteI32(HeaderPosition("serialCounter"), c.serialCounter);
    f.WriteI32(HeaderPosition("lastPlanetId"), c.lastPlanetId);
    f.WriteI32(DirectoryPosition(c.tableBase, "recordsPos"), c.recordsPos);
    f.WriteI32(DirectoryPosition(c.tableBase, "objectCount"), c.objectCount);
    f.WriteI32(DirectoryPosition(c.tableBase, "dataEnd"), c.dataEnd);

    std::vector<uint8_t> tables(static_cast<size_t>(5 * TABLE_BYTES));
    const auto order = TablesInFileOrder(t);
    for (int k = 0; k < 5; ++k) {
      uint8_t* p = tables.data() + k * TABLE_BYTES;
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
  FlushRunLog(s);  // the objects are in the file, and so are the lines about them
}

void AbandonObjectStore(ObjectSession& s) { ResetStore(s.store); }

int32_t AllocateObjectId(ObjectSession& s) {
  long long candidate;
  if (s.store.randomIds) {
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

void AddToMapList(ObjectSession& s, int32_t id) {
  ObjectTables& t = s.tables.objects;
  const bool open = ObjectStoreOpen(s);
  int slot = open ? s.store.mapListCursor : 1;
  while (slot <= MAX_OBJECTS && t.mapListId[slot] != 0) ++slot;
  if (open) s.store.mapListCursor = slot;
  if (slot > MAX_OBJECTS) throw FatalError{"No room in map list!"};
  t.mapListId.Set(slot, id);
  t.mapListX[slot] = t.objectX[id];
}

void StorePlanet(ObjectSession& s) { StoreKind(s, BlockKind::Planet); }
void StoreShip(ObjectSession& s) { StoreKind(s, BlockKind::Ship); }
void StoreBase(ObjectSession& s) {
  s.records.base.Set("structMask", BASE_STRUCT_MASK);
  StoreKind(s, BlockKind::Base);
}
void StoreConPod(ObjectSession& s) { StoreKind(s, BlockKind::ConPod); }
void StoreOrePod(ObjectSession& s) { StoreKind(s, BlockKind::OrePod); }
void StoreLifePod(ObjectSession& s) { StoreKind(s, BlockKind::LifePod); }
void StoreAssaultPod(ObjectSession& s) { StoreKind(s, BlockKind::AssaultPod); }
void StoreOutfitPod(ObjectSession& s) { StoreKind(s, BlockKind::OutfitPod); }
void StoreNativePod(ObjectSession& s) { StoreKind(s, BlockKind::NativePod); }
void StoreResupplyPod(ObjectSession& s) { StoreKind(s, BlockKind::ResupplyPod); }
void StoreGoldPod(ObjectSession& s) { StoreKind(s, BlockKind::GoldPod); }
void StoreWreckage(ObjectSession& s) { StoreKind(s, BlockKind::Wreckage); }
void StoreMinefield(ObjectSession& s) { StoreKind(s, BlockKind::Minefield); }
void StoreThing(ObjectSession& s) { StoreKind(s, BlockKind::Thing); }
void StoreBuoy(ObjectSession& s) { StoreKind(s, BlockKind::Buoy); }
void StoreWing(ObjectSession& s) { StoreKind(s, BlockKind::Wing); }

}  // namespace tarvik
