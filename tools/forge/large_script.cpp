#include "forge/large_script.h"

#include <algorithm>
#include <numeric>

#include "forge/forge.h"

namespace tarvik::forge {

namespace {

const char* const kSyllables[] = {"ka", "rel", "os", "vin", "tar", "eth", "mu", "dro", "lis", "quen",
                                  "sa", "bor", "nai", "pel", "ur", "zim", "cor", "ith", "fa", "gol"};

class Writer {
 public:
  explicit Writer(uint64_t seed) : r_(seed) {}
  ForgeRandom& r() { return r_; }
  void Line(const std::string& l) { text_ += l + "\r\n"; }
  void Set(const std::string& keyword, long long value) { Line("  " + keyword + " = " + std::to_string(value)); }
  void Set(const std::string& keyword, const std::string& value) { Line("  " + keyword + " = " + value); }
  int Range(int lo, int hi) { return r_.Range(lo, hi); }
  bool Chance(int percent) { return r_.Range(1, 100) <= percent; }
  std::string Word() {
    std::string w;
    for (int i = Range(2, 3); i > 0; --i) w += kSyllables[Range(0, 19)];
    w[0] = static_cast<char>(w[0] - 'a' + 'A');
    return w;
  }
  std::string Quoted(const std::string& t) { return "\"" + t + "\""; }
  std::string Dice(int lo, int hi) { return "DICE(" + std::to_string(lo) + "," + std::to_string(hi) + ")"; }
  std::string& text() { return text_; }

