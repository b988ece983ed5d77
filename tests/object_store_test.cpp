#include "objects/object_store.h"

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "base/errors.h"
#include "platform/files.h"
#include "platform/random.h"
#include "platform/rounding.h"
#include "store_test_support.h"
#include "test_support.h"

namespace tarvik {
namespace {

using test::EmptyUniverse;
using test::FileImage;

class ObjectStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = ts.dir.path() + "g1.yig";
    EmptyUniverse::Write(path);
    OpenObjectStore(s(), path);
  }
  void TearDown() override { if (s().store.file) CloseObjectStore(s()); }
  Session& s() { return ts.s(); }
  ObjectTables& tables() { return s().tables.objects; }
  UniverseCounters& counters() { return s().tables.counters; }

  std::string LastLogLine() {
    const RunLog& log = s().log;
    std::string line = log.lineCount ? LogWindowLine(log, log.lineCount) : "";
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
  }
  void Store(Record& r, void (*store)(ObjectSession&), int x, int y, int pNum = 1) {
    if (r.layout().Find("pNum")) r.Set("pNum", pNum);
    r.Set("x", x);
    r.Set("y", y);
    store(s());
  }
  void StoreShipAt(int x, int y, int hull = 15) {
    s().records.ship.Set("hull", hull);
    Store(s().records.ship, StoreShip, x, y);
  }
  void StorePlanetAt(int x, int y) { Store(s().records.planet, StorePlanet, x, y); }

  test::TestSession ts;
  std::string path;
};

TEST_F(ObjectStoreTest, SequentialIdsStartAfterTheLastPlanetAndWrap) {
  counters().lastPlanetId = 120;
  for (int id = 121; id <= 130; ++id) tables().objectKind[id] = 1;
  EXPECT_EQ(AllocateObjectId(s()), 131);
  // Past the last identifier the search starts again at 1.
  counters().lastPlanetId = 20000;
  EXPECT_EQ(AllocateObjectId(s()), 1);
  tables().objectKind[1] = tables().objectKind[2] = 22;
  EXPECT_EQ(AllocateObjectId(s()), 3);
  // Nothing free from the candidate up: the second search runs from 1.
  counters().lastPlanetId = 19990;
  for (int id = 19991; id <= 20000; ++id) tables().objectKind[id] = 1;
  EXPECT_EQ(AllocateObjectId(s()), 3);
}

// The store keeps cursors instead of scanning; its choices must be exactly those of
// the upward scans over the tables, one per object.
TEST_F(ObjectStoreTest, IdAndMapListChoicesMatchPlainScans) {
  auto scanId = [&](Random& mirror) {  // from the candidate up, then from 1
    long long c = s().store.randomIds ? RoundToInt(mirror.Next() * 19000 + 10) : counters().lastPlanetId + 1LL;
    if (c > MAX_OBJECTS) c = 1;
    for (long long k = 0, i = c; k < MAX_OBJECTS; ++k, i = i % MAX_OBJECTS + 1)
      if (tables().objectKind[static_cast<int>(i)] <= 0) return static_cast<int>(i);
    return 0;
  };
  auto scanSlot = [&] {
    int i = 1;
    while (tables().mapListId[i] != 0) ++i;
    return i;
  };
  // Some identifiers and slots are already in use, set behind the store's back.
  Random pick;
  pick.SetFixedSeed(99);
  pick.Seed(0);
  for (int n = 0; n < 3000; ++n) tables().objectKind[1 + static_cast<int>(pick.Next() * 20000)] = 22;
  for (int n = 1; n <= 500; n += 2) tables().mapListId[n] = 7;

  Random mirror = s().random;
  for (int n = 0; n < 9000; ++n) {
    const double roll = pick.Next();
    s().store.randomIds = roll < 0.3;
    const int id = scanId(mirror), slot = scanSlot();
    ASSERT_NE(id, 0);
    if (roll > 0.8) {
      StorePlanetAt(n, n);
      ASSERT_EQ(counters().lastPlanetId, id) << "object " << n;
    } else {
      StoreShipAt(n, n);
      ASSERT_EQ(s().store.lastObjectId, id) << "object " << n;
    }
    ASSERT_EQ(tables().mapListId[slot], id) << "object " << n;
  }
  // Every identifier in use: the next object is silently not stored.
  for (int i = 1; i <= MAX_OBJECTS; ++i)
    if (tables().objectKind[i] <= 0) tables().objectKind[i] = 22;
  const int serial = counters().serialCounter, lines = s().log.lineCount;
  s().store.randomIds = false;
  EXPECT_EQ(AllocateObjectId(s()), 0);
  StoreShipAt(5, 5);
  EXPECT_EQ(counters().serialCounter, serial);
  EXPECT_EQ(s().log.lineCount, lines);
}

