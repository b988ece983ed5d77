// The object store's fast paths against the plain ways they replace: the free identifier
// search, the write-back of changed entries only, and the open of a just-written file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <random>
#include <vector>

#include "base/bytes.h"
#include "objects/object_store.h"
#include "objects/taken_ids.h"
#include "platform/files.h"
#include "script_game.h"
#include "store_test_support.h"
#include "test_support.h"
#include "universe/universe_layout.h"
#include "writer/universe_file.h"

namespace tarvik {
namespace {

using test::EmptyUniverse;
using test::FileImage;

// ---- The first free identifier ------------------------------------------------------------

// The identifiers taken, kept plainly beside a TakenIds told the same.
struct IdField {
  std::vector<bool> taken = std::vector<bool>(MAX_OBJECTS + 1, false);
  TakenIds ids;
  IdField() { ids.Clear(); }
  void Take(int id) {
    taken[static_cast<size_t>(id)] = true;
    ids.Take(id);
  }
  int Scan(int from) const {
    for (int i = from; i <= MAX_OBJECTS; ++i) {
      if (!taken[static_cast<size_t>(i)]) return i;
    }
    return TakenIds::NONE;
  }
  // The bits against the plain table, and the search from the given starts, from every
  // word and summary boundary and from random starts against the scan.
  void Expect(std::mt19937& rng, std::vector<int> starts) const {
    for (int b : {1, 2, 62, 63, 64, 65, 127, 128, 4031, 4032, 4095, 4096, 4097, 8191, 8192, 19967, 19968, 19999,
                  20000, 20001}) {
      starts.push_back(b);
    }
    for (int k = 0; k < 300; ++k) starts.push_back(1 + static_cast<int>(rng() % MAX_OBJECTS));
    for (int from : starts) ASSERT_EQ(ids.FirstFreeFrom(from), Scan(from)) << "from " << from;
    for (int id = 1; id <= MAX_OBJECTS; ++id) ASSERT_EQ(ids.Taken(id), taken[static_cast<size_t>(id)]) << id;
  }
};

TEST(StoreFastPaths, TheFirstFreeIdentifierIsTheOneTheScanFinds) {
  std::mt19937 rng(11);
  // Random identifiers taken at every density up to all but a few, then all of them.
  for (double density : {0.0, 0.05, 0.5, 0.9, 0.99, 0.9995, 1.0}) {
    SCOPED_TRACE(density);
    IdField f;
    for (int id = 1; id <= MAX_OBJECTS; ++id) {
      if (std::uniform_real_distribution<double>(0, 1)(rng) < density) f.Take(id);
    }
    ASSERT_NO_FATAL_FAILURE(f.Expect(rng, {}));
  }
  // Runs of taken identifiers that end one before, on and one after a word boundary and
  // a summary boundary (64 words), with a single free one after each; the first and the
  // last identifier free or taken.
  for (int end : {62, 63, 64, 4094, 4095, 4096, 4097, 12287, 19998, 19999, 20000}) {
    SCOPED_TRACE(end);
    IdField f;
    for (int id = 1; id <= end; ++id) f.Take(id);
    for (int id = end + 2; id <= MAX_OBJECTS; ++id) f.Take(id);
    ASSERT_NO_FATAL_FAILURE(f.Expect(rng, {end - 1, end, end + 1, end + 2}));
  }
  // Identifiers taken one by one in random order (the summary is told as words fill up).
  IdField f;
  std::vector<int> order;
  for (int id = 1; id <= MAX_OBJECTS; ++id) order.push_back(id);
  std::shuffle(order.begin(), order.end(), rng);
  for (size_t k = 0; k < order.size(); ++k) {
    f.Take(order[k]);
    if (k % 997 == 0 || k + 20 > order.size()) {
      ASSERT_NO_FATAL_FAILURE(f.Expect(rng, {})) << "after " << k;
    }
  }
  EXPECT_EQ(f.ids.FirstFreeFrom(1), TakenIds::NONE);
}

// ---- What the store writes back -------------------------------------------------------------

class StoreWriteBack : public ::testing::Test {
 protected:
  void SetUp() override {
    path = ts.dir.path() + "g1.yig";
    EmptyUniverse::Write(path);
  }
  Session& s() { return ts.s(); }

