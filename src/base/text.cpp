#include "base/text.h"

#include <algorithm>
#include <charconv>

namespace tarvik {

char* WriteNumText(char* out, long long value) {
  if (value >= 0) *out++ = ' ';
  return std::to_chars(out, out + NUM_TEXT_ROOM - 1, value).ptr;  // 20 characters at most
}

std::string NumText(long long value) {
  char text[NUM_TEXT_ROOM];
  return std::string(text, WriteNumText(text, value));
}

static char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
static char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), UpperChar);
  return out;
}

void UpperAsciiInto(std::string_view text, std::string& out) {
  out.resize(text.size());
  for (size_t i = 0; i < text.size(); ++i) out[i] = UpperChar(text[i]);
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
  for (size_t at = 0; at + part.size() <= text.size(); ++at) {
    if (EqualsNoCase(text.substr(at, part.size()), part)) return true;
  }
  return false;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), LowerChar);
  return out;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(UpperChar(a[i]));
    unsigned char cb = static_cast<unsigned char>(UpperChar(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string TrimBlanks(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  return std::string(text.substr(b, e - b));
}

size_t TrimmedLength(std::string_view text) {
  size_t kept = text.size();
  while (kept > 0 && (text[kept - 1] == ' ' || text[kept - 1] == '\0')) --kept;
  return kept;
}

std::string FixedText(std::string_view text, size_t n) {
  std::string out(text.substr(0, std::min(n, text.size())));
  out.resize(n, ' ');
  return out;
}

std::string StoredStem(std::string_view stem) {
  std::string out(stem.substr(0, std::min(stem.size(), STEM_LENGTH)));
  out.resize(STEM_LENGTH, '\0');
  return out;
}

namespace {

// The whole stem of a file name, before it is cut to its stored length.
std::string_view WholeStem(std::string_view fileName) {
  const size_t sep = fileName.find_last_of("\\:/");
  const std::string_view base = sep == std::string_view::npos ? fileName : fileName.substr(sep + 1);
  const size_t dot = base.find_last_of('.');
  return dot == std::string_view::npos ? std::string_view() : base.substr(0, dot);
}

}  // namespace

std::string MakeFileStem(std::string_view fileName) { return StoredStem(WholeStem(fileName)); }

bool StemFits(std::string_view fileName) { return WholeStem(fileName).size() <= STEM_LENGTH; }

std::string StemText(std::string_view stem) {
  std::string out;
  for (char c : stem) {
    if (c != '\0') out += c;
  }
  return out;
}

}  // namespace tarvik
