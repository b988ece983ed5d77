// The checker drives the script reader's own pieces line by line (BeginScriptPass,
// ScriptLines, DoStatement), so that it reads exactly what a build reads. Before a line
// runs it looks at the statement against the keyword tables and the state of the open
// block; while the line runs it collects the message boxes and run-log lines the line
// causes; after it runs, what the line changed.
#include "survey/script_check.h"

#include <algorithm>
#include <map>
#include <optional>

#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "objects/object_store.h"
#include "packs/pack_state.h"
#include "packs/race_modules.h"
#include "packs/ship_packs.h"
#include "platform/ui.h"
#include "script/keyword_tables.h"
#include "script/script_line.h"
#include "script/script_reader.h"
#include "script/script_session.h"
#include "script/values.h"

namespace tarvik {

namespace {

// Run-log lines of a build that tell of a problem the checker does not find itself and
// that are not notices (the notices, about data files a build survives, are reported
// as they come).
constexpr std::string_view REPORTED_LOG_LINES[] = {"Map File Missing: ", "Hull data missing!"};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string BlockName(BlockKind kind) {
  if (const ObjectKindDescriptor* d = KindOfBlock(kind)) return std::string(d->blockWord);
  switch (kind) {
    case BlockKind::PlanetNames: return "PLANETNAMES";
    case BlockKind::Map: return "MAP";
    case BlockKind::Races: return "RACES";
    case BlockKind::Start: return "START";
    case BlockKind::Tech: return "TECH";
    case BlockKind::Exotic: return "EXOTIC";
    default: return "no";
  }
}

// Every word that BEGIN (or, in the settings pass, any section word) opens a block with.
bool IsBlockWord(const std::string& upper) {
  static const std::string_view words[] = {"PLANETNAMES", "MAP", "RACES", "START", "TECH", "EXOTIC"};
  return KindOfWord(upper) || std::find(std::begin(words), std::end(words), upper) != std::end(words);
}

// The pass in which a block of this kind opens.
ScriptPass PassOf(BlockKind kind) {
  switch (kind) {
    case BlockKind::Races:
    case BlockKind::Start:
    case BlockKind::Tech:
    case BlockKind::Exotic: return ScriptPass::Settings;
    default: return ScriptPass::Objects;
  }
}

// Message boxes and run-log lines of the line being run, kept for the checker.
class Collector : public UserInterface, public OutputView {
 public:
  std::vector<std::string> found;

  void ShowMessage(const std::string&, const std::string& text, MessageIcon) override {
    found.push_back("message box: " + Printable(text));
  }
  void ShowStepError(const std::string& message, const std::string& reason) override {
    found.push_back("the statement fails (\"" + message + "\": " + reason + "); the field keeps its value");
  }
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  void Notice(const std::string& line) override { found.push_back("the build says: " + line); }

  void Show() override {}
  void SetLogText(const std::string&, const std::string& newLine) override {
    std::string line = newLine;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    for (std::string_view reported : REPORTED_LOG_LINES) {
      if (line.compare(0, reported.size(), reported) == 0) found.push_back("run-log line: " + Quoted(line));
    }
  }
  void SetTimeLabel(const std::string&) override {}
  void SetGameFileLabel(const std::string&) override {}
  void Print(const std::string&) override {}
  void WaitForDone() override {}

 private:
  static std::string Printable(std::string text) {
    for (char& c : text) {
      if (c == '\r') c = ' ';
    }
    return text;
  }
};

// The session's user interface, output view and log file are the checker's while it
// runs, and the session's own again afterwards.
class Borrowed {
 public:
  Borrowed(ScriptSession& s, Collector& c)
      : s_(s), ui_(s.ui), output_(s.output), shown_(s.log.outputShown), noFile_(s.log.noFile) {
    s.ui = &c;
    s.output = &c;
    s.log.outputShown = true;
    s.log.noFile = true;
  }
  ~Borrowed() {
    s_.ui = ui_;
    s_.output = output_;
    s_.log.outputShown = shown_;
    s_.log.noFile = noFile_;
  }
  Borrowed(const Borrowed&) = delete;
  Borrowed& operator=(const Borrowed&) = delete;

