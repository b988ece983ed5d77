#include "app/options.h"

#include <cerrno>
#include <cstdlib>

namespace tarvik {

int ToolArgumentCount(std::string_view option) {
  if (option == "--inspect" || option == "--fairness" || option == "--check") return 1;
  if (option == "--map-picture") return 2;
  return 0;
}

bool ParseLongOptions(const std::vector<std::string>& args, LongOptions& out, std::string& error) {
  size_t i = 0;
  std::optional<std::string> generateSlot;
  std::vector<std::string> generateWords;
  auto needValue = [&](const std::string& name) -> const std::string* {
    if (i + 1 >= args.size()) {
      error = "option " + name + " needs a value";
      return nullptr;
    }
    return &args[++i];
  };
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 2 || a.compare(0, 2, "--") != 0) break;
    if (a == "--help") {
      out.help = true;
    } else if (a == "--version") {
      out.version = true;
    } else if (a == "--list-races") {
      out.listRaces = true;
    } else if (a == "--list-slots") {
      out.listSlots = true;
    } else if (a == "--generate") {
      out.generateAsked = true;
      const std::string* v = needValue(a);
      if (!v) return false;
      generateSlot = *v;
    } else if (bool takesValue = false; IsGenerateSetting(a, takesValue)) {
      out.generateAsked = true;
      generateWords.push_back(a);
      if (takesValue) {
        const std::string* v = needValue(a);
        if (!v) return false;
        generateWords.push_back(*v);
      }
    } else if (const int n = ToolArgumentCount(a); n > 0) {
      if (!out.tool.empty()) {
        error = a + " cannot be combined with " + out.tool;
        return false;
      }
      out.tool = a;
      for (int k = 0; k < n; ++k) {
        const std::string* v = needValue(a);
        if (!v) {
          error = a + (n == 1 ? " needs a file" : " needs " + std::to_string(n) + " files");
          return false;
        }
        out.toolArgs.push_back(*v);
      }
    } else if (a == "--game-dir") {
      const std::string* v = needValue(a);
      if (!v) return false;
      out.gameDir = *v;
    } else if (a == "--replay") {
      const std::string* v = needValue(a);
      if (!v) return false;
      out.replayFile = *v;
    } else if (a == "--seed") {
      const std::string* v = needValue(a);
      if (!v) return false;
      errno = 0;
      char* end = nullptr;
      long long n = std::strtoll(v->c_str(), &end, 10);
      if (v->empty() || *end != '\0' || errno == ERANGE) {
        error = "--seed needs a whole number, not \"" + *v + "\"";
        return false;
      }
      out.seed = n;
    } else {
      error = "unknown option " + a;
      return false;
    }
  }
  std::string line;
  for (; i < args.size(); ++i) {
    if (!line.empty()) line += ' ';
    line += args[i];
  }
  out.commandLine = line;
  if (!out.tool.empty() && (!line.empty() || generateSlot || !generateWords.empty() || out.listRaces || out.listSlots ||
                            out.replayFile)) {
    error = out.tool + " runs alone: it takes no batch command line, --generate, --replay, --list-races or --list-slots";
    return false;
  }
  if (out.replayFile && (!line.empty() || out.listRaces || out.listSlots || generateSlot)) {
    error = "--replay runs the wizard and takes no batch command line, --generate, --list-races or --list-slots";
    return false;
  }
  if (!generateSlot) {
    if (!generateWords.empty()) {
      error = generateWords.front() + " is a setting of --generate SLOT";
      return false;
    }
    return true;
  }
  if (!line.empty()) {
    error = "--generate takes settings only, not \"" + line + "\"";
    return false;
  }
  if (out.listRaces || out.listSlots) {
    error = "--generate cannot be combined with --list-races or --list-slots";
    return false;
  }
  GenerateSettings settings;
  if (!ParseGenerateSettings(*generateSlot, generateWords, settings, error)) return false;
  out.generate = settings;
  return true;
}

std::string UsageErrorText(const LongOptions& options, const std::string& error) {
  if (options.generateAsked) {
    return "tarvik: " + error +
           "\nUsage: tarvik [--game-dir DIR] [--seed N] --generate SLOT --races ID,ID,... [SETTINGS]"
           " (tarvik --help lists the settings)\n";
  }
  return "tarvik: " + error + "\n\n" + UsageText();
}

