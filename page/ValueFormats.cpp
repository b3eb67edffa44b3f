#include "page/ValueFormats.h"

#include <cmath>
#include <cstring>

#include "avi/LittleEndian.h"
#include "page/Utf8Text.h"

namespace {

struct FlagName {
  std::uint32_t bit;
  const char* name;
};

constexpr FlagName mainHeaderFlags[] = {
    {0x00000010, "AVIF_HASINDEX"},    {0x00000020, "AVIF_MUSTUSEINDEX"},   {0x00000100, "AVIF_ISINTERLEAVED"},
    {0x00000800, "AVIF_TRUSTCKTYPE"}, {0x00010000, "AVIF_WASCAPTUREFILE"}, {0x00020000, "AVIF_COPYRIGHTED"},
};

constexpr FlagName streamHeaderFlags[] = {
    {0x00000001, "AVISF_DISABLED"},
    {0x00010000, "AVISF_VIDEO_PALCHANGES"},
};

constexpr FlagName speakerPositions[] = {
    {0x00000001, "SPEAKER_FRONT_LEFT"},
    {0x00000002, "SPEAKER_FRONT_RIGHT"},
    {0x00000004, "SPEAKER_FRONT_CENTER"},
    {0x00000008, "SPEAKER_LOW_FREQUENCY"},
    {0x00000010, "SPEAKER_BACK_LEFT"},
    {0x00000020, "SPEAKER_BACK_RIGHT"},
    {0x00000040, "SPEAKER_FRONT_LEFT_OF_CENTER"},
    {0x00000080, "SPEAKER_FRONT_RIGHT_OF_CENTER"},
    {0x00000100, "SPEAKER_BACK_CENTER"},
    {0x00000200, "SPEAKER_SIDE_LEFT"},
    {0x00000400, "SPEAKER_SIDE_RIGHT"},
    {0x00000800, "SPEAKER_TOP_CENTER"},
    {0x00001000, "SPEAKER_TOP_FRONT_LEFT"},
    {0x00002000, "SPEAKER_TOP_FRONT_CENTER"},
    {0x00004000, "SPEAKER_TOP_FRONT_RIGHT"},
    {0x00008000, "SPEAKER_TOP_BACK_LEFT"},
    {0x00010000, "SPEAKER_TOP_BACK_CENTER"},
    {0x00020000, "SPEAKER_TOP_BACK_RIGHT"},
};

struct FormatTagName {
  std::uint16_t tag;
  const char* name;
};

// The tags users meet in AVI files, by value.
constexpr FormatTagName formatTags[] = {
    {0x0001, "PCM"},          {0x0002, "ADPCM"},      {0x0003, "IEEE float"}, {0x0006, "A-law"},
    {0x0007, "\u00B5-law"},   {0x0011, "IMA ADPCM"},  {0x0050, "MPEG"},       {0x0055, "MPEG Layer 3"},
    {0x00FF, "AAC"},          {0x0160, "WMA"},        {0x0161, "WMA 2"},      {0x0162, "WMA Pro"},
    {0x0163, "WMA Lossless"}, {0x1600, "AAC (ADTS)"}, {0x2000, "AC-3"},       {0x2001, "DTS"},
    {0xFFFE, "extensible"},
};

const char* formatTagName(std::uint16_t tag) {
  for (const FormatTagName& entry : formatTags) {
    if (entry.tag == tag) return entry.name;
  }
  return nullptr;
}

// Bytes 2 to 15 of the GUIDs made from a wave format tag, which stands in
// their first two bytes.
constexpr std::uint8_t waveFormatGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::string hexDigits(std::uint64_t value, int digits) {
  static const char hex[] = "0123456789ABCDEF";
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = hex[value & 0xF];
  return text;
}

std::string zeroPadded(std::uint64_t value, std::size_t digits) {
  std::string text = std::to_string(value);
  return std::string(text.size() < digits ? digits - text.size() : 0, '0') + text;
}

template <std::size_t N>
std::string flagsText(std::uint32_t flags, const FlagName (&names)[N]) {
  std::string text;
  for (const FlagName& flag : names) {
    if ((flags & flag.bit) == 0) continue;
    if (!text.empty()) text += " | ";
    text += flag.name;
  }
  return text;
}

}  // namespace

std::string signedDecimal(std::uint32_t value) {
  return std::to_string(static_cast<std::int32_t>(value));
}

std::string unsigned16Decimal(std::uint16_t value) {
  return std::to_string(value);
}

std::string fourCCText(FourCC code) {
  std::string text;
  for (int shift = 0; shift < 32; shift += 8) {
    const auto c = static_cast<unsigned char>(code >> shift);
    if (c < 0x20 || c > 0x7E) return signedDecimal(code);
    text += static_cast<char>(c);
  }
  return text;
}

std::string mainHeaderFlagsText(std::uint32_t flags) {
  return flagsText(flags, mainHeaderFlags);
}

std::string streamHeaderFlagsText(std::uint32_t flags) {
  return flagsText(flags, streamHeaderFlags);
}

std::string rectangleText(const decltype(AVISTREAMHEADER::rcFrame)& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

std::string compressionText(std::uint32_t compression) {
  static const char* const classic[] = {"BI_RGB", "BI_RLE8", "BI_RLE4", "BI_BITFIELDS"};
  return compression < 4 ? classic[compression] : fourCCText(compression);
}

std::string formatTagText(std::uint16_t tag) {
  const char* name = formatTagName(tag);
  const std::string number = "0x" + hexDigits(tag, 4);
  return name != nullptr ? std::string(name) + " (" + number + ")" : number;
}

std::string speakerPositionsText(std::uint32_t mask) {
  return flagsText(mask, speakerPositions);
}

std::string subFormatText(const std::uint8_t* guid) {
  const std::uint32_t data1 = readLE32(guid);
  std::string text =
      "{" + hexDigits(data1, 8) + "-" + hexDigits(readLE16(guid + 4), 4) + "-" + hexDigits(readLE16(guid + 6), 4) + "-";
  for (int i = 8; i < 16; ++i) {
    if (i == 10) text += "-";
    text += hexDigits(guid[i], 2);
  }
  text += "}";
  const bool fromTag = std::memcmp(guid + 2, waveFormatGuidTail, sizeof waveFormatGuidTail) == 0;
  const char* name = fromTag ? formatTagName(readLE16(guid)) : nullptr;
  return name != nullptr ? text + " (" + name + ")" : text;
}

std::string durationText(double seconds) {
  // Rates and lengths come from the file, so a crafted one can claim far
  // more time than any recording has.
  constexpr double limit = 18446744073709551616.0;  // 2^64 milliseconds
  const double milliseconds = std::round(seconds * 1000.0);
  const bool beyond = !(milliseconds < limit);
  const std::uint64_t total = beyond ? UINT64_MAX : milliseconds > 0 ? static_cast<std::uint64_t>(milliseconds) : 0;
  return (beyond ? ">" : "") + std::to_string(total / 3600000) + ":" + zeroPadded(total / 60000 % 60, 2) + ":" +
         zeroPadded(total / 1000 % 60, 2) + "." + zeroPadded(total % 1000, 3);
}

std::string storedText(const std::string& bytes) {
  const bool utf8 = isUtf8(bytes);
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      text += ' ';
    } else if (utf8) {
      text += c;
    } else {
      appendLatin1(text, byte);
    }
  }
  return text;
}
