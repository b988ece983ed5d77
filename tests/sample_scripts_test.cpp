// Checks of the bundled universe scripts that need no script reader: line ends, block
// structure, and that every statement uses a keyword of its block with a value of the
// right form. Also checks the generator of the large benchmark script.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

#ifndef TARVIK_MAKE_BIG_SCRIPT
#error "the build must define TARVIK_MAKE_BIG_SCRIPT and TARVIK_SAMPLE_SCRIPTS"
#endif

namespace tarvik {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Keywords of each block, "NAME(a..b)" standing for NAME(a) to NAME(b).
const std::map<std::string, std::string>& KeywordSource() {
  static const std::map<std::string, std::string> kTables = {
      {"PLANET",
       "ID NAME STATE SOIL CLIMATE STAR X Y NATIVE(1..10) HDSTRESS HDINTERIA HDBASEFREQ "
       "EASYN EASYD EASYT EASYM OREN ORED ORET OREM ELEN ELED ELET ELEM RESN RESD REST "
       "RESM ELEFOOD ELEMED CONTRABAND(1..12) ELEFIX ELES ELEORD CASH"},
      {"MAP", "ID FILE"},
      {"SHIP",
       "ID NAME SHIPLOG PNUM HULL PDWEAPON(1..10) LWEAPON(1..20) SWEAPON(1..30) "
       "GENERATOR(1..5) HUGEWEAPON HYPENG ENG SHIELDFLAVOR SHIELD FUEL ELEN ELEORD ELES "
       "ELEFIX CASH CREW TROOPS COLONISTS HIGHGUARD ELED ELET ELEM ELEFOOD ELEMED X Y FCODE "
       "DAMAGEENGINE DAMAGEHYP DAMAGEHULL DAMAGESYS DAMAGELIFE DAMAGESHIELD DAMAGEWEAPONS "
       "ARMOR HAPPY SKILL EXPERIENCE HULLPLANS LOST ATTACKENEMY SWITCHWEAPONS ATTACKPLAN "
       "STANDOFFRANGE ATTACKVECTOR SPEED WAYPOINTX(1..6) WAYPOINTY(1..6)"},
      {"BASE",
       "ID PNUM NAME NATIVE(1..10) NATIVEHAPPY(1..10) COLONISTHAPPY OREN ORED ORET OREM "
       "ELEN ELED ELET ELEM ELEFOOD ELEMED CONTRAGOOD(1..12) CONTRABAD(1..12) ELEFIX ELES "
       "PODPAD AABASE MILSPACEPORT ENGINEPLANT ASSAULTPLANT FIGHTERPLANT MEDLAB GOVCENTER "
       "BASESHIELD ORDPLANT WEAPONFACTORY PARTSFACTORY STRUCT(0..13) SMELTER CREW TROOP "
       "HIGHGUARD COLONISTS CASH FACTORY MINE RACESTRUCT1 RACESTRUCT2 RACESTRUCT3 "
       "RACESTRUCT4 ANTIAIR FIGHTER(1..3) TRAINING ELEORD ORD PTROOP(1..30) "
       "PCOLONIST(1..30) PGUARD(1..30) PCREW(1..30) CITY TERRAFORMER FARM LASERCANNON "
       "IONCANNON RAIDSHELTER PUBSPACEPORT MECH(1..3) HUGE(1..5) PDWEAPON(1..10) "
       "LWEAPON(1..20) SWEAPON(1..10) ENG(1..20) HYP(1..10) SHIELD(1..10) GEN(1..10) ARMOR "
       "UNDERCITY SCANNER HULLPLANS CRIME ROUGECOLONISTS ROUGENATIVES FCODE X XBASE Y YBASE "
       "ATTACKMODE"},
      {"CONPOD", "ID NAME ELED ELET ELEM CASH X Y PNUM HULLPLANS COUNTDOWN"},
      {"OREPOD", "ID NAME OREN ORED ORET OREM X Y PNUM COUNTDOWN"},
      {"LIFEPOD", "ID NAME X Y PNUM PTROOP PCOLONIST PGUARD PCREW PRACE COUNTDOWN FREEZE"},
      {"ASSAULTPOD",
       "ID NAME PNUM X Y COUNTDOWN TROOP COLONIST GUARD CREW MECH(1..3) FIGHTER(1..3)"},
      {"OUTFITPOD",
       "ID NAME PNUM X Y PDWEAPON(1..10) LWEAPON(1..20) SWEAPON(1..30) GEN(1..5) "
       "HUGEWEAPON HYPENG ENG ENGCOUNT SHIELDFLAVOR ARMOR COUNTDOWN"},
      {"NATIVEPOD", "ID PNUM NAME X Y COUNTDOWN NATIVE(1..10)"},
      {"RESUPPLYPOD",
       "ID PNUM NAME COUNTDOWN ELEN ELEORD ORD ELES ELEFIX ELEMED ELEFOOD CASH X Y"},
      {"GOLDPOD", "ID PNUM NAME X Y COUNTDOWN HULLPLANS CONTRABAND(1..12) CASH"},
      {"WRECKAGE",
       "ID NAME ELED ELET ELEM CASH ELEN ELEORD ORD ELES ELEFIX ELEMED X Y PNUM "
       "PDWEAPON(1..10) LWEAPON(1..20) SWEAPON(1..30) GEN(1..5) HUGEWEAPON HYPENG ENG "
       "ENGCOUNT SHIELDFLAVOR SHIELD COUNTDOWN CONTRABAND(1..12)"},
      {"MINEFIELD", "ID PNUM FLAVOR CMDFLAG RADIUS X Y COUNTDOWN"},
      {"THING",
       "ID NAME FLAVOR DAMAGE ENERGY LIFE CREW SPEED X Y XWAY YWAY MARKER INFO1 INFO2 "
       "HARDNESS STEALTH EDGE PARENT BINFILE BIN MASS DATA1 CODE"},
      {"BUOY", "ID NAME MESSAGE X Y RANGE PFLAG PNUM EDGE COLOR SHOWPNUM COUNTDOWN"},
      {"WING",
       "ID NAME X Y FCODE ATTACKMODE PNUM RACENUM WINGRACE COUNT(1..3) SPEED HIGHGUARD "
       "FUEL XHOME YHOME MISSION PATROLRANGE ORD"},
      {"RACES", "PLAYERCOUNT PLAYER(1..30)"},
      {"START",
       "HOMEMINERAL HOMENATIVE HOMECASH HOMEPOPULATION HOMECARGO MINERAL NATIVE CONTRABAND "
       "CARGO GALMONEY GAMENAME HOSTNAME RSTNAME"},
      {"TECH",
       "TECHPLANET TECHLARGE TECHSMALL TECHPD TECHGEN TECHENGINE TECHHULL TECHHYP "
       "TECHSHIELD"},
      {"EXOTIC", ""},       // matched by the beginnings of the keywords
      {"PLANETNAMES", ""},  // any keyword adds a name
  };
  return kTables;
}

const std::map<std::string, std::set<std::string>>& Keywords() {
  static const std::map<std::string, std::set<std::string>> kKeywords = [] {
    std::map<std::string, std::set<std::string>> out;
    for (const auto& [block, source] : KeywordSource()) {
      std::set<std::string>& set = out[block];
      std::istringstream words(source);
      std::string word;
      while (words >> word) {
        size_t open = word.find('(');
        if (open == std::string::npos) {
          set.insert(word);
          continue;
        }
        size_t dots = word.find("..");
        int lo = std::stoi(word.substr(open + 1, dots - open - 1));
        int hi = std::stoi(word.substr(dots + 2));
        for (int i = lo; i <= hi; ++i)
          set.insert(word.substr(0, open) + "(" + std::to_string(i) + ")");
      }
    }
    return out;
  }();
  return kKeywords;
}

const std::set<std::string> kObjectBlocks = {
    "PLANET",    "SHIP",     "BASE",      "CONPOD", "OREPOD", "LIFEPOD",
    "ASSAULTPOD", "OUTFITPOD", "NATIVEPOD", "RESUPPLYPOD", "GOLDPOD", "WRECKAGE",
    "MINEFIELD", "THING",    "BUOY",      "WING"};

// Keywords whose value is text rather than a number.
const std::set<std::string> kTextKeywords = {"NAME",     "SHIPLOG",  "MESSAGE", "INFO1",
                                             "INFO2",    "BINFILE",  "FCODE",   "CODE",
                                             "DATA1",    "FILE",     "GAMENAME", "HOSTNAME",
                                             "RSTNAME"};
// Keywords read as a strict number: DICE or digit groups are not numbers there.
const std::set<std::string> kStrictKeywords = {"ATTACKENEMY", "SWITCHWEAPONS", "ATTACKPLAN"};
// 16-bit fields whose bounds reach beyond 32767: a larger value fails the statement.
const std::set<std::string> kNarrowFields = {"ASSAULTPOD X", "ASSAULTPOD Y",
                                             "THING FLAVOR", "THING MARKER",
                                             "THING BIN",    "WING MISSION"};

bool IsDigits(const std::string& s, size_t from, size_t to, bool commas) {
  if (from >= to) return false;
  if (s[from] == '-') ++from;
  if (from >= to || !std::isdigit(static_cast<unsigned char>(s[from]))) return false;
  for (size_t i = from; i < to; ++i)
    if (!std::isdigit(static_cast<unsigned char>(s[i])) && !(commas && s[i] == ','))
      return false;
  return true;
}

// The largest number a numeric value can yield; nothing when the value is malformed.
std::optional<long long> NumericValueMax(const std::string& value, bool strict) {
  if (IsDigits(value, 0, value.size(), !strict)) {
    std::string digits;
    for (char c : value) if (c != ',') digits += c;
    if (digits.size() > 10) return std::nullopt;
    return std::stoll(digits);
  }
  const std::string up = Upper(value);
  if (strict || up.rfind("DICE(", 0) != 0 || up.back() != ')') return std::nullopt;
  size_t comma = up.find(',');
  if (comma == std::string::npos || !IsDigits(up, 5, comma, false) ||
      !IsDigits(up, comma + 1, up.size() - 1, false))
    return std::nullopt;
  return std::max(std::stoll(up.substr(5, comma - 5)),
                  std::stoll(up.substr(comma + 1, up.size() - comma - 2)));
}

struct ScriptSummary {
  std::vector<std::string> problems;
  std::map<std::string, int> blocks;  // BEGIN count per block kind
  int objectBlocks = 0;
};

// Walks a script as the reader cuts it: lines end at CR, an apostrophe outside quotes
// starts a comment, blanks are dropped outside quotes.
ScriptSummary CheckScript(const std::string& text) {
  ScriptSummary out;
  std::string open;  // the block kind now open, empty when none
  int lineNo = 0;
  std::istringstream lines(text);
  std::string raw;
  auto problem = [&](const std::string& what) {
    out.problems.push_back("line " + std::to_string(lineNo) + ": " + what);
  };
  while (std::getline(lines, raw, '\r')) {
    ++lineNo;
    std::string line;  // blanks outside quotes dropped, quotes removed
    std::string firstWord;
    bool quoted = false, sawBlank = false;
    for (char c : raw) {
      if (c == '\n') continue;
      if (c == '\'' && !quoted) break;
      if (c == '"') { quoted = !quoted; continue; }
      if (c == '\t') problem("tab character");
      if (c == ' ' && !quoted) {
        if (!line.empty()) sawBlank = true;
        continue;
      }
      if (!sawBlank) firstWord += c;
      line += c;
    }
    if (line.empty()) continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) {  // section statement
      std::string word = Upper(firstWord), argument = Upper(line.substr(firstWord.size()));
      if (word == "END") {
        if (!argument.empty()) problem("END with an argument");
        if (open.empty()) problem("END without BEGIN");
        open.clear();
      } else if (word == "BEGIN") {
        if (!open.empty()) problem("BEGIN " + argument + " while " + open + " is open");
        if (!Keywords().count(argument)) problem("unknown block " + argument);
        open = argument;
        ++out.blocks[argument];
        if (kObjectBlocks.count(argument)) ++out.objectBlocks;
      } else {
        problem("unknown section word " + word);
      }
      continue;
    }
    // A blank before "=" would turn the rest of the keyword into a lost argument.
    if (firstWord.size() < eq) problem("blank inside keyword " + line.substr(0, eq));
    const std::string keyword = Upper(line.substr(0, eq)), value = line.substr(eq + 1);
    if (open.empty()) { problem("statement outside a block"); continue; }
    if (open == "PLANETNAMES") continue;
    if (open == "EXOTIC") {
      bool known = keyword.rfind("PLAYER", 0) == 0 || keyword.rfind("GALMONEY", 0) == 0 ||
                   ((keyword.rfind("EXOTICA", 0) == 0 || keyword.rfind("EXOTICB", 0) == 0) &&
                    keyword.size() > 7);
      if (!known) problem("EXOTIC keyword " + keyword);
      if (!NumericValueMax(value, false)) problem("bad number " + value);
      continue;
    }
    if (!Keywords().at(open).count(keyword)) {
      problem(open + " has no keyword " + keyword);
      continue;
    }
    if (keyword == "ID") {
      if (Upper(value) != "RANDOM" && Upper(value) != "NOTRANDOM") problem("ID = " + value);
    } else if (!kTextKeywords.count(keyword) && !(open == "PLANET" && keyword == "NAME")) {
      std::optional<long long> max = NumericValueMax(value, kStrictKeywords.count(keyword) > 0);
      if (!max) problem(keyword + " has the malformed number " + value);
      else if (kNarrowFields.count(open + " " + keyword) && *max > 32767)
        problem(keyword + " too large for its 16-bit field");
    }
  }
  if (!open.empty()) problem("block " + open + " still open at the end of the file");
  return out;
}

