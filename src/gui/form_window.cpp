#include "gui/form_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>

#include "gui/toolkit.h"  // right after the toolkit's headers, which bring in X11's macros

#include "gui/artwork.h"
#include "gui/canvas_painter.h"
#include "gui/events.h"
#include "gui/fltk_front_end.h"
#include "gui/look.h"
#include "gui/text_codec.h"

namespace tarvik::gui {

namespace {

// A text box taller than this is a multi-line box (the output window's log).
constexpr int MULTI_LINE_HEIGHT = 40;

bool InsidePicture(const Rect& r, const Form& form) {
  if (!form.pictureRect) return false;
  const Rect& p = *form.pictureRect;
  return r.x >= p.x && r.y >= p.y && r.x + r.w <= p.x + p.w && r.y + r.h <= p.y + p.h;
}

}  // namespace

// ---- The picture box ----

class PictureBox : public Fl_Widget {
 public:
  PictureBox(FltkFrontEnd& frontEnd, const Form& form)
      : Fl_Widget(form.pictureRect->x, form.pictureRect->y, form.pictureRect->w, form.pictureRect->h),
        frontEnd_(frontEnd),
        form_(form.id),
        rect_(*form.pictureRect),
        canvas_(&*form.picCMD) {}

  // The controls lie on top of the picture, so a new picture repaints the whole
  // window (double-buffered), the controls after the picture.
  void Sync() {
    if (canvas_->version() != paintedVersion_) window()->redraw();
  }

  void draw() override {
    paintedVersion_ = canvas_->version();
    PaintCanvas(*canvas_, x(), y());
  }

  // Any mouse button going down is a click on the picture, at the pixel under it.
  int handle(int event) override {
    if (event == FL_PUSH) {
      frontEnd_.Act(PictureMouseDown(form_, Fl::event_x(), Fl::event_y(), rect_));
      return 1;
    }
    return Fl_Widget::handle(event);
  }

 private:
  FltkFrontEnd& frontEnd_;
  FormId form_;
  Rect rect_;
  const Canvas* canvas_;
  uint64_t paintedVersion_ = ~uint64_t{0};
};

// ---- Decorations ----

// The pictures of the home and planet steps.
class ArtworkBox : public Fl_Widget {
 public:
  ArtworkBox(const Rect& r, Artwork art) : Fl_Widget(r.x, r.y, r.w, r.h), art_(art) {}
  void draw() override { DrawArtwork(art_, x(), y(), w(), h()); }

 private:
  Artwork art_;
};

// The output window's Done: the button face with its caption.
class DoneButton : public Fl_Widget {
 public:
  DoneButton(FltkFrontEnd& frontEnd, const Rect& r, std::string_view caption)
      : Fl_Widget(r.x, r.y, FACE_WIDTH, FACE_HEIGHT), frontEnd_(frontEnd), caption_(caption) {}
  void draw() override {
    DrawButtonFace(x(), y(), false);
    fl_color(FL_BLACK);
    DrawTextAt(caption_, x() + CAPTION_DX, y() + CAPTION_DY);
  }
  // A click is a press and a release on the button: the release of the click on the
  // planet step's Finish, which stands where Done appears, is not one.
  int handle(int event) override {
    if (event == FL_PUSH) {
      pressed_ = true;
      return 1;
    }
    if (event == FL_RELEASE) {
      const bool click = pressed_ && Fl::event_inside(this);
      pressed_ = false;
      if (click) frontEnd_.Act(FormEvent(WizardEventKind::Done, FormId::OutText));
      return 1;
    }
    return Fl_Widget::handle(event);
  }

 private:
  FltkFrontEnd& frontEnd_;
  std::string caption_;
  bool pressed_ = false;
};

// ---- Controls ----

// A check box or option button standing on the black picture: black behind it, its
// caption in the step's text colour, also while it is disabled.
template <typename Button>
class OnPicture : public Button {
 public:
  OnPicture(int x, int y, int w, int h) : Button(x, y, w, h) {
    this->box(FL_NO_BOX);
    this->labelcolor(PaletteColor(10));
  }
  void draw() override {
    fl_rectf(this->x(), this->y(), this->w(), this->h(), FL_BLACK);
    Button::draw();
  }
};

struct ControlBinding {
  FltkFrontEnd* frontEnd = nullptr;
  FormId form = FormId::UnivSlots;
  std::string name;
  ControlKind kind = ControlKind::Label;
  Fl_Widget* widget = nullptr;
  // What the widget shows now (UTF-8), so that a sync changes only what changed.
  std::vector<std::string> items;
  std::string text;
  std::string caption;
  Fl_Color color = FL_BLACK;
  // Multi-line text boxes show a buffer; drop-down lists a menu of their own.
  std::unique_ptr<Fl_Text_Buffer> buffer;
  std::vector<Fl_Menu_Item> menu;

