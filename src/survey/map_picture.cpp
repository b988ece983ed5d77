#include "survey/map_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

#include "base/cp1252.h"
#include "base/xml.h"
#include "universe/tables.h"

namespace tarvik {

namespace {

// The picture's frame: the map square is MAP_PIXELS wide, MARGIN from the edges; the
// legend lies to its right.
constexpr double MARGIN = 30;
constexpr double MAP_PIXELS = 720;
constexpr double LEGEND_WIDTH = 300;
constexpr const char* BACKGROUND = "#0b1020";
constexpr const char* INK = "#e8e8f0";
constexpr const char* PLANET_COLOR = "#9aa3b5";
constexpr const char* NEUTRAL_COLOR = "#b8b8b8";

// What the picture draws an object as.
enum class Mark { Planet, Base, Ship, Minefield, Pod, Wreckage, Thing, Buoy, Wing };

struct MarkInfo {
  Mark mark;
  const char* cssClass;
  const char* legend;
};
constexpr MarkInfo MARKS[] = {
    {Mark::Planet, "planet", "Planets"},    {Mark::Base, "base", "Bases"},
    {Mark::Ship, "ship", "Ships"},          {Mark::Minefield, "minefield", "Minefields (with their radius)"},
    {Mark::Pod, "pod", "Pods"},             {Mark::Wreckage, "wreckage", "Wreckage"},
    {Mark::Thing, "thing", "Things"},       {Mark::Buoy, "buoy", "Buoys"},
    {Mark::Wing, "wing", "Fighter wings"},
};

const MarkInfo& InfoOf(Mark m) { return MARKS[static_cast<int>(m)]; }

std::optional<Mark> MarkOf(BlockKind kind) {
  switch (kind) {
    case BlockKind::Planet: return Mark::Planet;
    case BlockKind::Base: return Mark::Base;
    case BlockKind::Ship: return Mark::Ship;
    case BlockKind::Minefield: return Mark::Minefield;
    case BlockKind::Wreckage: return Mark::Wreckage;
    case BlockKind::Thing: return Mark::Thing;
    case BlockKind::Buoy: return Mark::Buoy;
    case BlockKind::Wing: return Mark::Wing;
    case BlockKind::ConPod:
    case BlockKind::OrePod:
    case BlockKind::LifePod:
    case BlockKind::AssaultPod:
    case BlockKind::OutfitPod:
    case BlockKind::NativePod:
    case BlockKind::ResupplyPod:
    case BlockKind::GoldPod: return Mark::Pod;
    default: return std::nullopt;
  }
}

struct Item {
  Mark mark;
  double x = 0, y = 0;
  double radius = 0;  // a minefield's, in map units
  std::string color;
  std::string title;  // UTF-8
};

struct Home {
  int slot = 0;
  double x = 0, y = 0;
  std::string title;  // UTF-8
};

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

class Picture {
 public:
  std::vector<Item> items;
  std::vector<Home> homes;
  std::vector<std::string> legendPlayers;  // UTF-8 lines, one per player, with its slot
  std::vector<int> legendSlots;
  std::string caption;  // UTF-8

  std::string Svg() {
    Extent();
    const double width = MARGIN * 3 + MAP_PIXELS + LEGEND_WIDTH;
    const double height = MARGIN * 2 + MAP_PIXELS;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(width) + "\" height=\"" + Num(height) +
           "\" viewBox=\"0 0 " + Num(width) + " " + Num(height) + "\" font-family=\"sans-serif\" font-size=\"13\">\n";
    out += "<title>" + XmlEscaped(caption) + "</title>\n";
    out += "<rect class=\"background\" x=\"0\" y=\"0\" width=\"" + Num(width) + "\" height=\"" + Num(height) +
           "\" fill=\"" + BACKGROUND + "\"/>\n";
    out += "<rect class=\"map\" x=\"" + Num(MARGIN) + "\" y=\"" + Num(MARGIN) + "\" width=\"" + Num(MAP_PIXELS) +
           "\" height=\"" + Num(MAP_PIXELS) + "\" fill=\"none\" stroke=\"" + INK + "\" stroke-width=\"1\"/>\n";
    // Minefields first, so that what lies inside them stays visible; homes last.
    for (const Mark m : {Mark::Minefield, Mark::Planet, Mark::Pod, Mark::Wreckage, Mark::Thing, Mark::Buoy, Mark::Base,
                         Mark::Wing, Mark::Ship}) {
      for (const Item& it : items) {
        if (it.mark == m) out += ItemSvg(it);
      }
    }
    for (const Home& h : homes) out += HomeSvg(h);
    out += "<text class=\"size\" x=\"" + Num(MARGIN + 6) + "\" y=\"" + Num(MARGIN + MAP_PIXELS - 8) + "\" fill=\"" +
           INK + "\">" + XmlEscaped(SizeText()) + "</text>\n";
    out += Legend();
    out += "</svg>\n";
    return out;
  }

