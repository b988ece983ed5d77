// A generator of large universe scripts: thousands of objects of every kind, with the
// statements a designer writes (names in quotes, DICE values, remarks), for the
// sample game and the batch benchmark. The same spec gives the same text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik::forge {

struct LargeScriptSpec {
  int objects = 19000;          // object blocks, every one closed with END
  uint64_t seed = 0x5C417;
  std::vector<int> raceIds;     // the players of the RACES block, slot 1 upwards
  std::vector<int> hullTypes;   // hull types the ships are built on
};

// The script text, lines ended with CR LF.
std::string GenerateLargeScript(const LargeScriptSpec& spec);

// The large script of the sample game: its races and hull types.
std::string LargeSampleScript(int objects = 19000);

}  // namespace tarvik::forge
