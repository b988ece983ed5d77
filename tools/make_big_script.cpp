// make-big-script: writes a large universe script for the batch-run benchmark.
//
//   make-big-script OUTPUT [COUNT]
//
// The script holds the four settings blocks (21 players, every race of the sample
// game), a planet-name list and COUNT object blocks (default 19000) of every object
// kind: mostly planets and ships, with bases, the eight pods, wreckage, minefields,
// things, buoys and wings mixed in. Every statement uses a keyword of its block with a
// value inside the keyword's bounds, and no 16-bit field is given more than 32767.
// Lines end with CR LF. The generator has its own fixed-seed random source, so the same
// COUNT always gives the same bytes, on any platform; the file is made on demand and
// never kept in the repository.

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

namespace {

constexpr int DEFAULT_COUNT = 19000;
constexpr int MAX_COUNT = 20000;  // a universe has room for 20000 objects
constexpr uint64_t SEED = 0x5EED0019000ULL;
constexpr int PLAYERS = 21;

// SplitMix64: small, fast and the same everywhere (the standard distributions are not).
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Whole number from lo to hi, both included.
  int Range(int lo, int hi) {
    return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1));
  }
  bool Chance(int percent) { return Range(1, 100) <= percent; }

 private:
  uint64_t state_;
};

// The object kinds as their section arguments, with their share of the mix (per 200).
struct KindShare {
  std::string_view section;
  int share;
};
constexpr std::array<KindShare, 16> KINDS = {{
    {"PLANET", 80}, {"SHIP", 70},      {"BASE", 6},        {"CONPOD", 4},
    {"OREPOD", 4},  {"LIFEPOD", 4},    {"ASSAULTPOD", 4},  {"OUTFITPOD", 4},
    {"NATIVEPOD", 4}, {"RESUPPLYPOD", 4}, {"GOLDPOD", 4},  {"WRECKAGE", 4},
    {"MINEFIELD", 3}, {"THING", 2},    {"BUOY", 1},        {"WING", 2},
}};

constexpr std::array<int, PLAYERS> RACE_IDS = {101, 102, 103, 104, 105, 106, 107,
                                                108, 109, 110, 111, 802, 803, 804,
                                                805, 806, 807, 808, 809, 810, 811};

class ScriptWriter {
 public:
  explicit ScriptWriter(Rng& rng) : rng_(rng) {}

  const std::string& Text() const { return text_; }

  void Line(std::string_view line) {
    text_ += line;
    text_ += "\r\n";
  }
  void Set(std::string_view keyword, long long value) {
    Line(std::string(keyword) + " = " + std::to_string(value));
  }
  void SetText(std::string_view keyword, std::string_view value) {
    Line(std::string(keyword) + " = \"" + std::string(value) + "\"");
  }
  // An indexed keyword such as NATIVE(3).
  void SetAt(std::string_view keyword, int index, long long value) {
    Set(std::string(keyword) + "(" + std::to_string(index) + ")", value);
  }
  void Dice(std::string_view keyword, int lo, int hi) {
    Line(std::string(keyword) + " = DICE(" + std::to_string(lo) + "," +
         std::to_string(hi) + ")");
  }

