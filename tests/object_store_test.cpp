#include "objects/object_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

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
using test::RunWithFileSizeLimit;

class ObjectStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = ts.dir.path() + "g1.yig";
    EmptyUniverse::Write(path);
    OpenObjectStore(s(), path);
  }
  void TearDown() override {
    if (s().store.file) CloseObjectStore(s());
  }
  Session& s() { return ts.s(); }
  ObjectTables& tables() { return s().tables.objects; }
  UniverseCounters& counters() { return s().tables.counters; }

  std::string LastLogLine() {
    const RunLog& log = s().log;
    if (log.lineCount == 0) return "";
    std::string line = log.lines[log.lineCount];
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
  }

  void StoreShipAt(int x, int y, int hull = 15, int pNum = 1) {
    Record& r = s().records.ship;
    r.Set("hull", hull);
    r.Set("pNum", pNum);
    r.Set("x", x);
    r.Set("y", y);
    StoreShip(s());
  }
  void StorePlanetAt(int x, int y) {
    Record& r = s().records.planet;
    r.Set("x", x);
    r.Set("y", y);
    StorePlanet(s());
  }
  void StoreMine(int flavor, int radius) {
    Record& r = s().records.minefield;
    r.Set("flavor", flavor);
    r.Set("radius", radius);
    r.Set("pNum", 2);
    r.Set("x", 100);
    r.Set("y", 200);
    StoreMinefield(s());
  }

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
  tables().objectKind[1] = 22;
  tables().objectKind[2] = 22;
  EXPECT_EQ(AllocateObjectId(s()), 3);

  // Nothing free from the candidate up: the second search runs from 1.
  counters().lastPlanetId = 19990;
  for (int id = 19991; id <= 20000; ++id) tables().objectKind[id] = 1;
  EXPECT_EQ(AllocateObjectId(s()), 3);

  counters().lastPlanetId = 41;
  StoreConPod(s());
  EXPECT_EQ(LastLogLine(), "PodCon Object ID#  42");
}

TEST_F(ObjectStoreTest, PlanetMovesTheSearchStartOtherObjectsDoNot) {
  StorePlanetAt(10, 10);
  EXPECT_EQ(counters().lastPlanetId, 1);
  // Free identifiers below the planet are not looked at.
  counters().lastPlanetId = 56;
  StorePlanetAt(20, 20);
  EXPECT_EQ(counters().lastPlanetId, 57);
  StoreShipAt(1, 1);
  EXPECT_EQ(s().store.lastObjectId, 58);
  StoreShipAt(2, 2);
  EXPECT_EQ(s().store.lastObjectId, 59);
  EXPECT_EQ(counters().lastPlanetId, 57);
  EXPECT_EQ(counters().serialCounter, 4);
  EXPECT_EQ(counters().objectCount, 4);
  EXPECT_EQ(s().records.ship.Get("serial"), 4);
}

TEST_F(ObjectStoreTest, IdAndMapListChoicesMatchPlainScans) {
  // The reference: the upward scans over the tables, one per object.
  auto referenceId = [&](Random& mirror) {
    long long c = s().script.randomIds ? RoundToInt(mirror.Next() * 19000 + 10)
                                       : static_cast<long long>(counters().lastPlanetId) + 1;
    if (c > MAX_OBJECTS) c = 1;
    for (int i = static_cast<int>(c); i <= MAX_OBJECTS; ++i)
      if (tables().objectKind[i] <= 0) return i;
    for (int i = 1; i <= c; ++i)
      if (tables().objectKind[i] <= 0) return i;
    return 0;
  };
  auto referenceSlot = [&] {
    const int16_t* ids = tables().mapListId.data();
    for (int i = 1; i <= MAX_OBJECTS; ++i)
      if (ids[i - 1] == 0) return i;
    return 0;
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
    s().script.randomIds = roll < 0.3;
    const int expectedId = referenceId(mirror);
    const int expectedSlot = referenceSlot();
    ASSERT_NE(expectedId, 0);
    if (roll > 0.8) {
      StorePlanetAt(n, n);
      ASSERT_EQ(counters().lastPlanetId, expectedId) << "object " << n;
    } else {
      StoreShipAt(n, n);
      ASSERT_EQ(s().store.lastObjectId, expectedId) << "object " << n;
    }
    ASSERT_EQ(tables().mapListId[expectedSlot], expectedId) << "object " << n;
  }
  // Every identifier in use now: the next object is silently not stored.
  for (int i = 1; i <= MAX_OBJECTS; ++i)
    if (tables().objectKind[i] <= 0) tables().objectKind[i] = 22;
  const int before = counters().serialCounter;
  const int lines = s().log.lineCount;
  const std::string last = LastLogLine();
  s().script.randomIds = false;
  EXPECT_EQ(AllocateObjectId(s()), 0);
  StoreShipAt(5, 5);
  EXPECT_EQ(counters().serialCounter, before);
  EXPECT_EQ(s().log.lineCount, lines);
  EXPECT_EQ(LastLogLine(), last);
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
  // The index entry of identifier 20000 is the last one of the index.
  const long long entry = EmptyUniverse::kIndexPos + 12LL * 19999;
  EXPECT_EQ(f.I32(entry + 2), EmptyUniverse::kDataEnd + 1);
  EXPECT_EQ(f.I16(entry + 6), 1424);
  EXPECT_EQ(f.I16(EmptyUniverse::kTablesPos + 160000 + 2 * 19999), 1015);
}

