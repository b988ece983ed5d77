#include "wizard/state_dump.h"

#include <cmath>
#include <cstdio>

#include "base/cp1252.h"
#include "base/json.h"
#include "base/xml.h"

namespace tarvik {

namespace {

// A text of the system as the dump shows it: up to its first zero byte, as cp1252.
std::string ShownText(const std::string& bytes) { return Cp1252ToUtf8(bytes.substr(0, bytes.find('\0'))); }

// A text of the system as a JSON string.
void Text(JsonWriter& w, const std::string& bytes) { w.String(ShownText(bytes)); }

// A canvas colour: its palette index when it is one of the 16, else "#rrggbb".
void CanvasColor(JsonWriter& w, Rgb color) {
  const int index = StandardColorIndex(color);
  w.Key("color");
  if (index >= 0) {
    w.Int(index);
  } else {
    w.String(HexColor(color));
  }
}

void WriteControl(JsonWriter& w, const Control& c) {
  w.BeginObject().Key("text");
  Text(w, c.ShownText());
  switch (c.kind) {
    case ControlKind::ListBox:
    case ControlKind::ComboBox:
      w.Key("items").BeginArray();
      for (const std::string& item : c.items) Text(w, item);
      w.EndArray().Member("selected", c.selected).Member("enabled", c.enabled);
      break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
      w.Member("checked", c.checked).Member("enabled", c.enabled);
      break;
    case ControlKind::TextBox:
    case ControlKind::CommandButton:
      w.Member("enabled", c.enabled);
      break;
    case ControlKind::Label:
      break;
  }
  w.Member("shown", c.shown);
  if (c.kind == ControlKind::Label) w.Member("color", HexColor(c.color));
  w.EndObject();
}

const char* OpName(CanvasOpKind k) {
  switch (k) {
    case CanvasOpKind::Button:
      return "button";
    case CanvasOpKind::SmallButton:
      return "smallbutton";
    case CanvasOpKind::DisabledButton:
      return "disabledbutton";
    case CanvasOpKind::Text:
      return "text";
    case CanvasOpKind::Lamp:
      return "lamp";
    case CanvasOpKind::Point:
      return "point";
    case CanvasOpKind::Box:
      return "box";
    case CanvasOpKind::FilledBox:
      return "filledbox";
    case CanvasOpKind::Circle:
      return "circle";
  }
  return "";
}

void WriteOp(JsonWriter& w, const CanvasOp& op) {
  w.BeginObject().Member("op", OpName(op.kind)).Member("x", op.x).Member("y", op.y);
  switch (op.kind) {
    case CanvasOpKind::Button:
    case CanvasOpKind::SmallButton:
    case CanvasOpKind::DisabledButton:
      w.Key("text");
      Text(w, op.text);
      w.Member("highlighted", op.highlighted);
      break;
    case CanvasOpKind::Text:
      w.Key("text");
      Text(w, op.text);
      CanvasColor(w, op.color);
      break;
    case CanvasOpKind::Lamp:
      w.Member("state", op.state);
      break;
    case CanvasOpKind::Point:
      CanvasColor(w, op.color);
      break;
    case CanvasOpKind::Box:
    case CanvasOpKind::FilledBox:
      w.Member("x2", op.x2).Member("y2", op.y2);
      CanvasColor(w, op.color);
      break;
    case CanvasOpKind::Circle:
      w.Key("r").Number(std::isfinite(op.r) ? op.r : 0.0);
      CanvasColor(w, op.color);
      break;
  }
  w.EndObject();
}

void WriteForm(JsonWriter& w, const Form& f) {
  w.BeginObject().Member("shown", f.shown).Key("caption");
  Text(w, f.caption);
  w.Member("left", f.left).Member("top", f.top);
  w.Key("controls").BeginObject();
  for (const Control& c : f.controls) {
    w.Key(c.name);
    WriteControl(w, c);
  }
  w.EndObject();
  w.Key("canvas").BeginArray();
  if (f.picCMD) {
    for (const CanvasOp& op : f.picCMD->ops()) WriteOp(w, op);
  }
  w.EndArray();
  w.EndObject();
}

// ---- SVG ----

// A text of the system inside the picture.
std::string XmlText(const std::string& bytes) { return XmlEscaped(ShownText(bytes)); }

std::string Attr(const char* name, const std::string& value) { return std::string(" ") + name + "=\"" + value + "\""; }
std::string Attr(const char* name, long long value) { return Attr(name, std::to_string(value)); }

std::string SvgText(int x, int y, Rgb color, const std::string& text) {
  return "<text" + Attr("x", x) + Attr("y", y) + Attr("fill", HexColor(color)) +
         " dominant-baseline=\"text-before-edge\" xml:space=\"preserve\">" + XmlText(text) + "</text>";
}

std::string SvgRect(int x, int y, int w, int h, const std::string& fill, const std::string& stroke) {
  return "<rect" + Attr("x", x) + Attr("y", y) + Attr("width", w) + Attr("height", h) + Attr("fill", fill) +
         (stroke.empty() ? "" : Attr("stroke", stroke)) + "/>";
}

// The faces stand for the window front end's images: a grey face, smaller for a small
// button, and a green or red lamp.
constexpr Rgb FACE_COLOR = 0xC0C0C0;
constexpr int SMALL_FACE_WIDTH = 40;
constexpr int LAMP_SIZE = 14;

std::string OpSvg(const CanvasOp& op) {
  const int x = op.x, y = op.y;
  switch (op.kind) {
    case CanvasOpKind::Button:
    case CanvasOpKind::SmallButton: {
      const bool small = op.kind == CanvasOpKind::SmallButton;
      std::string g = "<g class=\"" + std::string(OpName(op.kind)) + "\">";
      g += SvgRect(x, y, small ? SMALL_FACE_WIDTH : BUTTON_WIDTH, BUTTON_HEIGHT, HexColor(FACE_COLOR), "#ffffff");
      if (op.highlighted) {
        const std::string green = HexColor(colors::BRIGHT_GREEN);
        g += SvgRect(x, y, BUTTON_WIDTH, BUTTON_HEIGHT, "none", green);
        g += SvgRect(x - 1, y - 1, BUTTON_WIDTH + 2, BUTTON_HEIGHT + 2, "none", green);
      }
      g += SvgText(x + (small ? SMALL_CAPTION_DX : CAPTION_DX), y + CAPTION_DY, op.color, op.text);
      return g + "</g>";
    }
    case CanvasOpKind::DisabledButton: {
      const std::string frame = HexColor(colors::DISABLED_FRAME);
      return "<g class=\"disabledbutton\">" + SvgRect(x, y, BUTTON_WIDTH, BUTTON_HEIGHT, "none", frame) +
             SvgRect(x + 1, y + 1, BUTTON_WIDTH - 2, BUTTON_HEIGHT - 2, "none", frame) +
             SvgText(x + CAPTION_DX, y + CAPTION_DY, colors::DISABLED_CAPTION, op.text) + "</g>";
    }
    case CanvasOpKind::Text:
      return SvgText(x, y, op.color, op.text);
    case CanvasOpKind::Lamp:
      return "<circle" + Attr("cx", x + LAMP_SIZE / 2) + Attr("cy", y + LAMP_SIZE / 2) + Attr("r", LAMP_SIZE / 2) +
             Attr("fill", op.state == 1 ? "#00c000" : "#e00000") + "/>";
    case CanvasOpKind::Point:
      return SvgRect(x, y, 1, 1, HexColor(op.color), "");
    case CanvasOpKind::Box:
    case CanvasOpKind::FilledBox: {
      const int left = std::min(x, op.x2), top = std::min(y, op.y2);
      const int w = std::abs(op.x2 - x), h = std::abs(op.y2 - y);
      const std::string color = HexColor(op.color);
      return op.kind == CanvasOpKind::Box ? SvgRect(left, top, w, h, "none", color) : SvgRect(left, top, w, h, color, "");
    }
    case CanvasOpKind::Circle:
      return "<circle" + Attr("cx", x) + Attr("cy", y) + Attr("r", JsonNumber(std::isfinite(op.r) ? std::abs(op.r) : 0.0)) +
             Attr("fill", "none") +
             Attr("stroke", HexColor(op.color)) + "/>";
  }
  return "";
}

}  // namespace

std::string HexColor(Rgb color) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06x", static_cast<unsigned>(color & 0xFFFFFF));
  return buf;
}

