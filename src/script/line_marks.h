// The characters of a script line that end its tokens, found for 16 bytes of the text at
// once: one bit per byte (bit i for the byte at p + i). Most lines of a script fit in 16
// bytes and nearly all in 32, so a line's carriage return and the ends of its tokens
// come out of one or two looks at a block instead of a look at each character.
#pragma once

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvik {

constexpr int LINE_BLOCK_SIZE = 16;

// The place of the lowest mark of marks that hold at least one (every look at the marks
// of a line asks for a mark that lies ahead of it: its carriage return at the latest).
// One instruction, without the test for no mark at all that std::countr_zero makes.
template <typename Marks>
inline int LowestMark(Marks marks) {
#if defined(__GNUC__)
  if constexpr (sizeof(Marks) == sizeof(unsigned long long)) {
    return __builtin_ctzll(marks);
  } else {
    return __builtin_ctz(marks);
  }
#else
  return std::countr_zero(marks);
#endif
}

struct LineMarks {
  uint32_t carriageReturns = 0;
  uint32_t blanks = 0;
  uint32_t dropped = 0;  // blanks and line feeds, dropped between tokens
  // Where a first token or an argument ends: every byte below "(" (the line ends, the
  // blank, the double quote, the apostrophe, and the few ordinary characters below "(")
  // and "=".
  uint32_t tokenEnds = 0;
  // Where a value outside quotes ends ("=" is part of it): every byte below "(".
  uint32_t plainValueEnds = 0;
  // Where a quoted text ends: the double quote and every byte up to the carriage return
  // (the line ends and the control characters before them).
  uint32_t quotedTextEnds = 0;
};

// The marks of each byte on its own.
inline LineMarks PlainLineMarks(const char* p) {
  LineMarks m;
  for (int i = 0; i < LINE_BLOCK_SIZE; ++i) {
    const auto c = static_cast<unsigned char>(p[i]);
    const uint32_t bit = uint32_t{1} << i;
    if (c == '\r') m.carriageReturns |= bit;
    if (c == ' ') m.blanks |= bit;
    if (c == ' ' || c == '\n') m.dropped |= bit;
    if (c < '(' || c == '=') m.tokenEnds |= bit;
    if (c < '(') m.plainValueEnds |= bit;
    if (c <= '\r' || c == '"') m.quotedTextEnds |= bit;
  }
  return m;
}

// The same marks, in one step where the processor compares sixteen bytes at once; p + 16
// must lie within the text.
inline LineMarks LineMarksAt(const char* p) {
#if defined(__SSE2__)
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const auto bits = [](__m128i v) { return static_cast<uint32_t>(_mm_movemask_epi8(v)); };
  const auto equal = [&x](char c) { return _mm_cmpeq_epi8(x, _mm_set1_epi8(c)); };
  // x <= c (unsigned) exactly where the smaller of x and c is x.
  const auto upTo = [&x](char c) { return _mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(c)), x); };
  const __m128i blanks = equal(' ');
  const __m128i belowParenthesis = upTo('(' - 1);
  LineMarks m;
  m.carriageReturns = bits(equal('\r'));
  m.blanks = bits(blanks);
  m.dropped = bits(_mm_or_si128(blanks, equal('\n')));
  m.tokenEnds = bits(_mm_or_si128(belowParenthesis, equal('=')));
  m.plainValueEnds = bits(belowParenthesis);
  m.quotedTextEnds = bits(_mm_or_si128(upTo('\r'), equal('"')));
  return m;
#else
  return PlainLineMarks(p);
#endif
}

// The marks of 32 bytes: those of a block, then those of the block after it.
inline LineMarks JoinedLineMarks(const LineMarks& a, const LineMarks& b) {
  const auto join = [](uint32_t first, uint32_t second) { return first | second << LINE_BLOCK_SIZE; };
  return LineMarks{join(a.carriageReturns, b.carriageReturns), join(a.blanks, b.blanks),
                   join(a.dropped, b.dropped),                 join(a.tokenEnds, b.tokenEnds),
                   join(a.plainValueEnds, b.plainValueEnds),   join(a.quotedTextEnds, b.quotedTextEnds)};
}

// The marks of a window of 64 bytes that passing over lines asks for, four blocks joined
// (bit i for the byte at p + i): a window holds several lines of a script, each looked at
// with the same marks.
constexpr int LINE_WINDOW_SIZE = 4 * LINE_BLOCK_SIZE;

struct WindowMarks {
  uint64_t carriageReturns = 0;
  uint64_t dropped = 0;
  uint64_t tokenEnds = 0;
};

// p + 64 must lie within the text.
inline WindowMarks WindowMarksAt(const char* p) {
  WindowMarks w;
  for (int b = 0; b < LINE_WINDOW_SIZE / LINE_BLOCK_SIZE; ++b) {
    const LineMarks m = LineMarksAt(p + b * LINE_BLOCK_SIZE);
    const int shift = b * LINE_BLOCK_SIZE;
    w.carriageReturns |= uint64_t{m.carriageReturns} << shift;
    w.dropped |= uint64_t{m.dropped} << shift;
    w.tokenEnds |= uint64_t{m.tokenEnds} << shift;
  }
  return w;
}

}  // namespace tarvik