TEST_F(ObjectStoreTest, KindCodesOwnersAndLogLinesOfEveryKind) {
  struct Case {
    Record* rec;
    std::function<void(Session&)> store;
    int owner;
    int kind;
    std::string label;
  };
  WorkingRecords& w = s().records;
  w.ship.Set("hull", 15);
  w.minefield.Set("flavor", 4);
  w.minefield.Set("radius", 700);
  const std::vector<Case> cases = {
      {&w.planet, StorePlanet, 1000, 1, ""},
      {&w.ship, StoreShip, 3, 1015, "Ship Object ID# "},
      {&w.base, StoreBase, 3, 10, "Base Object ID# "},
      {&w.conPod, StoreConPod, 3, 14, "PodCon Object ID# "},
      {&w.orePod, StoreOrePod, 3, 19, "Pod Ore Object ID# "},
      {&w.lifePod, StoreLifePod, 3, 17, "Life Pod Object ID# "},
      {&w.assaultPod, StoreAssaultPod, 3, 13, "PodAssalt Object ID# "},
      {&w.outfitPod, StoreOutfitPod, 3, 20, "Pod Outfit Object ID# "},
      {&w.nativePod, StoreNativePod, 3, 18, "Pod Native Object ID# "},
      {&w.resupplyPod, StoreResupplyPod, 3, 21, "Pod Resupply Object ID# "},
      {&w.goldPod, StoreGoldPod, 3, 15, "Pod Gold Object ID# "},
      {&w.wreckage, StoreWreckage, 3, 16, "Junk Object ID# "},
      {&w.minefield, StoreMinefield, 3, 31499, "Mine Object ID# "},
      {&w.thing, StoreThing, 1000, 22, "Thing Object ID# "},
      {&w.buoy, StoreBuoy, 3, 999, "Buoy Object ID# "},
      {&w.wing, StoreWing, 3, 23, "Wing Object ID# "},
  };
  struct Stored {
    int id;
    long long pos;
    std::vector<uint8_t> bytes;
  };
  std::vector<Stored> stored;
  long long dataEnd = EmptyUniverse::kDataEnd;
  int n = 0;
  for (const Case& c : cases) {
    ++n;
    if (c.rec->layout().Find("pNum")) c.rec->Set("pNum", 3);
    c.rec->Set("x", 1000 + n);
    c.rec->Set("y", 2000 + n);
    const int linesBefore = s().log.lineCount;
    c.store(s());
    const int id = c.rec->Get("id");
    EXPECT_EQ(id, n) << c.rec->layout().name();
    EXPECT_EQ(c.rec->Get("serial"), n);
    EXPECT_EQ(tables().objectKind[id], c.kind) << c.rec->layout().name();
    EXPECT_EQ(tables().objectX[id], 1000 + n);
    EXPECT_EQ(tables().objectY[id], 2000 + n);
    EXPECT_EQ(tables().mapListId[n], id);
    EXPECT_EQ(tables().mapListX[n], 1000 + n);
    if (c.label.empty()) {
      EXPECT_EQ(s().log.lineCount, linesBefore);
    } else {
      EXPECT_EQ(LastLogLine(), c.label + " " + std::to_string(id));
    }
    stored.push_back({id, dataEnd + 1, c.rec->bytes()});
    dataEnd += c.rec->size();
    EXPECT_EQ(counters().dataEnd, dataEnd);
  }
  EXPECT_EQ(w.base.Get("structMask"), 2147475455);
  CloseObjectStore(s());

  // Decode the file: every record where its index entry says, byte for byte.
  FileImage f(path);
  EXPECT_EQ(f.size(), dataEnd);
  for (size_t k = 0; k < stored.size(); ++k) {
    const long long entry = EmptyUniverse::kIndexPos + 12LL * (stored[k].id - 1);
    EXPECT_EQ(f.I16(entry), cases[k].owner) << k;
    EXPECT_EQ(f.I32(entry + 2), stored[k].pos) << k;
    EXPECT_EQ(f.I16(entry + 6), static_cast<int>(stored[k].bytes.size())) << k;
    EXPECT_EQ(f.I32(entry + 8), 0);
    EXPECT_EQ(f.Bytes(stored[k].pos, stored[k].bytes.size()), stored[k].bytes) << k;
  }
  // The byte between the empty index and the first record stays zero.
  EXPECT_EQ(f.Bytes(EmptyUniverse::kDataEnd, 1), std::vector<uint8_t>{0});
}