TEST_F(ObjectStoreTest, LastIdentifierIsUsableAndTheTablesEndThere) {
  counters().lastPlanetId = 19999;
  StoreShipAt(300, 400);
  EXPECT_EQ(s().store.lastObjectId, 20000);
  EXPECT_EQ(tables().objectKind[20000], 1015);
  EXPECT_THROW((void)tables().objectKind[20001], RuntimeError);
  EXPECT_THROW(AddToMapList(s(), 20001), RuntimeError);
  CloseObjectStore(s());
  FileImage f(path);
  const long long entry = EmptyUniverse::INDEX_POS + 12LL * 19999;  // the index's last entry
  EXPECT_EQ(f.I32(entry + 2), EmptyUniverse::DATA_END + 1);
  EXPECT_EQ(f.I16(entry + 6), 1424);
  EXPECT_EQ(f.I16(EmptyUniverse::TABLES_POS + 160000 + 2 * 19999), 1015);
}

TEST_F(ObjectStoreTest, KindCodesOwnersAndLogLinesOfEveryKind) {
  struct Case {
    Record* rec;
    void (*store)(ObjectSession&);
    int owner, kind;
    std::string label;
  };
  WorkingRecords& w = s().records;
  w.ship.Set("hull", 15);
  w.minefield.Set("flavor", 4);
  w.minefield.Set("radius", 700);
  const Case cases[] = {
      {&w.planet, StorePlanet, 1000, 1, ""},           {&w.ship, StoreShip, 3, 1015, "Ship"},
      {&w.base, StoreBase, 3, 10, "Base"},             {&w.conPod, StoreConPod, 3, 14, "PodCon"},
      {&w.orePod, StoreOrePod, 3, 19, "Pod Ore"},      {&w.lifePod, StoreLifePod, 3, 17, "Life Pod"},
      {&w.assaultPod, StoreAssaultPod, 3, 13, "PodAssalt"}, {&w.outfitPod, StoreOutfitPod, 3, 20, "Pod Outfit"},
      {&w.nativePod, StoreNativePod, 3, 18, "Pod Native"}, {&w.resupplyPod, StoreResupplyPod, 3, 21, "Pod Resupply"},
      {&w.goldPod, StoreGoldPod, 3, 15, "Pod Gold"},   {&w.wreckage, StoreWreckage, 3, 16, "Junk"},
      {&w.minefield, StoreMinefield, 3, 31499, "Mine"}, {&w.thing, StoreThing, 1000, 22, "Thing"},
      {&w.buoy, StoreBuoy, 3, 999, "Buoy"},            {&w.wing, StoreWing, 3, 23, "Wing"}};
  std::vector<std::vector<uint8_t>> stored;
  long long dataEnd = EmptyUniverse::DATA_END;
  int id = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rec->layout().name());
    ++id;
    const int lines = s().log.lineCount;
    Store(*c.rec, c.store, 1000 + id, 2000 + id, 3);
    EXPECT_EQ(c.rec->Get("id"), id);
    EXPECT_EQ(c.rec->Get("serial"), id);
    EXPECT_EQ(tables().objectKind[id], c.kind);
    EXPECT_EQ(tables().objectY[id], 2000 + id);
    EXPECT_EQ(tables().mapListId[id], id);
    if (c.label.empty()) {
      EXPECT_EQ(s().log.lineCount, lines);
    } else {
      EXPECT_EQ(LastLogLine(), c.label + " Object ID#  " + std::to_string(id));
    }
    stored.push_back(c.rec->bytes());
    dataEnd += c.rec->size();
    EXPECT_EQ(counters().dataEnd, dataEnd);
  }
  CloseObjectStore(s());

  // Every record where its index entry says, byte for byte, after the zero byte that
  // follows the empty index.
  FileImage f(path);
  EXPECT_EQ(f.size(), dataEnd);
  EXPECT_EQ(f.Byte(EmptyUniverse::DATA_END), 0);
  long long pos = EmptyUniverse::DATA_END + 1;
  for (size_t k = 0; k < stored.size(); ++k) {
    const long long entry = EmptyUniverse::INDEX_POS + 12LL * k;
    EXPECT_EQ(f.I16(entry), cases[k].owner) << k;
    EXPECT_EQ(f.I32(entry + 2), pos) << k;
    EXPECT_EQ(f.I16(entry + 6), static_cast<int>(stored[k].size())) << k;
    EXPECT_EQ(f.I32(entry + 8), 0) << k;
    EXPECT_EQ(f.Bytes(pos, stored[k].size()), stored[k]) << k;
    pos += static_cast<long long>(stored[k].size());
  }
}

