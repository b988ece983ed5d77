#include "wizard/forms.h"

#include <stdexcept>

#include "generate/generation_run.h"

namespace tarvik {

namespace {

using K = ControlKind;
using D = DecorationKind;

// Every step window but the race step is one picture box with its controls on it, wide
// enough for the start-position step's last hint.
constexpr int STEP_WIDTH = 680;
constexpr int STEP_HEIGHT = 332;
constexpr Rect STEP_PICTURE{0, 0, STEP_WIDTH, STEP_HEIGHT};

constexpr ControlDesign SLOT_CONTROLS[] = {
    {"lblGame(1)", K::Label, {490, 8, 180, 16}, "(Empty)"},    {"lblGame(2)", K::Label, {490, 36, 180, 16}, "(Empty)"},
    {"lblGame(3)", K::Label, {490, 64, 180, 16}, "(Empty)"},   {"lblGame(4)", K::Label, {490, 92, 180, 16}, "(Empty)"},
    {"lblGame(5)", K::Label, {490, 120, 180, 16}, "(Empty)"},  {"lblGame(6)", K::Label, {490, 148, 180, 16}, "(Empty)"},
    {"lblGame(7)", K::Label, {490, 176, 180, 16}, "(Empty)"},  {"lblGame(8)", K::Label, {490, 204, 180, 16}, "(Empty)"},
    {"lblGame(9)", K::Label, {490, 232, 180, 16}, "(Empty)"},  {"lblGame(10)", K::Label, {490, 260, 180, 16}, "(Empty)"},
    {"lblGame(11)", K::Label, {490, 288, 180, 16}, "(Empty)"}, {"lblGame(12)", K::Label, {490, 316, 180, 16}, "(Empty)"},
};

constexpr ControlDesign MAP_CONTROLS[] = {
    {"optEcho", K::OptionButton, {10, 8, 220, 20}, "Echo Map"},
    {"optZeta", K::OptionButton, {10, 112, 220, 20}, "Epsilon Map"},
    {"optCustom", K::OptionButton, {380, 56, 220, 20}, "Custom Map"},
    {"optScript", K::OptionButton, {10, 216, 220, 20}, "Universe Script"},
};

constexpr ControlDesign NAME_CONTROLS[] = {
    {"txtGameName", K::TextBox, {200, 58, 300, 24}, INITIAL_GAME_NAME},
    {"txtHostName", K::TextBox, {200, 108, 300, 24}, INITIAL_HOST_NAME},
    {"txtRSTName", K::TextBox, {200, 158, 120, 24}, INITIAL_RST_NAME},
};
constexpr Decoration NAME_DECORATIONS[] = {
    {D::Caption, "Game Name", {60, 62, 130, 20}},
    {D::Caption, "Host Name", {60, 112, 130, 20}},
    {D::Caption, "RST File Name", {60, 162, 130, 20}},
    {D::Caption, "( First 6 letters )", {330, 162, 160, 20}},
};

constexpr ControlDesign RACE_CONTROLS[] = {
    {"txtPlayers", K::TextBox, {190, 284, 40, 24}},
    {"cmdEnter", K::CommandButton, {236, 284, 60, 24}, "Enter"},
    {"lstRacePacks", K::ListBox, {10, 26, 300, 250}, {}, 300},
    {"lstAss", K::ListBox, {320, 26, 350, 250}, {}, 30},
    {"lblWarn", K::Label, {320, 288, 350, 20}, "Warning: You have players with no race assigned", 0, false, false},
};
constexpr Decoration RACE_DECORATIONS[] = {
    {D::Caption, "Races To Choose From", {10, 6, 300, 18}},
    {D::Caption, "Number of players in game:", {10, 288, 175, 20}},
};

constexpr ControlDesign HOME_CONTROLS[] = {
    {"cmbMinerals", K::ComboBox, {190, 34, 170, 24}, {}, 6, false, true, LEVEL_NAMES},
    {"cmbNatives", K::ComboBox, {190, 70, 170, 24}, {}, 6, false, true, LEVEL_NAMES},
    {"cmbCash", K::ComboBox, {190, 106, 170, 24}, {}, 7, false, true, CASH_ENTRIES},
    {"cmbPop", K::ComboBox, {190, 142, 170, 24}, {}, 7, false, true, POPULATION_ENTRIES},
    {"cmbCargo", K::ComboBox, {190, 178, 170, 24}, {}, 6, false, true, LEVEL_NAMES},
    {"chkShips", K::CheckBox, {20, 220, 300, 22}, "Start With Standard Ships", 0, true},
    {"chkExtra", K::CheckBox, {20, 250, 300, 22}, "Start With 3 Extra Freighters"},
};
constexpr Decoration HOME_DECORATIONS[] = {
    {D::Caption, "Homeworld Levels", {20, 8, 250, 20}},   {D::Caption, "Minerals On Base", {20, 36, 160, 20}},
    {D::Caption, "Natives", {20, 72, 160, 20}},           {D::Caption, "Starting Cash", {20, 108, 160, 20}},
    {D::Caption, "Population", {20, 144, 160, 20}},       {D::Caption, "Cargo And Metals", {20, 180, 160, 20}},
    {D::Picture, "home world", {420, 20, 200, 200}},
};

constexpr ControlDesign PLANET_CONTROLS[] = {
    {"cmbMinerals", K::ComboBox, {210, 34, 170, 24}, {}, 6, false, true, LEVEL_NAMES},
    {"cmbNatives", K::ComboBox, {210, 70, 170, 24}, {}, 6, false, true, LEVEL_NAMES},
    {"cmbContra", K::ComboBox, {210, 106, 170, 24}, {}, 6, false, true, LEVEL_NAMES},
    {"cmbCargo", K::ComboBox, {210, 142, 170, 24}, {}, 6, false, true, LEVEL_NAMES},
};
constexpr Decoration PLANET_DECORATIONS[] = {
    {D::Caption, "Planet Levels", {20, 8, 250, 20}},     {D::Caption, "Minerals In The Ground", {20, 36, 180, 20}},
    {D::Caption, "Natives", {20, 72, 180, 20}},          {D::Caption, "Contraband", {20, 108, 180, 20}},
    {D::Caption, "Cargo And Metals", {20, 144, 180, 20}}, {D::Picture, "planet", {420, 20, 200, 200}},
};

constexpr ControlDesign OUTPUT_CONTROLS[] = {
    {"txtOUT", K::TextBox, {10, 10, 660, 262}},
    {"lblTIME", K::Label, {560, 280, 110, 20}},
    {"lblGameFile", K::Label, {10, 280, 540, 20}},
};
constexpr Decoration OUTPUT_DECORATIONS[] = {
    {D::DoneButton, "Done", {590, 305, 80, 20}},
};

constexpr ControlDesign LOAD_CONTROLS[] = {
    {"file1", K::ListBox, {10, 10, 300, 250}, {}, 32767},
};

// The race step's picture box is the button strip below its lists.
constexpr int RACE_TIMER_MS = 500;
// The display counts whole seconds; ticking twice a second keeps it within half a second.
constexpr int OUTPUT_TIMER_MS = 500;

const FormDesign FORMS[FORM_COUNT] = {
    {FormId::UnivSlots, "frmUnivSlots", "Tarvik: Game Slots", STEP_WIDTH, STEP_HEIGHT, STEP_PICTURE, 0, SLOT_CONTROLS, {}},
    {FormId::Map, "frmMap", "Tarvik: Map Or Script", STEP_WIDTH, STEP_HEIGHT, STEP_PICTURE, 0, MAP_CONTROLS, {}},
    {FormId::Name, "frmName", "Tarvik: Game Name", STEP_WIDTH, STEP_HEIGHT, STEP_PICTURE, 0, NAME_CONTROLS, NAME_DECORATIONS},
    {FormId::Race, "frmRace", "Tarvik: Select Races", STEP_WIDTH, 346, Rect{150, 314, 380, 26}, RACE_TIMER_MS, RACE_CONTROLS,
     RACE_DECORATIONS},
    {FormId::StartPos, "frmStartPos", "Tarvik: Starting Positions", STEP_WIDTH, STEP_HEIGHT, STEP_PICTURE, 0, {}, {}},
    {FormId::Home, "frmHome", "Tarvik: Homeworld", STEP_WIDTH, STEP_HEIGHT, STEP_PICTURE, 0, HOME_CONTROLS, HOME_DECORATIONS},
    {FormId::Planet, "frmPlanet", "Tarvik: Planets", STEP_WIDTH, STEP_HEIGHT, STEP_PICTURE, 0, PLANET_CONTROLS, PLANET_DECORATIONS},
    {FormId::OutText, "frmOUTTEXT", "Tarvik: Universe Build", STEP_WIDTH, STEP_HEIGHT, std::nullopt, OUTPUT_TIMER_MS, OUTPUT_CONTROLS,
     OUTPUT_DECORATIONS},
    {FormId::Load, "frmLoad", "Load File", 320, 270, std::nullopt, 0, LOAD_CONTROLS, {}},
};

}  // namespace

const FormDesign& FormDesignOf(FormId id) { return FORMS[static_cast<size_t>(id)]; }

std::optional<FormId> FindFormByName(std::string_view name) {
  for (const FormDesign& f : FORMS) {
    if (f.name == name) return f.id;
  }
  return std::nullopt;
}

const ControlDesign* FindControlDesign(FormId form, std::string_view control) {
  for (const ControlDesign& c : FormDesignOf(form).controls) {
    if (c.name == control) return &c;
  }
  return nullptr;
}

void Control::Select(int i) {
  selected = (i >= 0 && i < static_cast<int>(items.size())) ? i : -1;
  if (kind == ControlKind::ComboBox && selected >= 0) text = items[static_cast<size_t>(selected)];
}

void Control::AddItem(std::string item, int data) {
  items.push_back(std::move(item));
  itemData.push_back(data);
}

void Control::ClearItems() {
  items.clear();
  itemData.clear();
  selected = -1;
}

std::string Control::ShownText() const {
  if (kind == ControlKind::ListBox) return selected >= 0 ? items[static_cast<size_t>(selected)] : std::string();
  return text;
}

Control* Form::FindControl(std::string_view name) {
  for (Control& c : controls) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

const Control* Form::FindControl(std::string_view name) const {
  return const_cast<Form*>(this)->FindControl(name);
}

Control& Form::control(std::string_view name) {
  Control* c = FindControl(name);
  if (!c) throw std::logic_error("form " + this->name + " has no control " + std::string(name));
  return *c;
}

WizardForms::WizardForms() {
  for (const FormDesign& design : FORMS) {
    Form& f = forms_[static_cast<size_t>(design.id)];
    f.id = design.id;
    f.name = std::string(design.name);
  }
}

Form& WizardForms::Load(FormId id) {
  Form& f = (*this)[id];
  if (f.created) return f;
  const FormDesign& design = FormDesignOf(id);
  f.created = true;
  f.caption = std::string(design.caption);
  f.left = FIRST_FORM_LEFT;
  f.top = FIRST_FORM_TOP;
  f.width = design.width;
  f.height = design.height;
  f.pictureRect = design.picture;
  if (design.picture) f.picCMD.emplace(design.picture->w, design.picture->h);
  f.timerMs = design.timerMs;
  f.decorations = design.decorations;
  for (const ControlDesign& c : design.controls) {
    Control control;
    control.name = std::string(c.name);
    control.kind = c.kind;
    control.rect = c.rect;
    control.maxItems = c.maxItems;
    control.text = std::string(c.caption);
    control.checked = c.checked;
    control.shown = c.shown;
    for (std::string_view item : c.items) control.AddItem(std::string(item));
    f.controls.push_back(std::move(control));
  }
  return f;
}

}  // namespace tarvik
