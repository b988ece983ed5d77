// The slot step driven by replay files: the slots as the records show them, choosing a
// slot, clearing its host or player side, and the guarded click handler.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/text.h"
#include "platform/files.h"
#include "universe/slot_records.h"
#include "wizard_game.h"

namespace tarvik {
namespace {

using test::CanvasTexts;
using test::FindOp;
using test::Json;
using test::OpAt;
using V = std::vector<int>;
using test::WizardGame;

// A game folder whose host slot 3 holds a universe and whose player slot 5 is in use.
struct SlotGame : WizardGame {
  SlotGame() {
    Run("");  // start-up lays out the folders
    const std::string app = dir.path();
    GameRecord host;
    host.Set("inUse", 1);
    host.SetText("slotName", "Old Game");
    host.SetText("gameName", "Old Game");
    host.SetText("hostName", "Old Host");
    host.Set("gameId", 4242);
    host.Set("lastTurn", 17);
    host.SetText("timeStamp", "01-02-202612:00:00");
    WriteRecordFile(GameRecordPath(app, 3), host);
    // Through the program's file layer, which finds "univ" made by start-up as "UNIV".
    WriteWholeFile(app + "UNIV\\GAME3\\g3.yig", {1, 2});
    SlotRecord player;
    player.Set("inUse", 1);
    player.SetText("slotName", "Taken");
    WriteRecordFile(SlotRecordPath(app, 5), player);
    WriteWholeFile(app + "WAR\\SLOT5\\p1.rst", {1});
  }
};

TEST(WizardSlotStep, TheSlotsAndTheFirstChoice) {
  SlotGame g;
  EXPECT_EQ(g.Run("dump start.json\nclick frmUnivSlots 340 310\nclick frmUnivSlots 2 10\ndump border.json\n"
                  "click frmUnivSlots 3 64\ndump chosen.json\n"),
            0);
  const Json start = g.Dump("start.json");
  ASSERT_EQ(start["visible"].size(), 1u);
  EXPECT_EQ(start["visible"][0].s, "frmUnivSlots");
  const Json slots = start["forms"]["frmUnivSlots"];
  EXPECT_EQ(slots["caption"].s, "Stellarvane Tarvik Version 4.000.0" + std::string(TARVIK_VERSION).substr(4));
  EXPECT_EQ(slots["controls"]["lblGame(3)"]["text"].s, FixedText("Old Game", 80));
  EXPECT_EQ(slots["controls"]["lblGame(4)"]["text"].s, "(Empty)");
  int lamps = 0, inUse = 0;
  for (const Json& op : slots["canvas"].a) {
    if (op["op"].s == "lamp") {
      ++lamps;
      if (op["state"].Int() == 0) {
        ++inUse;
        // Host 3 at x = 47 and player 5 at x = 67, two pixels below their rows.
        EXPECT_EQ(op["x"].Int() == 47 ? 7 + 28 * 2 + 2 : 7 + 28 * 4 + 2, op["y"].Int());
      }
    }
  }
  EXPECT_EQ(lamps, 24);
  EXPECT_EQ(inUse, 2);
  // Where the buttons and texts stand is the pictures' test.
  EXPECT_EQ(OpAt(slots, "smallbutton", " 7", {"highlighted"}), V{0});
  EXPECT_EQ(CanvasTexts(slots, "disabledbutton"), (std::vector<std::string>{"Clear Player", "Clear Host", "Next"}));
  EXPECT_EQ(CanvasTexts(slots, "text"), (std::vector<std::string>{
                                            "Step 1:", "You need to pick one of the 12 possible slots for the new game"}));
  EXPECT_EQ(OpAt(slots, "text", "Step 1:", {"color"}), V{10});
  // Next with no slot and a click on a button's border do nothing.
  EXPECT_EQ(g.Dump("border.json")["forms"]["frmUnivSlots"]["canvas"].size(), slots["canvas"].size());
  EXPECT_NE(FindOp(g.Dump("border.json")["forms"]["frmUnivSlots"], "text", "Step 1:"), nullptr);
  // One pixel inside slot 3's button chooses it.
  const Json chosen = g.Dump("chosen.json")["forms"]["frmUnivSlots"];
  EXPECT_EQ(OpAt(chosen, "smallbutton", " 3", {"highlighted"}), V{1});
  const Json* warning = FindOp(chosen, "text", "Host Slot  3 is in use you must clear it before you can");
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ((*warning)["y"].Int(), 5);
  EXPECT_EQ((*warning)["color"].s, "#ffc8c8");
  EXPECT_NE(FindOp(chosen, "text", "make a new universe in this slot"), nullptr);
  EXPECT_NE(FindOp(chosen, "text", "Player Slot  3: READY"), nullptr);
  EXPECT_EQ(OpAt(chosen, "text", "Host Univ Data   Slot Name: " + FixedText("Old Game", 80), {"y", "color"}),
            (V{192, 10}));
  EXPECT_NE(FindOp(chosen, "text", "Game ID:  4242   Game Name: " + FixedText("Old Game", 44)), nullptr);
  EXPECT_NE(FindOp(chosen, "text", "Host Name: " + FixedText("Old Host", 44) + "   Last Turn:  17"), nullptr);
  EXPECT_NE(FindOp(chosen, "text", "Time Stamp: 01-02-202612:00:00"), nullptr);
  EXPECT_NE(FindOp(chosen, "button", "Clear Host"), nullptr);
  EXPECT_NE(FindOp(chosen, "disabledbutton", "Next"), nullptr);
  bool frame = false;
  for (const Json& op : chosen["canvas"].a) {
    frame = frame || (op["op"].s == "box" && op["x"].Int() == 95 && op["y"].Int() == 190 && op["x2"].Int() == 430 &&
                      op["y2"].Int() == 270 && op["color"].Int() == 10);
  }
  EXPECT_TRUE(frame);
}

TEST(WizardSlotStep, ASlotInUseIsTakenOnlyAfterClearHostIsConfirmed) {
  SlotGame g;
  EXPECT_EQ(g.Run("click frmUnivSlots 5 64\nclick frmUnivSlots 340 310\nclick frmUnivSlots 100 90\n"
                  "dump refused.json\nanswer yes\nclick frmUnivSlots 100 90\ndump cleared.json\n"
                  "click frmUnivSlots 340 310\ndump map.json\n"),
            0);
  const Json refused = g.Dump("refused.json");
  EXPECT_EQ(refused["visible"][0].s, "frmUnivSlots");
  ASSERT_EQ(refused["messages"].size(), 1u);  // Next did nothing; Clear Host asked, and No kept the slot
  EXPECT_EQ(refused["messages"][0]["title"].s, "Delete Universe");
  EXPECT_EQ(refused["messages"][0]["text"].s, "Delete the universe in host slot  3?");
  EXPECT_NE(g.err.str().find("Delete Universe: Delete the universe in host slot  3? No"), std::string::npos);

  const Json cleared = g.Dump("cleared.json")["forms"]["frmUnivSlots"];
  EXPECT_NE(FindOp(cleared, "text", "Host Slot  3: READY"), nullptr);
  EXPECT_NE(FindOp(cleared, "text", "Host And Player Slot  3 will be used"), nullptr);
  EXPECT_NE(FindOp(cleared, "button", "Next"), nullptr);
  // Which files the clearing deletes and keeps is the slot records' test.
  EXPECT_FALSE(FileExists(g.dir.path() + "UNIV\\GAME3\\g3.yig"));

  EXPECT_EQ(g.Dump("map.json")["visible"][0].s, "frmMap");
  EXPECT_EQ(g.s().slots.buildSlot, 3);
}

TEST(WizardSlotStep, ClearPlayerAndClearsWithoutASlot) {
  SlotGame g;
  EXPECT_EQ(g.Run("click frmUnivSlots 100 90\nclick frmUnivSlots 190 90\ndump none.json\n"
                  "answer yes\nclick frmUnivSlots 5 120\ndump taken.json\nclick frmUnivSlots 190 90\ndump freed.json\n"),
            0);
  EXPECT_EQ(g.Dump("none.json")["messages"].size(), 0u);
  const Json taken = g.Dump("taken.json")["forms"]["frmUnivSlots"];
  EXPECT_NE(FindOp(taken, "text", "Player Slot  5 is in use you must clear it before you can"), nullptr);
  EXPECT_EQ(OpAt(taken, "text", "Player Data   Slot Name: " + FixedText("Taken", 80), {"y"}), V{112});
  const Json freed = g.Dump("freed.json");
  EXPECT_EQ(freed["messages"][0]["text"].s, "Delete the player files in player slot  5?");
  EXPECT_NE(FindOp(freed["forms"]["frmUnivSlots"], "text", "Player Slot  5: READY"), nullptr);
  EXPECT_FALSE(FileExists(g.dir.path() + "WAR\\SLOT5\\p1.rst"));
}

TEST(WizardSlotStep, ARunTimeErrorInTheHandlerNamesItsStepAndTheHandlerGoesOn) {
  SlotGame g;
  // Slot 7's record file cannot be written: saving all twelve after Clear Host fails.
  std::filesystem::create_directories(ResolvePath(g.dir.path() + "UNIV\\GAME7") + "/game.dat");
  EXPECT_EQ(g.Run("answer yes\nclick frmUnivSlots 5 64\nclick frmUnivSlots 100 90\ndump after.json\n"
                  "click frmUnivSlots 250 310\ndump never.json\n"),
            0);
  const Json after = g.Dump("after.json");
  ASSERT_EQ(after["messages"].size(), 2u);
  EXPECT_EQ(after["messages"][1]["title"].s, "");
  EXPECT_EQ(after["messages"][1]["text"].s, "Error In Next Click: Error:  1");
  // What failed follows the box on standard error.
  const std::string err = g.err.str();
  const size_t box = err.find("Error In Next Click: Error:  1\n");
  ASSERT_NE(box, std::string::npos) << err;
  EXPECT_NE(err.find("game.dat", box), std::string::npos) << err;
  EXPECT_EQ(after["visible"][0].s, "frmUnivSlots");
  EXPECT_EQ(g.files.count("never.json"), 0u);  // Exit still works
}

}  // namespace
}  // namespace tarvik