 private:
  double left_ = 0, top_ = 0, side_ = 1, scale_ = 1;
  double minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
  bool any_ = false;

  void Take(double x, double y) {
    minX_ = any_ ? std::min(minX_, x) : x;
    maxX_ = any_ ? std::max(maxX_, x) : x;
    minY_ = any_ ? std::min(minY_, y) : y;
    maxY_ = any_ ? std::max(maxY_, y) : y;
    any_ = true;
  }

  // The map square: the smallest square round the middle of everything drawn that
  // holds it all (minefields with their radius), with a little room at the edges.
  void Extent() {
    for (const Item& it : items) {
      Take(it.x - it.radius, it.y - it.radius);
      Take(it.x + it.radius, it.y + it.radius);
    }
    for (const Home& h : homes) Take(h.x, h.y);
    if (!any_) {
      minX_ = minY_ = 0;
      maxX_ = maxY_ = 1000;
    }
    side_ = std::max({maxX_ - minX_, maxY_ - minY_, 1.0});
    const double room = side_ * 0.04 + 1;
    left_ = (minX_ + maxX_) / 2 - side_ / 2 - room;
    top_ = (minY_ + maxY_) / 2 + side_ / 2 + room;
    scale_ = MAP_PIXELS / (side_ + 2 * room);
  }
  double Px(double x) const { return MARGIN + (x - left_) * scale_; }
  double Py(double y) const { return MARGIN + (top_ - y) * scale_; }

  std::string SizeText() const {
    if (!any_) return "empty map";
    const auto w = std::llround(maxX_ - minX_), h = std::llround(maxY_ - minY_);
    return "map " + std::to_string(w) + " x " + std::to_string(h) + " (x " + std::to_string(std::llround(minX_)) +
           " to " + std::to_string(std::llround(maxX_)) + ", y " + std::to_string(std::llround(minY_)) + " to " +
           std::to_string(std::llround(maxY_)) + ")";
  }

