#include "app/program_start.h"

#include "platform/programs.h"
#include "app/session.h"

namespace tarvik {

bool OpensWizard(const LongOptions& options) {
  return options.commandLine.empty() && !options.replayFile && !options.listRaces && !options.listSlots &&
         !options.generateAsked && !options.help && !options.version;
}

void PrepareSession(Session& s, const LongOptions& options) {
  s.random.SetFixedSeed(options.seed);
  s.paths.appPath = options.gameDir ? *options.gameDir : ProgramFolder();
  s.commandLine = options.commandLine;
  s.listRacesOnly = options.listRaces;
  s.listSlotsOnly = options.listSlots;
  s.generate = options.generate;
}

}  // namespace tarvik