 private:
  ScriptSession& s_;
  UserInterface* ui_;
  OutputView* output_;
  bool shown_, noFile_;
};

class Checker {
 public:
  Checker(ScriptSession& s, const std::vector<uint8_t>& bytes) : s_(s), bytes_(bytes) {}

  std::vector<ScriptWarning> Run() {
    if (bytes_.empty()) {
      Warn(1, "the script is empty: it makes nothing");
      return warnings_;
    }
    CountLines();
    BareLineFeeds();
    ZeroBytes();
    Collector collector;
    Borrowed borrowed(s_, collector);
    collector_ = &collector;
    Pass(ScriptPass::Settings);
    BetweenPasses();
    Pass(ScriptPass::Objects);
    OutsideAnyBlock();
    std::stable_sort(warnings_.begin(), warnings_.end(),
                     [](const ScriptWarning& a, const ScriptWarning& b) { return a.line < b.line; });
    warnings_.erase(std::unique(warnings_.begin(), warnings_.end(),
                                [](const ScriptWarning& a, const ScriptWarning& b) {
                                  return a.line == b.line && a.text == b.text;
                                }),
                    warnings_.end());
    return warnings_;
  }

 private:
  ScriptSession& s_;
  const std::vector<uint8_t>& bytes_;
  Collector* collector_ = nullptr;
  std::vector<ScriptWarning> warnings_;

  int lineCount_ = 0;
  int openLine_ = 0;  // the line that opened the block open now
  // Per line (index = line number): whether its property statement found a block open
  // in some pass.
  std::vector<bool> inBlock_;
  std::map<int32_t, int> raceLines_;  // race ID -> the line of the PLAYER statement naming it

  void Warn(int line, std::string text) { warnings_.push_back({line, std::move(text)}); }

  // Calls statement(tokens) for each line in order, cut as the reader cuts it.
  template <typename F>
  void ForEachStatement(F&& statement) const {
    ScriptLines lines(std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()));
    ScriptTokens tokens;
    std::string work;
    while (lines.Next(tokens, work)) statement(tokens);
  }

  static ScriptStatement Copied(const ScriptTokens& t) {
    return ScriptStatement{std::string(t.word), std::string(t.argument), std::string(t.keyword), std::string(t.value)};
  }

  void CountLines() {
    ForEachStatement([&](const ScriptTokens&) { ++lineCount_; });
    inBlock_.assign(static_cast<size_t>(lineCount_) + 1, false);
  }

  // A line feed not right after a carriage return ends a line for an editor, but not
  // for the reader, which joins what follows to the same line.
  void BareLineFeeds() {
    const bool anyReturn = std::find(bytes_.begin(), bytes_.end(), '\r') != bytes_.end();
    int line = 1, bare = 0;
    for (size_t i = 0; i < bytes_.size(); ++i) {
      const uint8_t b = bytes_[i];
      if (b == '\n' && (i == 0 || bytes_[i - 1] != '\r')) ++bare;
      if (b == '\r' || i + 1 == bytes_.size()) {
        if (bare > 0 && !anyReturn) {
          Warn(line, "the lines of this file end with bare line feeds (no carriage return), so the whole file is read "
                     "as one single line and at most one statement in it is carried out");
        } else if (bare > 0) {
          Warn(line, std::to_string(bare + 1) +
                         " lines here are joined into one: they end with bare line feeds (no carriage return)");
        }
        bare = 0;
        ++line;
      }
    }
  }

  // A script is text; a zero byte says the file is something else (a universe file, a
  // data pack), whose bytes the reader would still cut into lines and carry out.
  void ZeroBytes() {
    const auto zero = std::find(bytes_.begin(), bytes_.end(), '\0');
    if (zero == bytes_.end()) return;
    const int line = 1 + static_cast<int>(std::count(bytes_.begin(), zero, '\r'));
    Warn(line, "the file holds zero bytes: it is not a text file, and is read as one all the same");
  }