  void Settings(int count) {
    Line("' Benchmark universe: " + std::to_string(count) +
         " objects of mixed kinds, made by make-big-script.");
    Line("' Generated file; do not edit. Lines end with CR LF.");
    Line("BEGIN RACES");
    Set("PLAYERCOUNT", PLAYERS);
    for (int p = 1; p <= PLAYERS; ++p) SetAt("PLAYER", p, RACE_IDS[p - 1]);
    Line("END");
    Line("BEGIN START");
    SetText("GAMENAME", "Benchmark Expanse");
    SetText("HOSTNAME", "Benchmark Host");
    SetText("RSTNAME", "Bench");
    Set("HOMEMINERAL", 3);
    Set("HOMENATIVE", 1);
    Set("HOMECASH", 5000);
    Set("HOMEPOPULATION", 1500000);
    Set("HOMECARGO", 2);
    Set("MINERAL", 2);
    Set("NATIVE", 2);
    Set("CONTRABAND", 1);
    Set("CARGO", 2);
    Set("GALMONEY", 1000);
    Line("END");
    Line("BEGIN TECH");
    Set("TECHPLANET", 4);
    Set("TECHLARGE", 2);
    Set("TECHSMALL", 2);
    Set("TECHPD", 2);
    Set("TECHGEN", 2);
    Set("TECHENGINE", 3);
    Set("TECHHULL", 3);
    Set("TECHHYP", 2);
    Set("TECHSHIELD", 2);
    Line("END");
    Line("BEGIN EXOTIC");
    for (int p = 1; p <= PLAYERS; p += 4) {
      Set("PLAYER", p);
      SetAt("EXOTICA", rng_.Range(0, 30), 1);
      SetAt("EXOTICB", rng_.Range(0, 30), 1);
      Set("GALMONEY", rng_.Range(1000, 9000));
    }
    Line("END");
    Line("BEGIN PLANETNAMES");
    Line("NAME = CLEAR");
    static constexpr std::array<std::string_view, 12> FIRST = {
        "Ar", "Bel", "Cor", "Dra", "El", "Fen", "Gal", "Hes", "Ix", "Jor", "Kel", "Lum"};
    static constexpr std::array<std::string_view, 10> LAST = {
        "adon", "ara", "enth", "ion", "ira", "os", "uvia", "yx", "ette", "orum"};
    for (std::string_view first : FIRST) {
      for (std::string_view last : LAST) {
        SetText("NAME", std::string(first) + std::string(last) + " " +
                            std::to_string(rng_.Range(1, 9)));
      }
    }
    Line("END");
  }

  void Object(std::string_view section, int serial) {
    Line("BEGIN " + std::string(section));
    if (section == "PLANET") Planet(serial);
    else if (section == "SHIP") Ship(serial);
    else if (section == "BASE") Base(serial);
    else if (section == "CONPOD") ConPod(serial);
    else if (section == "OREPOD") OrePod();
    else if (section == "LIFEPOD") LifePod();
    else if (section == "ASSAULTPOD") AssaultPod(serial);
    else if (section == "OUTFITPOD") OutfitPod();
    else if (section == "NATIVEPOD") NativePod();
    else if (section == "RESUPPLYPOD") ResupplyPod();
    else if (section == "GOLDPOD") GoldPod();
    else if (section == "WRECKAGE") Wreckage(serial);
    else if (section == "MINEFIELD") Minefield();
    else if (section == "THING") Thing(serial);
    else if (section == "BUOY") Buoy(serial);
    else if (section == "WING") Wing(serial);
    Line("END");
  }

 private:
  // Coordinates stay well inside what the 16-bit object tables hold.
  void Position() {
    Set("X", rng_.Range(1000, 9000));
    Set("Y", rng_.Range(1000, 9000));
  }
  void Owner(int lo = 0) { Set("PNUM", rng_.Range(lo, PLAYERS)); }

  void Planet(int serial) {
    // Half the planets are named here, the rest take names from the list (and random
    // names once the list is used up).
    if (rng_.Chance(50)) SetText("NAME", "World " + std::to_string(serial));
    Position();
    Set("STAR", rng_.Range(1, 21));
    Set("CLIMATE", rng_.Range(0, 100));
    Set("SOIL", rng_.Range(0, 1000));
    Set("STATE", rng_.Range(0, 3));
    SetAt("NATIVE", rng_.Range(1, 10), rng_.Range(0, 200000));
    Set("EASYN", rng_.Range(1, 100));
    Set("EASYD", rng_.Range(1, 100));
    Set("OREN", rng_.Range(0, 20000));
    Set("ORED", rng_.Range(0, 20000));
    if (rng_.Chance(10)) Dice("RESN", 1000, 30000);
    else Set("RESN", rng_.Range(0, 30000));
    Set("RESM", rng_.Range(0, 10000));
    SetAt("CONTRABAND", rng_.Range(1, 12), rng_.Range(0, 500));
    Set("CASH", rng_.Range(0, 2000));
    Set("ELEORD", rng_.Range(0, 500));
  }