TEST_F(ObjectStoreTest, MinefieldKindCodesAndTheUnknownFlavor) {
  const int mines[][3] = {{4, 700, 31499}, {4, 100, 31099}, {1, 1, 30000}, {8, 3000, 31999}, {3, 50, 0}};
  for (int k = 0; k < 5; ++k) {
    s().records.minefield.Set("flavor", mines[k][0]);
    s().records.minefield.Set("radius", mines[k][1]);
    Store(s().records.minefield, StoreMinefield, 100, 200);
    EXPECT_EQ(tables().objectKind[k + 1], mines[k][2]) << "flavor " << mines[k][0];
  }
  // Flavor 3 has no kind code, but its identifier stays taken, also after the store
  // is closed and opened again.
  EXPECT_EQ(LastLogLine(), "Mine Object ID#  5");
  StoreShipAt(1, 1);
  EXPECT_EQ(s().store.lastObjectId, 6);
  CloseObjectStore(s());
  OpenObjectStore(s(), path);
  counters().lastPlanetId = 4;
  EXPECT_EQ(AllocateObjectId(s()), 7);
}

TEST_F(ObjectStoreTest, KindCodeBeyondSixteenBitsIsRefusedWithoutATrace) {
  StoreShipAt(1, 1, 31767);
  EXPECT_EQ(tables().objectKind[1], 32767);
  const UniverseCounters before = counters();
  const int lines = s().log.lineCount;
  EXPECT_THROW(StoreShipAt(1, 1, 31768), RuntimeError);
  EXPECT_EQ(counters().serialCounter, before.serialCounter);
  EXPECT_EQ(counters().dataEnd, before.dataEnd);
  EXPECT_EQ(tables().objectKind[2], 0);
  EXPECT_EQ(tables().mapListId[2], 0);
  EXPECT_EQ(s().log.lineCount, lines);
}

