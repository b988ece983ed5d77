#include "script/script_reader.h"

#include "base/errors.h"
#include "objects/object_store.h"
#include "objects/ship_construction.h"
#include "platform/files.h"
#include "script/script_line.h"
#include "script/script_session.h"
#include "script/sections.h"

namespace tarvik {

void ParseScriptLine(ScriptSession& s, std::string_view line) {
  // Outside a block nothing but a section statement does anything (most lines of the
  // settings pass, which only the script's own sections concern).
  if (s.script.blockKind == BlockKind::None && IsPropertyLine(line)) return;
  const ScriptTokens st = CutScriptTokens(line, s.script.lineWork);
  if (!st.word.empty()) ScriptSection(s, st.word, st.argument);
  if (s.script.blockKind != BlockKind::None && !st.keyword.empty()) DoProperty(s, st.keyword, st.value);
}

namespace {

// The settings pass over the lines as ForEachScriptLine cuts them, each carried out by
// ParseScriptLine, except that outside a block a property statement, which does nothing
// there, is passed over as soon as PropertyLineEnd has found its end (most lines of
// the pass are statements of object blocks, which this pass does not open).
void RunSettingsLines(ScriptSession& s, const std::vector<uint8_t>& bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  size_t start = 0;
  while (start < text.size()) {
    if (s.script.blockKind == BlockKind::None) {
      const size_t end = PropertyLineEnd(text, start);
      if (end != std::string_view::npos) {
        start = end + 1;
        continue;
      }
    }
    const size_t cr = text.find('\r', start);
    ParseScriptLine(s, text.substr(start, cr == std::string_view::npos ? std::string_view::npos : cr - start));
    if (cr == std::string_view::npos) return;
    start = cr + 1;
  }
}

}  // namespace

void BeginScriptPass(ScriptSession& s, ScriptPass pass) {
  s.script.pass = pass;
  s.script.pendingMapFile = false;
  s.script.pendingMapPath.clear();
  // A script run also drops the map that the wizard's map step had chosen.
  s.map.defaultMapFile.clear();
  s.map.chosenMapFile.clear();
}

void RunScript(ScriptSession& s, const std::string& path, ScriptPass pass) {
  s.script.pass = pass;
  if (!FileExists(path)) throw FatalError{"Script Missing"};
  // Read afresh for each pass, into the storage the settings pass used.
  std::vector<uint8_t>& bytes = s.script.text;
  ReadWholeFileInto(path, bytes);
  BeginScriptPass(s, pass);

  if (bytes.empty()) return;
  if (pass == ScriptPass::Objects) {
    OpenObjectStore(s, s.tables.universeFilePath);
    // The pass builds ship after ship: NewShip keeps the ships it built for it, and
    // they go when the pass ends, however it ends.
    struct KeptShips {
      ShipTemplates& templates;
      explicit KeptShips(ShipTemplates& t) : templates(t) { templates.keep = true; }
      ~KeptShips() { templates = ShipTemplates{}; }
    } keptShips(s.shipTemplates);
    ForEachScriptLine(bytes, [&](std::string_view line) { ParseScriptLine(s, line); });
  } else {
    RunSettingsLines(s, bytes);
  }
  if (pass == ScriptPass::Objects) {
    CloseObjectStore(s);
    std::vector<uint8_t>().swap(bytes);  // the last pass: the storage goes
  }
}

}  // namespace tarvik
