// The race step (frmRace): the number of players and the race each player slot plays.
#include <cctype>

#include "base/errors.h"
#include "base/text.h"
#include "platform/rounding.h"
#include "wizard/steps.h"
#include "wizard/wizard_session.h"

namespace tarvik {

namespace {

// The race step's own button strip.
constexpr int RACE_NEXT_X = 250;
constexpr int RACE_BACK_X = 150;
constexpr int RACE_EXIT_X = 50;
constexpr int RACE_STRIP_Y = 3;

Form& RaceForm(WizardSession& s) { return s.wizard.forms[FormId::Race]; }

bool IsUsableRace(const WizardSession& s, int entry) {
  return entry >= 1 && entry <= MAX_RACES && s.packs.raceList[entry].raceId > 0;
}

// The numeric value of a text as the number box reads it: leading blanks, a sign, the
// leading digits and a decimal fraction; anything else ends the number, and a text
// without digits is 0.
double LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  double value = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) value = value * 10 + (text[i++] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, scale /= 10) {
      value += (text[i] - '0') * scale;
    }
  }
  return negative ? -value : value;
}

// Whether some player in the game has no race yet.
bool PlayerWithoutRace(const WizardSession& s) {
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    if (s.tables.playerActive[p] == 1 && s.tables.playerRace[p] == 0) return true;
  }
  return false;
}

}  // namespace

void LoadRaceForm(WizardSession& s) {
  s.wizard.forms.Load(FormId::Race);
  HideForm(s.wizard, FormId::Race);
}

void FillRacePackList(WizardSession& s) {
  Control& list = RaceForm(s).control("lstRacePacks");
  list.ClearItems();
  for (int entry : s.packs.raceListItems) list.AddItem(s.packs.raceList[entry].raceName, entry);
  if (s.packs.raceList[1].raceId > 0) {
    list.Select(0);
    s.packs.selectedRaceIndex = 1;
  }
}

std::string PlayerLineText(const WizardSession& s, int p) {
  std::string line = "Player " + NumText(p) + " : ";
  if (s.tables.playerActive[p] == 0) return line + "Not in game";
  const int race = s.tables.playerRace[p];
  if (race != 0) return line + (IsUsableRace(s, race) ? s.packs.raceList[race].raceName : std::string("Error"));
  return line + "---Unassigned---";
}

void FillPlayerList(WizardSession& s) {
  Control& list = RaceForm(s).control("lstAss");
  list.ClearItems();
  for (int p = 1; p <= MAX_PLAYERS; ++p) list.AddItem(PlayerLineText(s, p), p);
  list.Select(0);  // selecting the first line is not a click on it
}

void ShowRaceStep(WizardSession& s) {
  Form& f = RaceForm(s);
  Canvas& c = f.canvas();
  c.Clear();
  c.DrawButton("Next", RACE_NEXT_X, RACE_STRIP_Y, false);
  c.DrawButton("Back", RACE_BACK_X, RACE_STRIP_Y, false);
  c.DrawButton("Exit", RACE_EXIT_X, RACE_STRIP_Y, false);
  f.control("txtPlayers").text = std::to_string(s.tables.playerCount);
}

void EnterPlayerCount(WizardSession& s) {
  Control& box = RaceForm(s).control("txtPlayers");
  long long n = RoundToInt(LeadingNumber(box.text));
  if (n > MAX_PLAYERS) n = MAX_PLAYERS;
  if (n < MIN_PLAYER_COUNT) n = MIN_PLAYER_COUNT;
  box.text = std::to_string(n);
  for (int p = 1; p <= MAX_PLAYERS; ++p) s.tables.playerActive[p] = p <= n ? 1 : 0;
  s.tables.playerCount = static_cast<int32_t>(n);
  FillPlayerList(s);
}

void PlayersKeyPress(WizardSession& s, int code) {
  Control& box = RaceForm(s).control("txtPlayers");
  if (box.text.size() > 2) box.text.clear();
  if (code == 13) EnterPlayerCount(s);
  if (code < '0' || code > '9') return;  // discarded, Enter and Backspace included
  box.text += static_cast<char>(code);
}

void RacePacksClick(WizardSession& s) {
  const Control& list = RaceForm(s).control("lstRacePacks");
  if (list.selected < 0) return;
  const int entry = list.itemData[static_cast<size_t>(list.selected)];
  if (IsUsableRace(s, entry)) s.packs.selectedRaceIndex = entry;
}

void PlayerSlotClick(WizardSession& s) {
  Control& list = RaceForm(s).control("lstAss");
  if (list.selected < 0) return;
  const int p = list.selected + 1;
  const int race = s.packs.selectedRaceIndex;
  if (race <= 0 || !IsUsableRace(s, race)) return;
  s.tables.playerRace[p] = static_cast<int16_t>(race);
  list.items[static_cast<size_t>(p - 1)] = PlayerLineText(s, p);
}

void RaceTimerTick(WizardSession& s) {
  Form& f = RaceForm(s);
  Canvas& c = f.canvas();
  Control& warn = f.control("lblWarn");
  if (PlayerWithoutRace(s)) {
    c.DrawFilledBox(RACE_NEXT_X, RACE_STRIP_Y, RACE_NEXT_X + BUTTON_WIDTH, RACE_STRIP_Y + BUTTON_HEIGHT, colors::BLACK);
    c.DrawDisabledButton("Next", RACE_NEXT_X, RACE_STRIP_Y, false);
    warn.shown = true;
    s.wizard.warningRed = s.wizard.warningRed == 250 ? 150 : 250;
    warn.color = MakeRgb(s.wizard.warningRed, 0, 0);
  } else {
    warn.shown = false;
    c.DrawButton("Next", RACE_NEXT_X, RACE_STRIP_Y, false);
  }
  if (s.log.runFinished && s.log.doneClicked) throw ProgramEnd{0};
}

void RaceStepClick(WizardSession& s, int x, int y) {
  if (PointInButton(x, y, RACE_NEXT_X, RACE_STRIP_Y) && !PlayerWithoutRace(s)) EnterStartStep(s);
  if (PointInButton(x, y, RACE_BACK_X, RACE_STRIP_Y)) {
    ShowFormAt(s.wizard, FormId::Name, FormId::Race);
    HideForm(s.wizard, FormId::Race);
  }
  if (PointInButton(x, y, RACE_EXIT_X, RACE_STRIP_Y)) throw ProgramEnd{0};
}

}  // namespace tarvik
