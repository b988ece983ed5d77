#include "base/xml.h"

namespace tarvik {

std::string XmlEscaped(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        if (c < 0x20) {
          out += (c == '\t' || c == '\n' || c == '\r') ? "&#" + std::to_string(c) + ";" : "&#xFFFD;";
        } else {
          out += ch;
        }
    }
  }
  return out;
}

}  // namespace tarvik
