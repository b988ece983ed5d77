// The pictures of every step, as "draw" writes them: each button's caption sits at
// (x + 15, y + 4) of its button (x + 8 for the small slot buttons), and the buttons and
// texts stand where the steps put them.
#include <gtest/gtest.h>

#include <regex>

#include "wizard_game.h"

namespace tarvik {
namespace {

struct Picture {
  struct Button {
    std::string kind, caption;
    int x, y, captionX, captionY;
  };
  struct Text {
    std::string text;
    int x, y;
  };
  int width = 0, height = 0;
  std::vector<Button> buttons;
  std::vector<Text> texts;

  static Picture Parse(const std::string& svg) {
    Picture p;
    std::smatch m;
    const std::regex size("<svg [^>]*width=\"(\\d+)\" height=\"(\\d+)\"");
    if (std::regex_search(svg, m, size)) {
      p.width = std::stoi(m[1]);
      p.height = std::stoi(m[2]);
    }
    const std::regex button(
        "<g class=\"(\\w+)\"><rect x=\"(-?\\d+)\" y=\"(-?\\d+)\"[^>]*/>(?:<rect [^>]*/>)*"
        "<text x=\"(-?\\d+)\" y=\"(-?\\d+)\"[^>]*>([^<]*)</text></g>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), button); it != std::sregex_iterator(); ++it) {
      const std::smatch& b = *it;
      p.buttons.push_back({b[1], b[6], std::stoi(b[2]), std::stoi(b[3]), std::stoi(b[4]), std::stoi(b[5])});
    }
    const std::regex text("\n<text x=\"(-?\\d+)\" y=\"(-?\\d+)\"[^>]*>([^<]*)</text>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), text); it != std::sregex_iterator(); ++it) {
      p.texts.push_back({(*it)[3], std::stoi((*it)[1]), std::stoi((*it)[2])});
    }
    return p;
  }

