// Writing JSON: a writer that appends values to a text as they come, with members and
// array elements laid out one per line (arrays of plain values stay on one line), and
// the quoting of a UTF-8 text as a JSON string. Texts of the program (cp1252 bytes) are
// converted with Cp1252ToUtf8 (base/cp1252.h) before they are written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The UTF-8 text as a JSON string: in double quotes, with the quote, the backslash and
// every control character escaped.
std::string JsonQuoted(std::string_view utf8);

// A JSON number for a double: the shortest text that reads back as the same value;
// null for an infinity or a NaN, which JSON cannot hold.
std::string JsonNumber(double value);

class JsonWriter {
 public:
  explicit JsonWriter(std::string& out) : out_(out) {}

  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  // An array of objects or arrays: one element per line. An array of plain values:
  // all on one line.
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The name of the next member of the open object.
  JsonWriter& Key(std::string_view utf8);

  JsonWriter& String(std::string_view utf8);
  JsonWriter& Int(long long value);
  JsonWriter& Number(double value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  // A member of the open object in one call.
  JsonWriter& Member(std::string_view key, long long value) { return Key(key).Int(value); }
  JsonWriter& Member(std::string_view key, int value) { return Key(key).Int(value); }
  JsonWriter& Member(std::string_view key, std::string_view utf8) { return Key(key).String(utf8); }
  JsonWriter& Member(std::string_view key, const char* utf8) { return Key(key).String(utf8); }
  JsonWriter& Member(std::string_view key, const std::string& utf8) { return Key(key).String(utf8); }
  JsonWriter& Member(std::string_view key, bool value) { return Key(key).Bool(value); }

 private:
  struct Level {
    bool array = false;
    bool empty = true;
    bool multiline = false;  // an array that holds objects or arrays
  };
  // Before a value: the separator and the line break its container wants.
  void BeforeValue(bool container);
  void Raw(std::string_view text);
  void NewLine(size_t depth);

  std::string& out_;
  std::vector<Level> levels_;
  bool afterKey_ = false;
};

}  // namespace tarvik
