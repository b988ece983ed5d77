#include "app/options.h"

#include <cerrno>
#include <cstdlib>

namespace tarvik {

bool ParseLongOptions(const std::vector<std::string>& args, LongOptions& out, std::string& error) {
  size_t i = 0;
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
  if (out.replayFile && (!line.empty() || out.listRaces)) {
    error = "--replay runs the wizard and takes no batch command line or --list-races";
    return false;
  }
  return true;
}

std::string UsageText() {
  return
      "Usage: tarvik [--game-dir DIR] [--seed N] [SCRIPT OUTPUT [/OPTIONS]]\n"
      "       tarvik [--game-dir DIR] [--seed N] --replay FILE\n"
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
      "Options (they come before everything else):\n"
      "  --game-dir DIR  use DIR as the game folder instead of the program's folder\n"
      "  --seed N        make every random draw reproducible: the k-th seeding of the\n"
      "                  run uses N and k instead of the time of day\n"
      "  --replay FILE   run the wizard without a display, carrying out the events\n"
      "                  of FILE (clicks, selections, typed keys, timer ticks,\n"
      "                  answers, file picks, state dumps and pictures; see README)\n"
      "  --list-races    run the start-up, then list the race modules found (entry,\n"
      "                  race ID, revision, file, name) and end\n"
      "  --help          show this text\n"
      "  --version       show the version\n"
      "\n"
      "The run log of the last build is tarvik.log in the game folder.\n"
      "Exit status: 0 after a normal end; 1 after an error that ends the program or\n"
      "when the output file already exists; 2 for a usage error, or when the wizard\n"
      "is asked for but there is no display.\n";
}

}  // namespace tarvik
