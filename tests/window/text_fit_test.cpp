// Every text fits where it is written: measured in the windows' own font on a virtual
// display, on every step as the wizard model draws it along the map road. A caption
// stays inside its button face, a text inside the picture, inside a frame it starts
// in, and clear of the controls, of the buttons and of the other texts; the captions
// of the controls fit their controls.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <sstream>

#include "forge/forge.h"
#include "gui/artwork.h"
#include "gui/look.h"
#include "gui/text_codec.h"
#include "gui/toolkit.h"
#include "test_support.h"
#include "window/display_support.h"
#include "window/wizard_mirror.h"

namespace tarvik::test {
namespace {

struct Box {
  int x1, y1, x2, y2;  // corners included
  bool Overlaps(const Box& o) const { return x1 <= o.x2 && o.x1 <= x2 && y1 <= o.y2 && o.y1 <= y2; }
  bool Inside(const Box& o) const { return x1 >= o.x1 && y1 >= o.y1 && x2 <= o.x2 && y2 <= o.y2; }
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "(" << b.x1 << ", " << b.y1 << ")-(" << b.x2 << ", " << b.y2 << ")";
}

int Width(const std::string& text, int size) {
  fl_font(FL_HELVETICA, size);
  const std::string shown = gui::ShownText(text);
  return static_cast<int>(fl_width(shown.c_str(), static_cast<int>(shown.size()))) + 1;
}

// A text's box on the picture: from its top-left corner, as wide as its trailing
// blanks-free text, one line high.
Box TextBox(const std::string& text, int x, int y) {
  const std::string trimmed = text.substr(0, text.find_last_not_of(' ') + 1);
  fl_font(FL_HELVETICA, gui::PICTURE_TEXT_SIZE);
  return {x, y, x + Width(trimmed, gui::PICTURE_TEXT_SIZE) - 1, y + fl_height() - fl_descent() - 1};
}

Box InPicture(const Form& f, const Rect& r) {
  const int ox = f.pictureRect ? f.pictureRect->x : 0, oy = f.pictureRect ? f.pictureRect->y : 0;
  return {r.x - ox, r.y - oy, r.x - ox + r.w - 1, r.y - oy + r.h - 1};
}

// All that does not fit on the form as it is now.
std::string Misfits(const Form& f) {
  std::ostringstream out;
  if (f.picCMD) {
    const Canvas& c = *f.picCMD;
    const Box picture{0, 0, c.width() - 1, c.height() - 1};
    std::vector<Box> controls, buttons, frames;
    for (const Control& control : f.controls) {
      if (control.shown) controls.push_back(InPicture(f, control.rect));
    }
    for (const Decoration& d : f.decorations) controls.push_back(InPicture(f, d.rect));
    std::vector<std::pair<Box, std::string>> texts;
    for (const CanvasOp& op : c.ops()) {
      switch (op.kind) {
        case CanvasOpKind::Button:
        case CanvasOpKind::SmallButton:
        case CanvasOpKind::DisabledButton: {
          const bool small = op.kind == CanvasOpKind::SmallButton;
          const int dx = small ? SMALL_CAPTION_DX : CAPTION_DX;
          const int face = small ? gui::SMALL_FACE_WIDTH : gui::FACE_WIDTH;
          const Box caption = TextBox(op.text, op.x + dx, op.y + CAPTION_DY);
          if (caption.x2 >= op.x + face - 1) out << "caption \"" << op.text << "\" " << caption << " leaves its face; ";
          buttons.push_back({op.x, op.y, op.x + BUTTON_WIDTH, op.y + BUTTON_HEIGHT});
          break;
        }
        case CanvasOpKind::Box:
          frames.push_back({std::min(op.x, op.x2), std::min(op.y, op.y2), std::max(op.x, op.x2), std::max(op.y, op.y2)});
          break;
        case CanvasOpKind::Text:
          if (op.text.find_first_not_of(' ') != std::string::npos) {
            texts.push_back({TextBox(op.text, op.x, op.y), op.text});
          }
          break;
        default:
          break;
      }
    }
    for (size_t i = 0; i < texts.size(); ++i) {
      const auto& [box, text] = texts[i];
      if (!box.Inside(picture)) out << "\"" << text << "\" " << box << " leaves the picture; ";
      for (const Box& control : controls) {
        if (box.Overlaps(control)) out << "\"" << text << "\" " << box << " runs into a control " << control << "; ";
      }
      for (const Box& button : buttons) {
        if (box.Overlaps(button)) out << "\"" << text << "\" " << box << " runs into a button " << button << "; ";
      }
      for (const Box& frame : frames) {
        const bool startsInside = box.x1 > frame.x1 && box.x1 < frame.x2 && box.y1 > frame.y1 && box.y1 < frame.y2;
        if (startsInside && !box.Inside(frame)) out << "\"" << text << "\" " << box << " leaves its frame; ";
      }
      for (size_t j = i + 1; j < texts.size(); ++j) {
        const bool same = texts[j].second == text && texts[j].first.x1 == box.x1 && texts[j].first.y1 == box.y1;
        if (!same && box.Overlaps(texts[j].first)) out << "\"" << text << "\" and \"" << texts[j].second << "\" overlap; ";
      }
    }
  }
  const Box window{0, 0, f.width - 1, f.height - 1};
  for (const Control& control : f.controls) {
    const Box box{control.rect.x, control.rect.y, control.rect.x + control.rect.w - 1, control.rect.y + control.rect.h - 1};
    if (!box.Inside(window)) out << control.name << " " << box << " leaves the window " << window << "; ";
  }
  // The captions of the controls, in the controls' font; check boxes and option
  // buttons give their mark some 24 pixels.
  for (const Control& control : f.controls) {
    int need = 0;
    switch (control.kind) {
      case ControlKind::CheckBox:
      case ControlKind::OptionButton:
        need = Width(control.text, gui::CONTROL_TEXT_SIZE) + 24;
        break;
      case ControlKind::Label:
      case ControlKind::CommandButton:
        need = Width(control.text, gui::CONTROL_TEXT_SIZE) + 4;
        break;
      default:
        break;
    }
    if (control.shown && need > control.rect.w) {
      out << control.name << " \"" << control.text << "\" needs " << need << " pixels, has " << control.rect.w << "; ";
    }
  }
  for (const Decoration& d : f.decorations) {
    if (d.kind == DecorationKind::Caption && Width(std::string(d.text), gui::CONTROL_TEXT_SIZE) + 4 > d.rect.w) {
      out << "caption \"" << d.text << "\" is wider than " << d.rect.w << "; ";
    }
  }
  return out.str();
}

class TextFit : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(ToolkitDisplay(), nullptr);
    forge::WriteSampleGame(game_.path());
  }
  TempDir game_;
};

