// The folder layout next to the program, and the default input files found at start-up.
#pragma once

#include <string>

namespace tarvik {

struct AppPaths {
  std::string appPath;     // the program's folder, ending in a separator
  std::string racesDir;    // appPath + "races\"
  std::string shipsDir;    // appPath + "ships\"
  std::string scriptsDir;  // appPath + "scripts\"
  std::string dataDir;     // appPath + "data\"
  std::string logPath;     // appPath + "tarvik.log"

  // The universe script to run: the first one found at start-up or the one named on
  // the command line.
  std::string scriptPath;
  bool scriptFound = false;
};

// The game folder of a program that lies in programFolder (ending in a separator): that
// folder, except for an installed program, whose folder is named "bin": its game
// folder is the current folder ("./").
std::string GameFolderOfProgram(const std::string& programFolder);

// Fills the derived paths from appPath (adding the trailing separator when missing).
void SetAppPath(AppPaths& paths, std::string appPath);

}  // namespace tarvik
