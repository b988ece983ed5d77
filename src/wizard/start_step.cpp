// The start-position step (frmStartPos): the map's preview with the players' start
// positions, and the five layouts.
#include "base/errors.h"
#include "base/text.h"
#include "generate/start_layouts.h"
#include "wizard/steps.h"
#include "wizard/wizard_session.h"

namespace tarvik {

namespace {

struct LayoutButton {
  const char* caption;
  int x, y;
  StartLayout layout;  // None for Clear
};
constexpr LayoutButton LAYOUT_BUTTONS[] = {
    {"Circle", 350, 10, StartLayout::Circle}, {"Grid", 350, 35, StartLayout::Grid},
    {"Crazy", 350, 60, StartLayout::Crazy},   {"Spaced", 350, 85, StartLayout::Spaced},
    {"Pick", 350, 110, StartLayout::Pick},    {"Clear", 450, 110, StartLayout::None},
};
constexpr const char* HINTS[] = {"Click on map to change size", "Map divided into 30 boxes", "Completely random",
                                  "Spaced far from other races", "Click on map to pick"};
constexpr int HINT_X = 450;
constexpr int PICK_HINT_X = 550;
// Clicks on the preview: X and Y below 320.
constexpr int PREVIEW_LIMIT = 320;

int Players(const WizardSession& s) { return s.tables.playerCount; }

bool OnPreview(int x, int y) { return x < PREVIEW_LIMIT && y < PREVIEW_LIMIT; }

void DrawMarkers(WizardSession& s, Canvas& c) {
  const StartLayouts& l = s.layouts;
  const PositionTable* table = ChosenPositions(l);
  if (!table) return;
  const bool pick = l.startLayout == StartLayout::Pick;
  for (int i = 1; i <= Players(s) && i <= MAX_PLAYERS; ++i) {
    const MapPosition& p = (*table)[i];
    if (pick && p.x == 0) continue;
    const int sx = ToScreenX(l, s.map, p.x), sy = ToScreenY(l, s.map, p.y);
    c.DrawFilledBox(sx, sy, sx + (pick ? 16 : 8), sy + 11, colors::YELLOW);
    c.SetTextColor(colors::LIGHT_RED);
    c.DrawText(pick ? std::to_string(i) : "?", sx, sy);
  }
  if (l.startLayout == StartLayout::Circle) {
    c.DrawCircle(l.preview.centreSX, l.preview.centreSY, static_cast<double>(s.map.circleRadius * l.preview.scale),
                 colors::LIGHT_RED);
  }
}

}  // namespace

void DrawStartStep(WizardSession& s) {
  StartLayouts& l = s.layouts;
  Canvas& c = s.wizard.forms[FormId::StartPos].canvas();
  c.Clear();
  DrawStepButtons(c, !(l.startLayout == StartLayout::Pick && !PicksComplete(l, Players(s))));
  const int planets = std::min(s.map.planetCount, MAP_PREVIEW_MAX);
  for (int p = 1; p <= planets; ++p) c.DrawPoint(l.preview.SX[p], l.preview.SY[p], colors::WHITE);
  if (l.startLayout == StartLayout::None) l.startLayout = StartLayout::Circle;
  for (size_t b = 0; b < std::size(LAYOUT_BUTTONS); ++b) {
    const LayoutButton& button = LAYOUT_BUTTONS[b];
    c.DrawButton(button.caption, button.x, button.y, button.layout == l.startLayout);
    if (b == 5) continue;  // Clear shares the hint of Pick
    c.SetTextColor(colors::BRIGHT_GREEN);
    c.DrawText(HINTS[b], button.layout == StartLayout::Pick ? PICK_HINT_X : HINT_X, button.y + CAPTION_DY);
  }
  DrawMarkers(s, c);
}

void EnterStartStep(WizardSession& s) {
  HideForm(s.wizard, FormId::Race);
  ShowFormAt(s.wizard, FormId::StartPos, FormId::Race);
  LoadMapPreview(s.layouts, s.map, s.map.chosenMapFile);
  PlaceCircle(s.layouts, s.map, Players(s), s.random, *s.clock);
  DrawStartStep(s);
}

void StartStepClick(WizardSession& s, int x, int y) {
  WizardState& w = s.wizard;
  StartLayouts& l = s.layouts;
  const int players = Players(s);
  if (PointInButton(x, y, BACK_X, STRIP_Y)) {
    HideForm(w, FormId::StartPos);
    ShowFormAt(w, FormId::Race, FormId::StartPos);
  }
  if (PointInButton(x, y, EXIT_X, STRIP_Y)) throw ProgramEnd{0};
  if (PointInButton(x, y, NEXT_X, STRIP_Y) && l.startLayout != StartLayout::None &&
      !(l.startLayout == StartLayout::Pick && !PicksComplete(l, players))) {
    EnterHomeStep(s);
  }
  if (l.startLayout == StartLayout::Circle && OnPreview(x, y)) {
    SetCircleRadius(l, s.map, players, s.random, *s.clock, x, y);
    DrawStartStep(s);
  }
  for (const LayoutButton& b : LAYOUT_BUTTONS) {
    if (!PointInButton(x, y, b.x, b.y)) continue;
    if (b.layout == StartLayout::None) {  // Clear
      l.startLayout = StartLayout::Pick;
      ClearPicks(l);
    } else {
      ChooseLayout(l, b.layout, s.map, players, s.random, *s.clock);
    }
    DrawStartStep(s);
  }
  if (l.startLayout == StartLayout::Pick && OnPreview(x, y)) {
    AddPick(l, players, x, y);
    DrawStartStep(s);
  }
}

}  // namespace tarvik
