// Odd and damaged data files of every kind, and steps that fail, in whole batch runs of
// the program: the exit status, a line the run log holds after the build, everything
// standard error says (the reason on the line after each box), and that no unfinished
// universe file is left behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "base/text.h"
#include "damage.h"
#include "script_game.h"

#ifndef TARVIK_BINARY
#error "the build must define TARVIK_BINARY"
#endif

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using test::CUT;
using test::Damage;

const std::string UNIVERSE = "UNIV/GAME1/g1.yig";
constexpr uid_t NOBODY = 65534;

// The game of every run: SmallGame's races 101..103 (each needs hull 1), pack.spk with
// hulls 1..12, main.dat and echo.map, and a script that plays races 101 and 102 on the
// map ECHO with one ship.
const std::vector<std::string> SCRIPT = {"BEGIN RACES", "PLAYERCOUNT = 2", "PLAYER(1) = 101", "PLAYER(2) = 102", "END",
                                         "BEGIN MAP",   "FILE = ECHO",     "END",             "BEGIN SHIP",      "HULL = 3",
                                         "END"};

// The first `lines` lines of the script, as scripts/play.vps of the game folder.
void WriteScript(const std::string& game, size_t lines) {
  std::string text;
  for (size_t i = 0; i < lines; ++i) text += SCRIPT[i] + "\r\n";
  forge::WriteBytes(game + "scripts/play.vps", std::vector<uint8_t>(text.begin(), text.end()));
}

// A second pack, with hulls that no race needs.
const forge::ShipPackRecipe EXTRA_PACK = {.packId = 9, .hulls = {{.hullType = 20}, {.hullType = 21}}};

using Prepare = std::function<void(const std::string& game)>;

Prepare Nothing() {
  return [](const std::string&) {};
}
// The file `relative` of the game folder, damaged.
Prepare Damaged(const std::string& relative, Damage d) {
  return [=](const std::string& game) {
    forge::WriteBytes(game + relative, test::WithDamage(ReadWholeFile(game + relative), d));
  };
}
Prepare Renamed(const std::string& from, const std::string& to) {
  return [=](const std::string& game) { fs::rename(game + from, game + to); };
}
Prepare Race(const std::string& name, const forge::RaceModuleRecipe& race) {
  return [=](const std::string& game) { forge::WriteRaceModule(game + "races/" + name, race); };
}
// The extra pack as ships/`name`.
Prepare ExtraPack(const std::string& name) {
  return [=](const std::string& game) { forge::WriteShipPack(game + "ships/" + name, EXTRA_PACK); };
}
Prepare Folder(const std::string& relative) {
  return [=](const std::string& game) { fs::create_directories(game + relative); };
}
Prepare Removed(const std::string& relative) {
  return [=](const std::string& game) { fs::remove_all(game + relative); };
}
Prepare ScriptWithoutItsLastLine() {
  return [](const std::string& game) { WriteScript(game, SCRIPT.size() - 1); };
}

// Standard error says the line the run log holds, and nothing else.
const std::string SAID = "(the logged line)";

struct Case {
  const char* what;
  Prepare prepare;
  int status;
  std::string logged;  // a line the run log holds after the build ("" = none asked for)
  std::string err;     // all that standard error says (SAID: the logged line alone)
  std::string unreadable = "";      // a file of the game folder the program may not read
  std::string output = UNIVERSE;    // the output field of the command line
  long long fileLimit = 0;          // > 0: the largest file the program may write;
                                    // < 0: that many bytes short of the full universe
  std::string notLogged = "";       // a text the run log must not hold
};

struct Outcome {
  int status = -1;
  std::string err, log;
};

