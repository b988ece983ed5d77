// The object store: objects are appended to a universe file that WriteUniverseFile
// made. Opening loads the counters, the five object tables and which identifiers the
// object index holds; each store operation takes an identifier and a map-list slot,
// appends the working record and its index entry, and logs one line; closing writes
// back the counters and every index and table entry that changed.
//
// Cost per object does not grow with the number of objects already stored:
// - identifiers: the search "first free identifier from C upwards" runs over one bit
//   per identifier a word at a time, skipping words of taken identifiers through a
//   summary (TakenIds) instead of testing every identifier from C; the answer is the
//   one the plain upward scan gives;
// - map-list slots: a cursor on the first slot that may be free, which only moves
//   forward while the store is open;
// - file output: records are collected and written in pieces of a bounded size, and
//   the index entries are kept in memory and written once at close.
// The memory the store touches stays near what it changes: the tables and the index
// are read and written through a small buffer, piece by piece, and the index entries
// are held only for the stretch of identifiers the objects stored since the open span.
#include "objects/object_store.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string_view>

#include "base/bytes.h"
#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "objects/constructors.h"
#include "objects/object_kinds.h"
#include "objects/object_session.h"
#include "platform/files.h"
#include "platform/rounding.h"
#include "universe/universe_layout.h"

namespace tarvik {

namespace {

constexpr int INDEX_ENTRY_SIZE = 12;
constexpr int TABLE_ENTRY_SIZE = 2;  // an int16
constexpr long long TABLE_BYTES = static_cast<long long>(TABLE_ENTRY_SIZE) * MAX_OBJECTS;  // one table
constexpr int NO_FREE_ID = TakenIds::NONE;
// The records collected before they are written. The same memory is filled again after
// each write, so a run touches no more of it than this; the system takes a few large
// writes much faster than many small ones (below about 256 KiB a write costs clearly
// more per byte).
constexpr size_t RECORD_BUFFER_BYTES = 256 << 10;
// The tables and the index go between the file and memory through a buffer of this
// size, piece by piece.
constexpr size_t PIECE_BYTES = 12 << 10;

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
// identifier is kept. The store knows the identifiers with an index entry only while
// it is open, so OpenObjectStore learns them from the file's index again: the
// reservation holds across later opens too.
bool IdTaken(const ObjectSession& s, int id) {
  if (s.tables.objects.objectKind[id] > 0) return true;
  return ObjectStoreOpen(s) && s.store.takenIds.Taken(id);
}

// The first free identifier from `from` to MAX_OBJECTS, or NO_FREE_ID. The result is
// the one the plain upward scan gives. While the store is open, takenIds holds every
// identifier in use when it opened and every one given since, and an identifier
// never becomes free again while it is open: every identifier it skips is taken. The
// one it lands on is checked against the kind codes too, for a kind code set in the
// tables by other means than the store; such an identifier is taken and the search
// goes on after it.
int FirstFreeIdFrom(ObjectSession& s, int from) {
  if (!ObjectStoreOpen(s)) {
    for (int i = from; i <= MAX_OBJECTS; ++i) {
      if (!IdTaken(s, i)) return i;
    }
    return NO_FREE_ID;
  }
  TakenIds& taken = s.store.takenIds;
  for (;;) {
    const int i = taken.FirstFreeFrom(from);
    if (i == NO_FREE_ID || s.tables.objects.objectKind[i] <= 0) return i;
    taken.Take(i);
    from = i;
  }
}

void MarkIdTaken(ObjectSession& s, int id) {
  if (ObjectStoreOpen(s)) s.store.takenIds.Take(id);
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

// ---- The file's arrays, piece by piece --------------------------------------------------

// Reads `count` entries of `entrySize` bytes from `pos` on through a buffer of
// PIECE_BYTES, handing each piece to use(its first entry's number from 0, its number
// of entries, their bytes).
template <typename Use>
void ReadEntries(BinaryFile& f, long long pos, int count, int entrySize, Use&& use) {
  std::array<uint8_t, PIECE_BYTES> piece;
  const int perPiece = static_cast<int>(PIECE_BYTES) / entrySize;
  for (int first = 0; first < count; first += perPiece) {
    const int n = std::min(perPiece, count - first);
    f.Read(pos + static_cast<long long>(first) * entrySize, piece.data(), static_cast<size_t>(n) * entrySize);
    use(first, n, piece.data());
  }
}

// Writes entries `first` to `last` (from 0) of `entrySize` bytes, entry e at
// pos + e * entrySize, through a buffer of PIECE_BYTES that fill(its first entry's
// number, its number of entries, their bytes) fills piece by piece.
template <typename Fill>
void WriteEntries(BinaryFile& f, long long pos, int first, int last, int entrySize, Fill&& fill) {
  std::array<uint8_t, PIECE_BYTES> piece;
  const int perPiece = static_cast<int>(PIECE_BYTES) / entrySize;
  for (int from = first; from <= last; from += perPiece) {
    const int n = std::min(perPiece, last - from + 1);
    fill(from, n, piece.data());
    f.Write(pos + static_cast<long long>(from) * entrySize, piece.data(), static_cast<size_t>(n) * entrySize);
  }
}

// The five tables, one after the other in the file.
void ReadTables(BinaryFile& f, long long pos, ObjectTables& t) {
  for (Table<int16_t, MAX_OBJECTS>* table : TablesInFileOrder(t)) {
    int16_t* out = table->data();
    ReadEntries(f, pos, MAX_OBJECTS, TABLE_ENTRY_SIZE, [&](int first, int n, const uint8_t* p) {
      for (int k = 0; k < n; ++k) out[first + k] = GetI16(p + TABLE_ENTRY_SIZE * k);
    });
    pos += TABLE_BYTES;
  }
}

// Entries first..last (identifiers or slots, from 1) of one table, which begins at
// `pos` in the file.
void WriteTableEntries(BinaryFile& f, long long pos, const Table<int16_t, MAX_OBJECTS>& table, int first, int last) {
  const int16_t* in = table.data();
  WriteEntries(f, pos, first - 1, last - 1, TABLE_ENTRY_SIZE, [&](int from, int n, uint8_t* p) {
    for (int k = 0; k < n; ++k) PutI16(p + TABLE_ENTRY_SIZE * k, in[from + k]);
  });
}

// ---- Records and index entries -------------------------------------------------------------

void FlushPendingRecords(StoreState& st) {
  if (st.pendingRecords.empty()) return;
  st.file->Write(st.pendingPos, st.pendingRecords);
  st.pendingPos += static_cast<long long>(st.pendingRecords.size());
  st.pendingRecords.clear();  // keeps its room
}

// Collects a record bound for `pos`. The records collected are written first when
// this one does not follow them in the file or would take them beyond their room; a
// record larger than the room is written at once.
void AppendRecord(StoreState& st, long long pos, const std::vector<uint8_t>& bytes) {
  const bool follows = st.pendingPos + static_cast<long long>(st.pendingRecords.size()) == pos;
  if (!follows || st.pendingRecords.size() + bytes.size() > RECORD_BUFFER_BYTES) FlushPendingRecords(st);
  if (bytes.size() > RECORD_BUFFER_BYTES) {
    st.file->Write(pos, bytes);
    return;
  }
  if (st.pendingRecords.empty()) st.pendingPos = pos;
  st.pendingRecords.insert(st.pendingRecords.end(), bytes.begin(), bytes.end());
}

uint8_t* IndexEntryOf(StoreState& st, int id) {
  return st.indexEntries.get() + static_cast<size_t>(id - 1) * INDEX_ENTRY_SIZE;
}

// Puts the entries of identifiers from..to as the file holds them into their places
// (a dry store's file would hold zeros: it starts empty and never writes).
void LoadIndexEntries(ObjectSession& s, int from, int to) {
  if (from > to) return;
  StoreState& st = s.store;
  const size_t n = static_cast<size_t>(to - from + 1) * INDEX_ENTRY_SIZE;
  if (st.dry) {
    std::memset(IndexEntryOf(st, from), 0, n);
    return;
  }
  const long long pos = s.tables.counters.indexPos + static_cast<long long>(from - 1) * INDEX_ENTRY_SIZE;
  st.file->Read(pos, IndexEntryOf(st, from), n);
}

// The index entry of an identifier, in the stretch written back at close: the
// stretch grows to take it in, with the file's entries between.
void SetIndexEntry(ObjectSession& s, int id, int16_t owner, int32_t pos, int16_t size) {
  StoreState& st = s.store;
  if (st.indexDirtyFirst > st.indexDirtyLast) {
    st.indexDirtyFirst = st.indexDirtyLast = id;
  } else if (id < st.indexDirtyFirst) {
    LoadIndexEntries(s, id + 1, st.indexDirtyFirst - 1);
    st.indexDirtyFirst = id;
  } else if (id > st.indexDirtyLast) {
    LoadIndexEntries(s, st.indexDirtyLast + 1, id - 1);
    st.indexDirtyLast = id;
  }
  const IndexFields& f = IndexOffsets();
  uint8_t* e = IndexEntryOf(st, id);
  PutI16(e + f.owner, owner);
  PutI32(e + f.recordPos, pos);
  PutI16(e + f.recordSize, size);
  PutI32(e + f.reserved, 0);
}

void ResetStore(StoreState& st) {
  st.file.reset();
  st.dry = false;
  st.takenIds.Clear();
  st.mapListCursor = 1;
  st.mapListDirtyFirst = 1;
  st.mapListDirtyLast = 0;
  st.indexEntries.reset();
  st.indexDirtyFirst = 1;
  st.indexDirtyLast = 0;
  st.pendingRecords.clear();
  st.pendingRecords.shrink_to_fit();
  st.pendingPos = 0;
  st.planets.Clear();
}

// What an open store needs besides the tables: the identifiers in use (kind codes in
// the tables, unless they are all zero; the index's are added by the caller), room for
// the index entries and for the records.
void BeginOpenStore(ObjectSession& s, bool emptyTables) {
  StoreState& st = s.store;
  const Table<int16_t, MAX_OBJECTS>& kinds = s.tables.objects.objectKind;
  for (int id = 1; id <= MAX_OBJECTS && !emptyTables; ++id) {
    if (kinds.data()[id - 1] > 0) st.takenIds.Take(id);
  }
  st.mapListCursor = 1;
  // Only the stretch of entries the objects stored reach is ever touched.
  st.indexEntries = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(MAX_OBJECTS) * INDEX_ENTRY_SIZE);
  st.pendingRecords.reserve(RECORD_BUFFER_BYTES);
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

// Keeps a stored object as a universe file's reader takes it (see StoreState::placed):
// with the kind of its kind code, or else of its record size, and read with that kind's
// layout. A kind of another record size would be read over the bytes after the record,
// which are not known yet: the objects kept are then not all of the file's.
void KeepPlaced(StoreState& st, int32_t id, int kindCode, int owner, long long pos, const Record& rec) {
  const ObjectKindDescriptor* kind = KindOfStoredObject(kindCode, rec.size());
  if (!kind) return;  // the reader passes over it too
  if (kind->layout().size() != rec.size()) {
    st.placedAll = false;
    return;
  }
  st.placed.push_back(Placed(id, *kind, owner, static_cast<int32_t>(pos), rec.bytes(), nullptr));
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

  SetIndexEntry(s, id, ownerCode, static_cast<int32_t>(pos), static_cast<int16_t>(size));
  if (!st.dry) AppendRecord(st, pos, rec.bytes());
  if (st.keepPlaced) KeepPlaced(st, id, kindCode, ownerCode, pos, rec);

  t.objectX[id] = tableX;
  t.objectY[id] = tableY;
  t.objectKind[id] = kindCode;
  if (kindCode == ObjectKind::PLANET) st.planets.Add(id, tableX, tableY);
  MarkIdTaken(s, id);

  AddToMapList(s, id);

  if (!kind.logText.empty()) {
    // The text and the identifier as NumText writes it, made in the line kept for it.
    char number[NUM_TEXT_ROOM];
    st.logLine.assign(kind.logText);
    st.logLine.append(number, WriteNumText(number, id));
    LogLine(s, st.logLine);
  }
}

void StoreKind(ObjectSession& s, BlockKind kind) { StoreObject(s, *KindOfBlock(kind)); }

}  // namespace

bool ObjectStoreOpen(const ObjectSession& s) { return s.store.dry || (s.store.file && s.store.file->IsOpen()); }

void OpenObjectStore(ObjectSession& s, const std::string& path) {
  StoreState& st = s.store;
  ResetStore(st);  // a store left open by a build that stopped is dropped unwritten
  st.placed.clear();
  st.placedAll = false;
  UniverseCounters& c = s.tables.counters;
  ObjectTables& t = s.tables.objects;

  // The file the writer made last, unchanged since (opening it to write changes the
  // span's number, so this is asked first): its tables and index hold only zeros, and
  // setting the tables to zero and leaving the index unread gives exactly what
  // reading them would. From here on the store changes the file.
  const bool asWritten = s.tables.writtenUniverseEpoch != 0 &&
                         s.tables.writtenUniverseEpoch == SteadyFoldersEpoch() && s.tables.writtenUniversePath == path;
  s.tables.writtenUniverseEpoch = 0;

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

  if (asWritten) {
    for (Table<int16_t, MAX_OBJECTS>* table : TablesInFileOrder(t)) table->Fill(0);
    BeginOpenStore(s, true);  // no identifier in use, no planet
    st.file = std::move(file);
    st.placedAll = st.keepPlaced;
    return;
  }
  ReadTables(*file, c.objectTablesPos, t);
  BeginOpenStore(s, false);
  const int recordSize = IndexOffsets().recordSize;
  ReadEntries(*file, c.indexPos, MAX_OBJECTS, INDEX_ENTRY_SIZE, [&](int first, int n, const uint8_t* p) {
    for (int k = 0; k < n; ++k) {
      if (GetI16(p + INDEX_ENTRY_SIZE * k + recordSize) != 0) st.takenIds.Take(first + k + 1);
    }
  });
  st.file = std::move(file);
  st.planets.Rebuild(t);
}

void OpenDryObjectStore(ObjectSession& s) {
  StoreState& st = s.store;
  ResetStore(st);
  st.placed.clear();
  st.placedAll = false;  // no file holds them
  st.path.clear();
  for (Table<int16_t, MAX_OBJECTS>* table : TablesInFileOrder(s.tables.objects)) table->Fill(0);
  s.tables.counters = UniverseCounters{};
  s.tables.counters.tableBase = UNIVERSE_TABLE_BASE;
  BeginOpenStore(s, true);
  st.dry = true;
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
      const size_t n = static_cast<size_t>(st.indexDirtyLast - st.indexDirtyFirst + 1) * INDEX_ENTRY_SIZE;
      f.Write(c.indexPos + static_cast<long long>(st.indexDirtyFirst - 1) * INDEX_ENTRY_SIZE,
              IndexEntryOf(st, st.indexDirtyFirst), n);
    }
    f.WriteI32(HeaderPosition("serialCounter"), c.serialCounter);
    f.WriteI32(HeaderPosition("lastPlanetId"), c.lastPlanetId);
    f.WriteI32(DirectoryPosition(c.tableBase, "recordsPos"), c.recordsPos);
    f.WriteI32(DirectoryPosition(c.tableBase, "objectCount"), c.objectCount);
    f.WriteI32(DirectoryPosition(c.tableBase, "dataEnd"), c.dataEnd);

