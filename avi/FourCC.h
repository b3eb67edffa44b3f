#pragma once
#include <cstdint>

// A four-character code as stored in RIFF files: the four bytes read
// little-endian, so the first character is the low byte.
using FourCC = std::uint32_t;

constexpr FourCC makeFourCC(char a, char b, char c, char d) {
  return static_cast<FourCC>(static_cast<unsigned char>(a)) |
         static_cast<FourCC>(static_cast<unsigned char>(b)) << 8 |
         static_cast<FourCC>(static_cast<unsigned char>(c)) << 16 |
         static_cast<FourCC>(static_cast<unsigned char>(d)) << 24;
}

// Character index (0 to 3) of the code.
constexpr unsigned char fourCCCharacter(FourCC id, int index) {
  return static_cast<unsigned char>(id >> (8 * index));
}

namespace fourcc {
constexpr FourCC RIFF = makeFourCC('R', 'I', 'F', 'F');
constexpr FourCC LIST = makeFourCC('L', 'I', 'S', 'T');
constexpr FourCC AVI = makeFourCC('A', 'V', 'I', ' ');
constexpr FourCC hdrl = makeFourCC('h', 'd', 'r', 'l');
constexpr FourCC avih = makeFourCC('a', 'v', 'i', 'h');
constexpr FourCC strl = makeFourCC('s', 't', 'r', 'l');
constexpr FourCC strh = makeFourCC('s', 't', 'r', 'h');
constexpr FourCC strf = makeFourCC('s', 't', 'r', 'f');
constexpr FourCC strn = makeFourCC('s', 't', 'r', 'n');
constexpr FourCC odml = makeFourCC('o', 'd', 'm', 'l');
constexpr FourCC dmlh = makeFourCC('d', 'm', 'l', 'h');
constexpr FourCC movi = makeFourCC('m', 'o', 'v', 'i');
constexpr FourCC idx1 = makeFourCC('i', 'd', 'x', '1');
constexpr FourCC vids = makeFourCC('v', 'i', 'd', 's');
constexpr FourCC auds = makeFourCC('a', 'u', 'd', 's');
constexpr FourCC INFO = makeFourCC('I', 'N', 'F', 'O');
constexpr FourCC AVIX = makeFourCC('A', 'V', 'I', 'X');
constexpr FourCC indx = makeFourCC('i', 'n', 'd', 'x');
constexpr FourCC JUNK = makeFourCC('J', 'U', 'N', 'K');
}  // namespace fourcc

static_assert(fourcc::RIFF == 0x46464952u && fourcc::AVI == 0x20495641u && fourcc::idx1 == 0x31786469u,
              "first character in the low byte");
