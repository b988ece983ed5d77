#include "forge/universe_reader.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "base/bytes.h"
#include "platform/files.h"
#include "universe/records.h"
#include "universe/tables.h"

namespace tarvik::forge {

namespace {

constexpr long long kTableBasePos = 473;
constexpr long long kPlayerRacesPos = 221;
constexpr long long kKindTableOffset = 4LL * 2 * MAX_OBJECTS;  // the fifth int16 table

// A file addressed by 1-based positions; every read is checked.
class Image {
 public:
  explicit Image(const std::string& path) : bytes_(ReadWholeFile(path)) {}
  int32_t I32(long long pos) const { return GetI32(At(pos, 4)); }
  int16_t I16(long long pos) const { return GetI16(At(pos, 2)); }
  std::vector<uint8_t> Bytes(long long pos, size_t n) const {
    const uint8_t* p = At(pos, n);
    return std::vector<uint8_t>(p, p + n);
  }

 private:
  const uint8_t* At(long long pos, size_t n) const {
    if (pos < 1 || pos - 1 + static_cast<long long>(n) > static_cast<long long>(bytes_.size()))
      throw std::out_of_range("position " + std::to_string(pos) + " outside the universe file");
    return bytes_.data() + (pos - 1);
  }
  std::vector<uint8_t> bytes_;
};

}  // namespace

const RecordLayout* LayoutOfKind(int kind) {
  using namespace ObjectKind;
  if (kind >= kMinefieldBase) return &MinefieldRecordLayout();
  if (kind > kShipBase) return &ShipRecordLayout();
  static const std::map<int, const RecordLayout*> kLayouts = {
      {kPlanet, &PlanetRecordLayout()},           {kBase, &BaseRecordLayout()},
      {kAssaultPod, &AssaultPodRecordLayout()},   {kConPod, &ConPodRecordLayout()},
      {kGoldPod, &GoldPodRecordLayout()},         {kWreckage, &WreckageRecordLayout()},
      {kLifePod, &LifePodRecordLayout()},         {kNativePod, &NativePodRecordLayout()},
      {kOrePod, &OrePodRecordLayout()},           {kOutfitPod, &OutfitPodRecordLayout()},
      {kResupplyPod, &ResupplyPodRecordLayout()}, {kThing, &ThingRecordLayout()},
      {kWing, &WingRecordLayout()},               {kBuoy, &BuoyRecordLayout()}};
  auto it = kLayouts.find(kind);
  return it == kLayouts.end() ? nullptr : it->second;
}

std::vector<StoredObject> ReadObjects(const std::string& path) {
  const Image f(path);
  const long long base = f.I32(kTableBasePos);
  const long long tables = f.I32(base + 256);
  const long long index = f.I32(base + 260);
  std::vector<StoredObject> out;
  for (int id = 1; id <= MAX_OBJECTS; ++id) {
    const int kind = f.I16(tables + kKindTableOffset + 2 * (id - 1));
    if (kind == 0) continue;
    const long long entry = index + 12LL * (id - 1);
    const RecordLayout* layout = LayoutOfKind(kind);
    if (!layout) continue;
    StoredObject o{id, kind, f.I16(entry), f.I32(entry + 2), Record(*layout)};
    o.record.bytes() = f.Bytes(o.pos, static_cast<size_t>(layout->size()));
    out.push_back(std::move(o));
  }
  std::sort(out.begin(), out.end(), [](const StoredObject& a, const StoredObject& b) { return a.pos < b.pos; });
  return out;
}

std::vector<int32_t> ReadPlayerRaces(const std::string& path) {
  const Image f(path);
  std::vector<int32_t> races(MAX_PLAYERS + 1, 0);
  for (int p = 1; p <= MAX_PLAYERS; ++p) races[static_cast<size_t>(p)] = f.I32(kPlayerRacesPos + 4 * (p - 1));
  return races;
}

}  // namespace tarvik::forge
