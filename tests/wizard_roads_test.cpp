// The start-position, home and planet steps and the two builds of the wizard, driven by
// replay files against the forged sample game: the layouts on the preview, the choices
// kept across Back and Next, Finish and the output window, the script road, Done during
// a build, a failing build, and a wizard session agreeing with --generate.
#include <gtest/gtest.h>

#include <cmath>

#include "base/text.h"
#include "generation_game.h"
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

// Slot 1, the echo map, four players of the first four races, to the start step.
const std::string TO_START = std::string(test::TO_MAP_STEP) +
                             "check frmMap.optEcho 1\nclick frmMap 555 310\nclick frmName 555 310\n"
                             "text frmRace.txtPlayers 4\npress frmRace.cmdEnter\n"
                             "select frmRace.lstRacePacks 0\nselect frmRace.lstAss 0\n"
                             "select frmRace.lstRacePacks 1\nselect frmRace.lstAss 1\n"
                             "select frmRace.lstRacePacks 2\nselect frmRace.lstAss 2\n"
                             "select frmRace.lstRacePacks 3\nselect frmRace.lstAss 3\n"
                             "click frmRace 255 8\n";
const std::string TO_HOME = TO_START + "click frmStartPos 555 310\n";
const std::string TO_PLANET = TO_HOME + "click frmHome 555 310\n";
const std::string FINISH = "click frmPlanet 555 310\n";

struct SampleWizard : WizardGame {
  SampleWizard() : WizardGame(forge::SampleGame()) {}
};

std::vector<const Json*> Ops(const Json& form, const std::string& op) {
  std::vector<const Json*> out;
  for (const Json& o : form["canvas"].a) {
    if (o["op"].s == op) out.push_back(&o);
  }
  return out;
}

TEST(WizardStartStep, ThePreviewTheCircleAndItsMarkers) {
  SampleWizard g;
  EXPECT_EQ(g.Run(TO_START + "dump start.json\n"), 0);
  const Json dump = g.Dump("start.json");
  ASSERT_EQ(dump["visible"].size(), 1u);
  EXPECT_EQ(dump["visible"][0].s, "frmStartPos");
  const Json start = dump["forms"]["frmStartPos"];
  const std::vector<const Json*> points = Ops(start, "point");
  ASSERT_EQ(points.size(), 500u);
  const StartLayouts& l = g.s().layouts;
  for (int p : {1, 250, 500}) {
    const Json& point = *points[p - 1];
    EXPECT_EQ((V{point["x"].Int(), point["y"].Int(), point["color"].Int()}), (V{l.preview.SX[p], l.preview.SY[p], 15}));
  }
  EXPECT_EQ(OpAt(start, "button", "Circle", {"highlighted"}), V{1});
  EXPECT_EQ(OpAt(start, "button", "Grid", {"highlighted"}), V{0});
  EXPECT_NE(FindOp(start, "button", "Next"), nullptr);
  // Where the buttons and hints stand is the pictures' test; here their colour.
  for (const char* hint : {"Click on map to change size", "Map divided into 30 boxes", "Completely random",
                           "Spaced far from other races", "Click on map to pick"}) {
    EXPECT_EQ(OpAt(start, "text", hint, {"color"}), V{10}) << hint;
  }
  // Four yellow boxes 8 by 11 with a light red "?" at each player's position.
  const std::vector<const Json*> boxes = Ops(start, "filledbox");
  ASSERT_EQ(boxes.size(), 4u);
  for (int i = 1; i <= 4; ++i) {
    const Json& b = *boxes[i - 1];
    const int x = ToScreenX(l, g.s().map, l.circlePositions[i].x), y = ToScreenY(l, g.s().map, l.circlePositions[i].y);
    EXPECT_EQ((V{b["x"].Int(), b["y"].Int(), b["x2"].Int(), b["y2"].Int(), b["color"].Int()}),
              (V{x, y, x + 8, y + 11, 14}));
  }
  EXPECT_EQ(CanvasTexts(start, "text").back(), "?");
  const std::vector<const Json*> circle = Ops(start, "circle");
  ASSERT_EQ(circle.size(), 1u);
  EXPECT_EQ((*circle[0])["r"].n, 150);  // 1000 map units at 0.15 pixels each
  EXPECT_EQ((V{(*circle[0])["x"].Int(), (*circle[0])["color"].Int()}), (V{150, 12}));
}

