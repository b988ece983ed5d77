#include "gui/message_box.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>

#include "gui/toolkit.h"  // right after the toolkit's headers, which bring in X11's macros

#include <algorithm>

#include "gui/artwork.h"
#include "gui/look.h"
#include "gui/text_codec.h"

namespace tarvik::gui {

namespace {

constexpr int MARGIN = 14;
constexpr int BUTTON_W = 80;
constexpr int BUTTON_H = 26;
constexpr int MAX_TEXT_WIDTH = 480;
constexpr int MIN_TEXT_WIDTH = 200;

class IconBox : public Fl_Widget {
 public:
  IconBox(int x, int y, MessageIcon icon) : Fl_Widget(x, y, ICON_SIZE, ICON_SIZE), icon_(icon) {}
  void draw() override { DrawMessageIcon(icon_, x(), y()); }

 private:
  MessageIcon icon_;
};

struct Answer {
  bool yes = false;
  bool given = false;
};

void AnswerYes(Fl_Widget* w, void* data) {
  *static_cast<Answer*>(data) = {true, true};
  w->window()->hide();
}

void AnswerNo(Fl_Widget* w, void* data) {
  *static_cast<Answer*>(data) = {false, true};
  w->window()->hide();
}

void CloseBox(Fl_Widget* w, void* data) {
  *static_cast<Answer*>(data) = {false, true};
  w->hide();
}

// Lines as the box shows them: a carriage return (with or without its line feed)
// breaks the line, as in the console form of the box.
std::string BoxText(const std::string& text) { return LiteralLabel(ShownText(ConsoleMessageLine("", text))); }

}  // namespace

bool RunMessageBox(const std::string& title, const std::string& text, MessageIcon icon, MessageButtons buttons,
                   int centreX, int centreY) {
  const std::string shown = BoxText(text);
  fl_font(FL_HELVETICA, CONTROL_TEXT_SIZE);
  int textW = MAX_TEXT_WIDTH, textH = 0;
  fl_measure(shown.c_str(), textW, textH, 0);
  textW = std::clamp(textW + 16, MIN_TEXT_WIDTH, MAX_TEXT_WIDTH + 16);
  textH = std::max(textH, ICON_SIZE);
  const int iconW = icon == MessageIcon::None ? 0 : ICON_SIZE + MARGIN;
  const int w = MARGIN + iconW + textW + MARGIN;
  const int h = MARGIN + textH + MARGIN + BUTTON_H + MARGIN;

  Fl_Double_Window box(std::max(0, centreX - w / 2), std::max(0, centreY - h / 2), w, h);
  const std::string caption = ShownText(title);
  box.copy_label(caption.c_str());
  Answer answer;
  if (icon != MessageIcon::None) new IconBox(MARGIN, MARGIN, icon);
  auto* message = new Fl_Box(MARGIN + iconW, MARGIN, textW, textH);
  message->copy_label(shown.c_str());
  message->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  const int buttonY = h - MARGIN - BUTTON_H;
  if (buttons == MessageButtons::Ok) {
    auto* ok = new Fl_Return_Button((w - BUTTON_W) / 2, buttonY, BUTTON_W, BUTTON_H, "OK");
    ok->callback(AnswerYes, &answer);
  } else {
    auto* yes = new Fl_Return_Button(w / 2 - BUTTON_W - MARGIN / 2, buttonY, BUTTON_W, BUTTON_H, "Yes");
    yes->callback(AnswerYes, &answer);
    auto* no = new Fl_Button(w / 2 + MARGIN / 2, buttonY, BUTTON_W, BUTTON_H, "No");
    no->callback(AnswerNo, &answer);
  }
  box.end();
  box.set_modal();
  box.callback(CloseBox, &answer);  // the close box (and Escape) answer No
  box.show();
  while (box.shown()) Fl::wait();
  return answer.yes;
}

}  // namespace tarvik::gui
