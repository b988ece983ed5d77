// The wizard's steps: what each draws on its picCMD, what a click on it does, and the
// handlers of the controls beside it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "wizard/wizard_state.h"

namespace tarvik {

struct WizardSession;

// ---- Start-up's share ----
// Loads the race form without showing it (start-up steps 3 and 4).
void LoadRaceForm(WizardSession& s);
// Fills lstRacePacks from the race module list (step 6) and selects its first item when
// the first entry is a usable race (step 7).
void FillRacePackList(WizardSession& s);
// Shows the slot step (steps 22 to 24).
void OpenSlotStep(WizardSession& s);

// ---- Slot step ----
void FillSlotLabels(WizardSession& s);
void DrawSlotStep(WizardSession& s);
void SlotStepClick(WizardSession& s, int x, int y);

// ---- Map step and the file picker ----
void DrawMapStep(WizardSession& s);
void MapStepClick(WizardSession& s, int x, int y);
// The choice the option buttons show: 1 echo, 2 epsilon, 3 custom map (only while one
// is set), 4 script (only while one was found); 0 for none.
int CurrentMapChoice(const WizardSession& s);
void LoadMapFile(WizardSession& s);
void LoadScriptFile(WizardSession& s);
// frmLoad's LoadFiles: file1 lists the files of loadDirectory matching "*." + loadFileExt.
void LoadFiles(WizardSession& s);
// A click on an entry of the picker's list, or the picker closed without a choice.
void PickFile(WizardSession& s, const std::optional<std::string>& entry);

// ---- Name step and the scripted build ----
void DrawNameStep(WizardSession& s);
void NameStepClick(WizardSession& s, int x, int y);
// The wizard's build from the universe script into buildSlot.
void BuildScriptedUniverse(WizardSession& s);

// ---- Race step ----
// The line of lstAss for player slot p (1..30).
std::string PlayerLineText(const WizardSession& s, int p);
void FillPlayerList(WizardSession& s);
void ShowRaceStep(WizardSession& s);
void EnterPlayerCount(WizardSession& s);            // cmdEnter_Click
void PlayersKeyPress(WizardSession& s, int code);   // txtPlayers_KeyPress
void RacePacksClick(WizardSession& s);              // lstRacePacks_Click
void PlayerSlotClick(WizardSession& s);             // lstAss_Click
void RaceTimerTick(WizardSession& s);               // Timer1_Timer
void RaceStepClick(WizardSession& s, int x, int y);

// ---- Start-position step ----
// The race step's Next, accepted: the start-position step with the map's preview.
void EnterStartStep(WizardSession& s);
void DrawStartStep(WizardSession& s);
void StartStepClick(WizardSession& s, int x, int y);

// ---- Home and planet steps ----
// The start-position step's Next: the home step, with its defaults on the first visit.
void EnterHomeStep(WizardSession& s);
void HomeStepClick(WizardSession& s, int x, int y);
void PlanetStepClick(WizardSession& s, int x, int y);
// Finish on the planet step: the home settings, the output window and the generation run.
void FinishStandardRoad(WizardSession& s);
// Draws Next, Back and Exit on a step's strip at y = 305.
void DrawStepButtons(Canvas& c, bool nextEnabled = true);

// ---- Output window ----
// The output window's Done.
void OutputDone(WizardSession& s);

// The button row shared by the map, name, start-position, home and planet steps.
inline constexpr int EXIT_X = 350;
inline constexpr int BACK_X = 450;
inline constexpr int NEXT_X = 550;
inline constexpr int STRIP_Y = 305;

}  // namespace tarvik