  void Pass(ScriptPass pass) {
    BeginScriptPass(s_, pass);
    if (pass == ScriptPass::Objects) OpenDryObjectStore(s_);
    int line = 0;
    bool stopped = false;
    ForEachStatement([&](const ScriptTokens& tokens) {
      ++line;
      if (stopped) return;
      const ScriptStatement st = Copied(tokens);
      const BlockKind before = s_.script.blockKind;
      if (!st.word.empty()) {
        SectionChecks(pass, line, st, before);
      } else if (!st.keyword.empty() && before != BlockKind::None) {
        inBlock_[static_cast<size_t>(line)] = true;
        PropertyChecks(pass, line, before, st);
      }
      collector_->found.clear();
      try {
        DoStatement(s_, tokens);
      } catch (const FatalError& e) {
        Warn(line, "the build stops here with the error box \"" + e.message + "\"");
        stopped = true;
      } catch (const RuntimeError& e) {
        Warn(line, std::string("the build fails here: ") + e.what());
        stopped = true;
      }
      for (std::string& found : collector_->found) Warn(line, std::move(found));
      collector_->found.clear();
      if (!st.word.empty() && s_.script.blockKind != BlockKind::None &&
          (s_.script.blockKind != before || UpperAscii(st.word) == "BEGIN")) {
        openLine_ = line;
      }
      if (!st.keyword.empty() && before != BlockKind::None) AfterProperty(line, before, st);
    });
    const BlockKind open = s_.script.blockKind;
    if (!stopped && open != BlockKind::None && PassOf(open) == pass) {
      const std::string lost = KindOfBlock(open)         ? ", so its object is not made"
                               : open == BlockKind::Map ? ", so its map's planets are not added"
                                                        : "";
      Warn(openLine_, "the " + BlockName(open) + " block opened here is still open at the end of the file: END is missing" +
                          lost);
    }
    if (pass == ScriptPass::Objects) CloseObjectStore(s_);
  }

  void SectionChecks(ScriptPass pass, int line, const ScriptStatement& st, BlockKind before) {
    const std::string w = UpperAscii(st.word);
    const std::string a = UpperAscii(st.argument);
    if (pass == ScriptPass::Settings) {
      if (w != "BEGIN" && w != "END") {
        Warn(line, "unknown section word " + Quoted(st.word) + ": only BEGIN and END are section words");
      } else if (w == "BEGIN" && a.empty()) {
        Warn(line, "BEGIN names no block; the statements up to the next BEGIN or END are ignored");
      } else if (w == "BEGIN" && !IsBlockWord(a)) {
        Warn(line, "BEGIN " + st.argument + ": there is no block " + Quoted(st.argument) +
                       "; the statements up to the next BEGIN or END are ignored");
      }
    }
    // A settings block left open at the end of the settings pass is still open when the
    // objects pass begins; that was reported at the end of the file.
    if (w == "BEGIN" && before != BlockKind::None && PassOf(before) == pass) {
      Warn(line, "BEGIN inside the open " + BlockName(before) + " block of line " + std::to_string(openLine_) +
                     ": END is missing before it");
    }
  }

  void UnknownKeyword(int line, BlockKind block, const ScriptStatement& st) {
    const std::string name = BlockName(block);
    const bool vowel = std::string_view("AEIOU").find(name.front()) != std::string_view::npos;
    Warn(line, "unknown keyword " + Quoted(st.keyword) + (vowel ? " in an " : " in a ") + name + " block");
  }