TEST(WizardStartStep, LayoutsAndClicksOnThePreview) {
  SampleWizard g;
  EXPECT_EQ(g.Run(TO_START + "click frmStartPos 150 60\ndump radius.json\n"
                             "click frmStartPos 355 40\ndump grid.json\nclick frmStartPos 100 100\ndump grid2.json\n"
                             "click frmStartPos 355 65\ndump crazy.json\nclick frmStartPos 100 100\ndump crazy2.json\n"
                             "click frmStartPos 355 90\nclick frmStartPos 100 100\ndump spaced.json\n"),
            0);
  // A click on the preview in the Circle layout: the radius from the distance to the
  // map centre's pixel (150, 150).
  EXPECT_EQ(g.s().map.circleRadius, 600);
  const Json radius = g.Dump("radius.json")["forms"]["frmStartPos"];
  EXPECT_EQ((*Ops(radius, "circle")[0])["r"].n, 90);
  const Json grid = g.Dump("grid.json")["forms"]["frmStartPos"];
  EXPECT_EQ(OpAt(grid, "button", "Grid", {"highlighted"}), V{1});
  EXPECT_EQ(Ops(grid, "circle").size(), 0u);
  // In the Grid, Crazy and Spaced layouts a click on the preview changes nothing.
  EXPECT_EQ(g.files["grid.json"], g.files["grid2.json"]);
  EXPECT_EQ(g.files["crazy.json"], g.files["crazy2.json"]);
  EXPECT_EQ(OpAt(g.Dump("spaced.json")["forms"]["frmStartPos"], "button", "Spaced", {"highlighted"}), V{1});
  EXPECT_EQ(g.s().layouts.startLayout, StartLayout::Spaced);
}

TEST(WizardStartStep, PickNeedsAPositionForEveryPlayer) {
  SampleWizard g;
  EXPECT_EQ(g.Run(TO_START + "click frmStartPos 355 115\nclick frmStartPos 10 20\nclick frmStartPos 50 60\n"
                             "click frmStartPos 90 100\nclick frmStartPos 555 310\ndump three.json\n"
                             "click frmStartPos 130 140\ndump four.json\n"
                             "click frmStartPos 455 115\ndump cleared.json\nclick frmStartPos 555 310\n"
                             "click frmStartPos 355 15\nclick frmStartPos 555 310\ndump home.json\n"),
            0);
  const Json three = g.Dump("three.json");
  EXPECT_EQ(three["visible"][0].s, "frmStartPos");  // Next refused
  const Json pick = three["forms"]["frmStartPos"];
  EXPECT_NE(FindOp(pick, "disabledbutton", "Next"), nullptr);
  EXPECT_EQ(CanvasTexts(pick, "text").back(), "3");
  const std::vector<const Json*> boxes = Ops(pick, "filledbox");
  ASSERT_EQ(boxes.size(), 3u);  // only the players with a pick
  EXPECT_EQ((V{(*boxes[1])["x2"].Int() - (*boxes[1])["x"].Int(), (*boxes[1])["y2"].Int() - (*boxes[1])["y"].Int()}),
            (V{16, 11}));
  const Json four = g.Dump("four.json")["forms"]["frmStartPos"];
  EXPECT_NE(FindOp(four, "button", "Next"), nullptr);
  EXPECT_EQ(OpAt(four, "button", "Pick", {"highlighted"}), V{1});
  const Json cleared = g.Dump("cleared.json")["forms"]["frmStartPos"];
  EXPECT_EQ(Ops(cleared, "filledbox").size(), 0u);
  EXPECT_NE(FindOp(cleared, "disabledbutton", "Next"), nullptr);
  // Back to Circle, Next goes on to the home step.
  EXPECT_EQ(g.Dump("home.json")["visible"][0].s, "frmHome");
}