TEST_F(TextFit, EveryStepsTextsFitWhereTheyAreWritten) {
  WizardMirror m(game_.path(), 7);
  auto check = [&](FormId id) {
    const Form& f = m.form(id);
    ASSERT_TRUE(f.shown) << f.name << " is not shown";
    EXPECT_EQ(Misfits(f), "") << f.name;
  };
  check(FormId::UnivSlots);
  m.Act(ClickEvent(FormId::UnivSlots, 10, 10));
  check(FormId::UnivSlots);
  m.Act(ClickEvent(FormId::UnivSlots, 375, 315));
  m.Act(CheckEvent(FormId::Map, "optEcho", 1));
  check(FormId::Map);
  m.Act(ClickEvent(FormId::Map, 590, 315));
  check(FormId::Name);
  m.Act(ClickEvent(FormId::Name, 590, 315));
  check(FormId::Race);
  m.Act(TextEvent(FormId::Race, "txtPlayers", "2"));
  m.Act(KeyEvent(FormId::Race, "txtPlayers", 13));
  for (int line : {0, 1}) m.Act(SelectEvent(FormId::Race, "lstAss", line));
  m.Act(ClickEvent(FormId::Race, 290, 13));
  check(FormId::StartPos);
  m.Act(ClickEvent(FormId::StartPos, 390, 120));  // Pick, the longest hint
  check(FormId::StartPos);
  m.Act(ClickEvent(FormId::StartPos, 390, 20));   // Circle again: Next takes it
  m.Act(ClickEvent(FormId::StartPos, 590, 315));
  check(FormId::Home);
  m.Act(ClickEvent(FormId::Home, 590, 315));
  check(FormId::Planet);
  EXPECT_EQ(Misfits(m.s().wizard.forms.Load(FormId::OutText)), "");
}

}  // namespace
}  // namespace tarvik::test
