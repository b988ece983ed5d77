#include "wizard/state_dump.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/cp1252.h"

namespace tarvik {

namespace {

// A text of the system as the dump shows it: up to its first zero byte, as cp1252.
std::string ShownText(const std::string& bytes) { return Cp1252ToUtf8(bytes.substr(0, bytes.find('\0'))); }

std::string JsonString(const std::string& bytes) {
  std::string out = "\"";
  for (char ch : ShownText(bytes)) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += ch;
        }
    }
  }
  return out + "\"";
}

std::string JsonNumber(double v) {
  if (!std::isfinite(v)) return "0";
  char buf[32];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

std::string JsonBool(bool b) { return b ? "true" : "false"; }

// A canvas colour: its palette index when it is one of the 16, else "#rrggbb".
std::string CanvasColor(Rgb color) {
  const int index = StandardColorIndex(color);
  return index >= 0 ? std::to_string(index) : "\"" + HexColor(color) + "\"";
}

// Members of an object, written in order.
class JsonObject {
 public:
  JsonObject& Add(const std::string& name, const std::string& json) {
    out_ += (out_.empty() ? "{" : ",") + JsonString(name) + ":" + json;
    return *this;
  }
  JsonObject& Add(const std::string& name, int v) { return Add(name, std::to_string(v)); }
  JsonObject& AddBool(const std::string& name, bool v) { return Add(name, JsonBool(v)); }
  JsonObject& AddText(const std::string& name, const std::string& text) { return Add(name, JsonString(text)); }
  std::string str() const { return out_.empty() ? "{}" : out_ + "}"; }

 private:
  std::string out_;
};

template <typename T, typename F>
std::string JsonArray(const std::vector<T>& values, F toJson) {
  std::string out = "[";
  for (size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + toJson(values[i]);
  return out + "]";
}

std::string ControlJson(const Control& c) {
  JsonObject o;
  o.AddText("text", c.ShownText());
  switch (c.kind) {
    case ControlKind::ListBox:
    case ControlKind::ComboBox:
      o.Add("items", JsonArray(c.items, JsonString)).Add("selected", c.selected).AddBool("enabled", c.enabled);
      break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
      o.AddBool("checked", c.checked).AddBool("enabled", c.enabled);
      break;
    case ControlKind::TextBox:
    case ControlKind::CommandButton:
      o.AddBool("enabled", c.enabled);
      break;
    case ControlKind::Label:
      break;
  }
  o.AddBool("shown", c.shown);
  if (c.kind == ControlKind::Label) o.AddText("color", HexColor(c.color));
  return o.str();
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

std::string OpJson(const CanvasOp& op) {
  JsonObject o;
  o.AddText("op", OpName(op.kind)).Add("x", op.x).Add("y", op.y);
  switch (op.kind) {
    case CanvasOpKind::Button:
    case CanvasOpKind::SmallButton:
    case CanvasOpKind::DisabledButton:
      o.AddText("text", op.text).AddBool("highlighted", op.highlighted);
      break;
    case CanvasOpKind::Text:
      o.AddText("text", op.text).Add("color", CanvasColor(op.color));
      break;
    case CanvasOpKind::Lamp:
      o.Add("state", op.state);
      break;
    case CanvasOpKind::Point:
      o.Add("color", CanvasColor(op.color));
      break;
    case CanvasOpKind::Box:
    case CanvasOpKind::FilledBox:
      o.Add("x2", op.x2).Add("y2", op.y2).Add("color", CanvasColor(op.color));
      break;
    case CanvasOpKind::Circle:
      o.Add("r", JsonNumber(op.r)).Add("color", CanvasColor(op.color));
      break;
  }
  return o.str();
}

std::string FormJson(const Form& f) {
  JsonObject controls;
  for (const Control& c : f.controls) controls.Add(c.name, ControlJson(c));
  JsonObject o;
  o.AddBool("shown", f.shown).AddText("caption", f.caption).Add("left", f.left).Add("top", f.top);
  o.Add("controls", controls.str());
  o.Add("canvas", f.picCMD ? JsonArray(f.picCMD->ops(), OpJson) : "[]");
  return o.str();
}

// ---- SVG ----

std::string XmlText(const std::string& bytes) {
  std::string out;
  for (char ch : ShownText(bytes)) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (c < 0x20) {
          // XML allows only tab, line feed and carriage return among the controls.
          out += (c == '\t' || c == '\n' || c == '\r') ? "&#" + std::to_string(c) + ";" : "&#xFFFD;";
        } else {
          out += ch;
        }
    }
  }
  return out;
}

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
      return "<circle" + Attr("cx", x) + Attr("cy", y) + Attr("r", JsonNumber(std::abs(op.r))) + Attr("fill", "none") +
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
  std::vector<std::string> visible;
  JsonObject formsJson;
  for (const Form& f : forms.all()) {
    if (!f.created) continue;
    if (f.shown) visible.push_back(f.name);
    formsJson.Add(f.name, FormJson(f));
  }
  JsonObject root;
  root.Add("visible", JsonArray(visible, JsonString));
  root.Add("forms", formsJson.str());
  root.Add("messages", JsonArray(messages, [](const ShownMessage& m) {
             return JsonObject().AddText("title", m.title).AddText("text", m.text).str();
           }));
  return root.str() + "\n";
}

std::string CanvasSvg(const Form& form) {
  const FormSpec& spec = FormSpecOf(form.id);
  const int w = spec.picture ? spec.picture->w : 0, h = spec.picture ? spec.picture->h : 0;
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
