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

// The forms of the stream format fields and the other rows that follow the
// headers.

// BITMAPINFOHEADER's biCompression: the name of the four classic values
// (BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS), else as a four-character code.
std::string compressionText(std::uint32_t compression);
// WAVEFORMATEX's wFormatTag: "PCM (0x0001)" for the common tags, "0x1234"
// for the others.
std::string formatTagText(std::uint16_t tag);
// WAVEFORMATEXTENSIBLE's dwChannelMask: the SPEAKER_ names of its bits.
std::string speakerPositionsText(std::uint32_t mask);
// A GUID from its 16 bytes as stored (three little-endian fields, then
// eight bytes): {00000001-0000-0010-8000-00AA00389B71}, followed by the
// format tag's name in parentheses when it is one of the GUIDs made from a
// wave format tag.
std::string subFormatText(const std::uint8_t* guid);
// A time as h:mm:ss.mmm, rounded to the millisecond (0:01:02.500); one
// beyond what 64 bits of milliseconds hold shows as their largest value
// after ">".
std::string durationText(double seconds);
// Text stored in a file (a stream name, an INFO tag): as UTF-8 when it is
// valid UTF-8, else read as Latin-1; control characters, line breaks
// among them, show as spaces, so that a value stays on one line.
std::string storedText(const std::string& bytes);
