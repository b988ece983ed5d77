#include "universe/record_dump.h"

#include <cstdio>

#include "base/bytes.h"

namespace tarvik {

namespace {

bool AllZero(const Record& r, const Field& f) {
  const auto& b = r.bytes();
  for (int i = f.offset; i < f.offset + f.Width(); ++i) {
    if (b[i] != 0) return false;
  }
  return true;
}

std::string TextElement(const Record& r, const Field& f, int index) {
  const uint8_t* p = r.bytes().data() + f.offset + (index - 1) * f.charLen;
  bool unset = true;
  for (int i = 0; i < f.charLen; ++i) unset = unset && p[i] == 0;
  if (unset) return "(unset)";
  std::string out = "\"";
  for (int i = 0; i < f.charLen; ++i) {
    uint8_t c = p[i];
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out + "\"";
}

std::string Element(const Record& r, const Field& f, int index) {
  const uint8_t* p = r.bytes().data() + f.offset + (index - 1) * f.ElementWidth();
  switch (f.type) {
    case FieldType::I16: return std::to_string(GetI16(p));
    case FieldType::I32: return std::to_string(GetI32(p));
    case FieldType::F32: {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%g", static_cast<double>(GetF32(p)));
      return buf;
    }
    case FieldType::Chars: return TextElement(r, f, index);
  }
  return {};
}

}  // namespace

std::string DumpRecord(const Record& record) {
  const RecordLayout& layout = record.layout();
  std::string out = std::string(layout.name()) + " (" + std::to_string(layout.size()) + " bytes)\n";
  for (const Field& f : layout.fields()) {
    if (f.name.empty() && AllZero(record, f)) continue;
    out += f.name.empty() ? "@" + std::to_string(f.offset) : std::string(f.name);
    out += " = ";
    if (f.count == 1) {
      out += Element(record, f, 1);
    } else {
      out += "[";
      for (int i = 1; i <= f.count; ++i) {
        if (i > 1) out += ", ";
        out += Element(record, f, i);
      }
      out += "]";
    }
    out += "\n";
  }
  return out;
}

}  // namespace tarvik