std::string UsageText() {
  return
      "Usage: tarvik [--game-dir DIR] [--seed N] [SCRIPT OUTPUT [/OPTIONS]]\n"
      "       tarvik [--game-dir DIR] [--seed N] --replay FILE\n"
      "       tarvik [--game-dir DIR] [--seed N] --generate SLOT --races ID,ID,... [SETTINGS]\n"
      "       tarvik [--game-dir DIR] --list-slots | --list-races\n"
      "       tarvik [--game-dir DIR] --check SCRIPT\n"
      "       tarvik --inspect FILE | --map-picture FILE OUT.svg | --fairness FILE\n"
      "       tarvik --help | --version\n"
      "\n"
      "Tarvik creates the starting universe of a new game. It works in its game folder:\n"
      "the folder of the program, or DIR given with --game-dir. Beside it are races\\\n"
      "(race modules *.rce), ships\\ (ship packs *.spk), data\\ (map files *.map and\n"
      "the main data file *.dat) and scripts\\ (universe scripts *.vps). Start-up\n"
      "creates the host slots UNIV\\GAME1..12 and the player slots WAR\\SLOT1..12.\n"
      "\n"
      "Without SCRIPT and OUTPUT the interactive wizard opens (it needs a display).\n"
      "\n"
      "Batch run: tarvik SCRIPT OUTPUT /OPTIONS\n"
      "  SCRIPT   the universe script to run (a path; when it names no file, the first\n"
      "           script of the scripts folder is used)\n"
      "  OUTPUT   the universe file to create; exactly one blank separates it from\n"
      "           SCRIPT, and text after it up to the \"/\" is ignored\n"
      "  /O       delete an existing OUTPUT before the build (otherwise an existing\n"
      "           file is never overwritten)\n"
      "  /X       end the program when the build is over (otherwise the output view\n"
      "           waits for Enter when the input is a terminal)\n"
      "  The option letters may be combined and written in any case: /ox equals /OX.\n"
      "  Example: tarvik scripts\\tutorial.vps univ\\game1\\g1.yig /OX\n"
      "\n"
      "Standard universe without a window: tarvik --generate SLOT --races ID,... [SETTINGS]\n"
      "  makes the wizard's choices and builds a standard universe from a map into host\n"
      "  slot SLOT (1 to 12): the map's planets, every player's home base and starting\n"
      "  fleet, and the slot records; the program ends when the run is over. Settings,\n"
      "  in any order, with their defaults in brackets (LEVEL: 0 None, 1 Some,\n"
      "  2 Average, 3 Above Average, 4 Abundent, 5 Extra Abundent):\n"
      "  --races ID,ID,...        the race IDs of the players, 2 to 30 of them; player k\n"
      "                           plays the k-th (required; see --list-races)\n"
      "  --map echo|epsilon|FILE  data\\echo.map, data\\epsilon.map, or a custom map FILE\n"
      "                           of 1 to 10000 planets, a path from the current folder\n"
      "                           (a map beside the program is moved to data\\) [echo]\n"
      "  --layout circle|grid|crazy|spaced|pick   the start positions [circle]\n"
      "  --radius N               the circle's radius, 0 to 32767 map units [1000]\n"
      "  --pick X,Y,X,Y,...       with --layout pick: one map point per player, whole\n"
      "                           numbers, X not 0\n"
      "  --game-name TEXT, --host-name TEXT, --rst-name TEXT\n"
      "                           [Alpha Game, Sample Host, player]\n"
      "  --home-minerals LEVEL [2], --home-natives LEVEL [0], --home-cargo LEVEL [3]\n"
      "  --home-cash N            2000 3000 4000 5000 10000 15000 20000 [4000]\n"
      "  --home-population N      200000 300000 400000 500000 1000000 2000000 5000000\n"
      "                           [300000]\n"
      "  --standard-ships 0|1 [1], --extra-freighters 0|1 [0]   the starting fleets\n"
      "  --minerals LEVEL [3], --natives LEVEL [2], --contraband LEVEL [1],\n"
      "  --cargo LEVEL [2]        the map's other planets\n"
      "  --clear                  first clear the slot's host and player side (deletes\n"
      "                           its universe, *.dat and *.rst files); without it a\n"
      "                           slot in use is refused\n"
      "  Example: tarvik --generate 2 --map epsilon --races 101,102,103,104 --layout spaced\n"
      "\n"
      "Options (they come before everything else):\n"
      "  --game-dir DIR  use DIR as the game folder instead of the program's folder\n"
      "  --seed N        make every random draw reproducible: the k-th seeding of the\n"
      "                  run uses N and k instead of the time of day\n"
      "  --replay FILE   run the wizard without a display, carrying out the events\n"
      "                  of FILE (clicks, selections, typed keys, timer ticks,\n"
      "                  answers, file picks, state dumps and pictures; see README)\n"
      "  --list-races    run the start-up, then list the race modules found (entry,\n"
      "                  race ID, revision, file, name) and end\n"
      "  --list-slots    run the start-up, then list the 12 slots (host and player side\n"
      "                  in use or free, and what a slot in use holds) and end\n"
      "  --help          show this text\n"
      "  --version       show the version\n"
      "\n"
      "Tools for hosts and designers. Each runs alone, without the start-up, and\n"
      "changes nothing in the game folder:\n"
      "  --inspect FILE  what a universe file, game.dat, slot.dat, race module, ship\n"
      "                  pack or map file holds, as JSON on standard output: every field\n"
      "                  by its name (unnamed ones as \"@OFFSET\"), texts as UTF-8,\n"
      "                  scrambled names also unscrambled; what a damaged file does not\n"
      "                  hold is listed in \"errors\"\n"
      "  --map-picture FILE OUT.svg\n"
      "                  an SVG picture of a universe file or a map file: the planets,\n"
      "                  each player's home by slot number and colour, the other objects\n"
      "  --fairness FILE how fair the start positions of a universe file are: for every\n"
      "                  player the straight-line distance to the nearest other home and\n"
      "                  the planets and ore around its home, with the spread of each\n"
      "                  (also printed after every --generate run)\n"
      "  --check SCRIPT  run a universe script's two passes against the game folder's\n"
      "                  race modules, ship packs and maps without writing anything, and\n"
      "                  list every problem as FILE:LINE: warning: TEXT, then a count\n"
      "                  (SCRIPT is a path, or a name in the scripts folder)\n"
      "\n"
      "The run log of the last build is tarvik.log in the game folder.\n"
      "Exit status: 0 after a normal end; 1 after an error that ends the program, when\n"
      "the output file already exists or the slot is in use; 2 for a usage error, or\n"
      "when the wizard is asked for but there is no display. The tools: 0 when the file\n"
      "is sound (--check: no warnings), 1 when it is damaged, of the wrong kind or has\n"
      "warnings, 2 for a usage error or a file that cannot be read.\n";
}

}  // namespace tarvik
