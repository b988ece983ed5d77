#include "script/planet_names.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "log/run_log.h"
#include "platform/rounding.h"
#include "script/script_session.h"

namespace tarvik {

std::string RandomPlanetName(PlatformSession& s) {
  std::string name;
  for (int i = 0; i < 3; ++i) name += static_cast<char>(RoundToInt(s.random.Next() * 25 + 65));
  name += ' ';
  for (int i = 0; i < 3; ++i) name += static_cast<char>('0' + static_cast<int>(std::floor(s.random.Next() * 9 + 0.4)));
  return FixedText(name, PLANET_NAME_WIDTH);
}

void PickPlanetName(ScriptSession& s) {
  ScriptState& st = s.script;
  Record& p = s.records.planet;
  if (st.planetNameCount >= 1) {
    const int count = st.planetNameCount;
    const int start = static_cast<int>(std::clamp<long long>(RoundToInt(s.random.Next() * count), 1, count));
    for (int i = start; i <= count; ++i) {
      std::string& entry = st.planetNames[static_cast<size_t>(i - 1)];
      if (!entry.empty() && entry[0] == '!') continue;
      if (TrimBlanks(entry).empty()) continue;
      p.SetText("name", entry);
      entry = FixedText("!", PLANET_NAME_WIDTH);
      return;
    }
  }
  p.SetText("name", RandomPlanetName(s));
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
  st.planetNames[static_cast<size_t>(st.planetNameCount - 1)] = FixedText(value, PLANET_NAME_WIDTH);
  LogLine(s, "Planet Name: " + std::string(value));
}

}  // namespace tarvik
