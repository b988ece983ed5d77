#include "survey/fairness.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <span>

#include "base/cp1252.h"

namespace tarvik {

namespace {

double Distance(double x1, double y1, double x2, double y2) { return std::hypot(x1 - x2, y1 - y2); }

}  // namespace

// Map coordinates are whole numbers, so the square of a distance is a whole number too,
// and comparing it with the square of the radius needs no square root. It gives exactly
// the answer of Distance(...) <= radius, because hypot is faithfully rounded: its result
// is one of the two doubles next to the true distance, so it never passes a double such
// as the radius that the true distance does not pass:
// - dx*dx + dy*dy <= radius*radius: the true distance is at most the radius, a whole
//   number, so hypot gives at most the radius (exactly the radius for a distance of
//   exactly the radius, such as (60, 80) from 100);
// - otherwise the square is at least radius*radius + 1, so the true distance lies more
//   than 1 / (2 * radius + 1) beyond the radius, far more than one unit in the last
//   place, and hypot gives more than the radius.
// An offset beyond the radius on either axis is outside at once, which also keeps the
// squares small.
static_assert(FAIRNESS_RADII[0] <= FAIRNESS_RADII[2] && FAIRNESS_RADII[1] <= FAIRNESS_RADII[2] &&
              FAIRNESS_ORE_RADIUS <= FAIRNESS_RADII[2], "the last radius is the largest");

bool WithinRadius(long long dx, long long dy, int radius) {
  if (dx > radius || dx < -radius || dy > radius || dy < -radius) return false;
  return dx * dx + dy * dy <= static_cast<long long>(radius) * radius;
}

namespace {

std::string Fixed1(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

std::string Ratio(const FairnessSpread& s) {
  if (!s.any) return "-";
  if (s.lowest <= 0) return s.highest <= 0 ? "1.00" : "none (lowest is 0)";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", s.highest / s.lowest);
  return buf;
}

// A table of text cells, the first row its heading; column c is aligned left where
// align[c] is 'L', right otherwise.
std::string TableText(const std::vector<std::vector<std::string>>& rows, std::string_view align) {
  std::vector<size_t> width;
  for (const auto& row : rows) {
    if (width.size() < row.size()) width.resize(row.size(), 0);
    for (size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
  }
  // Each line is made in place at the end of the text: its cells padded with blanks,
  // then the blanks at its end taken off again.
  std::string out;
  for (const auto& row : rows) {
    const size_t lineStart = out.size();
    for (size_t c = 0; c < row.size(); ++c) {
      const size_t pad = width[c] - row[c].size();
      if (c > 0) out.append(2, ' ');
      const bool left = c < align.size() && align[c] == 'L';
      if (!left) out.append(pad, ' ');
      out += row[c];
      if (left) out.append(pad, ' ');
    }
    while (out.size() > lineStart && out.back() == ' ') out.pop_back();
    out += '\n';
  }
  return out;
}

}  // namespace

namespace {

// The indexes of `planets` in order of key(planet), equal keys in list order. Each
// index is sorted as one number, the key (shifted so that signed order is unsigned
// order) above the index: no two numbers are equal, and their order is that of the
// key and then the index, which is the order a stable sort of the indexes by the key
// gives.
template <typename Key>
std::vector<size_t> OrderBy(const std::vector<PlanetView>& planets, Key key) {
  std::vector<uint64_t> keyed(planets.size());
  for (size_t i = 0; i < keyed.size(); ++i) {
    const uint32_t shifted = static_cast<uint32_t>(static_cast<int32_t>(key(planets[i]))) ^ 0x80000000u;
    keyed[i] = static_cast<uint64_t>(shifted) << 32 | i;
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<size_t> order(keyed.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<size_t>(keyed[i] & 0xFFFFFFFFu);
  return order;
}

// The planets in order of x, for finding those near a home by a search instead of a
// scan of them all, and the last planet in list order of each home planet identifier
// of `players`.
struct PlanetsByPlace {
  PlanetsByPlace(const std::vector<PlanetView>& planets, const std::vector<PlayerView>& players)
      : planets(planets), byX(OrderBy(planets, [](const PlanetView& p) { return p.x; })), homeIds(HomePlanetIds(players)) {
    // One pass in list order: a later planet of an identifier takes the place of an
    // earlier one, so the last of each stays.
    lastOfHome.assign(homeIds.size(), nullptr);
    if (homeIds.empty()) return;
    for (const PlanetView& planet : planets) {
      const auto at = std::lower_bound(homeIds.begin(), homeIds.end(), planet.id);
      if (at != homeIds.end() && *at == planet.id) lastOfHome[static_cast<size_t>(at - homeIds.begin())] = &planet;
    }
  }

  // The last planet in list order with this identifier, one of the home planet
  // identifiers, or none.
  const PlanetView* LastWithId(int id) const {
    const auto at = std::lower_bound(homeIds.begin(), homeIds.end(), id);
    if (at == homeIds.end() || *at != id) return nullptr;
    return lastOfHome[static_cast<size_t>(at - homeIds.begin())];
  }

  // The planets whose x lies within `reach` of x (inclusive), in order of x.
  std::span<const size_t> Near(int x, int reach) const {
    const auto lessX = [&](size_t i, long long v) { return planets[i].x < v; };
    const auto first = std::lower_bound(byX.begin(), byX.end(), static_cast<long long>(x) - reach, lessX);
    const auto last = std::upper_bound(byX.begin(), byX.end(), static_cast<long long>(x) + reach,
                                       [&](long long v, size_t i) { return v < planets[i].x; });
    return {first, last};
  }

  const std::vector<PlanetView>& planets;
  std::vector<size_t> byX;
  std::vector<int> homeIds;                   // sorted, each once
  std::vector<const PlanetView*> lastOfHome;  // by the place of its identifier in homeIds
};

}  // namespace

FairnessReport RateStartPositions(const std::vector<PlayerView>& players, const std::vector<PlanetView>& planets) {
  FairnessReport report;
  const PlanetsByPlace places(planets, players);
  for (const PlayerView& p : players) {
    FairnessRow row;
    row.player = p;
    if (p.hasHome) {
      for (const PlayerView& other : players) {
        if (other.slot == p.slot || !other.hasHome) continue;
        const double d = Distance(p.x, p.y, other.x, other.y);
        if (!row.nearestHome || d < *row.nearestHome) row.nearestHome = d;
      }
      // The home planet (the last of its identifier, as a scan of the list that renames
      // at every match would leave it) is named and never counted, wherever it lies.
      if (p.homePlanetId != 0) {
        if (const PlanetView* home = places.LastWithId(p.homePlanetId)) {
          row.homePlanetName = home->name.empty() ? "#" + std::to_string(home->id) : home->name;
        }
      }
      // A planet more than the largest radius away on the x axis is within none of the
      // radii, so only those whose x lies within it are looked at; the counts and the ore
      // are whole numbers, added up in any order to the same totals.
      for (const size_t i : places.Near(p.x, FAIRNESS_RADII[2])) {
        const PlanetView& planet = planets[i];
        if (planet.id == p.homePlanetId && p.homePlanetId != 0) continue;
        const long long dx = static_cast<long long>(p.x) - planet.x, dy = static_cast<long long>(p.y) - planet.y;
        // Beyond the largest radius, a planet is within none of them.
        if (!WithinRadius(dx, dy, FAIRNESS_RADII[2])) continue;
        for (int r = 0; r < 3; ++r) {
          if (WithinRadius(dx, dy, FAIRNESS_RADII[r])) ++row.planetsWithin[r];
        }
        if (WithinRadius(dx, dy, FAIRNESS_ORE_RADIUS)) row.oreWithin += planet.ore;
      }
    }
    report.rows.push_back(row);
  }
  const std::string names[] = {"nearest home", "planets within 100", "planets within 200", "planets within 300",
                               "ore within 200"};
  for (int c = 0; c < 5; ++c) {
    FairnessSpread spread;
    spread.column = names[c];
    for (const FairnessRow& row : report.rows) {
      if (!row.player.hasHome) continue;
      double v = 0;
      if (c == 0) {
        if (!row.nearestHome) continue;
        v = *row.nearestHome;
      } else {
        v = c <= 3 ? row.planetsWithin[c - 1] : static_cast<double>(row.oreWithin);
      }
      spread.lowest = spread.any ? std::min(spread.lowest, v) : v;
      spread.highest = spread.any ? std::max(spread.highest, v) : v;
      spread.any = true;
    }
    report.spreads.push_back(spread);
  }
  return report;
}

std::string FairnessText(const FairnessReport& report) {
  std::string out =
      "Fairness of the start positions. Distances are straight-line distances in map units\n"
      "(light years), measured from each player's home (its base; without a base, its first\n"
      "ship or wing). The planet counts and the ore do not count the home planet itself.\n\n";
  std::vector<std::vector<std::string>> rows = {{"Slot", "Race", "Home", "Home planet", "Nearest home", "Planets <=100",
                                                 "<=200", "<=300", "Ore <=200"}};
  for (const FairnessRow& row : report.rows) {
    const PlayerView& p = row.player;
    std::string race = p.raceId > 0 ? std::to_string(p.raceId) : "-";
    if (!p.raceName.empty()) race += " " + Cp1252ToUtf8(p.raceName);
    if (!p.hasHome) {
      rows.push_back({std::to_string(p.slot), race, "(no home)", "-", "-", "-", "-", "-", "-"});
      continue;
    }
    const std::string home = "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")";
    const std::string planet = row.homePlanetName.empty() ? "-" : Cp1252ToUtf8(row.homePlanetName);
    rows.push_back({std::to_string(p.slot), race, home, planet, row.nearestHome ? Fixed1(*row.nearestHome) : "-",
                    std::to_string(row.planetsWithin[0]), std::to_string(row.planetsWithin[1]),
                    std::to_string(row.planetsWithin[2]), std::to_string(row.oreWithin)});
  }
  out += TableText(rows, "LLLLRRRRR");
  if (report.rows.empty()) out += "(no players)\n";

  out += "\nSpread over the players with a home (ratio: highest / lowest):\n";
  std::vector<std::vector<std::string>> spreads = {{"Column", "Lowest", "Highest", "Ratio"}};
  for (const FairnessSpread& s : report.spreads) {
    const bool distance = s.column == "nearest home";
    auto shown = [&](double v) { return !s.any ? std::string("-") : distance ? Fixed1(v) : std::to_string(std::llround(v)); };
    spreads.push_back({s.column, shown(s.lowest), shown(s.highest), Ratio(s)});
  }
  out += TableText(spreads, "LRRL");
  return out;
}

}  // namespace tarvik
