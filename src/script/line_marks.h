// The characters of a script's text that end its lines and tokens, found for a window of
// 64 bytes at once: one bit per byte (bit i for the byte at p + i). A line of a script
// is about 13 bytes long, so a window holds several whole lines, and every line whose
// carriage return lies in it is looked at with the same marks instead of a look at each
// character. The processor makes the marks sixteen bytes at a time.
#pragma once

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvik {

constexpr int LINE_BLOCK_SIZE = 16;
constexpr int LINE_WINDOW_SIZE = 4 * LINE_BLOCK_SIZE;

// The place of the lowest mark of marks that hold at least one (every look at the marks
// of a line asks for a mark that lies ahead of it: its carriage return at the latest).
// One instruction, without the test for no mark at all that std::countr_zero makes.
inline int LowestMark(uint64_t marks) {
#if defined(__GNUC__)
  return __builtin_ctzll(marks);
#else
  return std::countr_zero(marks);
#endif
}

// The first marked byte from byte i on (i below 64), when one lies ahead.
inline int FirstMarkFrom(uint64_t marks, int i) { return i + LowestMark(marks >> i); }

// For each start, the first byte from it on that `marks` does not mark: the carry of the
// addition runs from the start through the marked bytes after it and stops at the first
// unmarked one, and the marks themselves are taken away again. A run of marked bytes
// must hold at most one start (an unmarked start is its own end); a run that reaches the
// window's end has no end in the window.
inline uint64_t RunEnds(uint64_t marks, uint64_t starts) { return (marks + starts) & ~marks; }

struct WindowMarks {
  uint64_t carriageReturns = 0;
  uint64_t dropped = 0;  // blanks and line feeds, dropped between tokens
  // Where a first token, an argument or a value outside quotes ends: every byte below
  // "(" (the line ends, the blank, the double quote, the apostrophe, and the few
  // ordinary characters below "(") and "=".
  uint64_t tokenEnds = 0;
  uint64_t equals = 0;
};

// The marks of each byte on its own, for `size` bytes from p.
inline WindowMarks PlainWindowMarks(const char* p, int size = LINE_WINDOW_SIZE) {
  WindowMarks m;
  for (int i = 0; i < size; ++i) {
    const auto c = static_cast<unsigned char>(p[i]);
    const uint64_t bit = uint64_t{1} << i;
    if (c == '\r') m.carriageReturns |= bit;
    if (c == ' ' || c == '\n') m.dropped |= bit;
    if (c < '(' || c == '=') m.tokenEnds |= bit;
    if (c == '=') m.equals |= bit;
  }
  return m;
}

// The same marks of the 64 bytes from p, which must lie within the text, where the
// processor compares sixteen bytes at once.
inline WindowMarks WindowMarksAt(const char* p) {
#if defined(__SSE2__)
  const auto bits = [](__m128i v) { return static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(v))); };
  const __m128i carriageReturn = _mm_set1_epi8('\r');
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i equalsSign = _mm_set1_epi8('=');
  const __m128i belowParenthesis = _mm_set1_epi8('(' - 1);
  WindowMarks m;
  for (int b = 0; b < LINE_WINDOW_SIZE / LINE_BLOCK_SIZE; ++b) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + b * LINE_BLOCK_SIZE));
    // x <= c (unsigned) exactly where the smaller of x and c is x.
    const __m128i below = _mm_cmpeq_epi8(_mm_min_epu8(x, belowParenthesis), x);
    const __m128i equals = _mm_cmpeq_epi8(x, equalsSign);
    const int shift = b * LINE_BLOCK_SIZE;
    m.carriageReturns |= bits(_mm_cmpeq_epi8(x, carriageReturn)) << shift;
    m.dropped |= bits(_mm_or_si128(_mm_cmpeq_epi8(x, blank), _mm_cmpeq_epi8(x, lineFeed))) << shift;
    m.tokenEnds |= bits(_mm_or_si128(below, equals)) << shift;
    m.equals |= bits(equals) << shift;
  }
  return m;
#else
  return PlainWindowMarks(p);
#endif
}

}  // namespace tarvik
