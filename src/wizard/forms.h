// The wizard's windows as a model: forms with their captions, visibility, positions and
// sizes, the controls by the system's names (control arrays as "lblGame(3)") and the
// picture box picCMD of each step. The model owns all geometry, so that a window front
// end and the picture writer agree on where everything is. Nothing here draws or knows
// a toolkit.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "wizard/canvas.h"

namespace tarvik {

// The six level entries of the home and planet lists, and the amounts of the home
// step's cash and population lists.
inline constexpr std::string_view LEVEL_NAMES[] = {"None",          "Some",     "Average",
                                                   "Above Average", "Abundent", "Extra Abundent"};
inline constexpr std::string_view CASH_ENTRIES[] = {"2000", "3000", "4000", "5000", "10000", "15000", "20000"};
inline constexpr std::string_view POPULATION_ENTRIES[] = {"200000",  "300000",  "400000", "500000",
                                                          "1000000", "2000000", "5000000"};

// The forms, in the order the state dump lists them.
enum class FormId { UnivSlots, Map, Name, Race, StartPos, Home, Planet, OutText, Load };
inline constexpr int FORM_COUNT = 9;

enum class ControlKind { ListBox, ComboBox, TextBox, CheckBox, OptionButton, Label, CommandButton };

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

// What a form shows besides its named controls: captions of fields, headings, pictures
// and the output window's Done button. Geometry and text only; no behaviour.
enum class DecorationKind { Caption, Picture, DoneButton };
struct Decoration {
  DecorationKind kind;
  std::string_view text;
  Rect rect;
};

struct ControlDesign {
  std::string_view name;
  ControlKind kind;
  Rect rect;
  // The caption of check boxes, option buttons, labels and command buttons; the
  // initial text of a text box.
  std::string_view caption = {};
  int maxItems = 0;  // lists: the most items the list can ever hold
  bool checked = false;
  bool shown = true;
  std::span<const std::string_view> items = {};  // the entries a drop-down list is made with
};

struct FormDesign {
  FormId id;
  std::string_view name;
  std::string_view caption;  // when the form is created
  int width, height;
  std::optional<Rect> picture;  // picCMD, in form coordinates
  int timerMs;                  // 0: the form has no timer
  std::span<const ControlDesign> controls;
  std::span<const Decoration> decorations;
};

const FormDesign& FormDesignOf(FormId id);
std::optional<FormId> FindFormByName(std::string_view name);
const ControlDesign* FindControlDesign(FormId form, std::string_view control);

struct Control {
  std::string name;
  ControlKind kind = ControlKind::Label;
  Rect rect;
  int maxItems = 0;
  std::string text;  // text box or drop-down text; caption of the others
  std::vector<std::string> items;
  std::vector<int> itemData;  // the number remembered with each item
  int selected = -1;          // 0-based, -1 for none
  bool checked = false;
  bool enabled = true;
  bool shown = true;
  Rgb color = colors::BLACK;  // foreground of labels and texts

  // Selects item i (list boxes and drop-down lists; a drop-down list's text becomes the
  // item's). -1 selects nothing.
  void Select(int i);
  void AddItem(std::string item, int data = 0);
  void ClearItems();
  // The text the control shows: a list box's selected item, else `text`.
  std::string ShownText() const;
};

struct Form {
  FormId id;
  std::string name;
  std::string caption;
  bool created = false;
  bool shown = false;
  int left = 0, top = 0, width = 0, height = 0;
  std::optional<Rect> pictureRect;
  std::optional<Canvas> picCMD;
  int timerMs = 0;
  std::vector<Control> controls;
  std::span<const Decoration> decorations;

  Control* FindControl(std::string_view control);
  const Control* FindControl(std::string_view control) const;
  // The control of that name; the name must be one of the form's.
  Control& control(std::string_view control);
  Canvas& canvas() { return *picCMD; }
};

// All forms of the wizard. A form exists from its first load on; before that it is
// listed nowhere.
class WizardForms {
 public:
  WizardForms();
  Form& operator[](FormId id) { return forms_[static_cast<size_t>(id)]; }
  const Form& operator[](FormId id) const { return forms_[static_cast<size_t>(id)]; }
  // Creates the form from its description the first time; returns it.
  Form& Load(FormId id);
  const std::array<Form, FORM_COUNT>& all() const { return forms_; }

 private:
  std::array<Form, FORM_COUNT> forms_;
};

// Where the first step window opens.
inline constexpr int FIRST_FORM_LEFT = 120;
inline constexpr int FIRST_FORM_TOP = 90;

}  // namespace tarvik
