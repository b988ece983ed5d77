#include "script/script_reader.h"

#include "base/errors.h"
#include "objects/object_store.h"
#include "objects/ship_construction.h"
#include "platform/files.h"
#include "platform/mapped_file.h"
#include "script/keyword_tables.h"
#include "script/script_line.h"
#include "script/script_session.h"
#include "script/sections.h"

namespace tarvik {

void DoStatement(ScriptSession& s, const ScriptTokens& st) {
  if (!st.word.empty()) ScriptSection(s, st.word, st.argument);
  if (s.script.blockKind != BlockKind::None && !st.keyword.empty()) DoProperty(s, st.keyword, st.value);
}

namespace {

// Carries out every line of a script's bytes in order. Outside a block the lines that
// do nothing are passed over as soon as they are known to (most lines of the settings
// pass are statements of object blocks, which that pass does not open). Between blocks,
// the script's pages already carried out are let go.
void DoLines(ScriptSession& s, WholeFile& script) {
  ScriptLines lines(script.text());
  ScriptTokens st;
  for (;;) {
    if (s.script.blockKind == BlockKind::None) {
      SkipLinesOutsideBlocks(s, lines);
      script.Release(lines.position());
    }
    if (!lines.Next(st, s.script.lineWork)) return;
    DoStatement(s, st);
  }
}

}  // namespace

void BeginScriptPass(ScriptSession& s, ScriptPass pass) {
  s.script.pass = pass;
  s.script.keywordTables = &AllKeywordTables();
  s.script.pendingMapFile = false;
  s.script.pendingMapPath.clear();
  // A script run also drops the map that the wizard's map step had chosen.
  s.map.defaultMapFile.clear();
  s.map.chosenMapFile.clear();
}

void RunScript(ScriptSession& s, const std::string& path, ScriptPass pass) {
  s.script.pass = pass;
  if (!FileExists(path)) throw FatalError{"Script Missing"};
  // Read afresh for each pass; the bytes (a large script is mapped, not copied) go when
  // the pass ends, however it ends.
  WholeFile script(path);
  BeginScriptPass(s, pass);

  if (script.bytes().empty()) return;
  if (pass == ScriptPass::Objects) {
    OpenObjectStore(s, s.tables.universeFilePath);
    // The pass builds ship after ship: NewShip keeps the ships it built for it, and
    // they go when the pass ends, however it ends.
    const KeepingShips keptShips(s.shipTemplates);
    DoLines(s, script);
  } else {
    DoLines(s, script);
  }
  if (pass == ScriptPass::Objects) CloseObjectStore(s);
}

}  // namespace tarvik
