#include "wizard/replay_reader.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace tarvik {

namespace {

constexpr double MAX_COORDINATE = 1e9;

struct EventName {
  std::string_view word;
  ReplayEventKind kind;
};
constexpr EventName EVENT_NAMES[] = {
    {"click", ReplayEventKind::Click},   {"select", ReplayEventKind::Select}, {"check", ReplayEventKind::Check},
    {"text", ReplayEventKind::Text},     {"key", ReplayEventKind::Key},       {"press", ReplayEventKind::Press},
    {"tick", ReplayEventKind::Tick},     {"answer", ReplayEventKind::Answer}, {"pick", ReplayEventKind::Pick},
    {"done", ReplayEventKind::Done},     {"dump", ReplayEventKind::Dump},     {"draw", ReplayEventKind::Draw},
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A word of the file as a message may quote it: at most 40 characters, anything that
// is not printable ASCII shown as "?".
std::string Quoted(std::string_view word) {
  std::string out = "\"";
  for (size_t i = 0; i < word.size() && i < 40; ++i) {
    const auto c = static_cast<unsigned char>(word[i]);
    out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
  }
  if (word.size() > 40) out += "...";
  return out + "\"";
}

// The words of one line, read from left to right.
class LineReader {
 public:
  explicit LineReader(std::string_view line) : line_(line) {}
  // The next word, or nothing at the end of the line.
  std::optional<std::string_view> Word() {
    while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
    if (pos_ >= line_.size()) return std::nullopt;
    const size_t start = pos_;
    while (pos_ < line_.size() && !IsBlank(line_[pos_])) ++pos_;
    return line_.substr(start, pos_ - start);
  }
  // The rest of the line after the one blank that follows the last word.
  std::string_view Rest() {
    if (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
    std::string_view rest = line_.substr(pos_);
    pos_ = line_.size();
    return rest;
  }
  bool AtEnd() {
    size_t p = pos_;
    while (p < line_.size() && IsBlank(line_[p])) ++p;
    return p >= line_.size();
  }

 private:
  std::string_view line_;
  size_t pos_ = 0;
};

std::string_view TrimTrailingBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A whole number of digits only, up to `max`.
std::optional<int> ParseIndex(std::string_view w, long long max) {
  if (w.empty() || w.size() > 12) return std::nullopt;
  long long v = 0;
  for (char c : w) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  if (v > max) return std::nullopt;
  return static_cast<int>(v);
}

// A coordinate: an optional sign, digits and an optional fraction.
std::optional<double> ParseCoordinate(std::string_view w) {
  size_t i = 0;
  bool negative = false;
  if (i < w.size() && (w[i] == '+' || w[i] == '-')) negative = w[i++] == '-';
  double v = 0;
  int digits = 0;
  for (; i < w.size() && w[i] >= '0' && w[i] <= '9'; ++i, ++digits) v = v * 10 + (w[i] - '0');
  if (i < w.size() && w[i] == '.') {
    double scale = 0.1;
    for (++i; i < w.size() && w[i] >= '0' && w[i] <= '9'; ++i, ++digits, scale /= 10) v += (w[i] - '0') * scale;
  }
  if (digits == 0 || i != w.size() || v > MAX_COORDINATE) return std::nullopt;
  return negative ? -v : v;
}

class Checker {
 public:
  Checker(const std::string& fileName, int line) : prefix_(fileName + ", line " + std::to_string(line) + ": ") {}

  [[noreturn]] void Fail(const std::string& what) const { throw ReplayUsageError(prefix_ + what); }

  std::string_view Need(LineReader& r, const char* what) const {
    auto w = r.Word();
    if (!w) Fail("missing " + std::string(what));
    return *w;
  }

  void End(LineReader& r) const {
    if (!r.AtEnd()) Fail("too many arguments");
  }

  FormId Form(std::string_view word) const {
    auto f = FindFormByName(word);
    if (!f) Fail("unknown form " + Quoted(word));
    return *f;
  }

  // FORM.CONTROL, with the kinds of control the event applies to.
  const ControlDesign& Control(std::string_view word, ReplayEvent& e, std::initializer_list<ControlKind> kinds,
                             const char* kindText) const {
    const size_t dot = word.find('.');
    if (dot == std::string_view::npos) Fail("expected FORM.CONTROL, not " + Quoted(word));
    e.form = Form(word.substr(0, dot));
    const std::string_view name = word.substr(dot + 1);
    const ControlDesign* design = FindControlDesign(e.form, name);
    if (!design) Fail("unknown control " + Quoted(name) + " of " + std::string(FormDesignOf(e.form).name));
    bool fits = false;
    for (ControlKind k : kinds) fits = fits || design->kind == k;
    if (!fits) Fail(Quoted(word) + " is not " + kindText);
    e.control = std::string(name);
    return *design;
  }

 private:
  std::string prefix_;
};

void ParseEvent(LineReader& r, std::string_view word, ReplayEvent& e, const Checker& c) {
  using K = ControlKind;
  std::optional<ReplayEventKind> kind;
  for (const EventName& n : EVENT_NAMES) {
    if (n.word == word) kind = n.kind;
  }
  if (!kind) c.Fail("unknown event " + Quoted(word));
  e.kind = *kind;
  switch (e.kind) {
    case ReplayEventKind::Click: {
      e.form = c.Form(c.Need(r, "FORM"));
      if (!FormDesignOf(e.form).picture) c.Fail(std::string(FormDesignOf(e.form).name) + " has no picCMD to click");
      const auto x = ParseCoordinate(c.Need(r, "X"));
      if (!x) c.Fail("X must be a number (at most 1000000000 either way)");
      const auto y = ParseCoordinate(c.Need(r, "Y"));
      if (!y) c.Fail("Y must be a number (at most 1000000000 either way)");
      e.x = *x;
      e.y = *y;
      return c.End(r);
    }
    case ReplayEventKind::Select: {
      const ControlDesign& design = c.Control(c.Need(r, "FORM.CONTROL"), e, {K::ListBox, K::ComboBox}, "a list");
      const std::string_view w = c.Need(r, "I");
      const auto i = ParseIndex(w, design.maxItems - 1);
      if (!i) {
        c.Fail("I must be an item index from 0 to " + std::to_string(design.maxItems - 1) + ", not " + Quoted(w));
      }
      e.value = *i;
      return c.End(r);
    }
    case ReplayEventKind::Check: {
      c.Control(c.Need(r, "FORM.CONTROL"), e, {K::CheckBox, K::OptionButton}, "a check box or option button");
      const std::string_view w = c.Need(r, "0 or 1");
      if (w != "0" && w != "1") c.Fail("expected 0 or 1, not " + Quoted(w));
      e.value = w == "1";
      return c.End(r);
    }
    case ReplayEventKind::Text:
      c.Control(c.Need(r, "FORM.CONTROL"), e, {K::TextBox, K::ComboBox}, "a text box or drop-down list");
      e.text = std::string(r.Rest());
      return;
    case ReplayEventKind::Key: {
      c.Control(c.Need(r, "FORM.CONTROL"), e, {K::TextBox, K::ComboBox}, "a text box or drop-down list");
      const std::string_view w = c.Need(r, "CODE");
      const auto code = ParseIndex(w, 255);
      if (!code) c.Fail("CODE must be a character code from 0 to 255, not " + Quoted(w));
      e.value = *code;
      return c.End(r);
    }
    case ReplayEventKind::Press:
      c.Control(c.Need(r, "FORM.CONTROL"), e, {K::CommandButton}, "a command button");
      return c.End(r);
    case ReplayEventKind::Tick:
      e.form = c.Form(c.Need(r, "FORM"));
      if (FormDesignOf(e.form).timerMs == 0) c.Fail(std::string(FormDesignOf(e.form).name) + " has no timer");
      return c.End(r);
    case ReplayEventKind::Answer: {
      const std::string_view w = c.Need(r, "yes or no");
      if (w != "yes" && w != "no") c.Fail("expected yes or no, not " + Quoted(w));
      e.value = w == "yes";
      return c.End(r);
    }
    case ReplayEventKind::Pick:
      e.text = std::string(TrimTrailingBlanks(r.Rest()));
      e.noChoice = e.text.empty();
      return;
    case ReplayEventKind::Done:
      return c.End(r);
    case ReplayEventKind::Dump:
      e.text = std::string(TrimTrailingBlanks(r.Rest()));
      if (e.text.empty()) c.Fail("missing FILE");
      return;
    case ReplayEventKind::Draw:
      e.form = c.Form(c.Need(r, "FORM"));
      if (!FormDesignOf(e.form).picture) c.Fail(std::string(FormDesignOf(e.form).name) + " has no picCMD to draw");
      e.text = std::string(TrimTrailingBlanks(r.Rest()));
      if (e.text.empty()) c.Fail("missing FILE");
      return;
  }
}

}  // namespace

std::vector<ReplayEvent> ParseReplay(std::string_view text, const std::string& fileName) {
  std::vector<ReplayEvent> events;
  int lineNumber = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++pos;
    ++lineNumber;
    LineReader r(line);
    auto first = r.Word();
    if (!first || (*first)[0] == '#') continue;
    const Checker check(fileName, lineNumber);
    ReplayEvent e;
    e.line = lineNumber;
    if (*first == "defer") {
      e.deferred = true;
      first = r.Word();
      if (!first) check.Fail("missing EVENT after defer");
      if (*first == "defer") check.Fail("defer takes an event other than defer");
    }
    ParseEvent(r, *first, e, check);
    events.push_back(std::move(e));
  }
  return events;
}

std::vector<ReplayEvent> ReadReplayFile(const std::string& path) {
  std::error_code ec;
  std::ifstream in;
  if (!std::filesystem::is_directory(path, ec)) in.open(path, std::ios::binary);
  if (!in.is_open()) throw ReplayUsageError("cannot read the replay file " + path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw ReplayUsageError("cannot read the replay file " + path);
  return ParseReplay(text, path);
}

std::string ReplayEventText(const ReplayEvent& e) {
  std::string out = e.deferred ? "defer " : "";
  for (const EventName& n : EVENT_NAMES) {
    if (n.kind == e.kind) out += n.word;
  }
  const std::string form(FormDesignOf(e.form).name);
  switch (e.kind) {
    case ReplayEventKind::Click:
    case ReplayEventKind::Tick:
    case ReplayEventKind::Draw:
      return out + " " + form;
    case ReplayEventKind::Select:
    case ReplayEventKind::Check:
    case ReplayEventKind::Text:
    case ReplayEventKind::Key:
    case ReplayEventKind::Press:
      return out + " " + form + "." + e.control;
    default:
      return out;
  }
}

}  // namespace tarvik
