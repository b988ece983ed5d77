#include "forge/universe_reader.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "base/bytes.h"
#include "platform/files.h"
#include "universe/records.h"
#include "universe/tables.h"
#include "universe/universe_layout.h"

namespace tarvik::forge {

namespace {

// The objectKind table: the fifth of the five int16 object tables.
constexpr long long KIND_TABLE_OFFSET = 4LL * 2 * MAX_OBJECTS;

template <typename T>
T Checked(std::optional<T> value, long long pos) {
  if (!value) throw std::out_of_range("position " + std::to_string(pos) + " outside the universe file");
  return *value;
}

// A universe file's bytes, read through the checked reader.
class UniverseImage {
 public:
  explicit UniverseImage(const std::string& path) : bytes_(ReadWholeFile(path)), view_(bytes_) {}
  UniverseImage(const UniverseImage&) = delete;
  UniverseImage& operator=(const UniverseImage&) = delete;
  int32_t I32(long long pos) const { return Checked(view_.I32(pos), pos); }
  int16_t I16(long long pos) const { return Checked(view_.I16(pos), pos); }
  // The record of a layout stored at pos.
  Record RecordAt(const RecordLayout& layout, long long pos) const {
    const std::span<const uint8_t> bytes = Checked(view_.Bytes(pos, layout.size()), pos);
    Record r(layout);
    std::copy(bytes.begin(), bytes.end(), r.bytes().begin());
    return r;
  }

 private:
  std::vector<uint8_t> bytes_;
  ByteView view_;
};

}  // namespace

std::vector<StoredObject> ReadObjects(const std::string& path) {
  const UniverseImage f(path);
  const int32_t tableBase = f.I32(HeaderPosition("tableBase"));
  const long long tables = f.I32(DirectoryPosition(tableBase, "objectTablesPos"));
  const long long index = f.I32(DirectoryPosition(tableBase, "indexPos"));
  const RecordLayout& entryLayout = ObjectIndexEntryLayout();
  std::vector<StoredObject> out;
  for (int id = 1; id <= MAX_OBJECTS; ++id) {
    const int kind = f.I16(tables + KIND_TABLE_OFFSET + 2 * (id - 1));
    const ObjectKindDescriptor* descriptor = kind == 0 ? nullptr : KindOfCode(kind);
    if (!descriptor) continue;
    const Record entry = f.RecordAt(entryLayout, index + static_cast<long long>(entryLayout.size()) * (id - 1));
    const long long pos = entry.Get("recordPos");
    out.push_back(StoredObject{id, kind, entry.Get("owner"), pos, f.RecordAt(descriptor->layout(), pos), descriptor});
  }
  std::sort(out.begin(), out.end(), [](const StoredObject& a, const StoredObject& b) { return a.pos < b.pos; });
  return out;
}

std::vector<int32_t> ReadPlayerRaces(const std::string& path) {
  const UniverseImage f(path);
  const Record header = f.RecordAt(UniverseHeaderLayout(), 1);
  std::vector<int32_t> races(MAX_PLAYERS + 1, 0);
  for (int p = 1; p <= MAX_PLAYERS; ++p) races[static_cast<size_t>(p)] = header.Get("playerRaceId", p);
  return races;
}

}  // namespace tarvik::forge
