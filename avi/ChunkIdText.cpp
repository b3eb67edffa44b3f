#include "avi/ChunkIdText.h"

namespace {

unsigned char character(FourCC id, int index) {
  return static_cast<unsigned char>(id >> (8 * index));
}

}  // namespace

bool isPrintableId(FourCC id) {
  for (int i = 0; i < 4; ++i) {
    if (character(id, i) < 0x20 || character(id, i) > 0x7E) return false;
  }
  return true;
}

std::string chunkIdText(FourCC id) {
  if (isPrintableId(id)) {
    std::string text = "'";
    for (int i = 0; i < 4; ++i) text += static_cast<char>(character(id, i));
    return text + "'";
  }
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int i = 0; i < 4; ++i) {
    text += digits[character(id, i) >> 4];
    text += digits[character(id, i) & 0xF];
  }
  return text;
}
