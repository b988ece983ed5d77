// One wizard form as a real window: its picture box picCMD painting the model's
// canvas, its controls as widgets bound to the model's controls by name, and the
// decorations the model describes (field captions, pictures, the output window's
// Done). Every user action becomes a WizardEvent handed to the front end; the widgets
// show what the model holds after each event (Sync).
#pragma once

#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "wizard/forms.h"

class Fl_Widget;

namespace tarvik::gui {

class FltkFrontEnd;
class PictureBox;
struct ControlBinding;

class FormWindow : public Fl_Double_Window {
 public:
  FormWindow(FltkFrontEnd& frontEnd, Form& form);
  ~FormWindow() override;

  FormId id() const { return id_; }
  // Brings caption, controls and picture in line with the model's form.
  void Sync(const Form& form);
  // The model's position of the form was applied to the window.
  bool PlacedAt(int left, int top) const { return x() == left && y() == top; }

 private:
  void AddDecoration(const Decoration& d, const Form& form);
  void AddControl(Control& c, const Form& form);

  FltkFrontEnd& frontEnd_;
  FormId id_;
  std::string caption_;
  PictureBox* picture_ = nullptr;
  std::vector<std::unique_ptr<ControlBinding>> bindings_;
};

}  // namespace tarvik::gui
