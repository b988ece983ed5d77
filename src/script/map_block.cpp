#include "script/map_block.h"

#include "base/text.h"
#include "log/run_log.h"
#include "packs/data_files.h"
#include "platform/files.h"
#include "script/script_session.h"

namespace tarvik {

std::string MapFileName(std::string name) {
  if (name.size() < 4 || name.compare(name.size() - 4, 4, ".MAP") != 0) name += ".MAP";
  return name;
}

void SetScriptMapFile(ScriptSession& s, std::string name) {
  s.script.pendingMapFile = false;
  name = MapFileName(std::move(name));
  std::string path = s.paths.dataDir + name;
  std::string why;
  // A missing, short or foreign file is passed over without a word; one that cannot
  // be read is named.
  switch (FileExists(path) ? TestHeader(path, MAP_FILE_HEADER, DATA_FILE_MIN_LENGTH, &why) : HeaderTest::Fails) {
    case HeaderTest::Passes:
      s.script.pendingMapFile = true;
      s.script.pendingMapPath = path;
      LogLine(s, "Script Map File: " + path);
      break;
    case HeaderTest::Unreadable:
      LogNotice(s, "Map File Unreadable: " + path + " (" + why + ")");
      break;
    case HeaderTest::Fails:
      break;
  }
  std::string upper = UpperAscii(name);
  if (upper == "ECHO.MAP") {
    s.tables.mapKindCode = 1;
  } else if (upper == "ZETAGAL.MAP") {
    s.tables.mapKindCode = 2;
  } else if (upper == "EPSILON.MAP") {
    s.tables.mapKindCode = 5;
  }
}

}  // namespace tarvik
