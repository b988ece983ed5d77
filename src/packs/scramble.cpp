#include "packs/scramble.h"

namespace tarvik {

void ScrambleName(int key, std::string& text) {
  uint8_t k = static_cast<uint8_t>(key & 0xFF);
  for (char& c : text) {
    c = static_cast<char>(static_cast<uint8_t>(c) ^ k);
    k = static_cast<uint8_t>(k + SCRAMBLE_STEP);
  }
}

std::string Scrambled(int key, std::string text) {
  ScrambleName(key, text);
  return text;
}

}  // namespace tarvik