std::string LineEndProblem(const std::string& text) {
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)
    return "the last line does not end with CR LF";
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
      return "bare LF at byte " + std::to_string(i);
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
      return "bare CR at byte " + std::to_string(i);
  }
  return "";
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

TEST(SampleScripts, CheckerCatchesTheMistakesItIsMeantFor) {
  const std::string good = "BEGIN PLANET\r\nX = 1,500 ' east\r\nNAME = \"A 'B'\"\r\nEND\r\n";
  EXPECT_TRUE(CheckScript(good).problems.empty()) << Joined(CheckScript(good).problems);
  EXPECT_EQ(CheckScript("BEGIN SHIP\r\nENGCOUNT = 2\r\nEND\r\n").problems.size(), 1u);
  EXPECT_EQ(CheckScript("BEGIN SHIP\r\nNATIVE( 3 ) = 2\r\nEND\r\n").problems.size(), 2u);
  EXPECT_EQ(CheckScript("BEGIN THING\r\nMARKER = 40000\r\nEND\r\n").problems.size(), 1u);
  EXPECT_EQ(CheckScript("BEGIN SHIP\r\nATTACKPLAN = DICE(1,2)\r\nEND\r\n").problems.size(), 1u);
  EXPECT_EQ(CheckScript("BEGIN BUOY\r\nCOLOR = 5\r\n").problems.size(), 1u);
  EXPECT_EQ(CheckScript("BEGIN BUOY\r\nBEGIN WING\r\nEND\r\n").problems.size(), 1u);
  EXPECT_NE(LineEndProblem("END\r\nEND\n"), "");
  EXPECT_NE(LineEndProblem("END\rEND\r\n"), "");
  EXPECT_EQ(LineEndProblem("END\r\nEND\r\n"), "");
}

