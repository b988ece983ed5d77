#include "base/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tarvik {

std::string JsonQuoted(std::string_view utf8) {
  std::string out = "\"";
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += ch;
        }
    }
  }
  return out + "\"";
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char buf[32];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

void JsonWriter::Raw(std::string_view text) { out_.append(text); }

void JsonWriter::NewLine(size_t depth) {
  out_ += '\n';
  out_.append(2 * depth, ' ');
}

void JsonWriter::BeforeValue(bool container) {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (levels_.empty()) return;
  Level& level = levels_.back();
  if (!level.array) return;  // a member's value comes after its key
  if (level.empty) {
    level.multiline = container;
  } else {
    Raw(",");
    if (!level.multiline && container) level.multiline = true;
    if (!level.multiline) Raw(" ");
  }
  level.empty = false;
  if (level.multiline) NewLine(levels_.size());
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue(true);
  Raw("{");
  levels_.push_back(Level{false, true, true});
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  const bool empty = levels_.back().empty;
  levels_.pop_back();
  if (!empty) NewLine(levels_.size());
  Raw("}");
  if (levels_.empty()) Raw("\n");
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue(true);
  Raw("[");
  levels_.push_back(Level{true, true, false});
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  const Level level = levels_.back();
  levels_.pop_back();
  if (level.multiline && !level.empty) NewLine(levels_.size());
  Raw("]");
  if (levels_.empty()) Raw("\n");
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view utf8) {
  Level& level = levels_.back();
  if (!level.empty) Raw(",");
  level.empty = false;
  NewLine(levels_.size());
  Raw(JsonQuoted(utf8));
  Raw(": ");
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8) {
  BeforeValue(false);
  Raw(JsonQuoted(utf8));
  return *this;
}

JsonWriter& JsonWriter::Int(long long value) {
  BeforeValue(false);
  Raw(std::to_string(value));
  return *this;
}

JsonWriter& JsonWriter::Number(double value) {
  BeforeValue(false);
  Raw(JsonNumber(value));
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue(false);
  Raw(value ? "true" : "false");
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue(false);
  Raw("null");
  return *this;
}

}  // namespace tarvik
