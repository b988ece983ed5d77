// Pictures and state of the wizard for people and tests: the state of every form as
// JSON, and a form's picCMD as an SVG picture.
#pragma once

#include <string>
#include <vector>

#include "wizard/forms.h"

namespace tarvik {

// A message box that was shown.
struct ShownMessage {
  std::string title;
  std::string text;
};

// {"visible": [...], "forms": {NAME: {...}}, "messages": [...]}: the shown forms in their
// fixed order, every created form with its controls and the drawing operations on its
// picture since the last clear, and the message boxes shown so far.
std::string DumpWizardJson(const WizardForms& forms, const std::vector<ShownMessage>& messages);

// The picture box of a form (empty when the form was never created) as SVG, as wide and
// high as the picture box, one element or group per drawing operation in order.
std::string CanvasSvg(const Form& form);

// A colour as "#rrggbb".
std::string HexColor(Rgb color);

}  // namespace tarvik