  // Stores the ship record for `owner` and notes its entry in `index` (the file's index
  // as the plain way keeps it in memory).
  void StoreNoted(int owner, std::vector<uint8_t>& index) {
    s().records.ship.Set("pNum", owner);
    const int32_t pos = s().tables.counters.dataEnd + 1;
    StoreShip(s());
    uint8_t* e = index.data() + static_cast<size_t>(s().store.lastObjectId - 1) * 12;
    PutI16(e, static_cast<int16_t>(owner));
    PutI32(e + 2, pos);
    PutI16(e + 6, static_cast<int16_t>(s().records.ship.size()));
  }
  // The file's index and tables against the plain way's: the index as noted, the five
  // tables exactly as they are in memory.
  void ExpectFileAsThePlainWayWritesIt(const std::vector<uint8_t>& index) {
    FileImage f(path);
    ASSERT_EQ(f.Bytes(EmptyUniverse::INDEX_POS, index.size()), index);
    const ObjectTables& t = s().tables.objects;
    const Table<int16_t, MAX_OBJECTS>* order[] = {&t.mapListX, &t.mapListId, &t.objectX, &t.objectY, &t.objectKind};
    std::vector<uint8_t> tables(5 * 2 * MAX_OBJECTS);
    for (int k = 0; k < 5; ++k) {
      for (int i = 1; i <= MAX_OBJECTS; ++i) PutI16(tables.data() + 2 * (k * MAX_OBJECTS + i - 1), (*order[k])[i]);
    }
    ASSERT_EQ(f.Bytes(EmptyUniverse::TABLES_POS, tables.size()), tables);
  }

  test::TestSession ts;
  std::string path;
};

// Objects stored over several opens, at random identifiers and at the next free ones: a
// later open's stretch of index entries grows down and up over entries an earlier open
// wrote, and the table entries it changed lie among those it did not.
TEST_F(StoreWriteBack, TheFileIsTheOneWritingEverythingBackGives) {
  std::mt19937 rng(5);
  std::vector<uint8_t> index(static_cast<size_t>(MAX_OBJECTS) * 12, 0);
  for (int open = 0; open < 4; ++open) {
    SCOPED_TRACE(open);
    OpenObjectStore(s(), path);
    // The next free identifier from just below and just above what an earlier open
    // stored, so that the stretch meets old entries edge to edge.
    s().tables.counters.lastPlanetId = open * 150;
    // Ships at random places for random owners.
    for (int n = 0; n < 40 + open * 30; ++n) {
      s().store.randomIds = rng() % 3 != 0;
      s().records.ship.Set("hull", 1 + static_cast<int>(rng() % 100));
      s().records.ship.Set("x", static_cast<int>(rng() % 80000) - 40000);
      s().records.ship.Set("y", static_cast<int>(rng() % 80000) - 40000);
      StoreNoted(1 + static_cast<int>(rng() % 11), index);
    }
    CloseObjectStore(s());
    ASSERT_NO_FATAL_FAILURE(ExpectFileAsThePlainWayWritesIt(index));
  }
  // One object at the very last identifier, far above the rest.
  OpenObjectStore(s(), path);
  s().store.randomIds = false;
  s().tables.counters.lastPlanetId = 19999;
  StoreNoted(2, index);
  ASSERT_EQ(s().store.lastObjectId, MAX_OBJECTS);
  CloseObjectStore(s());
  ASSERT_NO_FATAL_FAILURE(ExpectFileAsThePlainWayWritesIt(index));
}

// ---- A file the writer has just made ---------------------------------------------------------

class JustWritten : public ::testing::Test {
 protected:
  void SetUp() override {
    RunScript(s(), g.WriteScript({"BEGIN RACES", "PLAYERCOUNT = 2", "PLAYER(1) = 101", "PLAYER(2) = 102", "END"}),
              ScriptPass::Settings);
  }
  Session& s() { return g.s; }

  // Tables left over from an earlier build, which opening must replace.
  void LeaveOldTables() {
    ObjectTables& t = s().tables.objects;
    for (int id = 1; id <= MAX_OBJECTS; id += 37) {
      t.objectKind[id] = 1015;
      t.objectX[id] = t.mapListX[id] = static_cast<int16_t>(id);
      t.mapListId[id] = static_cast<int16_t>(id);
    }
  }
  // A directory value of the file.
  long long DirectoryValue(const std::string& path, const char* field) {
    FileImage f(path);
    return f.I32(DirectoryPosition(f.I32(HeaderPosition("tableBase")), field));
  }
  // Marks identifier 7 as a stored ship in the file's tables and index.
  void PutShipSeven(BinaryFile& f, const std::string& path) {
    f.WriteI16(DirectoryValue(path, "objectTablesPos") + 4 * 2 * MAX_OBJECTS + 2 * 6, 1015);
    f.WriteI16(DirectoryValue(path, "indexPos") + 12 * 6 + 6, 200);
  }
  // After opening: whether identifier 7 is taken, as the tables and the next identifier
  // after 6 show.
  bool SevenTaken(const std::string& path) {
    OpenObjectStore(s(), path);
    const bool kind = s().tables.objects.objectKind[7] == 1015;
    s().tables.counters.lastPlanetId = 6;
    const bool skipped = AllocateObjectId(s()) == 8;
    AbandonObjectStore(s());
    EXPECT_EQ(kind, skipped);
    return kind && skipped;
  }