TEST(WizardHomeSteps, DefaultsOnTheFirstVisitAndChoicesKeptAcrossBackAndNext) {
  SampleWizard g;
  EXPECT_EQ(g.Run(TO_HOME + "dump home.json\nselect frmHome.cmbCargo 5\ncheck frmHome.chkShips 0\n"
                            "click frmHome 555 310\ndump planet.json\nselect frmPlanet.cmbContra 4\n"
                            "click frmPlanet 455 310\nclick frmHome 455 310\ndump start.json\n"
                            "click frmStartPos 555 310\nclick frmHome 555 310\ndump again.json\n"),
            0);
  const Json home = g.Dump("home.json")["forms"]["frmHome"];
  const std::map<std::string, std::string> defaults = {{"cmbMinerals", "Average"}, {"cmbNatives", "None"},
                                                       {"cmbCash", "4000"},      {"cmbPop", "300000"},
                                                       {"cmbCargo", "Above Average"}};
  for (const auto& [control, text] : defaults) EXPECT_EQ(home["controls"][control]["text"].s, text) << control;
  EXPECT_TRUE(home["controls"]["chkShips"]["checked"].b);
  EXPECT_FALSE(home["controls"]["chkExtra"]["checked"].b);

  const Json planet = g.Dump("planet.json")["forms"]["frmPlanet"];
  const Json& c = planet["controls"];
  EXPECT_EQ((V{c["cmbMinerals"]["selected"].Int(), c["cmbNatives"]["selected"].Int(), c["cmbContra"]["selected"].Int(),
               c["cmbCargo"]["selected"].Int()}),
            (V{3, 2, 1, 2}));
  EXPECT_EQ(OpAt(planet, "text", "Finish", {"color"}), V{10});

  // Back twice keeps the start step as it was left; Next twice keeps every choice.
  EXPECT_EQ(g.Dump("start.json")["visible"][0].s, "frmStartPos");
  EXPECT_EQ(g.Dump("start.json")["forms"]["frmStartPos"]["canvas"].size(),
            g.Dump("home.json")["forms"]["frmStartPos"]["canvas"].size());
  const Json again = g.Dump("again.json")["forms"];
  EXPECT_EQ(again["frmHome"]["controls"]["cmbCargo"]["text"].s, "Extra Abundent");
  EXPECT_FALSE(again["frmHome"]["controls"]["chkShips"]["checked"].b);
  EXPECT_EQ(again["frmPlanet"]["controls"]["cmbContra"]["selected"].Int(), 4);
}

TEST(WizardHomeSteps, FinishReadsTheListsAndTypedTextsReadAsNone) {
  SampleWizard g;
  EXPECT_EQ(g.Run(TO_PLANET + "text frmPlanet.cmbNatives Average\nselect frmPlanet.cmbMinerals 0\n"
                              "click frmPlanet 455 310\nselect frmHome.cmbCargo 5\ntext frmHome.cmbCash 4000\n"
                              "key frmHome.cmbPop 49\ncheck frmHome.chkExtra 1\nclick frmHome 555 310\n" +
                              FINISH),
            0);
  const HomeSettings& h = g.s().home;
  // A typed cash amount has no entry (2000), nor has a population changed by a key
  // (200000); natives typed read as none (-1) even though the text is an entry.
  EXPECT_EQ((V{h.homeCargo, h.homeCash, h.homePopulation, h.homeMineral, h.extraFreighters, h.standardShips, h.native,
               h.mineral, h.contraband}),
            (V{5, 2000, 200000, 2, 1, 1, -1, 0, 1}));
}

