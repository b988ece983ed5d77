#include "script/planet_names.h"

#include <algorithm>
#include <cmath>

#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "platform/rounding.h"
#include "script/script_session.h"

namespace tarvik {

namespace {

// The seven characters of a random planet name, before the padding (short enough to be
// made without taking memory).
std::string RandomNameCharacters(PlatformSession& s) {
  std::string name;
  for (int i = 0; i < 3; ++i) name += static_cast<char>(RoundToInt(s.random.Next() * 25 + 65));
  name += ' ';
  for (int i = 0; i < 3; ++i) name += static_cast<char>('0' + static_cast<int>(std::floor(s.random.Next() * 9 + 0.4)));
  return name;
}

// Whether an entry of the list can still be given: not used (marked "!") and not blank.
bool Unused(const std::string& entry) {
  if (!entry.empty() && entry[0] == '!') return false;
  return entry.find_first_not_of(' ') != std::string::npos;  // TrimBlanks(entry) is not empty
}

// The first unused entry from `from` up to the list's end, or planetNameCount + 1 when
// there is none: the entry the plain upward scan stops at. The search follows
// planetNameNext over stretches of used entries, and every entry it passes is then made
// to point at the answer. That is right because an entry never becomes unused again
// while it is in the list: names are only added at the end (each with its own pointer)
// or dropped all at once, and an entry once used stays used.
int FirstUnusedFrom(ScriptState& st, int from) {
  std::vector<int>& next = st.planetNameNext;
  const int end = st.planetNameCount + 1;
  int i = from;
  while (i < end && next[static_cast<size_t>(i)] != i) i = next[static_cast<size_t>(i)];
  for (int k = from; k < i;) {
    const int after = next[static_cast<size_t>(k)];
    next[static_cast<size_t>(k)] = i;
    k = after;
  }
  return std::min(i, end);
}

}  // namespace

std::string RandomPlanetName(PlatformSession& s) { return FixedText(RandomNameCharacters(s), PLANET_NAME_WIDTH); }

void PickPlanetName(ScriptSession& s) {
  ScriptState& st = s.script;
  Record& p = s.records.planet;
  static const Field& name = PlanetRecordLayout().Get("name");  // found once: every planet is named
  if (st.planetNameCount >= 1) {
    const int count = st.planetNameCount;
    const int start = static_cast<int>(std::clamp<long long>(RoundToInt(s.random.Next() * count), 1, count));
    const int i = FirstUnusedFrom(st, start);
    if (i <= count) {
      std::string& entry = st.planetNames[static_cast<size_t>(i - 1)];
      p.SetText(name, entry);
      entry.assign(1, '!');  // FixedText("!", PLANET_NAME_WIDTH), in the entry's own room
      entry.resize(PLANET_NAME_WIDTH, ' ');
      st.planetNameNext[static_cast<size_t>(i)] = i + 1;
      return;
    }
  }
  // The field pads the characters with blanks to its width, which is RandomPlanetName's.
  if (name.charLen != PLANET_NAME_WIDTH) throw RuntimeError("The planet record's name is not a planet name wide.");
  p.SetText(name, RandomNameCharacters(s));
}

void AddPlanetName(ScriptSession& s, std::string_view value) {
  ScriptState& st = s.script;
  if (value.empty()) return;
  if (EqualsNoCase(value, "CLEAR")) {
    st.planetNameCount = 0;
    LogLine(s, "Planet names cleared");
    return;
  }
  ++st.planetNameCount;
  if (st.planetNameCount > static_cast<int>(st.planetNames.size())) {
    st.planetNames.resize(static_cast<size_t>(st.planetNameCount) + PLANET_NAME_ROOM);
  }
  const int i = st.planetNameCount;
  std::string& entry = st.planetNames[static_cast<size_t>(i - 1)];
  entry = FixedText(value, PLANET_NAME_WIDTH);
  if (st.planetNameNext.size() < static_cast<size_t>(i) + 1) st.planetNameNext.resize(st.planetNames.size() + 1);
  st.planetNameNext[static_cast<size_t>(i)] = Unused(entry) ? i : i + 1;
  LogLine(s, "Planet Name: " + std::string(value));
}

}  // namespace tarvik
