#include "page/Utf8Text.h"

#include "base/Unicode.h"

std::string toUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = brix::utf8SequenceLength(text, i);
    if (length != 0) {
      out.append(text, i, length);
      i += length;
    } else {
      appendLatin1(out, static_cast<unsigned char>(text[i++]));
    }
  }
  return out;
}

bool isUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = brix::utf8SequenceLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

void appendLatin1(std::string& out, unsigned char byte) {
  if (byte < 0x80) {
    out += static_cast<char>(byte);
  } else {
    out += static_cast<char>(0xC0 | byte >> 6);
    out += static_cast<char>(0x80 | (byte & 0x3F));
  }
}
