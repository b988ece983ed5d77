#include "script/script_reader.h"

#include "base/errors.h"
#include "objects/object_store.h"
#include "platform/files.h"
#include "script/script_line.h"
#include "script/script_session.h"
#include "script/sections.h"

namespace tarvik {

void ParseScriptLine(ScriptSession& s, std::string_view line) {
  const ScriptStatement st = CutScriptLine(line);
  if (!st.word.empty()) ScriptSection(s, st.word, st.argument);
  if (s.script.blockKind != BlockKind::None && !st.keyword.empty()) DoProperty(s, st.keyword, st.value);
}

void RunScript(ScriptSession& s, const std::string& path, ScriptPass pass) {
  s.script.pass = pass;
  if (!FileExists(path)) throw FatalError{"Script Missing"};
  const std::vector<uint8_t> bytes = ReadWholeFile(path);

  s.script.pendingMapFile = false;
  s.script.pendingMapPath.clear();
  // A script run also drops the map that the wizard's map step had chosen.
  s.map.defaultMapFile.clear();
  s.map.chosenMapFile.clear();

  if (bytes.empty()) return;
  if (pass == ScriptPass::Objects) OpenObjectStore(s, s.tables.universeFilePath);

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

  if (pass == ScriptPass::Objects) CloseObjectStore(s);
}

}  // namespace tarvik
