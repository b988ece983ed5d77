#include "script/script_reader.h"

#include "base/errors.h"
#include "objects/object_store.h"
#include "platform/files.h"
#include "script/script_line.h"
#include "script/sections.h"
#include "session.h"

namespace tarvik {

void ParseScriptLine(Session& s, std::string_view line) {
  const ScriptStatement st = CutScriptLine(line);
  if (!st.word.empty()) ScriptSection(s, st.word, st.argument);
  if (s.script.blockKind > 0 && !st.keyword.empty()) DoProperty(s, st.keyword, st.value);
}

void RunScript(Session& s, const std::string& path, int pass) {
  s.script.pass = pass;
  if (!FileExists(path)) throw FatalError{"Script Missing"};
  const std::vector<uint8_t> bytes = ReadWholeFile(path);

  s.script.pendingMapFile = false;
  s.script.pendingMapPath.clear();
  // A script run also drops the map that the wizard's map step had chosen.
  s.map.defaultMapFile.clear();
  s.map.chosenMapFile.clear();

  if (bytes.empty()) return;
  if (pass == OBJECTS_PASS) OpenObjectStore(s, s.tables.universeFilePath);

  // The carriage return is the only line separator; a line feed stays in the line and
  // is dropped when the line is cut.
  std::string line;
  for (uint8_t byte : bytes) {
    if (byte == '\r') {
      ParseScriptLine(s, line);
      line.clear();
    } else {
      line += static_cast<char>(byte);
    }
  }
  if (!line.empty()) ParseScriptLine(s, line);

  if (pass == OBJECTS_PASS) CloseObjectStore(s);
}

}  // namespace tarvik
