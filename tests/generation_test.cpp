// The generation run, read back from what it wrote: home bases locked to planets with
// their race adjustments, the starting fleets and extra freighters with their names and
// positions, the object order, the log, the marker and the slot records; the run's two
// stops; and a build that fails while it writes (a full disk), which leaves the slot as
// it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "base/text.h"
#include "generation_game.h"
#include "store_test_support.h"

namespace tarvik {
namespace {

using test::GenerationGame;
using test::OfKind;
using test::PlainText;
using test::StoredObject;
using BK = BlockKind;

const std::vector<std::string> ELEVEN_RACES = {"--map",    "epsilon", "--races", "101,102,103,104,105,106,107,108,109,110,111",
                                               "--layout", "spaced",  "--extra-freighters", "1"};

// Ships each of races 101..111 gets with standard ships and extra freighters on.
const std::map<int, int> SHIPS_WITH_FREIGHTERS = {{101, 7}, {102, 9}, {103, 6},  {104, 8},  {105, 5}, {106, 11},
                                                 {107, 7}, {108, 4}, {109, 5},  {110, 7},  {111, 14}};

const StoredObject* PlanetAt(const std::vector<StoredObject>& all, int x, int y) {
  for (const StoredObject& o : all) {
    if (o.descriptor->blockKind == BK::Planet && o.record.Get("x") == x && o.record.Get("y") == y) return &o;
  }
  return nullptr;
}

TEST(GenerationRun, EveryRaceHasItsHomeWorldAndFleet) {
  GenerationGame g;
  ASSERT_EQ(g.Generate(3, ELEVEN_RACES), 0) << ::testing::PrintToString(g.Messages());
  EXPECT_TRUE(g.ts.ui.messages.empty());
  const std::vector<StoredObject> all = g.Objects(3);
  EXPECT_EQ(OfKind(all, BK::Planet).size(), 688u);
  EXPECT_EQ(OfKind(all, BK::Base).size(), 10u);

  for (int p = 1; p <= 11; ++p) {
    SCOPED_TRACE("slot " + std::to_string(p));
    const int race = 100 + p;
    const auto bases = OfKind(all, BK::Base, p);
    const auto ships = OfKind(all, BK::Ship, p);
    EXPECT_EQ(static_cast<int>(ships.size()), SHIPS_WITH_FREIGHTERS.at(race));
    int x = 0, y = 0;
    if (race == 111) {
      // No base while standard ships are on: the fleet stands at the home position.
      EXPECT_TRUE(bases.empty());
      x = g.s.tables.homeX[p];
      y = g.s.tables.homeY[p];
      EXPECT_EQ(OfKind(all, BK::Wing, p).size(), 4u);
    } else {
      ASSERT_EQ(bases.size(), 1u);
      const Record& b = bases[0]->record;
      x = b.Get("x");
      y = b.Get("y");
      const StoredObject* planet = PlanetAt(all, x, y);
      ASSERT_NE(planet, nullptr) << "the base is not on a planet";
      EXPECT_EQ(b.Get("planetId"), planet->id);
      EXPECT_EQ(b.Get("pNum"), p);
      EXPECT_EQ(TrimBlanks(PlainText(b, "name")).rfind("Ground Base ", 0), 0u);
    }
    for (const StoredObject* ship : ships) {
      EXPECT_EQ(ship->record.Get("x"), x);
      EXPECT_EQ(ship->record.Get("y"), y);
      EXPECT_EQ(ship->record.Get("pNum"), p);
      EXPECT_EQ(PlainText(ship->record, "shipLog", "shipLogKey"), std::string(40, ' '));
    }
  }

  // Identifiers: planets, then the bases by slot, the fleets by slot, the freighters
  // by slot.
  std::vector<std::pair<int, int>> order;  // (stage, slot) in identifier order
  std::vector<StoredObject> byId = all;
  std::sort(byId.begin(), byId.end(), [](auto& a, auto& b) { return a.id < b.id; });
  for (const StoredObject& o : byId) {
    if (o.descriptor->blockKind == BK::Planet) continue;
    const bool freighter = o.kind == ObjectKind::SHIP + 18 && TrimBlanks(PlainText(o.record, "name")).rfind("Freighter", 0) == 0;
    order.push_back({o.descriptor->blockKind == BK::Base ? 0 : freighter ? 2 : 1, o.owner});
  }
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_EQ(byId[688].id, 689);

  // The run's log (its first and last lines are the run log's own tests'), marker and
  // slot records.
  const std::vector<std::string> log = g.LogLines();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[1], "Size =  12");
  EXPECT_EQ(log[2], "Adding Planets from " + g.s.paths.dataDir + "epsilon.map");
  EXPECT_EQ(g.Read("univ/game3/~g233211.tmp"), std::string("\x0D\x00\x00\x00", 4));
  const GameRecord host = g.DiskGameRecord(3);
  EXPECT_EQ(host.Get("inUse"), 1);
  EXPECT_EQ(host.Text("gameName"), FixedText("Alpha Game", 44));
  EXPECT_EQ(host.Text("hostName"), FixedText("Sample Host", 44));
  EXPECT_EQ(host.Text("rstName"), "player");
  EXPECT_EQ(host.Text("universePath"), FixedText(g.app + "univ\\game3\\g3.yig", 512));
  EXPECT_EQ(host.Get("gameId"), g.s.tables.gameId);
  EXPECT_EQ(g.DiskSlotRecord(3).Get("inUse"), 1);
  EXPECT_EQ(g.DiskGameRecord(2).Get("inUse"), 0);
  EXPECT_EQ(g.ts.output.gameFile, g.Universe(3));
}

TEST(GenerationRun, HomeBasesCarryTheirRacesAdjustments) {
  GenerationGame g;
  ASSERT_EQ(g.Generate(1, {"--races", "101,102,105,106,107,108,109,805,806,808,811", "--layout", "grid"}), 0);
  const std::vector<StoredObject> all = g.Objects(1);
  auto base = [&](int slot) -> const Record& {
    const auto b = OfKind(all, BK::Base, slot);
    EXPECT_EQ(b.size(), 1u) << slot;
    return b.at(0)->record;
  };
  // Base construction gives eleS 200..300 and structures 3966.
  EXPECT_EQ(base(2).Get("structures"), 3966);
  EXPECT_EQ(base(2).Get("cash"), 4000);
  const Record& b101 = base(1);
  EXPECT_GE(b101.Get("eleS"), 2200);
  EXPECT_LE(b101.Get("eleS"), 2300);
  EXPECT_EQ(b101.Get("cash"), 5000);
  const Record& b105 = base(3);
  EXPECT_GE(b105.Get("crew"), 3000);
  EXPECT_LE(b105.Get("crew"), 4000);
  test::ExpectFields(b105, {{"terraformer", 0}, {"smelter", 0}, {"antiAir", 0}, {"training", 0}, {"ionCannon", 0},
                            {"city", 0}, {"farm", 0}, {"factory", 100}, {"mine", 10}, {"structures", 1599}});
  EXPECT_EQ(b105.I16At(344), 10);
  for (int slot : {4, 6}) {  // races 106 and 108
    const Record& b = base(slot);
    test::ExpectFields(b, {{"raceStruct1", 1}});
    EXPECT_EQ(b.Get("eng", 16), 20);
    EXPECT_EQ(b.Get("hyp", 6), 20);
    EXPECT_GE(b.Get("eleS"), 1200);
    EXPECT_LE(b.Get("eleS"), 1300);
  }
  test::ExpectFields(base(5), {{"farm", 0}, {"scanner", 0}, {"structures", 1535}, {"eleOrd", 20010},
                               {"eleFood", 5000}, {"eleFix", 6050}, {"raceStruct1", 100}, {"raceStruct2", 1},
                               {"raceStruct3", 2}});
  EXPECT_EQ(base(7).Get("native", 6), 80000);  // race 109 with 300000 people
  EXPECT_EQ(base(7).Get("raceStruct1"), 1);
  EXPECT_EQ(base(8).Get("raceStruct2"), 1);
  EXPECT_EQ(base(9).Get("structures"), 3870);
  EXPECT_EQ(base(10).Get("raceStruct1"), 4);
  EXPECT_EQ(base(11).Get("terraformer"), 0);
  EXPECT_EQ(base(2).Get("terraformer"), 10);
}

TEST(GenerationRun, TheArkRaceCarriesItsColonyOrGetsABase) {
  GenerationGame g;
  ASSERT_EQ(g.Generate(4, {"--races", "111,111,102", "--layout", "crazy", "--home-population", "500000",
                           "--extra-freighters", "1"}),
            0);
  const std::vector<StoredObject> all = g.Objects(4);
  for (int slot : {1, 2}) {  // two players of one race both get the whole fleet
    SCOPED_TRACE(slot);
    EXPECT_TRUE(OfKind(all, BK::Base, slot).empty());
    const auto ships = OfKind(all, BK::Ship, slot);
    ASSERT_EQ(ships.size(), 14u);
    std::set<std::string> names;
    for (size_t i = 0; i < ships.size(); ++i) {
      const Record& r = ships[i]->record;
      EXPECT_EQ(r.Get("hull"), 97 + static_cast<int>(i));
      EXPECT_EQ(r.Get("eng"), 17);
      EXPECT_EQ(r.Get("eleS"), 100);
      // Crazy points are not moved onto planets: the fleet stands exactly there.
      EXPECT_EQ(r.Get("x"), g.s.layouts.randomPositions[slot].x);
      EXPECT_EQ(r.Get("y"), g.s.layouts.randomPositions[slot].y);
      names.insert(PlainText(r, "name"));
    }
    EXPECT_EQ(names.size(), 14u);
    const Record& hull102 = ships[5]->record;
    EXPECT_EQ(hull102.Get("colonists"), 450000);
    EXPECT_EQ(hull102.Get("cash"), 4000);
    EXPECT_EQ(hull102.Get("startTag"), 2);
    EXPECT_EQ(ships[9]->record.Get("colonists"), 50000);  // hull 106
    test::ExpectFields(ships[12]->record, {{"crew", 2300}, {"troops", 1000}, {"eleOrd", 30000}, {"startTag", 10}});

    const auto wings = OfKind(all, BK::Wing, slot);
    ASSERT_EQ(wings.size(), 4u);
    std::set<std::string> wingNames;
    for (const StoredObject* w : wings) {
      test::ExpectFields(w->record, {{"pNum", slot}, {"count", 0}, {"x", ships[0]->record.Get("x")}});
      EXPECT_EQ(w->record.Get("count", 2), 0);
      EXPECT_EQ(w->record.Get("count", 3), 50);
      EXPECT_EQ(w->record.Get("nameKey"), wings[0]->record.Get("nameKey"));  // one wing, stored four times
      std::string second(w->record.bytes().begin() + 46, w->record.bytes().begin() + 86);
      ScrambleName(w->record.Get("nameKey"), second);
      EXPECT_EQ(second, std::string(40, ' '));
      wingNames.insert(PlainText(w->record, "name"));
    }
    EXPECT_EQ(wingNames.size(), 4u);
  }
  EXPECT_EQ(OfKind(all, BK::Ship, 3).size(), 9u);  // race 102: 6 and 3 freighters

  GenerationGame off;  // without standard ships: a base, and still no freighters
  ASSERT_EQ(off.Generate(4, {"--races", "111,102", "--standard-ships", "0", "--extra-freighters", "1"}), 0);
  const std::vector<StoredObject> offAll = off.Objects(4);
  EXPECT_EQ(OfKind(offAll, BK::Base, 1).size(), 1u);
  EXPECT_TRUE(OfKind(offAll, BK::Ship, 1).empty());
  EXPECT_TRUE(OfKind(offAll, BK::Wing, 1).empty());
  // Player 2 gets a base and three freighters, nothing else.
  const auto freighters = OfKind(offAll, BK::Ship, 2);
  ASSERT_EQ(freighters.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    const Record& r = freighters[static_cast<size_t>(k)]->record;
    EXPECT_EQ(r.Get("hull"), 18);
    EXPECT_EQ(r.Get("eng"), 17);
    EXPECT_EQ(PlainText(r, "name"), FixedText("Freighter  " + std::to_string(k + 1), 40));
  }
}

TEST(GenerationRun, FleetsFollowTheirTableRowsAndNamingRules) {
  GenerationGame g;
  ASSERT_EQ(g.Generate(5, {"--races", "807,809,806,811,101,103", "--layout", "grid"}), 0);
  const std::vector<StoredObject> all = g.Objects(5);
  for (int slot : {1, 2}) {  // races 807 and 809 have no row: the default fleet
    const auto ships = OfKind(all, BK::Ship, slot);
    ASSERT_EQ(ships.size(), 4u);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(ships[static_cast<size_t>(k)]->record.Get("hull"), 19);
      EXPECT_EQ(PlainText(ships[static_cast<size_t>(k)]->record, "name"), FixedText("Scout  " + std::to_string(k + 1), 40));
    }
    EXPECT_EQ(ships[3]->record.Get("hull"), 18);
    EXPECT_EQ(ships[3]->record.Get("eng"), 17);
  }
  // Race 806: three hull-516 ships built once, named three ways, sharing their keys.
  const auto cobalt = OfKind(all, BK::Ship, 3);
  ASSERT_EQ(cobalt.size(), 4u);
  EXPECT_EQ(cobalt[0]->record.Get("hull"), 522);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(cobalt[0]->record.Get("lWeapon", i), 0);
  std::set<std::string> names;
  for (int k = 1; k <= 3; ++k) {
    const Record& r = cobalt[static_cast<size_t>(k)]->record;
    EXPECT_EQ(r.Get("hull"), 516);
    test::ExpectFields(r, {{"eng", 19}, {"startTag", 9}, {"generator", 5}});
    EXPECT_EQ(r.Get("pdWeapon", 4), 7);
    EXPECT_EQ(r.Get("nameKey"), cobalt[1]->record.Get("nameKey"));
    EXPECT_EQ(r.Get("shipLogKey"), cobalt[1]->record.Get("shipLogKey"));
    names.insert(PlainText(r, "name"));
    // Apart from the name and the stored identity, the three are one ship.
    std::vector<uint8_t> a = r.bytes(), b = cobalt[1]->record.bytes();
    std::fill(a.begin(), a.begin() + 40, 0);
    std::fill(b.begin(), b.begin() + 40, 0);
    std::fill(a.begin() + 84, a.begin() + 92, 0);
    std::fill(b.begin() + 84, b.begin() + 92, 0);
    EXPECT_EQ(a, b);
  }
  EXPECT_EQ(names.size(), 3u);
  const auto glass = OfKind(all, BK::Ship, 4);  // race 811: 527, 529 twice, 526
  ASSERT_EQ(glass.size(), 4u);
  EXPECT_EQ(glass[1]->record.Get("nameKey"), glass[2]->record.Get("nameKey"));
  EXPECT_EQ(glass[1]->record.Get("lWeapon", 2), 9);
  EXPECT_EQ(glass[3]->record.Get("hypEng"), 1);
  const auto homestead = OfKind(all, BK::Ship, 5);  // numbered: two blanks before the number
  EXPECT_EQ(PlainText(homestead[0]->record, "name"), FixedText("Homestead Hauler  1", 40));
  EXPECT_EQ(homestead[3]->record.Get("hull"), 6);
  EXPECT_EQ(homestead[3]->record.Get("eng"), 15);
  const auto hive = OfKind(all, BK::Ship, 6);  // picked from three
  ASSERT_EQ(hive.size(), 3u);
  EXPECT_NE(PlainText(hive[0]->record, "name"), PlainText(hive[1]->record, "name"));
  EXPECT_EQ(hive[2]->record.Get("lWeapon", 2), 15);
}