TEST(SampleScripts, TutorialIsWellFormedAndShowsEveryBlockKind) {
  const std::string text = ReadAll(std::string(TARVIK_SAMPLE_SCRIPTS) + "/tutorial.vps");
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(LineEndProblem(text), "");
  ScriptSummary summary = CheckScript(text);
  EXPECT_TRUE(summary.problems.empty()) << Joined(summary.problems);
  for (const auto& [block, source] : KeywordSource())
    EXPECT_GE(summary.blocks[block], 1) << "no " << block << " block";
  // The tutorial shows the two ways of ID, a DICE value and a quoted name.
  EXPECT_NE(text.find("ID = RANDOM"), std::string::npos);
  EXPECT_NE(text.find("ID = NOTRANDOM"), std::string::npos);
  EXPECT_NE(text.find("= DICE("), std::string::npos);
  EXPECT_NE(text.find("FILE = echo"), std::string::npos);
}

struct GeneratedScript {
  int status = -1;
  std::string text;
};

GeneratedScript Generate(const test::TempDir& dir, const std::string& name,
                         const std::string& countArgument) {
  const std::string path = dir.path() + name;
  const std::string command = std::string("'") + TARVIK_MAKE_BIG_SCRIPT + "' '" + path + "' " +
                              countArgument + " >/dev/null 2>&1";
  int raw = std::system(command.c_str());
  GeneratedScript out;
  out.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  out.text = ReadAll(path);
  return out;
}