  void Value(int line, const ScriptStatement& st, int32_t min, int32_t max) {
    using Form = ValueReading::Form;
    using Pull = ValueReading::Pull;
    const ValueReading r = ReadValueText(st.value, min, max);
    const std::string what = "value " + Quoted(st.value) + " of " + st.keyword;
    auto pulled = [&](Pull pull) -> std::string {
      if (pull == Pull::ToMin) return ", raised to the lowest value " + std::to_string(min);
      if (pull == Pull::ToMax) return ", lowered to the highest value " + std::to_string(max);
      return "";
    };
    switch (r.form) {
      case Form::Empty:
        Warn(line, st.keyword + " has an empty value, which reads as 0");
        return;
      case Form::NoDigits:
        Warn(line, what + " is not a number and reads as 0" + pulled(r.pull));
        return;
      case Form::TooLong:
        Warn(line, what + " has more than ten digits and reads as 0");
        return;
      case Form::TooLarge:
        Warn(line, what + " lies beyond -999999999 to 1000000000 and reads as 0");
        return;
      case Form::Lenient:
        Warn(line, what + " is not a whole number: only its digits and minus signs count, so it reads as " +
                       std::to_string(r.read) + pulled(r.pull));
        return;
      case Form::Whole:
        if (r.pull == Pull::ToMin) {
          Warn(line, what + " is below the lowest value " + std::to_string(min) + " and is read as " + std::to_string(min));
        } else if (r.pull == Pull::ToMax) {
          Warn(line, what + " is above the highest value " + std::to_string(max) + " and is read as " + std::to_string(max));
        }
        return;
      case Form::Dice:
        for (int i = 0; i < 2; ++i) {
          const ValueReading::DiceNumber& n = r.dice[i];
          const std::string which = i == 0 ? "first" : "second";
          if (n.missing) {
            Warn(line, "the " + which + " number of " + what + " is missing, and counts as 0");
          } else if (n.pull == Pull::ToMin) {
            Warn(line, "the " + which + " number of " + what + " is below the lowest value " + std::to_string(min) +
                           " and is read as " + std::to_string(min));
          } else if (n.pull == Pull::ToMax) {
            Warn(line, "the " + which + " number of " + what + " is above the highest value " + std::to_string(max) +
                           " and is read as " + std::to_string(max));
          }
        }
        return;
    }
  }

  void IdValue(int line, const ScriptStatement& st) {
    const std::string v = UpperAscii(st.value);
    if (v != "RANDOM" && v != "NOTRANDOM") {
      Warn(line, "ID = " + st.value + " changes nothing: only RANDOM and NOTRANDOM are understood");
    }
  }

  static bool StartsWith(const std::string& text, std::string_view stem) { return text.compare(0, stem.size(), stem) == 0; }

  void PropertyChecks(ScriptPass pass, int line, BlockKind block, const ScriptStatement& st) {
    const std::string k = UpperAscii(st.keyword);
    if (const KeywordTable* table = ObjectKeywordTable(block)) {
      if (k == "ID") return IdValue(line, st);
      const KeywordBinding* b = table->Find(k);
      if (!b) return UnknownKeyword(line, block, st);
      const KeywordRow& row = *b->row;
      if (row.kind == ValueKind::Number) Value(line, st, row.min, row.max);
      if (row.kind == ValueKind::Bit) Value(line, st, 0, 1);
      if (row.extra == ExtraAction::HullRebuild && pass == ScriptPass::Objects) {
        const ValueReading r = ReadValueText(st.value, row.min, row.max);
        if (r.form != ValueReading::Form::Dice && r.value >= 1 && r.value <= MAX_HULL_TYPE && !HullKnown(s_, r.value)) {
          Warn(line, "hull type " + std::to_string(r.value) + " is in no ship pack (ships/*.spk)");
        }
      }
      return;
    }
    switch (block) {
      case BlockKind::PlanetNames:
        return;  // every statement adds its value as a name
      case BlockKind::Map:
        if (k == "ID") return IdValue(line, st);
        if (k != "FILE") UnknownKeyword(line, block, st);
        return;
      case BlockKind::Races:
        RacesChecks(line, k, st);
        return;
      case BlockKind::Start:
      case BlockKind::Tech:
        for (const SettingRow& row : block == BlockKind::Start ? StartSettingRows() : TechSettingRows()) {
          if (row.keyword != k) continue;
          if (row.number) Value(line, st, row.min, row.max);
          return;
        }
        UnknownKeyword(line, block, st);
        return;
      case BlockKind::Exotic:
        if (StartsWith(k, "PLAYER")) {
          Value(line, st, 1, MAX_PLAYERS);
        } else if ((StartsWith(k, "EXOTICA") || StartsWith(k, "EXOTICB")) && k.size() > 7) {
          Value(line, st, 0, 1);
        } else if (StartsWith(k, "GALMONEY")) {
          Value(line, st, 0, 900000000);
        } else {
          UnknownKeyword(line, block, st);
        }
        return;
      default:
        return;
    }
  }

