// Where every step draws its buttons and texts on its picture box, along the whole road
// of a standard build.
#include <gtest/gtest.h>

#include "wizard_game.h"

namespace tarvik {
namespace {

using test::Json;

struct Placed {
  const char* kind;  // a button kind, or "text"
  std::string caption;
  int x, y;  // y < 0: only x is fixed
};

// Whether the form writes the text at column x (and row y when it is fixed); a text may
// be written more than once.
bool TextAt(const Json& form, const Placed& p) {
  for (const Json& o : form["canvas"].a) {
    if (o["op"].s == "text" && o["text"].s == p.caption && o["x"].Int() == p.x && (p.y < 0 || o["y"].Int() == p.y)) {
      return true;
    }
  }
  return false;
}

TEST(WizardPictures, EveryStepDrawsItsButtonsAndTextsWhereTheyBelong) {
  test::WizardGame g(forge::SampleGame());
  ASSERT_EQ(g.Run("dump slots.json\nclick frmUnivSlots 5 10\ndump slot1.json\n"
                  "click frmUnivSlots 340 310\ncheck frmMap.optEcho 1\ndump map.json\nclick frmMap 555 310\n"
                  "dump name.json\nclick frmName 555 310\n"
                  "text frmRace.txtPlayers 2\npress frmRace.cmdEnter\ntick frmRace\ndump warned.json\n"
                  "select frmRace.lstAss 0\nselect frmRace.lstAss 1\nclick frmRace 255 8\ndump start.json\n"
                  "click frmStartPos 555 310\ndump home.json\nclick frmHome 555 310\ndump planet.json\n"),
            0);
  const std::vector<Placed> strip = {{"button", "Next", 550, 305}, {"button", "Back", 450, 305},
                                     {"button", "Exit", 350, 305}};
  std::vector<Placed> slots = {{"disabledbutton", "Clear Player", 185, 85},
                               {"disabledbutton", "Clear Host", 95, 85},
                               {"disabledbutton", "Next", 335, 305},
                               {"button", "Exit", 245, 305},
                               {"text", "Step 1:", 100, 122},
                               {"text", "You need to pick one of the 12 possible slots for the new game", 100, 140}};
  for (int i = 1; i <= 12; ++i) slots.push_back({"smallbutton", " " + std::to_string(i), 2, 7 + 28 * (i - 1)});
  std::vector<Placed> map = strip, start = strip, planet = strip;
  map.insert(map.end(), {{"button", "Load Script", 530, 180},
                         {"button", "Load Map", 380, 180},
                         {"text", "Custom Map File:", 380, 80},
                         {"text", "echo.map", 380, 100},
                         {"text", "Planets: 500", 380, 280}});
  start.insert(start.end(), {{"button", "Circle", 350, 10},
                             {"button", "Grid", 350, 35},
                             {"button", "Crazy", 350, 60},
                             {"button", "Spaced", 350, 85},
                             {"button", "Pick", 350, 110},
                             {"button", "Clear", 450, 110},
                             {"text", "Click on map to change size", 450, -1},
                             {"text", "Map divided into 30 boxes", 450, -1},
                             {"text", "Completely random", 450, -1},
                             {"text", "Spaced far from other races", 450, -1},
                             {"text", "Click on map to pick", 550, -1}});
  planet.push_back({"text", "Finish", 570, 288});
  const struct {
    const char* dump;
    const char* form;
    std::vector<Placed> placed;
  } pictures[] = {
      {"slots.json", "frmUnivSlots", slots},
      {"slot1.json",
       "frmUnivSlots",
       {{"smallbutton", " 1", 2, 7},
        {"button", "Next", 335, 305},
        {"button", "Exit", 245, 305},
        {"disabledbutton", "Clear Host", 95, 85},
        {"text", "Host Slot  1: READY", 100, 5},
        {"text", "Player Slot  1: READY", 100, 45},
        {"text", "Host And Player Slot  1 will be used", 100, 270},
        {"text", "for this new game universe", 100, 288},
        {"text", "Ready to continue. . .", 100, 305}}},
      {"map.json", "frmMap", map},
      {"name.json", "frmName", strip},
      {"warned.json",
       "frmRace",
       {{"disabledbutton", "Next", 250, 3}, {"button", "Back", 150, 3}, {"button", "Exit", 50, 3}}},
      {"start.json", "frmStartPos", start},
      {"home.json", "frmHome", strip},
      {"planet.json", "frmPlanet", planet},
  };
  for (const auto& pic : pictures) {
    SCOPED_TRACE(pic.dump);
    const Json form = g.Dump(pic.dump)["forms"][pic.form];
    for (const Placed& want : pic.placed) {
      if (std::string(want.kind) == "text") {
        EXPECT_TRUE(TextAt(form, want)) << "\"" << want.caption << "\" at " << want.x << ", " << want.y;
      } else {
        EXPECT_EQ(test::OpAt(form, want.kind, want.caption), (std::vector<int>{want.x, want.y})) << want.caption;
      }
    }
  }
}

}  // namespace
}  // namespace tarvik
