// The inspector: what a file of the game holds, as JSON, read through the same field
// tables that write it. It knows universe files, the slot records game.dat and
// slot.dat (and slot.dat's copy m123.new), race modules, ship packs, map files and the
// main data file, by their header text or, for the slot records, their size or name.
//
// Every field appears under its table name; a field without a name as "@OFFSET" (its
// 0-based offset in its record). Texts are shown as UTF-8 from the game's code page,
// without the zero bytes at their end; a scrambled name is also shown unscrambled,
// in "unscrambled". What the file does not hold, or holds wrongly, is told in
// "errors".
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvik {

enum class InspectedKind { Unknown, Universe, GameRecord, SlotRecord, RaceModule, ShipPack, MapFile, DataFile };

// The kind of a file from its bytes, and for the slot records from its name when its
// size is not a record's.
InspectedKind InspectedKindOf(std::span<const uint8_t> bytes, std::string_view fileName);

struct Inspection {
  InspectedKind kind = InspectedKind::Unknown;
  std::string json;
  size_t errorCount = 0;  // 0: the file was read whole and found sound
};

// `shownName` is the file's name as the JSON shows it; `fileName` the name used to
// recognise the slot records.
Inspection InspectFile(std::span<const uint8_t> bytes, std::string_view shownName, std::string_view fileName);

}  // namespace tarvik