  void Send(WizardEventKind kind, int value = 0, const std::string& text = {}) const {
    frontEnd->Act(ControlEvent(kind, form, name, value, text));
  }
};

namespace {

// A list box: a click on an item (also the selected one) or a move with the keys
// selects it and fires the list's click.
void ListCallback(Fl_Widget* w, void* data) {
  auto* b = static_cast<ControlBinding*>(data);
  const int line = static_cast<Fl_Hold_Browser*>(w)->value();
  if (line > 0) b->Send(WizardEventKind::Select, line - 1);
}

// A drop-down list: picking an entry selects it; typing sets the text.
void ComboMenuCallback(Fl_Widget* w, void* data) {
  auto* b = static_cast<ControlBinding*>(data);
  const int entry = static_cast<Fl_Menu_Button*>(w)->value();
  if (entry >= 0) b->Send(WizardEventKind::Select, entry);
}

void TextCallback(Fl_Widget* w, void* data) {
  auto* b = static_cast<ControlBinding*>(data);
  b->Send(WizardEventKind::Text, 0, TypedText(static_cast<Fl_Input*>(w)->value()));
}

void CheckCallback(Fl_Widget* w, void* data) {
  auto* b = static_cast<ControlBinding*>(data);
  // A click on an option button selects it; a check box takes its new state.
  b->Send(WizardEventKind::Check, b->kind == ControlKind::OptionButton || static_cast<Fl_Button*>(w)->value() ? 1 : 0);
}

void PressCallback(Fl_Widget*, void* data) {
  auto* b = static_cast<ControlBinding*>(data);
  b->Send(WizardEventKind::Press);
}

// The character code of the key just pressed, as a key press handler receives it;
// -1 for keys that type nothing (moves, Delete, function keys) and for Tab, which
// moves on.
int PressedCharacterCode() {
  const int key = Fl::event_key();
  if (key == FL_Tab || key == FL_Delete) return -1;
  if (key == FL_Enter || key == FL_KP_Enter) return 13;
  if (key == FL_BackSpace) return 8;
  if (Fl::event_length() == 0) return -1;
  const std::string_view typed(Fl::event_text(), static_cast<size_t>(Fl::event_length()));
  if (typed.size() == 1 && static_cast<unsigned char>(typed[0]) < 32) return typed[0];
  return TypedCharacterCode(typed);
}

}  // namespace

// A text box whose key presses the step handles: every typed character goes to the
// step, which decides what the box then holds.
class KeyPressBox : public Fl_Input {
 public:
  KeyPressBox(int x, int y, int w, int h, ControlBinding& b) : Fl_Input(x, y, w, h), binding_(b) {}
  int handle(int event) override {
    if (event == FL_KEYBOARD) {
      const int code = PressedCharacterCode();
      if (code >= 0) {
        binding_.Send(WizardEventKind::Key, code);
        return 1;
      }
    }
    // Moving the caret, deleting and pasting edit the box itself; the step sees the
    // new text as the box's text.
    const std::string before = value();
    const int handled = Fl_Input::handle(event);
    if (before != value()) TextCallback(this, &binding_);
    return handled;
  }

