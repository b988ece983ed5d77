// Sections and blocks of a script: opening a block (BEGIN and the settings words),
// committing it (END, or the next BEGIN), and carrying out one property statement on
// the open block (DoProperty).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

struct ScriptSession;
class ScriptLines;

// A section statement: word (BEGIN, END or any other) and its argument.
void ScriptSection(ScriptSession& s, std::string_view word, std::string_view argument);

// Passes over the lines ahead that would do nothing outside a block, as far as it
// certainly knows them: property statements, and in a settings pass also empty lines and
// section statements that open none of its blocks.
void SkipLinesOutsideBlocks(const ScriptSession& s, ScriptLines& lines);

// Finishes the open block (an object block stores its object) and closes it.
void CommitBlock(ScriptSession& s);

// One property statement on the open block. Every step runs guarded: a step that fails
// (a number too large for a 16-bit field, a strict number that is not a number) shows
// "Error DoProperty", has no effect, and the next step still runs.
void DoProperty(ScriptSession& s, std::string_view keyword, std::string_view value);

// SetPlayerRace: player slot n plays the first race module whose race identifier is r.
// Nothing changes when n or r is below 1 or no module carries r.
void SetPlayerRace(ScriptSession& s, int32_t n, int32_t r);

}  // namespace tarvik