  static std::string Shape(Mark m, double x, double y, const std::string& color, double radiusPx) {
    const std::string fill = " fill=\"" + color + "\"";
    switch (m) {
      case Mark::Planet:
        return "<circle cx=\"" + Num(x) + "\" cy=\"" + Num(y) + "\" r=\"2.5\"" + fill + "/>";
      case Mark::Base:
        return "<rect x=\"" + Num(x - 4) + "\" y=\"" + Num(y - 4) + "\" width=\"8\" height=\"8\"" + fill + "/>";
      case Mark::Ship:
        return "<path d=\"M" + Num(x) + " " + Num(y - 5) + " L" + Num(x + 4) + " " + Num(y + 3) + " L" + Num(x - 4) +
               " " + Num(y + 3) + " Z\"" + fill + "/>";
      case Mark::Minefield:
        return "<circle cx=\"" + Num(x) + "\" cy=\"" + Num(y) + "\" r=\"" + Num(std::max(radiusPx, 2.0)) +
               "\" fill=\"" + color + "\" fill-opacity=\"0.12\" stroke=\"" + color +
               "\" stroke-dasharray=\"4 3\"/>";
      case Mark::Pod:
        return "<path d=\"M" + Num(x) + " " + Num(y - 4) + " L" + Num(x + 4) + " " + Num(y) + " L" + Num(x) + " " +
               Num(y + 4) + " L" + Num(x - 4) + " " + Num(y) + " Z\"" + fill + "/>";
      case Mark::Wreckage:
        return "<path d=\"M" + Num(x - 3) + " " + Num(y - 3) + " L" + Num(x + 3) + " " + Num(y + 3) + " M" +
               Num(x + 3) + " " + Num(y - 3) + " L" + Num(x - 3) + " " + Num(y + 3) + "\" stroke=\"" + color +
               "\" stroke-width=\"2\"/>";
      case Mark::Thing:
        return "<circle cx=\"" + Num(x) + "\" cy=\"" + Num(y) + "\" r=\"4\" fill=\"none\" stroke=\"" + color +
               "\" stroke-width=\"2\"/>";
      case Mark::Buoy:
        return "<path d=\"M" + Num(x) + " " + Num(y + 4) + " L" + Num(x + 4) + " " + Num(y - 3) + " L" + Num(x - 4) +
               " " + Num(y - 3) + " Z\" fill=\"none\" stroke=\"" + color + "\" stroke-width=\"1.5\"/>";
      case Mark::Wing:
        return "<path d=\"M" + Num(x - 5) + " " + Num(y + 2) + " L" + Num(x) + " " + Num(y - 3) + " L" + Num(x + 5) +
               " " + Num(y + 2) + "\" fill=\"none\" stroke=\"" + color + "\" stroke-width=\"2\"/>";
    }
    return {};
  }

  // One element per object: its shape, with its class and its title (shown when the
  // pointer rests on it).
  std::string ItemSvg(const Item& it) const {
    std::string shape = Shape(it.mark, Px(it.x), Py(it.y), it.color, it.radius * scale_);
    const size_t nameEnd = shape.find(' ');
    shape.insert(nameEnd, " class=\"" + std::string(InfoOf(it.mark).cssClass) + "\"");
    if (it.title.empty()) return shape + "\n";
    const std::string name = shape.substr(1, nameEnd - 1);
    shape.resize(shape.size() - 2);  // the "/>"
    return shape + "><title>" + XmlEscaped(it.title) + "</title></" + name + ">\n";
  }

  std::string HomeSvg(const Home& h) const {
    const std::string color = SlotColor(h.slot);
    const double x = Px(h.x), y = Py(h.y);
    return "<g class=\"home\" data-slot=\"" + std::to_string(h.slot) + "\"><title>" + XmlEscaped(h.title) +
           "</title><circle cx=\"" + Num(x) + "\" cy=\"" + Num(y) + "\" r=\"9\" fill=\"none\" stroke=\"" + color +
           "\" stroke-width=\"2.5\"/><text x=\"" + Num(x + 11) + "\" y=\"" + Num(y - 9) +
           "\" font-weight=\"bold\" fill=\"" + color + "\">" + std::to_string(h.slot) + "</text></g>\n";
  }

