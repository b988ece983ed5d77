// ScrambleName: scrambles and unscrambles every stored name. Each byte is XORed with
// the key's low 8 bits, and the key advances by SCRAMBLE_STEP (mod 256) per byte, so
// the same call turns a plain name into a stored one and back.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tarvik {

inline constexpr uint8_t SCRAMBLE_STEP = 0x2B;

void ScrambleName(int key, std::string& text);
// The same on bytes in place (a name inside a record).
void ScrambleName(int key, std::span<uint8_t> bytes);
std::string Scrambled(int key, std::string text);

}  // namespace tarvik