 private:
  ControlBinding& binding_;
};

// ---- The window ----

namespace {

void WindowCloseCallback(Fl_Widget* w, void* data) {
  // Escape reaches the window as a shortcut; only the window manager's close box
  // closes a step.
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  static_cast<FltkFrontEnd*>(data)->CloseBox(static_cast<FormWindow*>(w)->id());
}

}  // namespace

FormWindow::FormWindow(FltkFrontEnd& frontEnd, Form& form)
    : Fl_Double_Window(form.left, form.top, form.width, form.height), frontEnd_(frontEnd), id_(form.id) {
  size_range(form.width, form.height, form.width, form.height);
  callback(WindowCloseCallback, &frontEnd_);
  if (form.pictureRect) {
    picture_ = new PictureBox(frontEnd_, form);
  }
  for (const Decoration& d : form.decorations) AddDecoration(d, form);
  for (Control& c : form.controls) AddControl(c, form);
  end();
  Sync(form);
}

// The widgets go first: the log's display still refers to its buffer, which its
// binding holds.
FormWindow::~FormWindow() { clear(); }

void FormWindow::AddDecoration(const Decoration& d, const Form& form) {
  switch (d.kind) {
    case DecorationKind::Caption: {
      auto* box = new Fl_Box(d.rect.x, d.rect.y, d.rect.w, d.rect.h);
      box->copy_label(LiteralLabel(ShownText(std::string(d.text))).c_str());
      box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
      // On the black picture the captions are written as the step's own texts are.
      box->labelcolor(InsidePicture(d.rect, form) ? PaletteColor(10) : FL_BLACK);
      return;
    }
    case DecorationKind::Picture:
      new ArtworkBox(d.rect, form.id == FormId::Home ? Artwork::HomeWorld : Artwork::Planet);
      return;
    case DecorationKind::DoneButton:
      new DoneButton(frontEnd_, d.rect, d.text);
      return;
  }
}

void FormWindow::AddControl(Control& c, const Form& form) {
  auto b = std::make_unique<ControlBinding>();
  b->frontEnd = &frontEnd_;
  b->form = form.id;
  b->name = c.name;
  b->kind = c.kind;
  const Rect& r = c.rect;
  switch (c.kind) {
    case ControlKind::ListBox: {
      auto* list = new Fl_Hold_Browser(r.x, r.y, r.w, r.h);
      list->format_char(0);  // items are shown as they are, "@" included
      list->textsize(CONTROL_TEXT_SIZE);
      list->when(FL_WHEN_RELEASE_ALWAYS);
      list->callback(ListCallback, b.get());
      b->widget = list;
      break;
    }
    case ControlKind::ComboBox: {
      auto* combo = new Fl_Input_Choice(r.x, r.y, r.w, r.h);
      combo->input()->when(FL_WHEN_CHANGED);
      combo->input()->callback(TextCallback, b.get());
      combo->menubutton()->callback(ComboMenuCallback, b.get());
      b->widget = combo;
      break;
    }
    case ControlKind::TextBox: {
      if (r.h > MULTI_LINE_HEIGHT) {
        auto* display = new Fl_Text_Display(r.x, r.y, r.w, r.h);
        b->buffer = std::make_unique<Fl_Text_Buffer>();
        display->buffer(b->buffer.get());
        display->textsize(CONTROL_TEXT_SIZE);
        b->widget = display;
      } else if (HandlesKeyPress(form.id, c.name)) {
        b->widget = new KeyPressBox(r.x, r.y, r.w, r.h, *b);
      } else {
        auto* input = new Fl_Input(r.x, r.y, r.w, r.h);
        input->when(FL_WHEN_CHANGED);
        input->callback(TextCallback, b.get());
        b->widget = input;
      }
      break;
    }
    case ControlKind::CheckBox:
    case ControlKind::OptionButton: {
      const bool onPicture = InsidePicture(r, form);
      Fl_Button* button = nullptr;
      if (c.kind == ControlKind::CheckBox) {
        button = onPicture ? new OnPicture<Fl_Check_Button>(r.x, r.y, r.w, r.h) : new Fl_Check_Button(r.x, r.y, r.w, r.h);
      } else {
        button = onPicture ? new OnPicture<Fl_Round_Button>(r.x, r.y, r.w, r.h) : new Fl_Round_Button(r.x, r.y, r.w, r.h);
        button->type(FL_RADIO_BUTTON);
      }
      button->callback(CheckCallback, b.get());
      b->widget = button;
      break;
    }
    case ControlKind::Label: {
      auto* label = new Fl_Box(r.x, r.y, r.w, r.h);
      label->box(FL_FLAT_BOX);
      label->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
      b->widget = label;
      break;
    }
    case ControlKind::CommandButton: {
      auto* button = new Fl_Button(r.x, r.y, r.w, r.h);
      button->callback(PressCallback, b.get());
      b->widget = button;
      break;
    }
  }
  bindings_.push_back(std::move(b));
}

namespace {

// `held`: the mouse button went down on the list and is not up yet. The line under it
// shows selected from the press on, but the step hears of it only with the release;
// until then a sync (the race step's timer ticks twice a second) keeps that line
// selected, or the release would send the model's old line instead of the user's.
void SyncItems(ControlBinding& b, const Control& c, Fl_Hold_Browser& list, bool held) {
  const int heldLine = held ? list.value() : 0;
  std::vector<std::string> items;
  items.reserve(c.items.size());
  for (const std::string& item : c.items) items.push_back(ShownText(item));
  if (items != b.items) {
    const int top = list.topline();
    list.clear();
    for (const std::string& item : items) list.add(item.c_str());
    b.items = std::move(items);
    list.topline(top);
  }
  const int line = held ? (heldLine <= list.size() ? heldLine : 0) : c.selected + 1;
  if (list.value() != line) {
    list.value(line);
    if (line > 0) list.make_visible(line);
  }
}

void SyncMenu(ControlBinding& b, const Control& c, Fl_Input_Choice& combo) {
  std::vector<std::string> items;
  items.reserve(c.items.size());
  for (const std::string& item : c.items) items.push_back(LiteralLabel(ShownText(item), true));
  if (items != b.items) {
    b.items = std::move(items);
    b.menu.assign(b.items.size() + 1, Fl_Menu_Item{});
    for (size_t i = 0; i < b.items.size(); ++i) b.menu[i].text = b.items[i].c_str();
    combo.menubutton()->menu(b.menu.data());
  }
  if (c.selected >= 0 && c.selected < static_cast<int>(b.items.size())) combo.menubutton()->value(c.selected);
}

// Sets an input's text when the model's differs, with the caret at its end.
void SyncInput(ControlBinding& b, const Control& c, Fl_Input& input) {
  const std::string text = ShownText(c.text);
  if (text != input.value()) {
    input.value(text.c_str());
    input.position(input.size());
  }
  b.text = text;
}

// The log shows its lines without their carriage returns, the newest line in view.
void SyncLog(ControlBinding& b, const Control& c, Fl_Text_Display& display) {
  std::string text = ShownText(c.text);
  std::erase(text, '\r');
  if (text == b.text) return;
  b.text = text;
  b.buffer->text(text.c_str());
  display.insert_position(b.buffer->length());
  display.show_insert_position();
}

void SyncCaption(ControlBinding& b, const Control& c, Fl_Widget& w) {
  const std::string caption = LiteralLabel(ShownText(c.text));
  if (caption != b.caption) {
    b.caption = caption;
    w.copy_label(caption.c_str());
  }
}

void SyncControl(ControlBinding& b, const Control& c) {
  Fl_Widget& w = *b.widget;
  switch (c.kind) {
    case ControlKind::ListBox:
      // Held: the mouse button is down on the list (or its scroll bar).
      SyncItems(b, c, static_cast<Fl_Hold_Browser&>(w), w.contains(Fl::pushed()) != 0);
      break;
    case ControlKind::ComboBox: {
      auto& combo = static_cast<Fl_Input_Choice&>(w);
      SyncMenu(b, c, combo);
      SyncInput(b, c, *combo.input());
      break;
    }
    case ControlKind::TextBox:
      if (b.buffer) {
        SyncLog(b, c, static_cast<Fl_Text_Display&>(w));
      } else {
        SyncInput(b, c, static_cast<Fl_Input&>(w));
      }
      break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton: {
      auto& button = static_cast<Fl_Button&>(w);
      SyncCaption(b, c, button);
      if (button.value() != (c.checked ? 1 : 0)) button.value(c.checked ? 1 : 0);
      break;
    }
    case ControlKind::Label: {
      SyncCaption(b, c, w);
      const Fl_Color color = ToFlColor(c.color);
      if (color != b.color) {
        b.color = color;
        w.labelcolor(color);
        w.redraw_label();
      }
      break;
    }
    case ControlKind::CommandButton:
      SyncCaption(b, c, w);
      break;
  }
  if (c.enabled && !w.active()) w.activate();
  if (!c.enabled && w.active()) w.deactivate();
  if (c.shown && !w.visible()) w.show();
  if (!c.shown && w.visible()) w.hide();
}

}  // namespace

void FormWindow::Sync(const Form& form) {
  const std::string caption = ShownText(form.caption);
  if (caption != caption_) {
    caption_ = caption;
    copy_label(caption_.c_str());
  }
  if (picture_) picture_->Sync();
  for (auto& b : bindings_) {
    if (const Control* c = form.FindControl(b->name)) SyncControl(*b, *c);
  }
}

}  // namespace tarvik::gui