TEST(GenerationRun, PlayersOfRacesUpTo100GetNothing) {
  forge::GameFolderRecipe recipe = forge::SampleGame();
  recipe.races.push_back(test::ExtraRace(42));
  recipe.races.push_back(test::ExtraRace(100));
  GenerationGame g(recipe);
  ASSERT_EQ(g.Generate(6, {"--races", "42,100", "--extra-freighters", "1"}), 0);
  const std::vector<StoredObject> all = g.Objects(6);
  EXPECT_EQ(all.size(), 500u);  // the echo map's planets, nothing else
  EXPECT_EQ(OfKind(all, BK::Planet).size(), 500u);
  EXPECT_EQ(g.DiskGameRecord(6).Get("inUse"), 1);
}

TEST(GenerationRun, SlotTwelveAndTheSameSeedTwice) {
  GenerationGame a, b;
  ASSERT_EQ(a.Generate(12, {"--races", "101,102,103", "--layout", "spaced", "--game-name", "Twelve"}), 0);
  ASSERT_EQ(b.Generate(12, {"--races", "101,102,103", "--layout", "spaced", "--game-name", "Twelve"}), 0);
  EXPECT_TRUE(FileExists(a.app + "UNIV/GAME12/g12.yig"));
  EXPECT_EQ(a.Read("univ/game12/~g233211.tmp"), std::string("\x0D\x00\x00\x00", 4));
  EXPECT_EQ(a.Read("WAR/m123.new"), a.Read("WAR/SLOT12/slot.dat"));
  EXPECT_EQ(a.DiskSlotRecord(12).Text("gameName"), FixedText("Twelve", 44));
  EXPECT_EQ(a.DiskSlotRecord(12).Text("hostFolder"), FixedText(a.app + "univ\\game12\\", 512));
  // A fixed seed and clock: the same choices give the same universe, byte for byte
  // after the folder names inside it.
  std::vector<test::StoredObject> oa = a.Objects(12), ob = b.Objects(12);
  ASSERT_EQ(oa.size(), ob.size());
  for (size_t i = 0; i < oa.size(); ++i) EXPECT_EQ(oa[i].record.bytes(), ob[i].record.bytes()) << i;
}

