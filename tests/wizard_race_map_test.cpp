// The map, name and race steps driven by replay files against forged game folders,
// checked through the state dump and the exit status.
#include <gtest/gtest.h>

#include "base/text.h"
#include "packs/map_files.h"
#include "platform/files.h"
#include "wizard_game.h"

namespace tarvik {
namespace {

using test::CanvasTexts;
using test::FindOp;
using test::Json;
using test::OpAt;
using V = std::vector<int>;
using test::WizardGame;

const std::string TO_MAP = test::TO_MAP_STEP;
// On to the race step with the echo map.
const std::string TO_RACE = TO_MAP + "check frmMap.optEcho 1\nclick frmMap 555 310\nclick frmName 555 310\n";

TEST(WizardMapStep, StockMapsCustomMapAndScript) {
  WizardGame g;
  EXPECT_EQ(g.Run(TO_MAP + "dump map.json\ndraw frmMap map.svg\n"), 0);
  const Json map = g.Dump("map.json")["forms"]["frmMap"];
  EXPECT_EQ(g.Dump("map.json")["visible"][0].s, "frmMap");
  const std::vector<std::string> texts = CanvasTexts(map, "text");
  for (const char* t : {"Size: 2000 X 2000 LY", "Center: (2000 , 2000)", "Planets: 500", "Size: 3000 X 3000 LY",
                        "Center: (2500 , 2500)", "Planets: 688", "Custom Map File:", "echo.map", "Custom Script File:",
                        "Load Map"}) {
    EXPECT_TRUE(std::count(texts.begin(), texts.end(), t) || FindOp(map, "button", t)) << t;
  }
  // The default map file is the custom map, with its statistics where they belong.
  MapStats stats;
  ASSERT_TRUE(MapFileStats(g.dir.path() + "data/echo.map", stats));
  EXPECT_EQ(OpAt(map, "text", "Size: " + std::to_string(stats.width) + " X " + std::to_string(stats.height) + " LY"),
            (V{380, 240}));
  EXPECT_EQ(OpAt(map, "text", "Planets: 40", {"y"}), V{280});
  EXPECT_NE(FindOp(map, "text", "Center: ( " + std::to_string(stats.centerX) + " , " +
                                    std::to_string(stats.centerY) + " )"),
            nullptr);
  EXPECT_NE(FindOp(map, "text", g.s().paths.scriptsDir + "game.vps"), nullptr);
  // No option chosen yet: Next is drawn disabled, and a click on it does nothing.
  EXPECT_NE(FindOp(map, "disabledbutton", "Next"), nullptr);
  for (const char* option : {"optEcho", "optZeta", "optCustom", "optScript"}) {
    EXPECT_TRUE(map["controls"][option]["enabled"].b) << option;
    EXPECT_FALSE(map["controls"][option]["checked"].b) << option;
  }
  EXPECT_EQ(g.Run(TO_MAP + "click frmMap 555 310\ndump after.json\n"), 0);
  EXPECT_EQ(g.Dump("after.json")["visible"][0].s, "frmMap");

  // Choosing an option redraws: Next is usable; "check ... 0" does nothing.
  EXPECT_EQ(g.Run(TO_MAP + "check frmMap.optZeta 1\ncheck frmMap.optZeta 0\ndump z.json\n"), 0);
  const Json z = g.Dump("z.json")["forms"]["frmMap"];
  EXPECT_TRUE(z["controls"]["optZeta"]["checked"].b);
  EXPECT_NE(FindOp(z, "button", "Next"), nullptr);
  EXPECT_EQ(FindOp(z, "disabledbutton", "Next"), nullptr);
}

TEST(WizardMapStep, MissingStockMapsCannotBeChosen) {
  WizardGame g;
  DeleteFileAt(g.dir.path() + "data/echo.map");
  DeleteFileAt(g.dir.path() + "data/epsilon.map");
  EXPECT_EQ(g.Run(TO_MAP + "check frmMap.optEcho 1\ndump m.json\n"), 0);
  const Json map = g.Dump("m.json")["forms"]["frmMap"];
  EXPECT_FALSE(map["controls"]["optEcho"]["enabled"].b);
  EXPECT_FALSE(map["controls"]["optEcho"]["checked"].b);
  EXPECT_FALSE(map["controls"]["optZeta"]["enabled"].b);
  EXPECT_EQ(OpAt(map, "text", "MAP FILE MISSING", {"y"}), V{32 + 3 * 18});
  EXPECT_NE(FindOp(map, "text", "epsilon.map MISSING"), nullptr);
  EXPECT_NE(g.err.str().find("check frmMap.optEcho does nothing: the control is disabled"), std::string::npos)
      << g.err.str();
  // The custom map is now small.map, the first map file left.
  EXPECT_NE(FindOp(map, "text", "small.map"), nullptr);
}

TEST(WizardMapStep, FilePickerSetsOrUnsetsTheCustomMapAndScript) {
  WizardGame g;
  // Load Map, then the picker's list is clicked while it holds the user.
  EXPECT_EQ(g.Run(TO_MAP + "click frmMap 385 185\ndump open.json\nclick frmMap 555 310\nselect frmLoad.file1 2\n"
                           "dump m.json\n"),
            0);
  const Json open = g.Dump("open.json");
  EXPECT_EQ(open["visible"][0].s, "frmMap");
  EXPECT_EQ(open["visible"][1].s, "frmLoad");
  const Json& files = open["forms"]["frmLoad"]["controls"]["file1"]["items"];
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[2].s, "small.map");
  EXPECT_NE(g.err.str().find("click frmMap does nothing: the file picker is open"), std::string::npos);
  const Json after = g.Dump("m.json");
  EXPECT_EQ(after["visible"].size(), 1u);
  EXPECT_NE(FindOp(after["forms"]["frmMap"], "text", "small.map"), nullptr);
  EXPECT_NE(FindOp(after["forms"]["frmMap"], "text", "Planets: 12"), nullptr);
  EXPECT_EQ(g.s().map.defaultMapFile, g.dir.path() + "data\\small.map");

