// Host and player slot records: their layouts, loading (missing, short, long and
// foreign files), saving with the copy of slot 12, the values a build leaves, the two
// clear operations, and a disk that fills while a record file is written.
#include <gtest/gtest.h>

#include "app/session.h"
#include "app/startup.h"
#include "base/bytes.h"
#include "base/text.h"
#include "forge/forge.h"
#include "store_test_support.h"
#include "test_support.h"
#include "universe/slot_records.h"

namespace tarvik {
namespace {

struct Slots : ::testing::Test {
  test::TestSession t;
  Session& s = t.s();
  SlotRecords& slots = s.slots;
  std::string app = t.dir.path();
  void SetUp() override {
    for (int n = 1; n <= 12; ++n) {
      CreateFolder(app + "UNIV");
      CreateFolder(app + "UNIV/GAME" + std::to_string(n));
      CreateFolder(app + "WAR");
      CreateFolder(app + "WAR/SLOT" + std::to_string(n));
    }
  }
  std::string Read(const std::string& rel) const { return t.dir.Read(rel); }
  // The Yes/No question asked, the only message shown.
  void ExpectAsked(const std::string& title, const std::string& text) const {
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0].title, title);
    EXPECT_EQ(t.ui.messages[0].text, text);
  }
};

TEST_F(Slots, LoadingMissingShortLongAndForeignFiles) {
  // Slot 2: a short game.dat (zero bytes past its end); slot 3: a long one (read from
  // position 1); slot 4: a folder named game.dat (no record file).
  std::string shortFile(10, '\0');
  PutI32(reinterpret_cast<uint8_t*>(shortFile.data()), 1);
  shortFile.replace(4, 6, "Vesper");
  t.dir.Write("UNIV/GAME2/game.dat", shortFile);
  std::string longFile(GAME_RECORD_SIZE + 500, 'Q');
  t.dir.Write("UNIV/GAME3/game.dat", longFile);
  CreateFolder(app + "UNIV/GAME4/game.dat");
  t.dir.Write("WAR/SLOT5/slot.dat", std::string(7, '\xff'));

  slots.gameRecords[6].Set("inUse", 1);  // loading starts from cleared records
  LoadGameRecords(s);
  LoadSlotRecords(s);
  EXPECT_EQ(slots.gameRecords[1].Text("slotName"), FixedText("( Empty )", 80));
  EXPECT_EQ(slots.gameRecords[1].Get("inUse"), 0);
  EXPECT_EQ(slots.gameRecords[2].Get("inUse"), 1);
  EXPECT_EQ(slots.gameRecords[2].Text("slotName"), "Vesper" + std::string(74, '\0'));
  EXPECT_EQ(slots.gameRecords[2].Get("gameId"), 0);
  EXPECT_EQ(slots.gameRecords[3].bytes(), std::vector<uint8_t>(GAME_RECORD_SIZE, 'Q'));
  EXPECT_EQ(slots.gameRecords[4].Text("slotName"), FixedText("( Empty )", 80));
  EXPECT_EQ(slots.gameRecords[6].Get("inUse"), 0);
  EXPECT_EQ(slots.slotRecords[5].Get("inUse"), -1);
  EXPECT_EQ(slots.slotRecords[5].bytes()[7], 0);
  EXPECT_EQ(slots.slotRecords[1].bytes(), std::vector<uint8_t>(SLOT_RECORD_SIZE, 0));
}

TEST_F(Slots, SavingWritesEverySlotAndTheCopyOfSlot12) {
  LoadGameRecords(s);
  LoadSlotRecords(s);
  // An existing longer slot.dat is overwritten in place: its tail stays.
  t.dir.Write("WAR/SLOT12/slot.dat", std::string(SLOT_RECORD_SIZE + 4, 'x'));
  slots.slotRecords[12].SetText("gameName", "Twelfth Night");
  SaveGameRecords(s);
  SaveSlotRecords(s);
  for (int n = 1; n <= 12; ++n) {
    EXPECT_EQ(Read("UNIV/GAME" + std::to_string(n) + "/game.dat").size(), 12536u);
  }
  EXPECT_EQ(Read("WAR/SLOT1/slot.dat").size(), 3222u);
  const std::string slot12 = Read("WAR/SLOT12/slot.dat");
  EXPECT_EQ(slot12.size(), SLOT_RECORD_SIZE + 4u);
  EXPECT_EQ(slot12.substr(SLOT_RECORD_SIZE), "xxxx");
  EXPECT_EQ(Read("WAR/m123.new"), slot12.substr(0, SLOT_RECORD_SIZE));
  EXPECT_EQ(slot12.substr(88, 13), "Twelfth Night");
}