// Runs `tarvik --game-dir . scripts/play.vps OUTPUT /OX` in the game folder. A file
// made unreadable stops only a user without privileges: a privileged test runs the
// program as the user nobody, with the game folder open to it.
Outcome RunBatch(const std::string& binary, const std::string& game, const std::string& scratch, const Case& c,
                 rlim_t fileLimit) {
  const bool dropPrivileges = !c.unreadable.empty() && ::geteuid() == 0;
  if (dropPrivileges) {
    for (const auto& e : fs::recursive_directory_iterator(game)) {
      fs::permissions(e.path(), e.is_directory() ? fs::perms::all : fs::perms(0666));
    }
    fs::permissions(game, fs::perms::all);
  }
  if (!c.unreadable.empty()) fs::permissions(game + c.unreadable, fs::perms::none);
  const std::string err = scratch + "stderr";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open((scratch + "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || errFd < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(errFd, 2) < 0 ||
        ::chdir(game.c_str()) != 0) {
      ::_exit(120);
    }
    rlimit limit{fileLimit, fileLimit};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(121);
    if (dropPrivileges && (::setgroups(0, nullptr) != 0 || ::setgid(NOBODY) != 0 || ::setuid(NOBODY) != 0)) {
      ::_exit(122);
    }
    ::execl(binary.c_str(), "tarvik", "--game-dir", ".", "--seed", "7", "scripts/play.vps", c.output.c_str(), "/OX",
            static_cast<char*>(nullptr));
    ::_exit(123);
  }
  int raw = 0;
  ::waitpid(pid, &raw, 0);
  Outcome o;
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  o.err = test::ReadText(err);
  o.log = test::ReadText(game + "tarvik.log");
  return o;
}

std::string StepBox(int step, const std::string& output = UNIVERSE) {
  return "Tarvik CommandLine Error: " + NumText(step) + " [scripts/play.vps " + output + " /OX]\n";
}