TEST(WizardBuilds, FinishBuildsTheStandardUniverseIntoTheSlot) {
  SampleWizard g;
  EXPECT_EQ(g.Run(TO_PLANET + FINISH + "dump built.json\ntick frmOUTTEXT\ndone\ndump never.json\n"), 0);
  const Json built = g.Dump("built.json");
  ASSERT_EQ(built["visible"].size(), 1u);
  EXPECT_EQ(built["visible"][0].s, "frmOUTTEXT");
  const Json out = built["forms"]["frmOUTTEXT"];
  EXPECT_EQ(out["controls"]["lblGameFile"]["text"].s, SlotUniversePath(g.dir.path(), 1));
  // The run logs its total time after "LOAD": the window shows the last 20 lines again.
  const std::string shown = out["controls"]["txtOUT"]["text"].s;
  EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 20);
  EXPECT_EQ(shown.substr(shown.size() - 30), "Done\r\nTotal Run Time:  0 Sec\r\n");
  EXPECT_EQ(g.files.count("never.json"), 0u);  // Done after the build ends the program

  EXPECT_EQ(ReadWholeFile(SlotMarkerPath(g.dir.path(), 1)), (std::vector<uint8_t>{13, 0, 0, 0}));
  GameRecord host;
  ReadRecordFile(GameRecordPath(g.dir.path(), 1), host);
  EXPECT_EQ(host.Get("inUse"), 1);
  EXPECT_EQ(host.Text("gameName"), FixedText("Alpha Game", 44));
  EXPECT_EQ(forge::ReadPlayerRaces(SlotUniversePath(g.dir.path(), 1))[4], g.s().packs.raceList[4].raceId);
}

TEST(WizardBuilds, DoneClickedDuringTheBuildEndsTheProgramWhenTheBuildIsOver) {
  SampleWizard g;
  EXPECT_EQ(g.Run(TO_PLANET + FINISH + "defer dump during.json\ndefer done\ndefer dump late.json\n"
                                        "dump never.json\n"),
            0);
  const Json during = g.Dump("during.json");
  EXPECT_EQ(during["visible"][0].s, "frmOUTTEXT");
  EXPECT_EQ(during["forms"]["frmOUTTEXT"]["controls"]["txtOUT"]["text"].s.find("Starting to make universe file"),
            0u);
  // Done hid the window; the build went on and then ended the program.
  const Json late = g.Dump("late.json");
  EXPECT_EQ(late["visible"].size(), 0u);
  EXPECT_EQ(g.files.count("never.json"), 0u);
  EXPECT_TRUE(g.s().log.doneClicked);
  GameRecord host;
  ReadRecordFile(GameRecordPath(g.dir.path(), 1), host);
  EXPECT_EQ(host.Get("inUse"), 1);
}

TEST(WizardBuilds, TheScriptRoadBuildsAtOnceWithoutTheRaceStep) {
  WizardGame g;
  EXPECT_EQ(g.Run("click frmUnivSlots 5 40\nclick frmUnivSlots 340 310\ncheck frmMap.optScript 1\n"
                  "click frmMap 555 310\ntext frmName.txtGameName Scripted\nclick frmName 555 310\n"
                  "defer dump during.json\ndump built.json\n"),
            0);
  const Json during = g.Dump("during.json");
  ASSERT_EQ(during["visible"].size(), 1u);
  EXPECT_EQ(during["visible"][0].s, "frmOUTTEXT");
  const Json built = g.Dump("built.json");
  EXPECT_FALSE(built["forms"]["frmRace"]["shown"].b);
  EXPECT_FALSE(built["forms"].Has("frmStartPos"));
  const std::vector<forge::StoredObject> objects = forge::ReadObjects(SlotUniversePath(g.dir.path(), 2));
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0].kind, 1);
  EXPECT_EQ(ReadWholeFile(SlotMarkerPath(g.dir.path(), 2)), (std::vector<uint8_t>{13, 0, 0, 0}));
  SlotRecord player;
  ReadRecordFile(SlotRecordPath(g.dir.path(), 2), player);
  EXPECT_EQ(player.Get("inUse"), 1);
  EXPECT_EQ(player.Text("gameName"), FixedText("Scripted", 44));
  // The scripted build's START defaults, which the script did not change.
  EXPECT_EQ(g.s().home.homeCash, 2000);
  EXPECT_FALSE(g.s().home.standardShips);
}