TEST_F(Slots, ANewGameFillsItsSlotAndKeepsTheUnchangedColumns) {
  // The slot's previous files hold marks in every column, changed or not.
  std::vector<uint8_t> oldGame(GAME_RECORD_SIZE, 0x5A), oldSlot(SLOT_RECORD_SIZE, 0x6B);
  t.dir.Write("UNIV/GAME7/game.dat", oldGame);
  t.dir.Write("WAR/SLOT7/slot.dat", oldSlot);
  LoadGameRecords(s);
  LoadSlotRecords(s);
  UniverseTables& tables = s.tables;
  tables.gameName = "Siege of Harrowgate";
  tables.hostName = "Quill";
  tables.rstName = "players";
  tables.gameId = 4321987;
  tables.universeFilePath = app + "univ\\game7\\g7.yig";
  tables.universeTimeStamp = "03-04-202612:00:00";
  slots.buildSlot = 0;
  RecordNewGame(s);  // no slot taken: nothing
  EXPECT_EQ(slots.gameRecords[7].bytes(), oldGame);
  slots.buildSlot = 7;
  RecordNewGame(s);

  const GameRecord& g = slots.gameRecords[7];
  EXPECT_EQ(g.Get("inUse"), 1);
  EXPECT_EQ(g.Text("slotName"), FixedText("Siege of Harrowgate", 80));
  EXPECT_EQ(g.Get("gameId"), 4321987);
  EXPECT_EQ(g.Text("gameName"), FixedText("Siege of Harrowgate", 44));
  EXPECT_EQ(g.Text("hostName"), FixedText("Quill", 44));
  EXPECT_EQ(g.Text("universePath"), FixedText(tables.universeFilePath, 512));
  EXPECT_EQ(g.Text("rstName"), "player");
  EXPECT_EQ(g.Get("lastTurn"), 0);
  EXPECT_EQ(g.Text("timeStamp"), "03-04-202612:00:00");
  const auto& gb = g.bytes();
  auto all = [](const std::vector<uint8_t>& b, int from, int to, uint8_t v) {
    return std::all_of(b.begin() + from, b.begin() + to, [v](uint8_t x) { return x == v; });
  };
  EXPECT_TRUE(all(gb, 694, 814, 0));
  EXPECT_TRUE(all(gb, 814, 4654, 0x5A));  // unchanged
  EXPECT_TRUE(all(gb, 4654, 4774, 0));
  EXPECT_TRUE(all(gb, 4774, 8614, 0x5A));  // unchanged
  EXPECT_TRUE(all(gb, 8614, 12454, 0));
  EXPECT_TRUE(all(gb, 12476, 12536, 0));

  const SlotRecord& p = slots.slotRecords[7];
  const std::string folder = app + "univ\\game7\\";
  EXPECT_EQ(p.Get("inUse"), 1);
  EXPECT_EQ(p.I32At(176), 1);
  EXPECT_EQ(p.I32At(692), 1);
  EXPECT_EQ(p.Text("hostFolder"), FixedText(folder, 512));
  EXPECT_EQ(p.Text("hostFolder2"), FixedText(folder, 512));
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(p.Text("playerTimeStamp", i), "03-04-202612:00:00");
  const auto& pb = p.bytes();
  EXPECT_TRUE(all(pb, 1748, 1992, 0));
  EXPECT_TRUE(all(pb, 1992, 2504, 0x6B));  // unchanged
  EXPECT_TRUE(all(pb, 2504, 2508, 0));
  EXPECT_TRUE(all(pb, 2508, 3020, 0x6B));  // unchanged
  EXPECT_EQ(p.Text("timeStamp"), "03-04-202612:00:00");
  EXPECT_TRUE(all(pb, 3042, 3222, 0));
  // Other slots are left alone.
  EXPECT_EQ(slots.gameRecords[6].Text("slotName"), FixedText("( Empty )", 80));
}