  void RacesChecks(int line, const std::string& k, const ScriptStatement& st) {
    if (k == "PLAYERCOUNT") return Value(line, st, MIN_PLAYER_COUNT, MAX_PLAYERS);
    for (int n = 1; n <= MAX_PLAYERS; ++n) {
      if (k != "PLAYER(" + std::to_string(n) + ")") continue;
      Value(line, st, 1, 1000000);
      const ValueReading r = ReadValueText(st.value, 1, 1000000);
      if (r.form == ValueReading::Form::Dice || r.form == ValueReading::Form::Empty) return;
      bool listed = false;
      for (int i = 1; i <= MAX_RACES && !listed; ++i) listed = s_.packs.raceList[i].raceId == r.value;
      if (listed) {
        raceLines_[r.value] = line;
      } else {
        Warn(line, "race ID " + std::to_string(r.value) + " is not in the race list (races/*.rce): player " +
                       std::to_string(n) + " gets no race from this statement");
      }
      return;
    }
    UnknownKeyword(line, BlockKind::Races, st);
  }

  void AfterProperty(int line, BlockKind block, const ScriptStatement& st) {
    if (block == BlockKind::Map && UpperAscii(st.keyword) == "FILE" && !s_.script.pendingMapFile) {
      Warn(line, "map file " + Quoted(st.value) + " is not a map file of the data folder: the MAP block adds nothing");
    }
  }

  // What the universe file's writer does before it writes: the ship packs the races in
  // play need, and the check that every hull they require is in one.
  void BetweenPasses() {
    try {
      LoadShipPacks(s_);
      ValidateRaceHulls(s_);
    } catch (const FatalError& e) {
      Warn(RaceLine(e.message), "the build stops before the universe file is written, with the error box \"" +
                                    Flattened(e.message) + "\"");
    } catch (const RuntimeError& e) {
      Warn(RaceLine(e.what()), std::string("the build fails before the universe file is written: ") + e.what());
    }
    for (std::string& found : collector_->found) Warn(1, std::move(found));
    collector_->found.clear();
  }

  // The line of the PLAYER statement of the race a message names, or line 1.
  int RaceLine(const std::string& message) const {
    for (const auto& [raceId, line] : raceLines_) {
      if (message.find(NumText(raceId) + " requires") != std::string::npos) return line;
    }
    return raceLines_.empty() ? 1 : raceLines_.begin()->second;
  }

  static std::string Flattened(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
  }

  // Property statements that found no block open in either pass. Those after a BEGIN
  // that names no block are left out: that BEGIN is reported already.
  void OutsideAnyBlock() {
    int line = 0;
    bool afterUnknownBegin = false;
    ForEachStatement([&](const ScriptTokens& tokens) {
      ++line;
      const ScriptStatement st = Copied(tokens);
      if (!st.word.empty()) {
        afterUnknownBegin = UpperAscii(st.word) == "BEGIN" && !IsBlockWord(UpperAscii(st.argument));
      }
      if (st.keyword.empty() || inBlock_[static_cast<size_t>(line)] || afterUnknownBegin) return;
      Warn(line, "the statement " + Quoted(st.keyword + " = " + st.value) + " lies outside any block and is ignored");
    });
  }
};

}  // namespace

std::vector<ScriptWarning> CheckScript(ScriptSession& s, const std::vector<uint8_t>& bytes) {
  return Checker(s, bytes).Run();
}

std::string CheckReportText(const std::string& fileName, const std::vector<ScriptWarning>& warnings) {
  std::string out;
  for (const ScriptWarning& w : warnings) out += fileName + ":" + std::to_string(w.line) + ": warning: " + w.text + "\n";
  const size_t n = warnings.size();
  out += fileName + ": " + (n == 0 ? std::string("no warnings") : std::to_string(n) + (n == 1 ? " warning" : " warnings")) +
         "\n";
  return out;
}

}  // namespace tarvik
