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

constexpr int kMargin = 14;
constexpr int kButtonW = 80;
constexpr int kButtonH = 26;
constexpr int kMaxTextWidth = 480;
constexpr int kMinTextWidth = 200;

class IconBox : public Fl_Widget {
 public:
  IconBox(int x, int y, MessageIcon icon) : Fl_Widget(x, y, kIconSize, kIconSize), icon_(icon) {}
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
  fl_font(FL_HELVETICA, kControlTextSize);
  int textW = kMaxTextWidth, textH = 0;
  fl_measure(shown.c_str(), textW, textH, 0);
  textW = std::clamp(textW + 16, kMinTextWidth, kMaxTextWidth + 16);
  textH = std::max(textH, kIconSize);
  const int iconW = icon == MessageIcon::None ? 0 : kIconSize + kMargin;
  const int w = kMargin + iconW + textW + kMargin;
  const int h = kMargin + textH + kMargin + kButtonH + kMargin;

  Fl_Double_Window box(std::max(0, centreX - w / 2), std::max(0, centreY - h / 2), w, h);
  const std::string caption = ShownText(title);
  box.copy_label(caption.c_str());
  Answer answer;
  if (icon != MessageIcon::None) new IconBox(kMargin, kMargin, icon);
  auto* message = new Fl_Box(kMargin + iconW, kMargin, textW, textH);
  message->copy_label(shown.c_str());
  message->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  const int buttonY = h - kMargin - kButtonH;
  if (buttons == MessageButtons::Ok) {
    auto* ok = new Fl_Return_Button((w - kButtonW) / 2, buttonY, kButtonW, kButtonH, "OK");
    ok->callback(AnswerYes, &answer);
  } else {
    auto* yes = new Fl_Return_Button(w / 2 - kButtonW - kMargin / 2, buttonY, kButtonW, kButtonH, "Yes");
    yes->callback(AnswerYes, &answer);
    auto* no = new Fl_Button(w / 2 + kMargin / 2, buttonY, kButtonW, kButtonH, "No");
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