TEST(GenerationRun, MissingDataOrMapFileStopsTheRunAfterTheOldUniverseIsGone) {
  GenerationGame g;
  g.ts.dir.Write("UNIV/GAME2/g2.yig", std::string("the old universe"));
  DeleteFileAt(g.app + "data/main.dat");
  EXPECT_EQ(g.Generate(2, {"--races", "101,102"}), 1);
  EXPECT_FALSE(FileExists(g.Universe(2)));
  EXPECT_EQ(g.Messages(), (std::vector<std::string>{"Error: Main data file not found. . . data\\*.dat missing"}));
  EXPECT_EQ(g.ts.ui.beeps, 1);
  EXPECT_FALSE(FileExists(g.app + "univ/game2/~g233211.tmp"));
  EXPECT_EQ(g.DiskGameRecord(2).Get("inUse"), 0);
  EXPECT_FALSE(FileExists(SlotRecordPath(g.app, 2)));

  GenerationGame m;
  DeleteFileAt(m.app + "data/epsilon.map");
  EXPECT_EQ(m.Generate(2, {"--map", "epsilon", "--races", "101,102"}), 1);
  EXPECT_EQ(m.Messages(), (std::vector<std::string>{"Error: Map file not found. . . data\\*.map missing"}));
  EXPECT_FALSE(FileExists(m.Universe(2)));
}

