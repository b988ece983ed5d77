// The wizard's part of the session: its forms, the output window bound to frmOUTTEXT,
// the choices the steps keep between visits, and the front end that presents them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "packs/map_files.h"
#include "platform/ui.h"
#include "wizard/forms.h"

namespace tarvik {

class WizardFrontEnd;
struct WizardState;

// The output window frmOUTTEXT as the build's output view: txtOUT shows the log,
// lblTIME the elapsed seconds, lblGameFile the universe file. A mirror view (the
// console, for a run without windows) can follow along.
class OutputWindow : public OutputView {
 public:
  explicit OutputWindow(WizardState& wizard) : wizard_(wizard) {}
  void Show() override;
  void SetLogText(const std::string& text, const std::string& newLine) override;
  void SetTimeLabel(const std::string& text) override;
  void SetGameFileLabel(const std::string& text) override;
  void PumpEvents() override;
  void Print(const std::string& text) override;
  void WaitForDone() override {}

  OutputView* mirror = nullptr;

 private:
  Form& Loaded();
  WizardState& wizard_;
};

struct WizardState {
  WizardState() = default;
  WizardState(const WizardState&) = delete;  // the output window refers to its own state
  WizardState& operator=(const WizardState&) = delete;

  WizardForms forms;
  // Start-up has opened the wizard at its slot step.
  bool opened = false;
  OutputWindow outputWindow{*this};
  WizardFrontEnd* frontEnd = nullptr;
  // The form that holds the user until it is closed (the file picker), if any.
  std::optional<FormId> modalForm;

  // Map step: 1 echo, 2 epsilon, 3 custom map, 4 script; 0 before a choice.
  int32_t mapChoice = 0;
  // The custom map file (the default map file of start-up, or one picked with Load
  // Map) is set, and its statistics.
  bool customMapSet = false;
  MapStats customMap;

  // Race step: the red level of the warning, 250 or 150 while it blinks.
  int warningRed = 0;

  // Home and planet steps: their defaults have been applied (once per run).
  bool homeDefaultsApplied = false;
  bool planetDefaultsApplied = false;

  // The file picker's properties.
  std::string loadDirectory;
  std::string loadFileExt;
  std::string loadFileName;
};

// Form visibility and position, told to the front end.
Form& ShowForm(WizardState& w, FormId id);
void HideForm(WizardState& w, FormId id);
void MoveForm(WizardState& w, FormId id, int left, int top);
// Shows `next` at the place of `current` (the steps' way of moving on and back); the
// caller draws it and then hides `current`.
Form& ShowFormAt(WizardState& w, FormId next, FormId current);

}  // namespace tarvik
