#pragma once
#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>

// A JSON array written one element at a time, as each becomes known, laid
// out exactly as the whole array's dump(2) lays it out: a document written
// in pieces is, byte for byte, the one built at once, and nothing needs to
// be kept until the end.
class JsonArrayWriter {
 public:
  // What to write for the next element: the opening bracket or the
  // separator after the element before, then the element.
  std::string element(const nlohmann::ordered_json& value);
  // What ends the document, with its line break; "[]" when it is empty.
  std::string end() const;

 private:
  std::size_t count_ = 0;
};