  const Button* FindButton(const std::string& kind, const std::string& caption) const {
    for (const Button& b : buttons) {
      if (b.kind == kind && b.caption == caption) return &b;
    }
    return nullptr;
  }
  // The text at column x, else the first of that text.
  const Text* FindText(const std::string& t, int x) const {
    const Text* first = nullptr;
    for (const Text& candidate : texts) {
      if (candidate.text != t) continue;
      if (candidate.x == x) return &candidate;
      if (!first) first = &candidate;
    }
    return first;
  }
};

struct Placed {
  const char* kind;  // a button kind, or "text"
  const char* caption;
  int x, y;  // y < 0: only x is fixed
};

TEST(WizardPictures, EveryStepDrawsItsButtonsAndTextsWhereTheyBelong) {
  test::WizardGame g(forge::SampleGame());
  ASSERT_EQ(g.Run("draw frmUnivSlots slots.svg\nclick frmUnivSlots 5 10\ndraw frmUnivSlots slot1.svg\n"
                  "click frmUnivSlots 340 310\ncheck frmMap.optEcho 1\ndraw frmMap map.svg\nclick frmMap 555 310\n"
                  "draw frmName name.svg\nclick frmName 555 310\n"
                  "text frmRace.txtPlayers 2\npress frmRace.cmdEnter\ntick frmRace\ndraw frmRace warned.svg\n"
                  "select frmRace.lstAss 0\nselect frmRace.lstAss 1\nclick frmRace 255 8\ndraw frmStartPos start.svg\n"
                  "click frmStartPos 555 310\ndraw frmHome home.svg\nclick frmHome 555 310\ndraw frmPlanet planet.svg\n"),
            0);
  const std::vector<Placed> strip = {{"button", "Next", 550, 305}, {"button", "Back", 450, 305},
                                     {"button", "Exit", 350, 305}};
  std::vector<Placed> slots = {{"disabledbutton", "Clear Player", 185, 85},
                               {"disabledbutton", "Clear Host", 95, 85},
                               {"disabledbutton", "Next", 335, 305},
                               {"button", "Exit", 245, 305},
                               {"text", "Step 1:", 100, 122},
                               {"text", "You need to pick one of the 12 possible slots for the new game", 100, 140}};
  static const char* const SLOT_CAPTIONS[] = {" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", " 10", " 11", " 12"};
  for (int i = 1; i <= 12; ++i) slots.push_back({"smallbutton", SLOT_CAPTIONS[i - 1], 2, 7 + 28 * (i - 1)});
  std::vector<Placed> start = strip;
  for (const Placed& p : std::vector<Placed>{{"button", "Circle", 350, 10},
                                             {"button", "Grid", 350, 35},
                                             {"button", "Crazy", 350, 60},
                                             {"button", "Spaced", 350, 85},
                                             {"button", "Pick", 350, 110},
                                             {"button", "Clear", 450, 110},
                                             {"text", "Click on map to change size", 450, -1},
                                             {"text", "Map divided into 30 boxes", 450, -1},
                                             {"text", "Completely random", 450, -1},
                                             {"text", "Spaced far from other races", 450, -1},
                                             {"text", "Click on map to pick", 550, -1}}) {
    start.push_back(p);
  }
  std::vector<Placed> planet = strip;
  planet.push_back({"text", "Finish", 570, 288});
  const struct {
    const char* file;
    int width, height;
    std::vector<Placed> placed;
  } pictures[] = {
      {"slots.svg", 680, 332, slots},
      {"slot1.svg",
       680,
       332,
       {{"smallbutton", " 1", 2, 7},
        {"button", "Next", 335, 305},
        {"button", "Exit", 245, 305},
        {"disabledbutton", "Clear Host", 95, 85},
        {"text", "Host Slot  1: READY", 100, 5},
        {"text", "Player Slot  1: READY", 100, 45},
        {"text", "Host And Player Slot  1 will be used", 100, 270},
        {"text", "for this new game universe", 100, 288},
        {"text", "Ready to continue. . .", 100, 305}}},
      {"map.svg",
       680,
       332,
       {{"button", "Next", 550, 305},
        {"button", "Back", 450, 305},
        {"button", "Exit", 350, 305},
        {"button", "Load Script", 530, 180},
        {"button", "Load Map", 380, 180},
        {"text", "Custom Map File:", 380, 80},
        {"text", "echo.map", 380, 100},
        {"text", "Planets: 500", 380, 280}}},
      {"name.svg", 680, 332, strip},
      {"warned.svg",
       380,
       26,
       {{"disabledbutton", "Next", 250, 3}, {"button", "Back", 150, 3}, {"button", "Exit", 50, 3}}},
      {"start.svg", 680, 332, start},
      {"home.svg", 680, 332, strip},
      {"planet.svg", 680, 332, planet},
  };
  for (const auto& pic : pictures) {
    SCOPED_TRACE(pic.file);
    ASSERT_EQ(g.files.count(pic.file), 1u);
    const Picture p = Picture::Parse(g.files[pic.file]);
    EXPECT_EQ(p.width, pic.width);
    EXPECT_EQ(p.height, pic.height);
    ASSERT_FALSE(p.buttons.empty());
    for (const Picture::Button& b : p.buttons) {
      EXPECT_EQ(b.captionX, b.x + (b.kind == "smallbutton" ? 8 : 15)) << b.caption;
      EXPECT_EQ(b.captionY, b.y + 4) << b.caption;
    }
    for (const Placed& want : pic.placed) {
      SCOPED_TRACE(want.caption);
      if (std::string(want.kind) == "text") {
        const Picture::Text* t = p.FindText(want.caption, want.x);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->x, want.x);
        if (want.y >= 0) {
          EXPECT_EQ(t->y, want.y);
        }
      } else {
        const Picture::Button* b = p.FindButton(want.kind, want.caption);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->x, want.x);
        EXPECT_EQ(b->y, want.y);
      }
    }
  }
}

}  // namespace
}  // namespace tarvik
