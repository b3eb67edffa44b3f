#pragma once
// The text forms in which the structure rows show header fields.
#include <cstdint>
#include <string>

#include "avi/AVIHeaders.h"

// The 32-bit field as a two's-complement signed number: 0xFFFFFFFF is -1.
std::string signedDecimal(std::uint32_t value);
std::string unsigned16Decimal(std::uint16_t value);
// The four characters when all are printable ASCII (spaces included),
// otherwise the whole code in signed decimal (an empty handler is 0).
std::string fourCCText(FourCC code);
// The names of the set bits, joined by " | "; unnamed bits are not shown.
std::string mainHeaderFlagsText(std::uint32_t flags);
std::string streamHeaderFlagsText(std::uint32_t flags);
// (left,top)-(right,bottom), each a signed 16-bit number.
std::string rectangleText(const decltype(AVISTREAMHEADER::rcFrame)& rectangle);
