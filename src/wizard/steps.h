// The wizard's steps: what each draws on its picCMD, what a click on it does, and the
// handlers of the controls beside it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "wizard/wizard_state.h"

namespace tarvik {

struct Session;

// ---- Start-up's share ----
// Loads the race form without showing it (start-up steps 3 and 4).
void LoadRaceForm(Session& s);
// Fills lstRacePacks from the race module list (step 6) and selects its first item when
// the first entry is a usable race (step 7).
void FillRacePackList(Session& s);
// Shows the slot step (steps 22 to 24).
void OpenSlotStep(Session& s);

// ---- Slot step ----
void FillSlotLabels(Session& s);
void DrawSlotStep(Session& s);
void SlotStepClick(Session& s, int x, int y);

// ---- Map step and the file picker ----
void DrawMapStep(Session& s);
void MapStepClick(Session& s, int x, int y);
// The choice the option buttons show: 1 echo, 2 epsilon, 3 custom map (only while one
// is set), 4 script (only while one was found); 0 for none.
int CurrentMapChoice(const Session& s);
void LoadMapFile(Session& s);
void LoadScriptFile(Session& s);
// frmLoad's LoadFiles: file1 lists the files of loadDirectory matching "*." + loadFileExt.
void LoadFiles(Session& s);
// A click on an entry of the picker's list, or the picker closed without a choice.
void PickFile(Session& s, const std::optional<std::string>& entry);

// ---- Name step and the scripted build ----
void DrawNameStep(Session& s);
void NameStepClick(Session& s, int x, int y);
// gameName, hostName and rstName from the name step's three text boxes.
void ReadGameNames(Session& s);
// The map parameters of the chosen stock or custom map (the name step's Next).
void SetMapParameters(Session& s);
// The wizard's build from the universe script into buildSlot.
void BuildScriptedUniverse(Session& s);

// ---- Race step ----
// The line of lstAss for player slot p (1..30).
std::string PlayerLineText(const Session& s, int p);
void FillPlayerList(Session& s);
void ShowRaceStep(Session& s);
void EnterPlayerCount(Session& s);            // cmdEnter_Click
void PlayersKeyPress(Session& s, int code);   // txtPlayers_KeyPress
void RacePacksClick(Session& s);              // lstRacePacks_Click
void PlayerSlotClick(Session& s);             // lstAss_Click
void RaceTimerTick(Session& s);               // Timer1_Timer
void RaceStepClick(Session& s, int x, int y);

// ---- Start-position step ----
// The race step's Next, accepted: the start-position step with the map's preview.
void EnterStartStep(Session& s);
void StartStepClick(Session& s, int x, int y);

// ---- Home and planet steps ----
// The start-position step's Next: the home step, with its defaults on the first visit.
void EnterHomeStep(Session& s);
void HomeStepClick(Session& s, int x, int y);
void PlanetStepClick(Session& s, int x, int y);
// Finish on the planet step: the home settings, the output window and the generation run.
void FinishStandardRoad(Session& s);
// Draws Next, Back and Exit on a step's strip at y = 305.
void DrawStepButtons(Canvas& c, bool nextEnabled = true);

// ---- Output window ----
// The output window's Done.
void OutputDone(Session& s);

// The button row shared by the map, name, start-position, home and planet steps.
inline constexpr int kExitX = 350;
inline constexpr int kBackX = 450;
inline constexpr int kNextX = 550;
inline constexpr int kStripY = 305;

}  // namespace tarvik
