// What the program shows to a person: modal message boxes and the output view of a
// build. Runs without the wizard use the console forms: a message is one line on
// standard error ("title: text"), the output view writes each logged line to standard
// output as it is logged. The wizard front end supplies windowed forms.
#pragma once

#include <iosfwd>
#include <string>

namespace tarvik {

enum class MessageIcon { None, Critical, Exclamation, Question, Information };

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  virtual void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) = 0;
  virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
  // The box of a guarded step that failed: `message` as the system words it (it names
  // the step), `reason` the failed operation's own message, which travels with it to
  // here. Shown as a message box without title or icon, the reason beside it as a
  // notice (on the console: the line after the box's).
  virtual void ShowStepError(const std::string& message, const std::string& reason);
  // A line for the person running the program that needs no box: why a data file is
  // not used, why a step failed. Goes to standard error in every front end.
  virtual void Notice(const std::string& line);
  // Whether a window system is available for the wizard.
  virtual bool HasDisplay() const { return false; }
  // The system's beep; the console forms make no sound.
  virtual void Beep() {}
};

// The output window of a build (frmOUTTEXT).
class OutputView {
 public:
  virtual ~OutputView() = default;
  virtual void Show() = 0;
  // txtOUT: the whole text shown; `newLine` is the line just logged, empty for a
  // full replacement (LOAD) or a clear.
  virtual void SetLogText(const std::string& text, const std::string& newLine) = 0;
  // lblTIME: the elapsed seconds while running, then "Finished".
  virtual void SetTimeLabel(const std::string& text) = 0;
  virtual void SetGameFileLabel(const std::string& text) = 0;
  // Lets pending window events run (nothing to do on a console).
  virtual void PumpEvents() {}
  // Plain text for the person at the console (reports such as the race list).
  virtual void Print(const std::string& text) = 0;
  // Blocks until the person clicks Done (console: presses Enter when standard input is
  // a terminal; otherwise returns at once).
  virtual void WaitForDone() = 0;
};

// Message boxes and notices as lines on standard error; a carriage return inside a text
// becomes a line break. Yes/No boxes take the preset answer.
class ConsoleUserInterface : public UserInterface {
 public:
  explicit ConsoleUserInterface(std::ostream& err) : err_(err) {}
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void Notice(const std::string& line) override;
  bool yesNoAnswer = false;

 private:
  std::ostream& err_;
};

// The console view of the output window: logged lines go to standard output as they
// are logged; the elapsed time and "Finished" at the end.
class ConsoleOutputView : public OutputView {
 public:
  explicit ConsoleOutputView(std::ostream& out) : out_(out) {}
  void Show() override { shown_ = true; }
  void SetLogText(const std::string& text, const std::string& newLine) override;
  void SetTimeLabel(const std::string& text) override;
  void SetGameFileLabel(const std::string& text) override;
  void WaitForDone() override;
  void Print(const std::string& text) override;

 private:
  std::ostream& out_;
  bool shown_ = false;
};

// Formats a message box as its console line: "title: text" or just the text.
std::string ConsoleMessageLine(const std::string& title, const std::string& text);

}  // namespace tarvik