 private:
  ForgeRandom r_;
  std::string text_;
};

enum Kind { kPlanet, kShip, kBase, kConPod, kOrePod, kLifePod, kAssaultPod, kOutfitPod, kNativePod, kResupplyPod,
            kGoldPod, kWreckage, kMinefield, kThing, kBuoy, kWing, kKinds };

// Shares of the object kinds, in percent.
constexpr int kShares[kKinds] = {35, 20, 4, 2, 2, 2, 2, 2, 2, 2, 2, 5, 6, 5, 5, 4};

void Position(Writer& w) {
  w.Set("X", w.Range(500, 4500));
  if (w.Chance(20)) {
    w.Set("Y", w.Dice(1000, 4000));
  } else {
    w.Set("Y", w.Range(500, 4500));
  }
}

void Block(Writer& w, Kind kind, const LargeScriptSpec& spec, int players) {
  auto owner = [&] { w.Set("PNUM", w.Range(1, players)); };
  switch (kind) {
    case kPlanet:
      w.Line("BEGIN PLANET");
      if (w.Chance(70)) w.Set("NAME", w.Quoted(w.Word() + " " + w.Word()));
      Position(w);
      w.Set("STAR", w.Range(1, 21));
      if (w.Chance(50)) w.Set("NATIVE(" + std::to_string(w.Range(1, 10)) + ")", w.Range(1000, 90000));
      w.Set("OREN", w.Dice(100, 3000));
      w.Set("RESM", w.Range(0, 5000));
      if (w.Chance(30)) w.Set("CASH", w.Range(0, 2000));
      break;
    case kShip:
      w.Line("BEGIN SHIP");
      w.Set("HULL", spec.hullTypes[static_cast<size_t>(w.Range(0, static_cast<int>(spec.hullTypes.size()) - 1))]);
      w.Set("NAME", w.Quoted("SS " + w.Word()));
      owner();
      Position(w);
      w.Set("CREW", w.Range(5, 200));
      if (w.Chance(40)) w.Set("PDWEAPON(1)", w.Range(1, 10));
      if (w.Chance(40)) w.Set("LWEAPON(2)", w.Range(1, 20));
      if (w.Chance(20)) w.Set("DAMAGEHULL", w.Range(0, 80));
      if (w.Chance(10)) w.Set("ATTACKENEMY", 1);
      break;
    case kBase:
      w.Line("BEGIN BASE");
      w.Set("NAME", w.Quoted(w.Word() + " Station"));
      owner();
      Position(w);
      w.Set("FIGHTER(1)", w.Range(10, 200));
      w.Set("MEDLAB", w.Range(0, 1));
      w.Set("STRUCT(" + std::to_string(w.Range(0, 13)) + ")", 1);
      break;
    case kConPod:
      w.Line("BEGIN CONPOD");
      w.Set("ELED", w.Range(0, 500));
      w.Set("CASH", w.Range(0, 900));
      Position(w);
      break;
    case kOrePod:
      w.Line("BEGIN OREPOD");
      w.Set("OREN", w.Range(0, 1000));
      w.Set("ORET", w.Range(0, 1000));
      Position(w);
      break;
    case kLifePod:
      w.Line("BEGIN LIFEPOD");
      w.Set("PCOLONIST", w.Range(100, 30000));
      w.Set("PRACE", w.Range(1, players));
      w.Set("FREEZE", w.Range(0, 1));
      Position(w);
      break;
    case kAssaultPod:
      w.Line("BEGIN ASSAULTPOD");
      w.Set("TROOP", w.Range(100, 2000));
      w.Set("X", w.Range(500, 4500));
      w.Set("Y", w.Range(500, 4500));
      break;
    case kOutfitPod:
      w.Line("BEGIN OUTFITPOD");
      w.Set("ENG", w.Range(1, 20));
      w.Set("SWEAPON(" + std::to_string(w.Range(1, 30)) + ")", w.Range(1, 10));
      Position(w);
      break;
    case kNativePod:
      w.Line("BEGIN NATIVEPOD");
      w.Set("NATIVE(" + std::to_string(w.Range(1, 10)) + ")", w.Range(1000, 50000));
      Position(w);
      break;
    case kResupplyPod:
      w.Line("BEGIN RESUPPLYPOD");
      owner();
      w.Set("ORD", w.Range(100, 5000));
      w.Set("ELEFOOD", w.Range(0, 1000));
      Position(w);
      break;
    case kGoldPod:
      w.Line("BEGIN GOLDPOD");
      w.Set("CASH", w.Dice(500, 5000));
      w.Set("CONTRABAND(" + std::to_string(w.Range(1, 12)) + ")", w.Range(1, 1000));
      Position(w);
      break;
    case kWreckage:
      w.Line("BEGIN WRECKAGE");
      w.Set("NAME", w.Quoted("Hulk of " + w.Word()));
      w.Set("LWEAPON(" + std::to_string(w.Range(1, 20)) + ")", w.Range(1, 20));
      w.Set("CASH", w.Range(0, 3000));
      Position(w);
      break;
    case kMinefield: {
      static const int flavors[] = {1, 2, 4, 8};
      w.Line("BEGIN MINEFIELD");
      owner();
      w.Set("FLAVOR", flavors[w.Range(0, 3)]);
      w.Set("RADIUS", w.Range(20, 600));
      Position(w);
      break;
    }
    case kThing:
      w.Line("BEGIN THING");
      w.Set("NAME", w.Quoted("Object " + w.Word()));
      w.Set("CODE", std::string(1, static_cast<char>('A' + w.Range(0, 25))) +
                        static_cast<char>('A' + w.Range(0, 25)) + static_cast<char>('A' + w.Range(0, 25)));
      w.Set("SPEED", w.Range(0, 300));
      Position(w);
      break;
    case kBuoy:
      w.Line("BEGIN BUOY");
      w.Set("NAME", w.Quoted("Marker " + w.Word()));
      w.Set("MESSAGE", w.Quoted("Sector " + std::to_string(w.Range(1, 999)) + ": " + w.Word() + " " + w.Word()));
      w.Set("COLOR", w.Range(1, 16));
      Position(w);
      break;
    case kWing:
      w.Line("BEGIN WING");
      w.Set("NAME", w.Quoted(w.Word() + " Wing"));
      owner();
      w.Set("COUNT(1)", w.Range(1, 80));
      Position(w);
      break;
    case kKinds:
      break;
  }
  w.Line("END");
}

}  // namespace

std::string GenerateLargeScript(const LargeScriptSpec& spec) {
  Writer w(spec.seed);
  w.Line("' A large generated universe: " + std::to_string(spec.objects) + " objects of every kind.");
  w.Line("' Made by the data forge; change the generator, not this file.");
  const int players = std::max(2, std::min(30, static_cast<int>(spec.raceIds.size())));
  w.Line("BEGIN RACES");
  w.Set("PLAYERCOUNT", players);
  for (size_t i = 0; i < spec.raceIds.size() && i < 30; ++i) {
    w.Set("PLAYER(" + std::to_string(i + 1) + ")", spec.raceIds[i]);
  }
  w.Line("END");
  w.Line("BEGIN START");
  w.Set("MINERAL", 3);
  w.Set("NATIVE", 2);
  w.Set("CONTRABAND", 2);
  w.Set("CARGO", 2);
  w.Set("GAMENAME", w.Quoted("Vast Expanse"));
  w.Line("END");
  w.Line("BEGIN PLANETNAMES");
  for (int i = 0; i < 300; ++i) w.Set("NAME", w.Quoted(w.Word() + " " + std::to_string(i)));
  w.Line("END");
  const int total = std::accumulate(std::begin(kShares), std::end(kShares), 0);
  for (int n = 0; n < spec.objects; ++n) {
    int pick = w.Range(1, total);
    int kind = 0;
    while (pick > kShares[kind]) pick -= kShares[kind++];
    if (n % 500 == 0) w.Line("' --- object " + std::to_string(n + 1) + " ---");
    Block(w, static_cast<Kind>(kind), spec, players);
  }
  return w.text();
}

std::string LargeSampleScript(int objects) {
  LargeScriptSpec spec;
  spec.objects = objects;
  for (int id = 101; id <= 111; ++id) spec.raceIds.push_back(id);
  for (int h = 1; h <= 125; ++h) spec.hullTypes.push_back(h);
  return GenerateLargeScript(spec);
}

}  // namespace tarvik::forge