  void Ship(int serial) {
    Set("HULL", rng_.Range(1, 125));  // first: HULL rebuilds the ship
    SetText("NAME", "Vessel " + std::to_string(serial));
    Owner(1);
    Position();
    Set("ENG", rng_.Range(1, 20));
    Set("HYPENG", rng_.Range(0, 10));
    Set("SHIELD", rng_.Range(0, 10));
    SetAt("PDWEAPON", rng_.Range(1, 10), rng_.Range(0, 10));
    SetAt("LWEAPON", rng_.Range(1, 20), rng_.Range(0, 20));
    SetAt("SWEAPON", rng_.Range(1, 30), rng_.Range(0, 10));
    SetAt("GENERATOR", rng_.Range(1, 5), rng_.Range(0, 10));
    Set("FUEL", rng_.Range(0, 10000));
    Set("CREW", rng_.Range(10, 5000));
    Set("ARMOR", rng_.Range(0, 30000));
    Set("SKILL", rng_.Range(0, 100));
    Set("ATTACKENEMY", rng_.Range(0, 1));
    Set("SPEED", rng_.Range(0, 400));
    SetAt("WAYPOINTX", 1, rng_.Range(1000, 9000));
    SetAt("WAYPOINTY", 1, rng_.Range(1000, 9000));
  }

  void Base(int serial) {
    Owner(1);
    SetText("NAME", "Outpost " + std::to_string(serial));
    Position();
    Set("COLONISTS", rng_.Range(10000, 2000000));
    Set("CASH", rng_.Range(0, 100000));
    Set("FACTORY", rng_.Range(0, 1000));
    Set("MINE", rng_.Range(0, 500));
    SetAt("STRUCT", rng_.Range(0, 13), rng_.Range(0, 1));
    Set("MEDLAB", 1);
    SetAt("FIGHTER", rng_.Range(1, 3), rng_.Range(0, 1000));
    SetAt("ENG", rng_.Range(1, 20), rng_.Range(0, 1000));
  }

  void ConPod(int serial) {
    SetText("NAME", "Crate " + std::to_string(serial));
    Owner();
    Position();
    Set("ELED", rng_.Range(0, 100000));
    Set("ELET", rng_.Range(0, 100000));
    Set("CASH", rng_.Range(0, 5000));
    Set("COUNTDOWN", rng_.Range(1, 500));
  }

  void OrePod() {
    Owner();
    Position();
    Set("OREN", rng_.Range(0, 1000));
    Set("OREM", rng_.Range(0, 1000));
    Set("COUNTDOWN", rng_.Range(1, 500));
  }

  void LifePod() {
    Owner();
    Position();
    Set("PCOLONIST", rng_.Range(0, 1000000));
    Set("PTROOP", rng_.Range(0, 5000));
    Set("PRACE", rng_.Range(0, PLAYERS));
    Set("FREEZE", rng_.Range(0, 1));
  }

  void AssaultPod(int serial) {
    SetText("NAME", "Drop " + std::to_string(serial));
    Owner();
    Position();  // 16-bit X and Y here; the range keeps them below 32768
    Set("TROOP", rng_.Range(0, 1000000));
    Set("CREW", rng_.Range(0, 10000));
    SetAt("MECH", rng_.Range(1, 3), rng_.Range(0, 1000));
    SetAt("FIGHTER", rng_.Range(1, 3), rng_.Range(0, 1000));
  }

  void OutfitPod() {
    Owner();
    Position();
    SetAt("PDWEAPON", rng_.Range(1, 10), rng_.Range(0, 10));
    SetAt("LWEAPON", rng_.Range(1, 20), rng_.Range(0, 20));
    Set("ENG", rng_.Range(0, 20));
    Set("ENGCOUNT", rng_.Range(0, 20));
    Set("ARMOR", rng_.Range(0, 30000));
  }

  void NativePod() {
    Owner();
    Position();
    SetAt("NATIVE", rng_.Range(1, 10), rng_.Range(0, 1000000));
    Set("COUNTDOWN", rng_.Range(1, 500));
  }

  void ResupplyPod() {
    Owner();
    Position();
    Set("ELEN", rng_.Range(0, 1000));
    Set("ORD", rng_.Range(0, 100000));
    Set("ELEFIX", rng_.Range(0, 100000));
    Set("CASH", rng_.Range(0, 1000000));
  }