TEST(WizardBuilds, AFailingBuildShowsBuildErrorAndLeavesTheSlotFree) {
  WizardGame g;
  DeleteFileAt(g.dir.path() + "data/main.dat");
  EXPECT_EQ(g.Run("click frmUnivSlots 5 40\nclick frmUnivSlots 340 310\ncheck frmMap.optScript 1\n"
                  "click frmMap 555 310\nclick frmName 555 310\ndump never.json\n"),
            1);
  ASSERT_FALSE(g.driver->messages().empty());
  EXPECT_EQ(g.driver->messages().back().title, "ERROR!");
  EXPECT_EQ(g.driver->messages().back().text.rfind("Build Error: ", 0), 0u) << g.driver->messages().back().text;
  EXPECT_FALSE(FileExists(SlotUniversePath(g.dir.path(), 2)));
  EXPECT_FALSE(FileExists(SlotMarkerPath(g.dir.path(), 2)));
  EXPECT_FALSE(FileExists(GameRecordPath(g.dir.path(), 2)) &&
               [&] {
                 GameRecord r;
                 ReadRecordFile(GameRecordPath(g.dir.path(), 2), r);
                 return r.Get("inUse") == 1;
               }());
  EXPECT_EQ(g.files.count("never.json"), 0u);
}

TEST(WizardBuilds, TheEpsilonMapIsShownWith688PlanetsAndSetWith687) {
  WizardGame g;
  EXPECT_EQ(g.Run(std::string(test::TO_MAP_STEP) + "check frmMap.optZeta 1\nclick frmMap 555 310\n"
                                                  "click frmName 555 310\ndump race.json\n"),
            0);
  EXPECT_EQ(g.Dump("race.json")["visible"][0].s, "frmRace");
  EXPECT_EQ(g.s().map.planetCount, 687);
  EXPECT_EQ(g.s().tables.mapKindCode, 5);
  EXPECT_NE(g.s().map.chosenMapFile.find("epsilon.map"), std::string::npos);
}

TEST(WizardBuilds, AWizardSessionAndGenerateWithTheSameSeedBuildTheSameObjects) {
  SampleWizard g;
  EXPECT_EQ(g.Run(TO_START + "click frmStartPos 150 60\nclick frmStartPos 355 40\nclick frmStartPos 555 310\n"
                             "select frmHome.cmbCash 4\ncheck frmHome.chkExtra 1\nclick frmHome 555 310\n"
                             "select frmPlanet.cmbNatives 3\n" +
                      FINISH,
                  9),
            0);
  std::string races;
  for (int p = 1; p <= 4; ++p) {
    races += (p > 1 ? "," : "") + std::to_string(g.s().packs.raceList[g.s().tables.playerRace[p]].raceId);
  }
  test::GenerationGame gen;
  gen.s.random.SetFixedSeed(9);
  EXPECT_EQ(gen.Generate(1, {"--races", races, "--radius", std::to_string(g.s().map.circleRadius), "--layout", "grid",
                             "--home-cash", "10000", "--extra-freighters", "1", "--natives", "3"}),
            0);
  const std::vector<forge::StoredObject> wizard = forge::ReadObjects(SlotUniversePath(g.dir.path(), 1));
  const std::vector<forge::StoredObject> generated = gen.Objects(1);
  ASSERT_EQ(wizard.size(), generated.size());
  ASSERT_GT(wizard.size(), 500u);
  for (size_t i = 0; i < wizard.size(); ++i) {
    EXPECT_EQ(wizard[i].kind, generated[i].kind) << i;
    EXPECT_EQ(wizard[i].owner, generated[i].owner) << i;
    EXPECT_TRUE(wizard[i].record.bytes() == generated[i].record.bytes()) << "object " << i;
  }
}

}  // namespace
}  // namespace tarvik