  std::string Legend() const {
    const double x = MARGIN * 2 + MAP_PIXELS;
    double y = MARGIN + 14;
    std::string out = "<g class=\"legend\">\n";
    auto line = [&](const std::string& symbol, const std::string& text) {
      out += symbol + "<text x=\"" + Num(x + 20) + "\" y=\"" + Num(y + 4) + "\" fill=\"" + INK + "\">" +
             XmlEscaped(text) + "</text>\n";
      y += 20;
    };
    std::map<Mark, int> counts;
    for (const Item& it : items) ++counts[it.mark];
    for (const MarkInfo& info : MARKS) {
      const auto c = counts.find(info.mark);
      if (c == counts.end()) continue;
      const std::string color = info.mark == Mark::Planet ? PLANET_COLOR : NEUTRAL_COLOR;
      line(Shape(info.mark, x + 6, y, color, 6), std::string(info.legend) + ": " + std::to_string(c->second));
    }
    if (!legendPlayers.empty()) {
      y += 8;
      line("", "Homes (by player slot):");
      for (size_t i = 0; i < legendPlayers.size(); ++i) {
        const std::string color = SlotColor(legendSlots[i]);
        line("<circle cx=\"" + Num(x + 6) + "\" cy=\"" + Num(y) + "\" r=\"6\" fill=\"none\" stroke=\"" + color +
                 "\" stroke-width=\"2.5\"/>",
             legendPlayers[i]);
      }
      line("", "Other objects take the colour of their owner.");
    }
    return out + "</g>\n";
  }
};

std::string PlaceText(const std::string& name, double x, double y) {
  return (name.empty() ? std::string() : Cp1252ToUtf8(name) + " ") + "(" + std::to_string(std::llround(x)) + ", " +
         std::to_string(std::llround(y)) + ")";
}

}  // namespace

std::string SlotColor(int slot) {
  // Hues stepped by 7/30 of the circle, so that neighbouring slots differ most; three
  // lightness bands.
  const double hue = std::fmod((slot - 1) * 84.0, 360.0) / 60.0;
  const double light = slot <= 10 ? 0.6 : slot <= 20 ? 0.72 : 0.5;
  const double sat = 0.85;
  const double c = (1 - std::fabs(2 * light - 1)) * sat;
  const double xpart = c * (1 - std::fabs(std::fmod(hue, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(hue)) {
    case 0: r = c, g = xpart; break;
    case 1: r = xpart, g = c; break;
    case 2: g = c, b = xpart; break;
    case 3: g = xpart, b = c; break;
    case 4: r = xpart, b = c; break;
    default: r = c, b = xpart; break;
  }
  const double m = light - c / 2;
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", static_cast<int>(std::lround((r + m) * 255)),
                static_cast<int>(std::lround((g + m) * 255)), static_cast<int>(std::lround((b + m) * 255)));
  return buf;
}

std::string UniverseSvg(const UniverseView& view) {
  Picture pic;
  const std::vector<PlayerView> players = Players(view);
  for (const ObjectView& o : view.objects) {
    if (!o.kind || !o.record) continue;
    const std::optional<Mark> mark = MarkOf(o.kind->blockKind);
    if (!mark) continue;
    const Record& r = o.record->record;
    Item it;
    it.mark = *mark;
    it.x = r.Get("x");
    it.y = r.Get("y");
    const int owner = o.entry.owner;
    it.color = *mark == Mark::Planet            ? PLANET_COLOR
               : owner >= 1 && owner <= MAX_PLAYERS ? SlotColor(owner)
                                                   : NEUTRAL_COLOR;
    if (*mark == Mark::Minefield) it.radius = std::max(0, r.Get("radius"));
    std::string what = std::string(o.kind->blockWord) + " " + std::to_string(o.id);
    if (owner >= 1 && owner <= MAX_PLAYERS) what += " of player " + std::to_string(owner);
    it.title = what + ": " + PlaceText(ObjectName(o), it.x, it.y);
    pic.items.push_back(std::move(it));
  }
  for (const PlayerView& p : players) {
    std::string who = "Slot " + std::to_string(p.slot);
    if (p.raceId > 0) who += ": race " + std::to_string(p.raceId);
    if (!p.raceName.empty()) who += " " + Cp1252ToUtf8(p.raceName);
    if (!p.hasHome) who += " (no home)";
    pic.legendPlayers.push_back(who);
    pic.legendSlots.push_back(p.slot);
    if (p.hasHome) pic.homes.push_back(Home{p.slot, static_cast<double>(p.x), static_cast<double>(p.y), who});
  }
  pic.caption = "Universe: " + std::to_string(Planets(view).size()) + " planets, " +
                std::to_string(view.objects.size()) + " objects";
  return pic.Svg();
}

std::string MapFileSvg(const MapFile& map) {
  Picture pic;
  for (const MapPlanet& planet : map.planets) {
    Item it;
    it.mark = Mark::Planet;
    it.x = planet.x;
    it.y = planet.y;
    it.color = PLANET_COLOR;
    it.title = PlaceText(TrimmedName(std::string(planet.name())), it.x, it.y) + ", star " + std::to_string(planet.star);
    pic.items.push_back(std::move(it));
  }
  pic.caption = "Map file: " + std::to_string(map.planets.size()) + " planets";
  return pic.Svg();
}

}  // namespace tarvik