    // Only the entries the store changed: the rest are the bytes it read at open.
    // Every stored object changes its identifier's entries of the three object tables
    // as it sets its index entry, and its map-list slot.
    const auto order = TablesInFileOrder(t);
    for (size_t k = 0; k < order.size(); ++k) {
      const bool mapList = order[k] == &t.mapListX || order[k] == &t.mapListId;
      const int first = mapList ? st.mapListDirtyFirst : st.indexDirtyFirst;
      const int last = mapList ? st.mapListDirtyLast : st.indexDirtyLast;
      WriteTableEntries(f, c.objectTablesPos + static_cast<long long>(k) * TABLE_BYTES, *order[k], first, last);
    }
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
  if (open) {
    StoreState& st = s.store;
    st.mapListDirtyFirst = std::min(st.mapListDirtyFirst, slot);
    st.mapListDirtyLast = std::max(st.mapListDirtyLast, slot);
  }
}

void StorePlanet(ObjectSession& s) { StoreKind(s, BlockKind::Planet); }
void StoreShip(ObjectSession& s) { StoreKind(s, BlockKind::Ship); }
void StoreBase(ObjectSession& s) {
  static const Field& structMask = BaseRecordLayout().Get("structMask");  // found once: every base sets it
  s.records.base.Set(structMask, BASE_STRUCT_MASK);
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
