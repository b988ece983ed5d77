// A small JSON reader for the tests that check the wizard's state dumps.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/cp1252.h"

namespace tarvik::test {

struct Json {
  enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
  bool b = false;
  double n = 0;
  std::string s;
  std::vector<Json> a;
  std::map<std::string, Json> o;
  std::vector<std::string> keys;  // object members in the order written

  const Json& operator[](const std::string& key) const {
    auto it = o.find(key);
    if (type != Type::Object || it == o.end()) throw std::out_of_range("no member " + key);
    return it->second;
  }
  const Json& operator[](size_t i) const { return a.at(i); }
  bool Has(const std::string& key) const { return o.count(key) > 0; }
  size_t size() const { return type == Type::Array ? a.size() : o.size(); }
  int Int() const { return static_cast<int>(n); }

  static Json Parse(std::string_view text) {
    size_t pos = 0;
    Json v = Value(text, pos);
    Skip(text, pos);
    if (pos != text.size()) throw std::runtime_error("trailing text in JSON");
    return v;
  }

 private:
  static void Skip(std::string_view t, size_t& p) {
    while (p < t.size() && (t[p] == ' ' || t[p] == '\n' || t[p] == '\r' || t[p] == '\t')) ++p;
  }
  static void Expect(std::string_view t, size_t& p, char c) {
    Skip(t, p);
    if (p >= t.size() || t[p] != c) throw std::runtime_error(std::string("JSON: expected ") + c);
    ++p;
  }
  static std::string String(std::string_view t, size_t& p) {
    Expect(t, p, '"');
    std::string out;
    while (p < t.size() && t[p] != '"') {
      char c = t[p++];
      if (static_cast<unsigned char>(c) < 0x20) throw std::runtime_error("JSON: raw control character");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (p >= t.size()) break;
      c = t[p++];
      switch (c) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': AppendUtf8(out, static_cast<unsigned>(std::stoul(std::string(t.substr(p, 4)), nullptr, 16))); p += 4; break;
        default: out += c;
      }
    }
    Expect(t, p, '"');
    return out;
  }
  static Json Value(std::string_view t, size_t& p) {
    Skip(t, p);
    if (p >= t.size()) throw std::runtime_error("JSON: unexpected end");
    Json v;
    const char c = t[p];
    if (c == '{') {
      v.type = Type::Object;
      ++p;
      Skip(t, p);
      if (t[p] == '}') return ++p, v;
      for (;;) {
        std::string key = String(t, p);
        Expect(t, p, ':');
        v.keys.push_back(key);
        v.o[key] = Value(t, p);
        Skip(t, p);
        if (t[p] == ',') { ++p; continue; }
        Expect(t, p, '}');
        return v;
      }
    }
    if (c == '[') {
      v.type = Type::Array;
      ++p;
      Skip(t, p);
      if (t[p] == ']') return ++p, v;
      for (;;) {
        v.a.push_back(Value(t, p));
        Skip(t, p);
        if (t[p] == ',') { ++p; continue; }
        Expect(t, p, ']');
        return v;
      }
    }
    if (c == '"') {
      v.type = Type::String;
      v.s = String(t, p);
      return v;
    }
    if (t.substr(p, 4) == "true" || t.substr(p, 5) == "false") {
      v.type = Type::Bool;
      v.b = t[p] == 't';
      p += v.b ? 4 : 5;
      return v;
    }
    if (t.substr(p, 4) == "null") return p += 4, v;
    size_t used = 0;
    v.type = Type::Number;
    v.n = std::stod(std::string(t.substr(p, 40)), &used);
    p += used;
    return v;
  }
};

}  // namespace tarvik::test