  void GoldPod() {
    Owner();
    Position();
    Set("CASH", rng_.Range(0, 1000000));
    SetAt("CONTRABAND", rng_.Range(1, 12), rng_.Range(0, 1000));
    Set("HULLPLANS", rng_.Range(0, 125));
    Set("COUNTDOWN", rng_.Range(1, 500));
  }

  void Wreckage(int serial) {
    SetText("NAME", "Hulk " + std::to_string(serial));
    Owner();
    Position();
    Set("ELEN", rng_.Range(0, 1000));
    Set("CASH", rng_.Range(0, 100000));
    SetAt("SWEAPON", rng_.Range(1, 30), rng_.Range(0, 10));
    Set("ENG", rng_.Range(0, 20));
    Set("ENGCOUNT", rng_.Range(0, 20));
    Set("COUNTDOWN", rng_.Range(0, 500));
  }

  void Minefield() {
    static constexpr std::array<int, 4> FLAVORS = {1, 2, 4, 8};
    Owner();
    Set("FLAVOR", FLAVORS[rng_.Range(0, 3)]);
    Set("RADIUS", rng_.Range(10, 500));
    Position();
    Set("COUNTDOWN", rng_.Range(1, 500));
  }

  void Thing(int serial) {
    SetText("NAME", "Anomaly " + std::to_string(serial));
    std::string code;
    for (int i = 0; i < 3; ++i) code += static_cast<char>('A' + rng_.Range(0, 25));
    Set("FLAVOR", rng_.Range(0, 20));
    Line("CODE = " + code);
    SetText("INFO2", "Signal " + std::to_string(rng_.Range(1, 999)));
    Position();
    Set("XWAY", rng_.Range(1000, 9000));
    Set("YWAY", rng_.Range(1000, 9000));
    Set("SPEED", rng_.Range(0, 300));
  }

  void Buoy(int serial) {
    SetText("NAME", "Beacon " + std::to_string(serial));
    SetText("MESSAGE", "Navigation beacon " + std::to_string(serial) + ". Keep clear.");
    Owner();
    Position();
    Set("RANGE", rng_.Range(500, 5000));
    Set("COLOR", rng_.Range(1, 16));
  }

  void Wing(int serial) {
    SetText("NAME", "Flight " + std::to_string(serial));
    Owner(1);
    Set("RACENUM", rng_.Range(1, PLAYERS));
    Position();
    for (int i = 1; i <= 3; ++i) SetAt("COUNT", i, rng_.Range(0, 100));
    Set("SPEED", rng_.Range(0, 200));
    Set("XHOME", rng_.Range(1000, 9000));
    Set("YHOME", rng_.Range(1000, 9000));
    Set("PATROLRANGE", rng_.Range(0, 100));
  }

  Rng& rng_;
  std::string text_;
};

std::string_view PickKind(Rng& rng) {
  int total = 0;
  for (const KindShare& k : KINDS) total += k.share;
  int roll = rng.Range(1, total);
  for (const KindShare& k : KINDS) {
    if (roll <= k.share) return k.section;
    roll -= k.share;
  }
  return KINDS.front().section;
}

std::string MakeScript(int count) {
  Rng rng(SEED);
  ScriptWriter writer(rng);
  writer.Settings(count);
  for (int i = 0; i < count; ++i) {
    // The first objects go through every kind once, so even a short script has them all.
    std::string_view kind = i < static_cast<int>(KINDS.size()) ? KINDS[i].section
                                                                : PickKind(rng);
    writer.Object(kind, i + 1);
  }
  return writer.Text();
}

bool ParseCount(const char* text, int& count) {
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < 1 || value > MAX_COUNT)
    return false;
  count = static_cast<int>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: make-big-script OUTPUT [COUNT]\n"
                         "  writes a universe script of COUNT objects (default %d, at most %d)\n",
                 DEFAULT_COUNT, MAX_COUNT);
    return 2;
  }
  int count = DEFAULT_COUNT;
  if (argc == 3 && !ParseCount(argv[2], count)) {
    std::fprintf(stderr, "make-big-script: the object count must be a whole number from 1 to %d, not \"%s\"\n",
                 MAX_COUNT, argv[2]);
    return 2;
  }
  const std::string text = MakeScript(count);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make-big-script: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("%s: %d objects, %zu bytes\n", argv[1], count, text.size());
  return 0;
}
