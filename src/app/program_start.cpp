#include "app/program_start.h"

#include <cstdio>
#include <cstdlib>

#include "platform/paths.h"
#include "platform/programs.h"
#include "app/session.h"

namespace tarvik {

namespace {

// "YYYY-MM-DD HH:MM:SS" into the fixed clock; false for a text that is no such moment.
bool SetFixedClock(const char* text, FixedClock& clock) {
  DateTime& t = clock.now;
  char end = 0;
  if (std::sscanf(text, "%d-%d-%d %d:%d:%d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second, &end) != 6 ||
      t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59) {
    return false;
  }
  clock.seconds = t.hour * 3600.0 + t.minute * 60.0 + t.second;
  return true;
}

}  // namespace

bool OpensWizard(const LongOptions& options) {
  return options.commandLine.empty() && options.tool.empty() && !options.replayFile && !options.listRaces && !options.listSlots &&
         !options.generateAsked && !options.help && !options.version;
}

std::string GameFolder(const LongOptions& options) {
  return options.gameDir ? *options.gameDir : GameFolderOfProgram(ProgramFolder());
}

void PrepareSession(Session& s, const LongOptions& options) {
  s.random.SetFixedSeed(options.seed);
  s.paths.appPath = GameFolder(options);
  s.commandLine = options.commandLine;
  s.listRacesOnly = options.listRaces;
  s.listSlotsOnly = options.listSlots;
  s.generate = options.generate;
}

const Clock* ChooseClock(const Clock& real, FixedClock& fixed, std::string& error) {
  const char* moment = std::getenv("TARVIK_FIXED_CLOCK");
  if (!moment) return &real;
  if (SetFixedClock(moment, fixed)) return &fixed;
  error = std::string("TARVIK_FIXED_CLOCK needs \"YYYY-MM-DD HH:MM:SS\", not \"") + moment + "\"";
  return nullptr;
}

}  // namespace tarvik