  // A picked file that no longer exists leaves the custom map unset; a picker closed
  // without a choice changes nothing.
  EXPECT_EQ(g.Run(TO_MAP + "check frmMap.optCustom 1\npick gone.map\nclick frmMap 385 185\ndump m.json\n"), 0);
  const Json gone = g.Dump("m.json")["forms"]["frmMap"];
  EXPECT_FALSE(gone["controls"]["optCustom"]["enabled"].b);
  EXPECT_FALSE(gone["controls"]["optCustom"]["checked"].b);
  EXPECT_EQ(FindOp(gone, "text", "Custom Map File:"), nullptr);
  EXPECT_NE(FindOp(gone, "disabledbutton", "Next"), nullptr);
  EXPECT_EQ(g.Run(TO_MAP + "pick\nclick frmMap 385 185\npick\nclick frmMap 535 185\ndump m.json\n"), 0);
  EXPECT_NE(FindOp(g.Dump("m.json")["forms"]["frmMap"], "text", "echo.map"), nullptr);
  EXPECT_EQ(g.s().paths.scriptPath, g.s().paths.scriptsDir + "game.vps");

  // Load Script: the script picked becomes the script; one that is gone clears it.
  g.dir.Write("scripts/other.vps", std::string("BEGIN RACES\r\nEND\r\n"));
  EXPECT_EQ(g.Run(TO_MAP + "pick other.vps\nclick frmMap 535 185\ndump m.json\n"), 0);
  EXPECT_NE(FindOp(g.Dump("m.json")["forms"]["frmMap"], "text", g.s().paths.scriptsDir + "other.vps"), nullptr);
  EXPECT_EQ(g.Run(TO_MAP + "pick none.vps\nclick frmMap 535 185\ndump m.json\n"), 0);
  EXPECT_FALSE(g.Dump("m.json")["forms"]["frmMap"]["controls"]["optScript"]["enabled"].b);
  // A file that ends with the picker open ends the program normally.
  EXPECT_EQ(g.Run(TO_MAP + "click frmMap 385 185\n"), 0);
}

TEST(WizardRaceStep, StartUpFillsTheListsWithoutAssigningARace) {
  WizardGame g;
  EXPECT_EQ(g.Run(TO_RACE + "dump r.json\n"), 0);
  const Json race = g.Dump("r.json")["forms"]["frmRace"];
  const Json& packs = race["controls"]["lstRacePacks"];
  ASSERT_EQ(packs["items"].size(), 3u);
  EXPECT_EQ(packs["items"][1].s, FixedText("Race 102", 44));
  EXPECT_EQ(packs["selected"].Int(), 0);
  const Json& slots = race["controls"]["lstAss"];
  ASSERT_EQ(slots["items"].size(), 30u);
  EXPECT_EQ(slots["selected"].Int(), 0);
  EXPECT_EQ(slots["items"][2].s, "Player  3 : ---Unassigned---");  // not a click: slot 1 has no race either
  EXPECT_EQ(slots["items"][0].s, "Player  1 : ---Unassigned---");
  EXPECT_EQ(slots["items"][12].s, "Player  13 : Not in game");
  EXPECT_EQ(race["controls"]["txtPlayers"]["text"].s, "12");
  EXPECT_EQ(CanvasTexts(race, "button"), (std::vector<std::string>{"Next", "Back", "Exit"}));
  // The name step's other default; the game name's reaches the slot records.
  EXPECT_EQ(g.Dump("r.json")["forms"]["frmName"]["controls"]["txtRSTName"]["text"].s, "player");
}

TEST(WizardRaceStep, TheNumberOfPlayersFromTheBox) {
  const struct {
    const char* keys;
    const char* text;
    int players;
  } cases[] = {
      {"text frmRace.txtPlayers\nkey frmRace.txtPlayers 52\nkey frmRace.txtPlayers 53\nkey frmRace.txtPlayers 13\n",
       "30", 30},
      {"text frmRace.txtPlayers\nkey frmRace.txtPlayers 49\nkey frmRace.txtPlayers 13\n", "2", 2},
      {"text frmRace.txtPlayers\nkey frmRace.txtPlayers 13\n", "2", 2},
      // Letters and Backspace are discarded; a fourth character empties the box first.
      {"key frmRace.txtPlayers 65\nkey frmRace.txtPlayers 8\nkey frmRace.txtPlayers 52\nkey frmRace.txtPlayers 55\n"
       "key frmRace.txtPlayers 13\n",
       "7", 7},
      {"text frmRace.txtPlayers  6.5xyz\npress frmRace.cmdEnter\n", "6", 6},  // rounded, ties to even
      {"text frmRace.txtPlayers 7.5\npress frmRace.cmdEnter\n", "8", 8},
      {"text frmRace.txtPlayers -4\npress frmRace.cmdEnter\n", "2", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    WizardGame g;
    EXPECT_EQ(g.Run(TO_RACE + c.keys + "dump r.json\n"), 0);
    const Json race = g.Dump("r.json")["forms"]["frmRace"];
    EXPECT_EQ(race["controls"]["txtPlayers"]["text"].s, c.text);
    EXPECT_EQ(g.s().tables.playerCount, c.players);
    const Json& slots = race["controls"]["lstAss"]["items"];
    EXPECT_EQ(slots[c.players - 1].s, "Player " + NumText(c.players) + " : ---Unassigned---");
    if (c.players < 30) {
      EXPECT_EQ(slots[c.players].s, "Player " + NumText(c.players + 1) + " : Not in game");
    }
  }
}

TEST(WizardRaceStep, RacesGoToTheClickedSlotsAndStayWhenTheNumberChanges) {
  WizardGame g;
  EXPECT_EQ(g.Run(TO_RACE +
                  "text frmRace.txtPlayers 4\npress frmRace.cmdEnter\n"
                  "select frmRace.lstRacePacks 2\nselect frmRace.lstAss 5\nselect frmRace.lstAss 0\n"
                  "dump four.json\ntext frmRace.txtPlayers 6\npress frmRace.cmdEnter\ndump six.json\n"),
            0);
  const Json four = g.Dump("four.json")["forms"]["frmRace"]["controls"]["lstAss"]["items"];
  EXPECT_EQ(four[5].s, "Player  6 : Not in game");
  EXPECT_EQ(four[0].s, "Player  1 : " + FixedText("Race 103", 44));
  const Json six = g.Dump("six.json")["forms"]["frmRace"]["controls"]["lstAss"]["items"];
  EXPECT_EQ(six[5].s, "Player  6 : " + FixedText("Race 103", 44));
  EXPECT_EQ(g.s().tables.playerRace[6], 3);

  // Without any race module there is nothing to assign.
  forge::GameFolderRecipe none = test::WizardGameFolder();
  none.races.clear();
  WizardGame n(none);
  EXPECT_EQ(n.Run(TO_RACE + "select frmRace.lstAss 1\nselect frmRace.lstRacePacks 0\ndump r.json\n"), 0);
  const Json race = n.Dump("r.json")["forms"]["frmRace"]["controls"];
  EXPECT_EQ(race["lstAss"]["items"][1].s, "Player  2 : ---Unassigned---");
  EXPECT_EQ(race["lstRacePacks"]["items"].size(), 0u);
  EXPECT_EQ(n.s().tables.playerRace[2], 0);
  EXPECT_NE(n.err.str().find("select frmRace.lstRacePacks does nothing: the list holds no such item"),
            std::string::npos);
}

TEST(WizardRaceStep, TheWarningBlinksUntilEveryPlayerHasARace) {
  WizardGame g;
  EXPECT_EQ(g.Run(TO_RACE +
                  "text frmRace.txtPlayers 2\npress frmRace.cmdEnter\nselect frmRace.lstAss 0\n"
                  "tick frmRace\ndump t1.json\ntick frmRace\ndump t2.json\n"
                  "click frmRace 255 8\ndump refused.json\n"
                  "select frmRace.lstAss 1\ndump assigned.json\ntick frmRace\ndump t3.json\ndraw frmRace strip.svg\n"),
            0);
  const Json t1 = g.Dump("t1.json")["forms"]["frmRace"];
  EXPECT_TRUE(t1["controls"]["lblWarn"]["shown"].b);
  EXPECT_EQ(t1["controls"]["lblWarn"]["color"].s, "#fa0000");
  EXPECT_EQ(t1["controls"]["lblWarn"]["text"].s, "Warning: You have players with no race assigned");
  const Json& ops = t1["canvas"];
  ASSERT_EQ(ops.size(), 5u);
  EXPECT_EQ(ops[3]["op"].s + " " + ops[4]["op"].s, "filledbox disabledbutton");
  EXPECT_EQ((V{ops[3]["x"].Int(), ops[3]["y2"].Int(), ops[3]["color"].Int()}), (V{250, 23, 0}));
  EXPECT_EQ(g.Dump("t2.json")["forms"]["frmRace"]["controls"]["lblWarn"]["color"].s, "#960000");
  EXPECT_EQ(g.Dump("refused.json")["visible"][0].s, "frmRace");
  // The warning stays until the next tick after the last assignment.
  EXPECT_TRUE(g.Dump("assigned.json")["forms"]["frmRace"]["controls"]["lblWarn"]["shown"].b);
  const Json t3 = g.Dump("t3.json")["forms"]["frmRace"];
  EXPECT_FALSE(t3["controls"]["lblWarn"]["shown"].b);
  const Json& last = t3["canvas"][t3["canvas"].size() - 1];
  EXPECT_EQ(last["op"].s + " " + last["text"].s, "button Next");
  EXPECT_NE(g.files["strip.svg"].find("width=\"380\" height=\"26\""), std::string::npos);
  // A hidden form's timer does nothing.
  EXPECT_EQ(g.Run(TO_MAP + "tick frmRace\ndump h.json\n"), 0);
  EXPECT_FALSE(g.Dump("h.json")["forms"]["frmRace"]["controls"]["lblWarn"]["shown"].b);
  EXPECT_NE(g.err.str().find("tick frmRace does nothing: the form is not shown"), std::string::npos);
}

// Back shows the step before; Exit ends the program at once, so nothing after it runs.
TEST(WizardMapAndRaceSteps, BackAndExit) {
  const struct {
    std::string to, back, before, exit;
  } cases[] = {
      {TO_MAP, "click frmMap 455 310", "frmUnivSlots", "click frmMap 355 310"},
      {TO_RACE, "click frmRace 155 8", "frmName", "click frmRace 55 8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.back);
    WizardGame g;
    EXPECT_EQ(g.Run(c.to + c.back + "\ndump back.json\n"), 0);
    const Json back = g.Dump("back.json");
    ASSERT_EQ(back["visible"].size(), 1u);
    EXPECT_EQ(back["visible"][0].s, c.before);
    EXPECT_EQ(g.Run(c.to + c.exit + "\ndump never.json\n"), 0);
    EXPECT_EQ(g.files.count("never.json"), 0u);
  }
}

}  // namespace
}  // namespace tarvik
