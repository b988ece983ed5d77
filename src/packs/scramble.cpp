#include "packs/scramble.h"

namespace tarvik {

void ScrambleName(int key, std::span<uint8_t> bytes) {
  uint8_t k = static_cast<uint8_t>(key & 0xFF);
  for (uint8_t& b : bytes) {
    b = static_cast<uint8_t>(b ^ k);
    k = static_cast<uint8_t>(k + SCRAMBLE_STEP);
  }
}

void ScrambleName(int key, std::string& text) {
  ScrambleName(key, std::span<uint8_t>(reinterpret_cast<uint8_t*>(text.data()), text.size()));
}

std::string Scrambled(int key, std::string text) {
  ScrambleName(key, text);
  return text;
}

}  // namespace tarvik
