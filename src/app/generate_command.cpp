#include "app/generate_command.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>

#include "app/session.h"
#include "app/tool_commands.h"
#include "base/errors.h"
#include "base/text.h"
#include "packs/map_files.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "universe/slot_records.h"

namespace tarvik {

namespace {

constexpr int MAX_CUSTOM_MAP_PLANETS = MAP_PREVIEW_MAX;

enum class SettingKind { Map, Races, Layout, Radius, Pick, Text, Level, Cash, Population, Switch, Clear };

// One setting of --generate: the option, what its value is, and where it goes.
struct SettingRow {
  std::string_view option;
  SettingKind kind;
  int& (*number)(GenerateSettings&) = nullptr;
  bool& (*flag)(GenerateSettings&) = nullptr;
  std::string& (*text)(GenerateSettings&) = nullptr;
};

#define TARVIK_INT(member) [](GenerateSettings& g) -> int& { return g.member; }
#define TARVIK_BOOL(member) [](GenerateSettings& g) -> bool& { return g.member; }
#define TARVIK_TEXT(member) [](GenerateSettings& g) -> std::string& { return g.member; }

const SettingRow SETTINGS[] = {
    {"--map", SettingKind::Map},
    {"--races", SettingKind::Races},
    {"--layout", SettingKind::Layout},
    {"--radius", SettingKind::Radius},
    {"--pick", SettingKind::Pick},
    {"--game-name", SettingKind::Text, nullptr, nullptr, TARVIK_TEXT(names.gameName)},
    {"--host-name", SettingKind::Text, nullptr, nullptr, TARVIK_TEXT(names.hostName)},
    {"--rst-name", SettingKind::Text, nullptr, nullptr, TARVIK_TEXT(names.rstName)},
    {"--home-minerals", SettingKind::Level, TARVIK_INT(home.homeMineral)},
    {"--home-natives", SettingKind::Level, TARVIK_INT(home.homeNative)},
    {"--home-cargo", SettingKind::Level, TARVIK_INT(home.homeCargo)},
    {"--home-cash", SettingKind::Cash, TARVIK_INT(home.homeCash)},
    {"--home-population", SettingKind::Population, TARVIK_INT(home.homePopulation)},
    {"--standard-ships", SettingKind::Switch, nullptr, TARVIK_BOOL(home.standardShips)},
    {"--extra-freighters", SettingKind::Switch, nullptr, TARVIK_BOOL(home.extraFreighters)},
    {"--minerals", SettingKind::Level, TARVIK_INT(home.mineral)},
    {"--natives", SettingKind::Level, TARVIK_INT(home.native)},
    {"--contraband", SettingKind::Level, TARVIK_INT(home.contraband)},
    {"--cargo", SettingKind::Level, TARVIK_INT(home.cargo)},
    {"--clear", SettingKind::Clear},
};

#undef TARVIK_INT
#undef TARVIK_BOOL
#undef TARVIK_TEXT

struct LayoutWord {
  std::string_view word;
  StartLayout layout;
};
constexpr LayoutWord LAYOUT_WORDS[] = {{"circle", StartLayout::Circle},
                                       {"grid", StartLayout::Grid},
                                       {"crazy", StartLayout::Crazy},
                                       {"spaced", StartLayout::Spaced},
                                       {"pick", StartLayout::Pick}};

const SettingRow* FindSetting(std::string_view option) {
  for (const SettingRow& row : SETTINGS) {
    if (row.option == option) return &row;
  }
  return nullptr;
}

// A whole number in lo..hi: optional sign and digits, nothing else.
bool ReadWhole(const std::string& text, long long lo, long long hi, long long& out) {
  if (text.empty()) return false;
  const size_t digits = text[0] == '-' || text[0] == '+' ? 1 : 0;
  if (digits == text.size() || !std::all_of(text.begin() + static_cast<long>(digits), text.end(),
                                             [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  errno = 0;
  const long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (errno == ERANGE || v < lo || v > hi) return false;
  out = v;
  return true;
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return parts;
    start = comma + 1;
  }
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

template <size_t N>
std::string AmountList(const std::array<int32_t, N>& amounts) {
  std::string list;
  for (int32_t a : amounts) list += (list.empty() ? "" : " ") + std::to_string(a);
  return list;
}

// The index of an amount in its list, or -1.
template <size_t N>
int AmountIndex(const std::array<int32_t, N>& amounts, long long value) {
  for (size_t i = 0; i < N; ++i) {
    if (amounts[i] == value) return static_cast<int>(i);
  }
  return -1;
}

bool ParseMap(const std::string& value, GenerateSettings& g, std::string& error) {
  if (value == "echo" || value == "epsilon") {
    g.mapChoice = value == "echo" ? MAP_CHOICE_ECHO : MAP_CHOICE_EPSILON;
    return true;
  }
  g.mapChoice = MAP_CHOICE_CUSTOM;
  g.mapFile = value;
  if (!FileExists(value)) {
    error = "--map needs echo, epsilon or a map file, and there is no file " + Quoted(value);
    return false;
  }
  const MapFile map = ReadMapFile(value);
  if (!map.headerOk) {
    error = "--map: " + Quoted(value) + " is not a map file";
    return false;
  }
  if (map.count < 1 || map.count > MAX_CUSTOM_MAP_PLANETS) {
    error = "--map: " + Quoted(value) + " has " + std::to_string(map.count) +
            " planets; a custom map needs 1 to 10000";
    return false;
  }
  if (map.status != MapFileStatus::Ok) {
    error = "--map: " + Quoted(value) + " is a damaged map file (its planet lists run past its end)";
    return false;
  }
  return true;
}

bool ParseRaces(const std::string& value, GenerateSettings& g, std::string& error) {
  g.raceIds.clear();
  for (const std::string& part : SplitCommas(value)) {
    long long id = 0;
    if (!ReadWhole(part, INT32_MIN, INT32_MAX, id)) {
      error = "--races needs race IDs (whole numbers) separated by commas; " + Quoted(part) + " is not one";
      return false;
    }
    g.raceIds.push_back(static_cast<int32_t>(id));
  }
  if (g.raceIds.size() < MIN_PLAYER_COUNT || g.raceIds.size() > MAX_PLAYERS) {
    error = "--races needs 2 to 30 race IDs, one per player, not " + std::to_string(g.raceIds.size());
    return false;
  }
  return true;
}

bool ParsePicks(const std::string& value, GenerateSettings& g, std::string& error) {
  const std::vector<std::string> parts = SplitCommas(value);
  g.picks.clear();
  const std::string allowed =
      "--pick needs X,Y,X,Y,... map points, whole numbers from -32768 to 32767 with X not 0";
  if (parts.size() % 2 != 0) {
    error = allowed + "; " + Quoted(value) + " has an X without its Y";
    return false;
  }
  for (size_t i = 0; i < parts.size(); i += 2) {
    long long x = 0, y = 0;
    if (!ReadWhole(parts[i], -32768, 32767, x) || x == 0 || !ReadWhole(parts[i + 1], -32768, 32767, y)) {
      error = allowed + "; " + Quoted(parts[i] + "," + parts[i + 1]) + " is not one";
      return false;
    }
    g.picks.push_back(MapPosition{static_cast<int32_t>(x), static_cast<int32_t>(y)});
  }
  return true;
}

bool ParseSetting(const SettingRow& row, const std::string& value, GenerateSettings& g, std::string& error) {
  const std::string option(row.option);
  long long n = 0;
  switch (row.kind) {
    case SettingKind::Map: return ParseMap(value, g, error);
    case SettingKind::Races: return ParseRaces(value, g, error);
    case SettingKind::Pick: return ParsePicks(value, g, error);
    case SettingKind::Layout:
      for (const LayoutWord& w : LAYOUT_WORDS) {
        if (w.word == value) {
          g.layout = w.layout;
          return true;
        }
      }
      error = "--layout needs circle, grid, crazy, spaced or pick, not " + Quoted(value);
      return false;
    case SettingKind::Radius:
      if (!ReadWhole(value, 0, 32767, n)) {
        error = "--radius needs a whole number from 0 to 32767, not " + Quoted(value);
        return false;
      }
      g.radius = static_cast<int32_t>(n);
      return true;
    case SettingKind::Text: row.text(g) = value; return true;
    case SettingKind::Level:
      if (!ReadWhole(value, 0, 5, n)) {
        error = option + " needs a level from 0 (None) to 5 (Extra Abundent), not " + Quoted(value);
        return false;
      }
      row.number(g) = static_cast<int>(n);
      return true;
    case SettingKind::Cash:
    case SettingKind::Population: {
      const auto& amounts = row.kind == SettingKind::Cash ? HOME_CASH_AMOUNTS : HOME_POPULATION_AMOUNTS;
      const int index = ReadWhole(value, INT32_MIN, INT32_MAX, n) ? AmountIndex(amounts, n) : -1;
      if (index < 0) {
        error = option + " needs one of " + AmountList(amounts) + ", not " + Quoted(value);
        return false;
      }
      row.number(g) = index;
      return true;
    }
    case SettingKind::Switch:
      if (value != "0" && value != "1") {
        error = option + " needs 0 or 1, not " + Quoted(value);
        return false;
      }
      row.flag(g) = value == "1";
      return true;
    case SettingKind::Clear: g.clear = true; return true;
  }
  return false;
}

// The first race-list entry whose race ID is id, or 0.
int RaceEntry(const PackSession& s, int32_t id) {
  for (int i = 1; i <= s.packs.raceCount && i <= MAX_RACES; ++i) {
    if (s.packs.raceList[i].raceId == id && id > 0) return i;
  }
  return 0;
}

[[noreturn]] void UsageAfterStartup(PlatformSession& s, const std::string& error, const std::string& hint) {
  if (s.ui) {
    s.ui->ShowMessage("tarvik", error, MessageIcon::None);
    s.ui->ShowMessage("", hint, MessageIcon::None);
  }
  throw ProgramEnd{2};
}

// The Yes/No questions of --clear, answered Yes without being shown; every other
// message goes to the session's own user interface.
class AnswerYes : public UserInterface {
 public:
  explicit AnswerYes(UserInterface* shown) : shown_(shown) {}
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
    if (shown_) shown_->ShowMessage(title, text, icon);
  }
  bool AskYesNo(const std::string&, const std::string&) override { return true; }

 private:
  UserInterface* shown_;
};

// The slot step's Clear Host and Clear Player on the selected slot, both answered Yes.
void ClearSlot(UniverseSession& s) {
  UserInterface* shown = s.ui;
  AnswerYes yes(shown);
  s.ui = &yes;
  try {
    DeleteUniverse(s);
    DeletePlayerFiles(s);
  } catch (...) {
    s.ui = shown;
    throw;
  }
  s.ui = shown;
}

// A custom map named beside the program has been moved into data\ by start-up: it is
// used from there.
std::string CustomMapPath(const PlatformSession& s, const std::string& given) {
  if (FileExists(given)) return given;
  const size_t cut = given.find_last_of("/\\");
  const std::string name = cut == std::string::npos ? given : given.substr(cut + 1);
  const std::string moved = s.paths.dataDir + name;
  return FileExists(moved) ? moved : given;
}

// Printable text of a record's text field: up to its first zero byte, trailing blanks
// dropped, control characters shown as "?".
std::string Shown(const Record& r, std::string_view field) {
  std::string t = r.Text(field);
  t = t.substr(0, t.find('\0'));
  for (char& c : t) {
    if (static_cast<unsigned char>(c) < 32) c = '?';
  }
  while (!t.empty() && t.back() == ' ') t.pop_back();
  return t;
}

std::string SideLines(const Record& r, const std::string& heading) {
  const std::string indent = "    ";
  return indent + heading + "   Slot Name: " + Shown(r, "slotName") + "\n" + indent + "Game ID: " +
         NumText(r.Get("gameId")) + "   Game Name: " + Shown(r, "gameName") + "\n" + indent +
         "Host Name: " + Shown(r, "hostName") + "   Last Turn: " + NumText(r.Get("lastTurn")) + "\n" + indent +
         "Time Stamp: " + Shown(r, "timeStamp") + "\n";
}

// Every check before anything changes: the race IDs (a usage error, status 2), then the
// slot (in use without --clear: status 1). Returns the race-list entry of each player.
std::vector<int> CheckBeforeChanging(GenerateSession& s, const GenerateSettings& g) {
  std::vector<int> entries;
  for (int32_t id : g.raceIds) {
    const int entry = RaceEntry(s, id);
    if (entry == 0) {
      UsageAfterStartup(s, "--races: race ID " + std::to_string(id) + " is not in the race list",
                        "tarvik --list-races shows the race IDs of the race modules found.");
    }
    entries.push_back(entry);
  }
  const int n = g.slot;
  const bool hostInUse = s.slots.gameRecords[n].Get("inUse") == 1;
  const bool playerInUse = s.slots.slotRecords[n].Get("inUse") == 1;
  if ((hostInUse || playerInUse) && !g.clear) {
    if (s.ui) {
      if (hostInUse) s.ui->ShowMessage("", "Host slot " + std::to_string(n) + " is in use", MessageIcon::None);
      if (playerInUse) s.ui->ShowMessage("", "Player slot " + std::to_string(n) + " is in use", MessageIcon::None);
      s.ui->ShowMessage("",
                        "Add --clear to clear the slot first (it deletes the slot's universe and player files), "
                        "or choose a free slot (tarvik --list-slots).",
                        MessageIcon::None);
    }
    throw ProgramEnd{1};
  }
  return entries;
}

// The wizard's steps up to Finish, as the settings make them, in the wizard's order of
// calls.
void MakeWizardChoices(GenerateSession& s, const GenerateSettings& g, const std::vector<int>& entries) {
  // The slot step: Clear Host and Clear Player answered Yes, then Next.
  s.slots.selectedSlot = g.slot;
  if (g.clear) ClearSlot(s);
  s.slots.buildSlot = s.slots.selectedSlot;

  // The map step (Load Map for a custom map) and the name step's Next.
  MapStats custom;
  std::string customPath;
  if (g.mapChoice == MAP_CHOICE_CUSTOM) {
    customPath = CustomMapPath(s, g.mapFile);
    MapFileStats(customPath, custom);
  }
  SetMapParameters(g.mapChoice, s.paths.dataDir, customPath, custom, s.map, s.tables);

  // The race step.
  const int players = static_cast<int>(entries.size());
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    s.tables.playerActive[p] = p <= players ? 1 : 0;
    s.tables.playerRace[p] = static_cast<int16_t>(p <= players ? entries[static_cast<size_t>(p - 1)] : 0);
  }
  s.tables.playerCount = players;

  // The start-position step: entered from the race step, drawn with Circle, then the
  // clicks the settings stand for.
  StartLayouts& layouts = s.layouts;
  LoadMapPreview(layouts, s.map, s.map.chosenMapFile);
  PlaceCircle(layouts, s.map, players, s.random, *s.clock);
  if (layouts.startLayout == StartLayout::None) layouts.startLayout = StartLayout::Circle;
  if (g.radius) {
    s.map.circleRadius = *g.radius;
    PlaceCircle(layouts, s.map, players, s.random, *s.clock);
  }
  // --layout circle adds no call: a session that never clicks a layout button.
  if (g.layout != StartLayout::Circle) ChooseLayout(layouts, g.layout, s.map, players, s.random, *s.clock);
  if (g.layout == StartLayout::Pick) {
    ClearPicks(layouts);
    for (const MapPosition& point : g.picks) layouts.pickPositions[++layouts.pickCount] = point;
  }

  // Finish on the planet step. (The wizard shows its output window here; the console
  // view is shown by the run itself, after it has cleared the log.)
  ReadHomeSettings(s, g.home);
}

}  // namespace

bool IsGenerateSetting(std::string_view option, bool& takesValue) {
  const SettingRow* row = FindSetting(option);
  if (!row) return false;
  takesValue = row->kind != SettingKind::Clear;
  return true;
}

bool ParseGenerateSettings(const std::string& slotWord, const std::vector<std::string>& words,
                           GenerateSettings& out, std::string& error) {
  GenerateSettings g;
  long long slot = 0;
  if (!ReadWhole(slotWord, 1, HOST_SLOTS, slot)) {
    error = "--generate needs a slot number from 1 to 12, not " + Quoted(slotWord);
    return false;
  }
  g.slot = static_cast<int>(slot);
  std::vector<std::string_view> seen;
  for (size_t i = 0; i < words.size(); ++i) {
    const SettingRow* row = FindSetting(words[i]);
    if (!row) {
      error = "unknown setting " + words[i] + " of --generate";
      return false;
    }
    if (std::find(seen.begin(), seen.end(), row->option) != seen.end()) {
      error = std::string(row->option) + " is given twice";
      return false;
    }
    seen.push_back(row->option);
    std::string value;
    if (row->kind != SettingKind::Clear) {
      if (i + 1 >= words.size()) {
        error = "option " + words[i] + " needs a value";
        return false;
      }
      value = words[++i];
    }
    if (!ParseSetting(*row, value, g, error)) return false;
  }
  if (g.raceIds.empty()) {
    error = "--generate needs --races ID,ID,... (2 to 30 race IDs, one per player)";
    return false;
  }
  if (g.layout == StartLayout::Pick && g.picks.empty()) {
    error = "--layout pick needs --pick X,Y,... with one map point per player";
    return false;
  }
  if (!g.picks.empty() && g.layout != StartLayout::Pick) {
    error = "--pick places the players only with --layout pick";
    return false;
  }
  if (!g.picks.empty() && g.picks.size() != g.raceIds.size()) {
    error = "--pick needs one X,Y point per player: " + std::to_string(g.raceIds.size()) + " players, " +
            std::to_string(g.picks.size()) + " points";
    return false;
  }
  out = g;
  return true;
}

void RunGenerate(GenerateSession& s, const GenerateSettings& g) {
  const std::vector<int> entries = CheckBeforeChanging(s, g);
  try {
    MakeWizardChoices(s, g, entries);
  } catch (const RuntimeError& e) {
    throw BuildError(e.what());
  } catch (const std::bad_alloc&) {
    throw BuildError("out of memory");
  }
  // The objects stored are kept for the fairness report, which then reads only the
  // start of the file back; only while the generation runs, whichever way it ends.
  struct KeepPlacedWhileGenerating {
    StoreState& store;
    KeepPlacedWhileGenerating(StoreState& st, bool on) : store(st) { store.keepPlaced = on; }
    ~KeepPlacedWhileGenerating() { store.keepPlaced = false; }
    KeepPlacedWhileGenerating(const KeepPlacedWhileGenerating&) = delete;
    KeepPlacedWhileGenerating& operator=(const KeepPlacedWhileGenerating&) = delete;
  };
  GenerationResult result;
  {
    const KeepPlacedWhileGenerating keep(s.store, s.output != nullptr);
    result = GenerateStandardUniverse(s, g.names);
  }
  if (result == GenerationResult::Finished && s.output) {
    s.output->Print("\n" + FairnessReportOf(s.tables.universeFilePath, s.store, s.tables.counters.objectTablesPos));
  }
  throw ProgramEnd{result == GenerationResult::Finished ? 0 : 1};
}

std::string SlotListText(const SlotRecords& slots) {
  std::string text;
  for (int n = 1; n <= HOST_SLOTS; ++n) {
    const GameRecord& host = slots.gameRecords[n];
    const SlotRecord& player = slots.slotRecords[n];
    const bool hostInUse = host.Get("inUse") == 1;
    const bool playerInUse = player.Get("inUse") == 1;
    text += "Slot " + std::to_string(n) + ": host " + (hostInUse ? "in use" : "free") + ", player " +
            (playerInUse ? "in use" : "free") + "\n";
    if (hostInUse) text += SideLines(host, "Host Univ Data");
    if (playerInUse) text += SideLines(player, "Player Data");
  }
  return text;
}

}  // namespace tarvik