TEST_F(Slots, DeleteUniverseAsksThenClearsTheHostSide) {
  t.dir.Write("UNIV/GAME3/g3.yig", std::string("universe"));
  t.dir.Write("UNIV/GAME3/OLD.YIG", std::string("older"));
  t.dir.Write("UNIV/GAME3/game.dat", std::vector<uint8_t>(GAME_RECORD_SIZE, 1));
  t.dir.Write("UNIV/GAME3/turn4.dat", std::string("host data"));
  t.dir.Write("UNIV/GAME3/notes.txt", std::string("kept"));
  LoadGameRecords(s);

  EXPECT_FALSE(DeleteUniverse(s));  // no slot selected: no question
  EXPECT_TRUE(t.ui.messages.empty());
  slots.selectedSlot = 3;
  s.ui = nullptr;  // nobody to answer: nothing is deleted
  EXPECT_FALSE(DeleteUniverse(s));
  s.ui = &t.ui;
  t.ui.answer = false;
  EXPECT_FALSE(DeleteUniverse(s));
  ExpectAsked("Delete Universe", "Delete the universe in host slot  3?");
  EXPECT_EQ(Read("UNIV/GAME3/g3.yig"), "universe");

  t.ui.answer = true;
  EXPECT_TRUE(DeleteUniverse(s));
  EXPECT_FALSE(FileExists(app + "UNIV/GAME3/g3.yig"));
  EXPECT_FALSE(FileExists(app + "UNIV/GAME3/OLD.YIG"));
  EXPECT_FALSE(FileExists(app + "UNIV/GAME3/turn4.dat"));
  EXPECT_EQ(Read("UNIV/GAME3/notes.txt"), "kept");
  // game.dat was deleted, then written again with the slot free and the name blank.
  const std::string game = Read("UNIV/GAME3/game.dat");
  ASSERT_EQ(game.size(), 12536u);
  EXPECT_EQ(GetI32(reinterpret_cast<const uint8_t*>(game.data())), 0);
  EXPECT_EQ(game.substr(88, 44), std::string(44, ' '));
  EXPECT_EQ(game.substr(4, 4), "\x01\x01\x01\x01");  // the rest of the record as loaded
  EXPECT_EQ(Read("UNIV/GAME3/~g233211.tmp"), std::string(4, '\0'));
  EXPECT_EQ(Read("UNIV/GAME1/game.dat").substr(4, 9), "( Empty )");  // every slot saved
}

TEST_F(Slots, DeletePlayerFilesAsksThenClearsThePlayerSide) {
  t.dir.Write("WAR/SLOT4/player1.rst", std::string("r"));
  t.dir.Write("WAR/SLOT4/PLAYER2.RST", std::string("r"));
  t.dir.Write("WAR/SLOT4/keep.trn", std::string("t"));
  std::vector<uint8_t> rec(SLOT_RECORD_SIZE, 0);
  PutI32(rec.data(), 1);
  t.dir.Write("WAR/SLOT4/slot.dat", rec);
  LoadSlotRecords(s);
  slots.selectedSlot = 4;
  t.ui.answer = true;
  EXPECT_TRUE(DeletePlayerFiles(s));
  ExpectAsked("Delete Player Files", "Delete the player files in player slot  4?");
  EXPECT_FALSE(FileExists(app + "WAR/SLOT4/player1.rst") || FileExists(app + "WAR/SLOT4/PLAYER2.RST"));
  EXPECT_EQ(Read("WAR/SLOT4/keep.trn"), "t");
  EXPECT_EQ(Read("WAR/SLOT4/slot.dat"), std::string(SLOT_RECORD_SIZE, '\0'));
  EXPECT_EQ(Read("WAR/m123.new"), Read("WAR/SLOT12/slot.dat"));
}

TEST_F(Slots, ADiskThatFillsWhileRecordsAreWrittenIsARunTimeError) {
  LoadGameRecords(s);
  LoadSlotRecords(s);
  EXPECT_EQ(test::RunWithFileSizeLimit(4000, [&] { SaveGameRecords(s); }), 10);
  EXPECT_EQ(test::RunWithFileSizeLimit(3000, [&] { SaveSlotRecords(s); }), 10);
  EXPECT_EQ(test::RunWithFileSizeLimit(20000, [&] { SaveGameRecords(s); }), 0);
}

TEST_F(Slots, DamagedRecordFilesNeverStopTheStartUp) {
  // Foreign bytes of every length, and a record file that is a folder.
  forge::ForgeRandom r(77);
  auto noise = [&r](size_t n) {
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(r.Range(0, 255));
    return bytes;
  };
  t.dir.Write("UNIV/GAME1/game.dat", noise(12536));
  t.dir.Write("UNIV/GAME2/game.dat", noise(3));
  t.dir.Write("UNIV/GAME3/game.dat", noise(40000));
  t.dir.Write("UNIV/GAME4/game.dat", std::string());
  t.dir.Write("WAR/SLOT1/slot.dat", noise(5000));
  CreateFolder(app + "WAR/SLOT2/slot.dat");
  s.listSlotsOnly = true;
  try {
    Main(s);
  } catch (const ProgramEnd& end) {
    FAIL() << "start-up ended with status " << end.status;
  }
  EXPECT_TRUE(t.ui.messages.empty());
  EXPECT_NE(t.output.printed.find("Slot 12: host free, player free"), std::string::npos) << t.output.printed;
  EXPECT_EQ(slots.gameRecords[4].bytes(), std::vector<uint8_t>(GAME_RECORD_SIZE, 0));
}

}  // namespace
}  // namespace tarvik