// A run in a child process; the messages it showed come back through a file.
std::vector<std::string> GenerateInChild(GenerationGame& g, int slot, const std::vector<std::string>& words,
                                         rlim_t limit) {
  const std::string report = g.app + "child-messages.txt";
  EXPECT_EQ(test::RunWithFileSizeLimit(limit, [&] {
              const int status = g.Generate(slot, words);
              std::ofstream out(report);
              for (const std::string& m : g.Messages()) out << m << "\n";
              throw ProgramEnd{status};
            }),
            11);  // the program ended
  std::vector<std::string> messages;
  std::ifstream in(report);
  for (std::string line; std::getline(in, line);) messages.push_back(line);
  return messages;
}

// The one box of a build that could not write a file, naming the file and why.
void ExpectBuildError(const std::vector<std::string>& messages, const std::string& fileAndWhy) {
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("ERROR!: Build Error: Cannot write ", 0), 0u) << messages[0];
  EXPECT_NE(messages[0].find(fileAndWhy), std::string::npos) << messages[0];
}

// A disk that fills while the universe file (about 0.5 MB) or the objects after it are
// written, or while the slot's records are (slot 5's game.dat is a full device: the
// records of slots 1 to 4 are written first), leaves the slot as it was; with --clear
// the old universe is gone before the records fail.
TEST(GenerationRun, ADiskThatFillsIsABuildErrorThatLeavesTheSlotAsItWas) {
  for (rlim_t limit : {300000, 700000}) {
    SCOPED_TRACE(limit);
    GenerationGame g;
    ExpectBuildError(GenerateInChild(g, 3, ELEVEN_RACES, limit), "g3.yig: file too large.");
    EXPECT_FALSE(FileExists(g.Universe(3)));
    EXPECT_FALSE(FileExists(g.app + "univ/game3/~g233211.tmp"));
    EXPECT_EQ(g.DiskGameRecord(3).Get("inUse"), 0);
    EXPECT_FALSE(FileExists(SlotRecordPath(g.app, 3)));
    const std::vector<std::string> log = g.LogLines();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().rfind("Total Run Time: ", 0), 0u);  // the run timer stopped
  }
  const std::string marker("\x07\x00\x00\x00rest", 8);
  for (const bool clear : {false, true}) {
    SCOPED_TRACE(clear ? "--clear" : "records");
    GenerationGame g;
    for (const char* folder : {"UNIV", "UNIV/GAME2", "UNIV/GAME5"}) CreateFolder(g.app + folder);
    ASSERT_EQ(::symlink("/dev/full", (g.app + "UNIV/GAME5/game.dat").c_str()), 0);
    if (clear) {
      g.ts.dir.Write("UNIV/GAME2/g2.yig", std::string("the old universe"));
    } else {
      WriteWholeFile(g.app + "univ/game2/~g233211.tmp", std::vector<uint8_t>(marker.begin(), marker.end()));
    }
    std::vector<std::string> words = {"--races", "101,102"};
    if (clear) words.push_back("--clear");
    EXPECT_EQ(g.Generate(2, words), 1);
    ExpectBuildError(g.Messages(), "game.dat: the disk is full.");
    EXPECT_FALSE(FileExists(g.Universe(2)));
    if (clear) {
      EXPECT_FALSE(FileExists(g.app + "univ/game2/~g233211.tmp"));
      EXPECT_FALSE(FileExists(SlotRecordPath(g.app, 2)));
      continue;
    }
    EXPECT_EQ(g.Read("univ/game2/~g233211.tmp"), marker);
    EXPECT_EQ(g.DiskSlotRecord(2).Get("inUse"), 0);
    EXPECT_EQ(g.DiskGameRecord(2).Get("inUse"), 0);
    EXPECT_EQ(g.DiskGameRecord(2).Text("slotName"), FixedText("( Empty )", 80));
    EXPECT_EQ(g.s.slots.gameRecords[2].Get("inUse"), 0);
  }
}

}  // namespace
}  // namespace tarvik
