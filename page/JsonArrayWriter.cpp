#include "page/JsonArrayWriter.h"

std::string JsonArrayWriter::element(const nlohmann::ordered_json& value) {
  std::string out = count_++ == 0 ? "[\n" : ",\n";
  // One level deeper than on its own. A line break can only be layout:
  // inside a string it is written as the escape \n.
  const std::string text = value.dump(2);
  out += "  ";
  for (const char c : text) {
    out += c;
    if (c == '\n') out += "  ";
  }
  return out;
}

std::string JsonArrayWriter::end() const {
  return count_ == 0 ? "[]\n" : "\n]\n";
}
