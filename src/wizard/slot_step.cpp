// The slot step (frmUnivSlots): one of the 12 host and player slots for the new game,
// what a slot in use holds, and clearing its host or player side.
#include <functional>

#include "base/errors.h"
#include "base/text.h"
#include "packs/map_files.h"
#include "platform/files.h"
#include "universe/slot_records.h"
#include "wizard/steps.h"
#include "wizard/wizard_session.h"

namespace tarvik {

namespace {

constexpr int SLOT_BUTTON_X = 2;
constexpr int HOST_LAMP_X = 47;
constexpr int PLAYER_LAMP_X = 67;
constexpr int CLEAR_HOST_X = 95;
constexpr int CLEAR_PLAYER_X = 185;
constexpr int CLEAR_Y = 85;
constexpr int SLOT_EXIT_X = 245;
constexpr int SLOT_NEXT_X = 335;
constexpr int SLOT_BUTTONS_Y = 305;
constexpr int TEXT_X = 100;

int SlotRowY(int i) { return 7 + 28 * (i - 1); }

// "Stellarvane Tarvik Version 4.000.0" followed by the program's revision number: the
// last number of its version.
std::string SlotStepCaption() {
  const std::string version = TARVIK_VERSION;
  return "Stellarvane Tarvik Version 4.000.0" + version.substr(version.find_last_of('.') + 1);
}

bool InUse(const Record& r) { return r.Get("inUse") == 1; }

// The four lines of what a slot side holds, inside a bright green frame.
void DrawSlotData(Canvas& c, const Record& r, const std::string& heading, int frameTop, int frameBottom) {
  c.DrawBox(95, frameTop, 430, frameBottom, colors::BRIGHT_GREEN);
  c.SetTextColor(colors::BRIGHT_GREEN);
  const int y = frameTop + 2;
  c.DrawText(heading + "   Slot Name: " + r.Text("slotName"), TEXT_X, y);
  c.DrawText("Game ID: " + NumText(r.Get("gameId")) + "   Game Name: " + r.Text("gameName"), TEXT_X, y + 18);
  c.DrawText("Host Name: " + r.Text("hostName") + "   Last Turn: " + NumText(r.Get("lastTurn")), TEXT_X, y + 36);
  c.DrawText("Time Stamp: " + r.Text("timeStamp"), TEXT_X, y + 54);
}

// A side in use: the warning, its Clear button and its data. A free side: READY.
void DrawSlotSide(Canvas& c, const Record& r, const std::string& side, int n, int textY, int clearX,
                  const std::string& clearCaption, const std::string& heading, int frameTop, int frameBottom) {
  if (InUse(r)) {
    c.SetTextColor(colors::WARNING_TEXT);
    c.DrawText(side + NumText(n) + " is in use you must clear it before you can", TEXT_X, textY);
    c.DrawText("make a new universe in this slot", TEXT_X, textY + 18);
    c.DrawButton(clearCaption, clearX, CLEAR_Y, false);
    DrawSlotData(c, r, heading, frameTop, frameBottom);
  } else {
    c.SetTextColor(colors::BRIGHT_GREEN);
    c.DrawText(side + NumText(n) + ": READY", TEXT_X, textY);
    c.DrawDisabledButton(clearCaption, clearX, CLEAR_Y, false);
  }
}

}  // namespace

void OpenSlotStep(WizardSession& s) {
  s.wizard.opened = true;
  s.wizard.customMapSet = !s.map.defaultMapFile.empty();
  ShowForm(s.wizard, FormId::UnivSlots);
}

void FillSlotLabels(WizardSession& s) {
  Form& f = s.wizard.forms[FormId::UnivSlots];
  for (int n = 1; n <= HOST_SLOTS; ++n) {
    const GameRecord& r = s.slots.gameRecords[n];
    f.control("lblGame(" + std::to_string(n) + ")").text = InUse(r) ? r.Text("slotName") : "(Empty)";
  }
}

void DrawSlotStep(WizardSession& s) {
  Form& f = s.wizard.forms[FormId::UnivSlots];
  Canvas& c = f.canvas();
  const int selected = s.slots.selectedSlot;
  c.Clear();
  f.caption = SlotStepCaption();
  for (int i = 1; i <= HOST_SLOTS; ++i) {
    const int y = SlotRowY(i);
    c.DrawSmallButton(NumText(i), SLOT_BUTTON_X, y, i == selected);
    c.DrawLamp(PLAYER_LAMP_X, y + 2, InUse(s.slots.slotRecords[i]) ? 0 : 1);
    c.DrawLamp(HOST_LAMP_X, y + 2, InUse(s.slots.gameRecords[i]) ? 0 : 1);
  }
  if (selected < 1 || selected > HOST_SLOTS) {
    c.DrawDisabledButton("Clear Player", CLEAR_PLAYER_X, CLEAR_Y, false);
    c.DrawDisabledButton("Clear Host", CLEAR_HOST_X, CLEAR_Y, false);
    c.DrawDisabledButton("Next", SLOT_NEXT_X, SLOT_BUTTONS_Y, false);
    c.SetTextColor(colors::BRIGHT_GREEN);
    c.DrawText("Step 1:", TEXT_X, 122);
    c.DrawText("You need to pick one of the 12 possible slots for the new game", TEXT_X, 140);
  } else {
    const SlotRecord& player = s.slots.slotRecords[selected];
    const GameRecord& host = s.slots.gameRecords[selected];
    DrawSlotSide(c, player, "Player Slot ", selected, 45, CLEAR_PLAYER_X, "Clear Player", "Player Data", 110, 185);
    DrawSlotSide(c, host, "Host Slot ", selected, 5, CLEAR_HOST_X, "Clear Host", "Host Univ Data", 190, 270);
    if (!InUse(player) && !InUse(host)) {
      c.SetTextColor(colors::BRIGHT_GREEN);
      c.DrawText("Host And Player Slot " + NumText(selected) + " will be used", TEXT_X, 270);
      c.DrawText("for this new game universe", TEXT_X, 288);
      c.DrawText("Ready to continue. . .", TEXT_X, 305);
      c.DrawButton("Next", SLOT_NEXT_X, SLOT_BUTTONS_Y, false);
    } else {
      c.DrawDisabledButton("Next", SLOT_NEXT_X, SLOT_BUTTONS_Y, false);
    }
  }
  c.DrawButton("Exit", SLOT_EXIT_X, SLOT_BUTTONS_Y, false);
}

void SlotStepClick(WizardSession& s, int x, int y) {
  WizardState& w = s.wizard;
  SlotRecords& slots = s.slots;
  bool slotClicked = false;
  bool next = false;
  // The handler's numbered steps: a run-time error in one is reported with its number
  // and the handler goes on with the next.
  const std::function<void()> steps[] = {
      [&] {  // 1: the slot buttons and the other buttons
        for (int i = 1; i <= HOST_SLOTS; ++i) {
          if (PointInButton(x, y, SLOT_BUTTON_X, SlotRowY(i))) {
            slots.selectedSlot = i;
            DrawSlotStep(s);
            slotClicked = true;
            return;
          }
        }
        if (PointInButton(x, y, SLOT_EXIT_X, SLOT_BUTTONS_Y)) throw ProgramEnd{0};
        if (PointInButton(x, y, CLEAR_HOST_X, CLEAR_Y) && DeleteUniverse(s)) {
          DrawSlotStep(s);
        }
        if (PointInButton(x, y, CLEAR_PLAYER_X, CLEAR_Y) && DeletePlayerFiles(s)) {
          DrawSlotStep(s);
        }
      },
      [&] { next = slots.selectedSlot >= 1 && slots.selectedSlot <= HOST_SLOTS; },  // 2..4: the slot is free
      [&] { next = next && !InUse(slots.slotRecords[slots.selectedSlot]); },
      [&] { next = next && !InUse(slots.gameRecords[slots.selectedSlot]); },
      [&] {  // 5: the slot is taken and the map step shown
        next = next && PointInButton(x, y, SLOT_NEXT_X, SLOT_BUTTONS_Y);
        if (!next) return;
        slots.buildSlot = slots.selectedSlot;
        ShowForm(w, FormId::Map);
      },
      [&] {  // 6
        if (next) MoveForm(w, FormId::Map, w.forms[FormId::UnivSlots].left, w.forms[FormId::UnivSlots].top);
      },
      [&] {  // 7
        if (next && FileExists(s.map.defaultMapFile)) MapFileStats(s.map.defaultMapFile, w.customMap);
      },
      [&] {  // 8
        if (next) DrawMapStep(s);
      },
      [&] {  // 9
        if (next) HideForm(w, FormId::UnivSlots);
      },
  };
  for (int step = 1; step <= 9 && !slotClicked; ++step) {
    try {
      steps[step - 1]();
    } catch (const RuntimeError& e) {
      s.ui->ShowStepError("Error In Next Click: Error: " + NumText(step), e.what());
    }
  }
}

}  // namespace tarvik