TEST(BigScript, FullSizeHasTheRequestedObjectsOfEveryKindAndIsRepeatable) {
  test::TempDir dir;
  GeneratedScript first = Generate(dir, "big.vps", "");
  ASSERT_EQ(first.status, 0);
  EXPECT_EQ(LineEndProblem(first.text), "");
  ScriptSummary summary = CheckScript(first.text);
  EXPECT_TRUE(summary.problems.empty())
      << summary.problems.size() << " problems, first: " << summary.problems.front();
  EXPECT_EQ(summary.objectBlocks, 19000);
  for (const auto& [block, source] : KeywordSource()) {
    if (block == "MAP") continue;  // a map would add planets beyond the requested count
    EXPECT_GE(summary.blocks[block], 1) << "no " << block << " block";
  }
  EXPECT_EQ(summary.blocks["MAP"], 0);
  EXPECT_GT(summary.blocks["PLANET"] + summary.blocks["SHIP"], 19000 / 2);

  GeneratedScript second = Generate(dir, "again.vps", "19000");
  ASSERT_EQ(second.status, 0);
  EXPECT_TRUE(first.text == second.text) << "two runs gave different scripts";
}

TEST(BigScript, TenthSizeHasATenthOfTheObjects) {
  test::TempDir dir;
  GeneratedScript tenth = Generate(dir, "tenth.vps", "1900");
  ASSERT_EQ(tenth.status, 0);
  ScriptSummary summary = CheckScript(tenth.text);
  EXPECT_TRUE(summary.problems.empty()) << Joined(summary.problems);
  EXPECT_EQ(summary.objectBlocks, 1900);
  for (const std::string& kind : kObjectBlocks) EXPECT_GE(summary.blocks[kind], 1) << kind;

  // A short script still holds one object of every kind.
  GeneratedScript small = Generate(dir, "small.vps", "16");
  ASSERT_EQ(small.status, 0);
  EXPECT_EQ(CheckScript(small.text).objectBlocks, 16);
  for (const std::string& kind : kObjectBlocks) EXPECT_EQ(CheckScript(small.text).blocks[kind], 1);
}

TEST(BigScript, RejectsABadCountWithoutWriting) {
  test::TempDir dir;
  for (const char* bad : {"0", "20001", "many", "12x"}) {
    GeneratedScript out = Generate(dir, "bad.vps", bad);
    EXPECT_EQ(out.status, 2) << bad;
    EXPECT_TRUE(out.text.empty()) << bad;
  }
}

}  // namespace
}  // namespace tarvik
