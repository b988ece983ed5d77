#include "gui/mouse.h"

namespace tarvik::gui {

WizardEvent PictureMouseDown(FormId form, int windowX, int windowY, const Rect& picture) {
  WizardEvent e;
  e.kind = WizardEventKind::Click;
  e.form = form;
  e.x = windowX - picture.x;
  e.y = windowY - picture.y;
  return e;
}

}  // namespace tarvik::gui
