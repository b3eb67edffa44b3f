#include "avi/ChunkIdText.h"

bool isPrintableId(FourCC id) {
  for (int i = 0; i < 4; ++i) {
    if (fourCCCharacter(id, i) < 0x20 || fourCCCharacter(id, i) > 0x7E) return false;
  }
  return true;
}

std::string chunkIdText(FourCC id) {
  if (isPrintableId(id)) {
    std::string text = "'";
    for (int i = 0; i < 4; ++i) text += static_cast<char>(fourCCCharacter(id, i));
    return text + "'";
  }
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int i = 0; i < 4; ++i) {
    text += digits[fourCCCharacter(id, i) >> 4];
    text += digits[fourCCCharacter(id, i) & 0xF];
  }
  return text;
}