// Counters and tables are written at close and loaded exactly at the next open;
// coordinates beyond 16 bits saturate in the tables while the record keeps them.
TEST_F(ObjectStoreTest, CountersAndTablesAfterCloseAndReopen) {
  StorePlanetAt(-5, 7);
  StoreShipAt(40, 50);
  StoreShipAt(99000, -40000);
  const UniverseCounters c = counters();
  CloseObjectStore(s());
  EXPECT_FALSE(s().store.file);

  FileImage f(path);
  const long long t = EmptyUniverse::TABLES_POS, end = EmptyUniverse::DATA_END;
  const std::pair<long long, long long> numbers[] = {
      {477, 3}, {481, 1}, {630 + 264, end}, {630 + 268, 3}, {630 + 272, end + 288 + 2 * 1424},
      {end + 1 + 288 + 1424 + 566, 99000}, {end + 1 + 288 + 1424 + 570, -40000}};
  for (auto [pos, value] : numbers) EXPECT_EQ(f.I32(pos), value) << "position " << pos;
  const std::pair<long long, int> shorts[] = {  // mapListX, mapListId, objectX, objectY, objectKind
      {t, -5}, {t + 4, 32767}, {t + 40000 + 2, 2}, {t + 80000 + 4, 32767}, {t + 120000, 7},
      {t + 120000 + 4, -32768}, {t + 160000, 1}, {t + 160000 + 2, 1015}, {t + 160000 + 6, 0}};
  for (auto [pos, value] : shorts) EXPECT_EQ(f.I16(pos), value) << "position " << pos;

  // Tables of the last session are replaced, not merged.
  tables().objectKind[500] = 9;
  OpenObjectStore(s(), path);
  EXPECT_EQ(counters().serialCounter, c.serialCounter);
  EXPECT_EQ(counters().lastPlanetId, c.lastPlanetId);
  EXPECT_EQ(counters().objectCount, c.objectCount);
  EXPECT_EQ(counters().dataEnd, c.dataEnd);
  EXPECT_EQ(tables().objectKind[500], 0);
  EXPECT_EQ(tables().objectX[2], 40);
  StoreShipAt(1, 1);
  EXPECT_EQ(s().store.lastObjectId, 4);  // after lastPlanetId 1, ids 2 and 3 taken
  EXPECT_EQ(tables().mapListId[4], 4);
}

TEST_F(ObjectStoreTest, BadFilesAndDiskFullAreRuntimeErrors) {
  CloseObjectStore(s());
  EXPECT_THROW(OpenObjectStore(s(), ts.dir.path() + "missing.yig"), RuntimeError);
  EXPECT_FALSE(s().store.file);
  EXPECT_THROW(StoreShip(s()), RuntimeError);  // no open store
  std::vector<uint8_t> cut = EmptyUniverse::Bytes(), wild = cut, far = cut;
  cut.resize(EmptyUniverse::TABLES_POS + 1000);  // ends inside the object tables
  PutI32(wild.data() + 472, -7);                 // a directory position that points nowhere
  PutI32(far.data() + 472, 2000000000);
  for (const auto* bytes : {&cut, &wild, &far})
    EXPECT_THROW(OpenObjectStore(s(), ts.dir.Write("bad.yig", *bytes)), RuntimeError);

  int ships = 100;
  auto work = [&] {
    OpenObjectStore(s(), path);
    for (int n = 0; n < ships; ++n) StoreShipAt(n % 2000, n % 1999);
    CloseObjectStore(s());
  };
  // The records fail at the close's write, or (400 ships) at a write made while the
  // ships are stored.
  for (int count : {100, 400}) {
    ships = count;
    EXPECT_EQ(test::RunWithFileSizeLimit(EmptyUniverse::DATA_END + 20000, work), 10);
    // The counters on disk are still those of the last close that succeeded.
    EXPECT_EQ(FileImage(path).I32(630 + 268), 0);
    EXPECT_EQ(FileImage(path).I32(477), 0);
  }
  ships = 100;
  EXPECT_EQ(test::RunWithFileSizeLimit(RLIM_INFINITY, work), 0);
  EXPECT_EQ(FileImage(path).I32(630 + 268), 100);
}

}  // namespace
}  // namespace tarvik