TEST_F(ObjectStoreTest, MinefieldKindCodesAndTheUnknownFlavor) {
  StoreMine(4, 700);
  StoreMine(4, 100);
  StoreMine(1, 1);
  StoreMine(8, 3000);
  EXPECT_EQ(tables().objectKind[1], 31499);
  EXPECT_EQ(tables().objectKind[2], 31099);
  EXPECT_EQ(tables().objectKind[3], 30000);
  EXPECT_EQ(tables().objectKind[4], 31999);

  // Flavor 3 has no kind code, but its identifier stays taken, also after the store
  // is closed and opened again.
  StoreMine(3, 50);
  EXPECT_EQ(tables().objectKind[5], 0);
  EXPECT_EQ(LastLogLine(), "Mine Object ID#  5");
  StoreShipAt(1, 1);
  EXPECT_EQ(s().store.lastObjectId, 6);
  CloseObjectStore(s());
  OpenObjectStore(s(), path);
  EXPECT_EQ(tables().objectKind[5], 0);
  counters().lastPlanetId = 4;
  EXPECT_EQ(AllocateObjectId(s()), 7);
}

TEST_F(ObjectStoreTest, CoordinatesSaturateInTheSixteenBitTables) {
  StoreShipAt(99000, -40000);
  EXPECT_EQ(tables().objectX[1], 32767);
  EXPECT_EQ(tables().objectY[1], -32768);
  EXPECT_EQ(tables().mapListX[1], 32767);
  StoreShipAt(32767, -32768);
  EXPECT_EQ(tables().objectX[2], 32767);
  EXPECT_EQ(tables().objectY[2], -32768);
  StoreShipAt(32768, 5);
  EXPECT_EQ(tables().objectX[3], 32767);
  // The record keeps the true position.
  CloseObjectStore(s());
  FileImage f(path);
  EXPECT_EQ(f.I32(EmptyUniverse::kDataEnd + 1 + 566), 99000);
  EXPECT_EQ(f.I32(EmptyUniverse::kDataEnd + 1 + 570), -40000);
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

TEST_F(ObjectStoreTest, FullMapListIsFatal) {
  for (int i = 1; i <= MAX_OBJECTS; ++i) tables().mapListId[i] = 1;
  try {
    StoreShipAt(1, 1);
    FAIL() << "no fatal error";
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.status, 1);
  }
  ASSERT_EQ(ts.ui.messages.size(), 1u);
  EXPECT_EQ(ts.ui.messages[0].title, "ERROR!");
  EXPECT_EQ(ts.ui.messages[0].text, "No room in map list!");
}

