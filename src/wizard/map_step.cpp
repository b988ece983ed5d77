// The map step (frmMap): a stock map, a custom map file or a universe script, and the
// file picker frmLoad that picks another map or script.
#include <functional>

#include "base/errors.h"
#include "base/text.h"
#include "generate/map_parameters.h"
#include "platform/files.h"
#include "wizard/front_end.h"
#include "wizard/steps.h"
#include "wizard/wizard_session.h"

namespace tarvik {

namespace {

// Positions on picCMD: the stock maps' lines below their option buttons, the script's
// lines below its option; the custom map's lines and the two load buttons stand where
// the map step has always put them.
constexpr int TEXT_X = 30;
constexpr int LINE_HEIGHT = 18;
constexpr int ECHO_TEXT_Y = 32;
constexpr int EPSILON_TEXT_Y = 136;
constexpr int SCRIPT_TEXT_Y = 240;
constexpr int CUSTOM_X = 380;
constexpr int LOAD_MAP_X = 380;
constexpr int LOAD_SCRIPT_X = 530;
constexpr int LOAD_Y = 180;

const char* const ECHO_LINES[] = {"Size: 2000 X 2000 LY", "Center: (2000 , 2000)", "Planets: 500"};
const char* const EPSILON_LINES[] = {"Size: 3000 X 3000 LY", "Center: (2500 , 2500)", "Planets: 688"};

Form& MapForm(WizardSession& s) { return s.wizard.forms[FormId::Map]; }

// The file name after the last folder separator.
std::string BaseName(const std::string& path) {
  size_t sep = path.find_last_of("\\/:");
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

void DrawLines(Canvas& c, const char* const (&lines)[3], int y) {
  for (const char* line : lines) {
    c.DrawText(line, TEXT_X, y);
    y += LINE_HEIGHT;
  }
}

// A stock map option is usable only while its map file is there.
void CheckStockMap(WizardSession& s, Control& option, const char* file, const char* missingText, int textY) {
  Canvas& c = MapForm(s).canvas();
  if (FileExists(s.paths.appPath + "data\\" + file)) {
    option.enabled = true;
    return;
  }
  option.checked = false;
  option.enabled = false;
  c.SetTextColor(colors::WARNING_TEXT);
  c.DrawText(missingText, TEXT_X, textY + 3 * LINE_HEIGHT);
  c.SetTextColor(colors::BRIGHT_GREEN);
}

void DisableOption(Control& option) {
  option.checked = false;
  option.enabled = false;
}

}  // namespace

int CurrentMapChoice(const WizardSession& s) {
  const Form& f = s.wizard.forms[FormId::Map];
  if (f.FindControl("optEcho")->checked) return MAP_CHOICE_ECHO;
  if (f.FindControl("optZeta")->checked) return MAP_CHOICE_EPSILON;
  if (f.FindControl("optCustom")->checked && s.wizard.customMapSet) return MAP_CHOICE_CUSTOM;
  if (f.FindControl("optScript")->checked && s.paths.scriptFound) return MAP_CHOICE_SCRIPT;
  return 0;
}

void DrawMapStep(WizardSession& s) {
  Form& f = MapForm(s);
  Canvas& c = f.canvas();
  const std::function<void()> steps[] = {
      [&] {
        c.Clear();
        c.SetTextColor(colors::BRIGHT_GREEN);
        DrawLines(c, ECHO_LINES, ECHO_TEXT_Y);
        DrawLines(c, EPSILON_LINES, EPSILON_TEXT_Y);
      },
      [&] {
        CheckStockMap(s, f.control("optEcho"), "echo.map", "MAP FILE MISSING", ECHO_TEXT_Y);
        CheckStockMap(s, f.control("optZeta"), "epsilon.map", "epsilon.map MISSING", EPSILON_TEXT_Y);
      },
      [&] {
        Control& option = f.control("optCustom");
        if (!s.wizard.customMapSet) return DisableOption(option);
        option.enabled = true;
        const MapStats& m = s.wizard.customMap;
        c.DrawText("Custom Map File:", CUSTOM_X, 80);
        c.DrawText(BaseName(s.map.defaultMapFile), CUSTOM_X, 100);
        c.DrawText("Size:" + NumText(m.width) + " X" + NumText(m.height) + " LY", CUSTOM_X, 240);
        c.DrawText("Center: (" + NumText(m.centerX) + " ," + NumText(m.centerY) + " )", CUSTOM_X, 260);
        c.DrawText("Planets:" + NumText(m.planetCount), CUSTOM_X, 280);
      },
      [&] {
        Control& option = f.control("optScript");
        if (!s.paths.scriptFound) return DisableOption(option);
        option.enabled = true;
        c.DrawText("Custom Script File:", TEXT_X, SCRIPT_TEXT_Y);
        c.DrawText(s.paths.scriptPath, TEXT_X, SCRIPT_TEXT_Y + LINE_HEIGHT);
      },
      [&] {
        if (CurrentMapChoice(s) != 0) {
          c.DrawButton("Next", NEXT_X, STRIP_Y, false);
        } else {
          c.DrawDisabledButton("Next", NEXT_X, STRIP_Y, false);
        }
        c.DrawButton("Back", BACK_X, STRIP_Y, false);
        c.DrawButton("Exit", EXIT_X, STRIP_Y, false);
        c.DrawButton("Load Script", LOAD_SCRIPT_X, LOAD_Y, false);
        c.DrawButton("Load Map", LOAD_MAP_X, LOAD_Y, false);
      },
  };
  // A failing drawing step is reported and drawing goes on with the next one.
  for (int step = 1; step <= 5; ++step) {
    try {
      steps[step - 1]();
    } catch (const RuntimeError& e) {
      s.ui->ShowStepError("Error: Map Draw Error Code: " + NumText(step), e.what());
    }
  }
}

void MapStepClick(WizardSession& s, int x, int y) {
  const int choice = CurrentMapChoice(s);
  if (PointInButton(x, y, NEXT_X, STRIP_Y) && choice != 0) {
    s.wizard.mapChoice = choice;
    ShowFormAt(s.wizard, FormId::Name, FormId::Map);
    DrawNameStep(s);
    HideForm(s.wizard, FormId::Map);
  }
  if (PointInButton(x, y, BACK_X, STRIP_Y)) {
    HideForm(s.wizard, FormId::Map);
    ShowFormAt(s.wizard, FormId::UnivSlots, FormId::Map);
  }
  if (PointInButton(x, y, LOAD_MAP_X, LOAD_Y)) {
    LoadMapFile(s);
    MapFileStats(s.map.defaultMapFile, s.wizard.customMap);
    DrawMapStep(s);
  }
  if (PointInButton(x, y, LOAD_SCRIPT_X, LOAD_Y)) {
    LoadScriptFile(s);
    DrawMapStep(s);
  }
  if (PointInButton(x, y, EXIT_X, STRIP_Y)) throw ProgramEnd{0};
}

// ---- The file picker ----

void LoadFiles(WizardSession& s) {
  Form& f = s.wizard.forms.Load(FormId::Load);
  Control& list = f.control("file1");
  list.ClearItems();
  for (std::string& name : ListFiles(s.wizard.loadDirectory, "*." + s.wizard.loadFileExt)) {
    if (static_cast<int>(list.items.size()) >= list.maxItems) break;
    list.AddItem(std::move(name));
  }
  s.wizard.loadFileName.clear();
}

// Fills frmLoad with the files of `folder` matching "*." + `extension`, shows it over the
// map step and waits until it is closed: FileName, or nothing when none was chosen.
static std::optional<std::string> RunPicker(WizardSession& s, const std::string& folder, const char* extension) {
  WizardState& w = s.wizard;
  w.loadDirectory = folder;
  w.loadFileExt = extension;
  LoadFiles(s);
  const Form& map = w.forms[FormId::Map];
  const Form& picker = w.forms.Load(FormId::Load);
  MoveForm(w, FormId::Load, map.left + (map.width - picker.width) / 2, map.top + 30);
  w.modalForm = FormId::Load;
  ShowForm(w, FormId::Load);
  if (w.frontEnd) w.frontEnd->RunFilePicker();
  w.modalForm.reset();
  HideForm(w, FormId::Load);
  if (w.loadFileName.empty()) return std::nullopt;
  return w.loadFileName;
}

void PickFile(WizardSession& s, const std::optional<std::string>& entry) {
  if (entry) s.wizard.loadFileName = s.wizard.loadDirectory + *entry;
  HideForm(s.wizard, FormId::Load);
}

// A picked file that no longer exists leaves the custom map, or the script, unset.
void LoadMapFile(WizardSession& s) {
  const auto name = RunPicker(s, s.paths.appPath + "data\\", "map");
  if (!name) return;
  s.wizard.customMapSet = FileExists(*name);
  if (s.wizard.customMapSet) s.map.defaultMapFile = *name;
}

void LoadScriptFile(WizardSession& s) {
  const auto name = RunPicker(s, s.paths.appPath + "scripts\\", "vps");
  if (!name) return;
  s.paths.scriptFound = FileExists(*name);
  if (s.paths.scriptFound) s.paths.scriptPath = *name;
}

}  // namespace tarvik
