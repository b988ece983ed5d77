#include "gui/events.h"

namespace tarvik::gui {

WizardEvent PictureMouseDown(FormId form, int windowX, int windowY, const Rect& picture) {
  WizardEvent e = FormEvent(WizardEventKind::Click, form);
  e.x = windowX - picture.x;
  e.y = windowY - picture.y;
  return e;
}

WizardEvent ControlEvent(WizardEventKind kind, FormId form, const std::string& control, int value,
                         const std::string& text) {
  WizardEvent e = FormEvent(kind, form);
  e.control = control;
  e.value = value;
  e.text = text;
  return e;
}

WizardEvent FormEvent(WizardEventKind kind, FormId form) {
  WizardEvent e;
  e.kind = kind;
  e.form = form;
  return e;
}

}  // namespace tarvik::gui