  // Opens the store on the file, stores ships (some at random identifiers) and closes
  // it; the tables as the open left them and the file afterwards.
  std::pair<std::vector<int16_t>, std::vector<uint8_t>> OpenStoreClose() {
    OpenObjectStore(s(), g.universe);
    std::vector<int16_t> tables;
    const ObjectTables& t = s().tables.objects;
    for (const auto* table : {&t.mapListX, &t.mapListId, &t.objectX, &t.objectY, &t.objectKind})
      tables.insert(tables.end(), table->data(), table->data() + MAX_OBJECTS);
    std::mt19937 rng(8);
    s().random.Seed(0);
    Record& ship = s().records.ship;
    for (int n = 0; n < 300; ++n) {
      s().store.randomIds = n % 3 == 0;
      ship.Set("hull", 1 + n % 12);
      ship.Set("pNum", 1 + n % 2);
      ship.Set("x", static_cast<int>(rng() % 4000));
      ship.Set("y", static_cast<int>(rng() % 4000));
      StoreShip(s());
    }
    s().store.randomIds = false;
    CloseObjectStore(s());
    return {tables, ReadWholeFile(g.universe)};
  }

  test::ScriptGame g;
};

TEST_F(JustWritten, TheStoreOpensItAsReadingItWouldOpenIt) {
  const SteadyFolders steady;
  const Random before = s().random;  // the same file twice
  LeaveOldTables();
  WriteUniverseFile(s());
  const std::vector<uint8_t> written = ReadWholeFile(g.universe);
  // The file is the writer's, unchanged since: the store takes its tables and index as
  // zeros without reading them.
  ASSERT_NE(s().tables.writtenUniverseEpoch, 0u);
  ASSERT_EQ(s().tables.writtenUniverseEpoch, SteadyFoldersEpoch());
  const auto taken = OpenStoreClose();

  s().random = before;
  LeaveOldTables();
  WriteUniverseFile(s());
  ASSERT_EQ(ReadWholeFile(g.universe), written);
  s().tables.writtenUniverseEpoch = 0;  // not known: read
  const auto read = OpenStoreClose();
  EXPECT_EQ(taken.first, read.first);
  EXPECT_TRUE(std::all_of(read.first.begin(), read.first.end(), [](int16_t v) { return v == 0; }));
  EXPECT_EQ(taken.second, read.second);
}

// Whatever may have changed the file since it was written, the store reads it.
TEST_F(JustWritten, AFileThatMayHaveChangedIsRead) {
  {
    // The program wrote to it.
    const SteadyFolders steady;
    WriteUniverseFile(s());
    BinaryFile f(g.universe, BinaryFile::Mode::ReadWrite);
    PutShipSeven(f, g.universe);
    f.Close();
    EXPECT_TRUE(SevenTaken(g.universe));
  }
  {
    // Another file than the one written, made earlier in the span.
    const SteadyFolders steady;
    const std::string other = s().paths.appPath + "UNIV/GAME1/other.yig";
    WriteUniverseFile(s());
    BinaryFile f(g.universe, BinaryFile::Mode::ReadWrite);
    PutShipSeven(f, g.universe);
    f.Close();
    CopyFileTo(g.universe, other);
    WriteUniverseFile(s());
    EXPECT_TRUE(SevenTaken(other));
    EXPECT_FALSE(SevenTaken(g.universe));
  }
  {
    // No span: something else may have written to it.
    WriteUniverseFile(s());
    {
      std::fstream raw(ResolvePath(g.universe), std::ios::in | std::ios::out | std::ios::binary);
      raw.seekp(DirectoryValue(g.universe, "objectTablesPos") - 1 + 4 * 2 * MAX_OBJECTS + 2 * 6);
      raw.write("\xf7\x03", 2);
      raw.seekp(DirectoryValue(g.universe, "indexPos") - 1 + 12 * 6 + 6);
      raw.write("\xc8\x00", 2);
    }
    EXPECT_TRUE(SevenTaken(g.universe));
  }
}

}  // namespace
}  // namespace tarvik