std::string DumpWizardJson(const WizardForms& forms, const std::vector<ShownMessage>& messages) {
  std::string out;
  JsonWriter w(out);
  w.BeginObject().Key("visible").BeginArray();
  for (const Form& f : forms.all()) {
    if (f.created && f.shown) w.String(f.name);
  }
  w.EndArray().Key("forms").BeginObject();
  for (const Form& f : forms.all()) {
    if (!f.created) continue;
    w.Key(f.name);
    WriteForm(w, f);
  }
  w.EndObject().Key("messages").BeginArray();
  for (const ShownMessage& m : messages) {
    w.BeginObject().Key("title");
    Text(w, m.title);
    w.Key("text");
    Text(w, m.text);
    w.EndObject();
  }
  w.EndArray().EndObject();
  return out;
}

std::string CanvasSvg(const Form& form) {
  const FormDesign& design = FormDesignOf(form.id);
  const int w = design.picture ? design.picture->w : 0, h = design.picture ? design.picture->h : 0;
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\"" + Attr("width", w) + Attr("height", h) +
         Attr("viewBox", "0 0 " + std::to_string(w) + " " + std::to_string(h)) +
         Attr("style", "background-color:" + HexColor(colors::BLACK)) +
         " font-family=\"sans-serif\" font-size=\"12\">\n";
  if (form.picCMD) {
    for (const CanvasOp& op : form.picCMD->ops()) out += OpSvg(op) + "\n";
  }
  return out + "</svg>\n";
}

}  // namespace tarvik