TEST(DataFileProblems, EachRunSaysWhatAndWhyAndLeavesNoUnfinishedUniverse) {
  forge::RaceModuleLayoutInfo race;
  forge::BuildRaceModule({.raceId = 102, .name = "Race 102", .requiredHulls = {1}}, &race);

  const std::string needHull1 = "ERROR!: ERROR! Race " + FixedText("Race 101", 44) +
                                "  101 requires ship hull type  1\nhull information not found, a required "
                                "ships\\*.SPK is file missing\n";
  const std::string noDataFile = StepBox(112) + "No main data file: ./data\\main.dat ";
  const Case cases[] = {
      {"nothing odd", Nothing(), 0, "Adding Planets from ./data\\ECHO.MAP", ""},
      // Race modules.
      {"a race module of a long name", Race("longracename.rce", {.raceId = 104, .requiredHulls = {1}}), 0,
       "Race module name longer than 8 characters, not used: ./races\\longracename.rce", SAID},
      {"a race module in play cut short", Damaged("races/race102.rce", {race.fileLength - 1, CUT}), 0,
       "Race module damaged, not used: ./races\\race102.rce", SAID},
      {"an unreadable race module", Nothing(), 0,
       "Race module unreadable, not used: ./races\\race102.rce (permission denied)", SAID, "races/race102.rce"},
      // Ship packs. (A damaged pack's lines are the pack readers' test.)
      {"a ship pack of a long name", ExtraPack("morehulls.spk"), 0,
       "Ship Pack name longer than 8 characters, not used: ./ships\\morehulls.spk", SAID},
      {"the needed ship pack under a long name", Renamed("ships/pack.spk", "ships/ninehulls.spk"), 1,
       "Ship Pack name longer than 8 characters, not used: ./ships\\ninehulls.spk",
       "Ship Pack name longer than 8 characters, not used: ./ships\\ninehulls.spk\n" + needHull1},
      {"an unreadable ship pack", ExtraPack("extra.spk"), 0,
       "Ship Pack unreadable, not used: ./ships\\extra.spk (permission denied)", SAID, "ships/extra.spk"},
      // Map files. A planet count outside 1..18999 adds nothing after its line, and a
      // file that fails the header test is passed over, both without a word.
      {"a map file of no planets", Damaged("data/echo.map", {100, 0}), 0, "Adding Planets from ./data\\ECHO.MAP", "",
       "", UNIVERSE, 0, "Planet Object ID#"},
      {"a map file's coordinates far outside it", Damaged("data/echo.map", {104, 0x7FFFFFFF}), 0,
       "Map File Damaged: ./data\\ECHO.MAP", SAID},
      {"a map file cut to its first 100 bytes", Damaged("data/echo.map", {100, CUT}), 0, "", "", "", UNIVERSE, 0,
       "Map File"},
      {"an unreadable map file", Nothing(), 0, "Map File Unreadable: ./data\\ECHO.MAP (permission denied)", SAID,
       "data/echo.map"},
      // The main data file.
      {"a main data file cut to 100 bytes", Damaged("data/main.dat", {100, CUT}), 1, "",
       noDataFile + "is too short (100 bytes or less).\n"},
      {"a main data file of another header", Damaged("data/main.dat", {0, 0x20202020}), 1, "",
       noDataFile + "does not begin with the data file header.\n"},
      {"an unreadable main data file", Nothing(), 1, "", noDataFile + "cannot be read (permission denied).\n",
       "data/main.dat"},
      {"no data folder", Removed("data"), 1, "", StepBox(112) + "No main data file: no such folder ./data.\n"},
      // The script. A block still open where the file ends is lost without a word.
      {"a script cut before its last END", ScriptWithoutItsLastLine(), 0, "Adding Planets from ./data\\ECHO.MAP", "", "", UNIVERSE, 0, "Ship Object ID#"},
      {"an unreadable script", Nothing(), 1, "", StepBox(111) + "Cannot read scripts/play.vps: permission denied.\n",
       "scripts/play.vps"},
      // The universe file.
      {"the output is a folder", Folder(UNIVERSE), 1, "",
       StepBox(112) + "Cannot create UNIV/GAME1/g1.yig: it is a folder, not a file.\n"},
      {"the output's folder is missing", Nothing(), 1, "",
       StepBox(112, "nowhere/g1.yig") + "Cannot create nowhere/g1.yig: no such folder nowhere.\n", "", "nowhere/g1.yig"},
      {"a universe file too large to begin", Nothing(), 1, "",
       StepBox(112) + "Cannot write UNIV/GAME1/g1.yig: file too large.\n", "", UNIVERSE, 300000},
      {"a universe file too large to finish", Nothing(), 1, "Adding Planets from ./data\\ECHO.MAP",
       StepBox(113) + "Cannot write UNIV/GAME1/g1.yig: file too large.\n", "", UNIVERSE, -1},
  };

  test::TempDir dir;
  // The program runs from a copy that every user may run.
  const std::string binary = dir.path() + "tarvik";
  fs::copy_file(TARVIK_BINARY, binary);
  fs::permissions(binary, fs::perms(0755));
  long long fullUniverse = 0;  // the size of the universe file of a run without trouble
  int round = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string game = dir.path() + "game" + std::to_string(round) + "/";
    const std::string scratch = dir.path() + "run" + std::to_string(round++) + "-";
    forge::WriteGameFolder(game, test::SmallGame());
    WriteScript(game, SCRIPT.size());
    c.prepare(game);
    const rlim_t limit = c.fileLimit > 0   ? static_cast<rlim_t>(c.fileLimit)
                         : c.fileLimit < 0 ? static_cast<rlim_t>(fullUniverse + c.fileLimit)
                                           : RLIM_INFINITY;
    const Outcome o = RunBatch(binary, game, scratch, c, limit);
    EXPECT_EQ(o.status, c.status);
    EXPECT_EQ(o.err, c.err == SAID ? c.logged + "\n" : c.err);
    if (!c.logged.empty()) {
      EXPECT_NE(o.log.find(c.logged + "\r\n"), std::string::npos) << o.log;
    }
    if (!c.notLogged.empty()) {
      EXPECT_EQ(o.log.find(c.notLogged), std::string::npos) << o.log;
    }
    // A build that ends well has logged its run time and left its universe file; one
    // that fails leaves no file of the output's name.
    EXPECT_EQ(o.log.find("Total Run Time: ") != std::string::npos, c.status == 0) << o.log;
    const fs::path output = ResolvePath(game + c.output);  // "UNIV" is the "univ" that start-up made
    EXPECT_EQ(fs::is_regular_file(output), c.status == 0);
    if (fullUniverse == 0 && c.status == 0) fullUniverse = static_cast<long long>(fs::file_size(output));
  }
}

}  // namespace
}  // namespace tarvik