TEST_F(ObjectStoreTest, CountersAndTablesAfterCloseAndReopen) {
  StorePlanetAt(-5, 7);
  StoreShipAt(40, 50);
  StoreShipAt(60, 70);
  const UniverseCounters c = counters();
  CloseObjectStore(s());
  EXPECT_FALSE(s().store.file);

  FileImage f(path);
  EXPECT_EQ(f.I32(477), 3);
  EXPECT_EQ(f.I32(481), 1);
  EXPECT_EQ(f.I32(630 + 264), EmptyUniverse::kDataEnd);  // written back unchanged
  EXPECT_EQ(f.I32(630 + 268), 3);
  EXPECT_EQ(f.I32(630 + 272), EmptyUniverse::kDataEnd + 288 + 2 * 1424);
  const long long t = EmptyUniverse::kTablesPos;
  EXPECT_EQ(f.I16(t + 0), -5);          // mapListX[1]
  EXPECT_EQ(f.I16(t + 40000 + 2), 2);   // mapListId[2]
  EXPECT_EQ(f.I16(t + 80000 + 4), 60);  // objectX[3]
  EXPECT_EQ(f.I16(t + 120000), 7);      // objectY[1]
  EXPECT_EQ(f.I16(t + 160000), 1);      // objectKind[1]
  EXPECT_EQ(f.I16(t + 160000 + 2), 1015);
  EXPECT_EQ(f.I16(t + 160000 + 6), 0);

  // Opening again loads exactly what was closed; tables of the last session are
  // replaced, not merged.
  tables().objectKind[500] = 9;
  OpenObjectStore(s(), path);
  EXPECT_EQ(counters().serialCounter, c.serialCounter);
  EXPECT_EQ(counters().lastPlanetId, c.lastPlanetId);
  EXPECT_EQ(counters().objectCount, c.objectCount);
  EXPECT_EQ(counters().dataEnd, c.dataEnd);
  EXPECT_EQ(tables().objectKind[500], 0);
  EXPECT_EQ(tables().objectX[2], 40);
  StoreShipAt(1, 1);
  EXPECT_EQ(s().store.lastObjectId, 2 + 2);  // after lastPlanetId 1, ids 2 and 3 taken
  EXPECT_EQ(tables().mapListId[4], 4);
}

TEST(ObjectStoreFiles, MissingOrDamagedUniverseIsARuntimeError) {
  test::TestSession ts;
  EXPECT_THROW(OpenObjectStore(ts.s(), ts.dir.path() + "missing.yig"), RuntimeError);
  EXPECT_FALSE(ts.s().store.file);
  // Cut short inside the object tables.
  std::vector<uint8_t> bytes = EmptyUniverse::Bytes();
  bytes.resize(EmptyUniverse::kTablesPos + 1000);
  const std::string cut = ts.dir.Write("cut.yig", bytes);
  EXPECT_THROW(OpenObjectStore(ts.s(), cut), RuntimeError);
  // A directory position that points nowhere.
  bytes = EmptyUniverse::Bytes();
  PutI32(bytes.data() + 472, -7);
  EXPECT_THROW(OpenObjectStore(ts.s(), ts.dir.Write("wild.yig", bytes)), RuntimeError);
  bytes = EmptyUniverse::Bytes();
  PutI32(bytes.data() + 472, 2000000000);
  EXPECT_THROW(OpenObjectStore(ts.s(), ts.dir.Write("far.yig", bytes)), RuntimeError);
  // Storing without an open store.
  EXPECT_THROW(StoreShip(ts.s()), RuntimeError);
}

TEST_F(ObjectStoreTest, DiskFullWhileStoringIsARuntimeError) {
  CloseObjectStore(s());
  const rlim_t limit = EmptyUniverse::kDataEnd + 20000;
  const int code = RunWithFileSizeLimit(limit, [&] {
    OpenObjectStore(s(), path);
    for (int n = 0; n < 100; ++n) StoreShipAt(n, n);
    CloseObjectStore(s());
  });
  EXPECT_EQ(code, 10);
  // The counters on disk are still those of the last close that succeeded.
  FileImage f(path);
  EXPECT_EQ(f.I32(630 + 268), 0);
  EXPECT_EQ(f.I32(477), 0);

  // The same work without the limit succeeds.
  EXPECT_EQ(RunWithFileSizeLimit(RLIM_INFINITY, [&] {
              OpenObjectStore(s(), path);
              for (int n = 0; n < 100; ++n) StoreShipAt(n, n);
              CloseObjectStore(s());
            }),
            0);
  EXPECT_EQ(FileImage(path).I32(630 + 268), 100);
}

}  // namespace
}  // namespace tarvik
