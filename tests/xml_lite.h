// A small XML reader for the tests of the SVG pictures: it accepts only well-formed XML
// (one root element, tags that nest and close in order, quoted attributes, the five
// predefined entities and character references, no control characters that XML
// forbids, raw or referenced) and throws std::runtime_error naming the first fault.
#pragma once

#include <cctype>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/cp1252.h"

namespace tarvik::test {

struct XmlElement {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::vector<XmlElement> children;
  std::string text;  // the character data directly inside, entities resolved

  std::string Attribute(const std::string& key) const {
    auto it = attributes.find(key);
    return it == attributes.end() ? std::string() : it->second;
  }
  // Every element below this one (not itself) with this name, in document order.
  void FindAll(const std::string& tag, std::vector<const XmlElement*>& out) const {
    for (const XmlElement& c : children) {
      if (c.name == tag) out.push_back(&c);
      c.FindAll(tag, out);
    }
  }

  static XmlElement Parse(std::string_view doc) {
    size_t p = 0;
    if (doc.substr(0, 5) == "<?xml") {
      p = doc.find("?>");
      if (p == std::string_view::npos) throw std::runtime_error("XML: unclosed declaration");
      p += 2;
    }
    Skip(doc, p);
    XmlElement root = Element(doc, p);
    Skip(doc, p);
    if (p != doc.size()) throw std::runtime_error("XML: text after the root element");
    return root;
  }

 private:
  static void Skip(std::string_view d, size_t& p) {
    while (p < d.size() && (d[p] == ' ' || d[p] == '\n' || d[p] == '\r' || d[p] == '\t')) ++p;
  }
  static bool NameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' || c == '.';
  }
  static std::string Name(std::string_view d, size_t& p) {
    const size_t start = p;
    while (p < d.size() && NameChar(d[p])) ++p;
    if (p == start) throw std::runtime_error("XML: a name expected at " + std::to_string(start));
    return std::string(d.substr(start, p - start));
  }
  // Character data up to `stop`, with entities resolved and forbidden characters refused.
  static std::string Chars(std::string_view d, size_t& p, char stop) {
    std::string out;
    while (p < d.size() && d[p] != stop) {
      const auto c = static_cast<unsigned char>(d[p]);
      if (c == '<' && stop == '"') throw std::runtime_error("XML: '<' inside an attribute");
      if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') throw std::runtime_error("XML: control character");
      if (c != '&') {
        out += d[p++];
        continue;
      }
      const size_t end = d.find(';', p);
      if (end == std::string_view::npos) throw std::runtime_error("XML: unclosed entity");
      const std::string_view e = d.substr(p + 1, end - p - 1);
      if (e == "amp") out += '&';
      else if (e == "lt") out += '<';
      else if (e == "gt") out += '>';
      else if (e == "quot") out += '"';
      else if (e == "apos") out += '\'';
      else if (!e.empty() && e[0] == '#') AppendReference(out, e.substr(1));
      else throw std::runtime_error("XML: unknown entity &" + std::string(e) + ";");
      p = end + 1;
    }
    return out;
  }
  // A character reference as UTF-8, refused where it names a character XML forbids.
  static void AppendReference(std::string& out, std::string_view e) {
    const bool hex = !e.empty() && e[0] == 'x';
    const unsigned long c = std::stoul(std::string(e.substr(hex ? 1 : 0)), nullptr, hex ? 16 : 10);
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF ||
        c > 0x10FFFF) {
      throw std::runtime_error("XML: a reference to a character XML forbids");
    }
    AppendUtf8(out, static_cast<uint32_t>(c));
  }
  static XmlElement Element(std::string_view d, size_t& p) {
    if (p >= d.size() || d[p] != '<') throw std::runtime_error("XML: '<' expected at " + std::to_string(p));
    ++p;
    XmlElement el;
    el.name = Name(d, p);
    for (;;) {
      Skip(d, p);
      if (p >= d.size()) throw std::runtime_error("XML: unclosed tag " + el.name);
      if (d.substr(p, 2) == "/>") {
        p += 2;
        return el;
      }
      if (d[p] == '>') {
        ++p;
        break;
      }
      const std::string key = Name(d, p);
      Skip(d, p);
      if (p >= d.size() || d[p] != '=') throw std::runtime_error("XML: '=' expected after " + key);
      ++p;
      Skip(d, p);
      if (p >= d.size() || d[p] != '"') throw std::runtime_error("XML: unquoted attribute " + key);
      ++p;
      std::string value = Chars(d, p, '"');
      if (p >= d.size()) throw std::runtime_error("XML: unclosed attribute " + key);
      ++p;
      if (!el.attributes.emplace(key, value).second) throw std::runtime_error("XML: attribute " + key + " twice");
    }
    for (;;) {
      el.text += Chars(d, p, '<');
      if (p >= d.size()) throw std::runtime_error("XML: element " + el.name + " not closed");
      if (d.substr(p, 2) == "</") {
        p += 2;
        if (Name(d, p) != el.name) throw std::runtime_error("XML: wrong closing tag for " + el.name);
        Skip(d, p);
        if (p >= d.size() || d[p] != '>') throw std::runtime_error("XML: '>' expected");
        ++p;
        return el;
      }
      el.children.push_back(Element(d, p));
    }
  }
};

}  // namespace tarvik::test
