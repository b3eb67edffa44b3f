#include "page/ValueFormats.h"

namespace {

struct FlagName {
  std::uint32_t bit;
  const char* name;
};

constexpr FlagName mainHeaderFlags[] = {
    {0x00000010, "AVIF_HASINDEX"},       {0x00000020, "AVIF_MUSTUSEINDEX"},
    {0x00000100, "AVIF_ISINTERLEAVED"},  {0x00000800, "AVIF_TRUSTCKTYPE"},
    {0x00010000, "AVIF_WASCAPTUREFILE"}, {0x00020000, "AVIF_COPYRIGHTED"},
};

constexpr FlagName streamHeaderFlags[] = {
    {0x00000001, "AVISF_DISABLED"},
    {0x00010000, "AVISF_VIDEO_PALCHANGES"},
};

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

std::string signedDecimal(std::uint32_t value) { return std::to_string(static_cast<std::int32_t>(value)); }

std::string unsigned16Decimal(std::uint16_t value) { return std::to_string(value); }

std::string fourCCText(FourCC code) {
  std::string text;
  for (int shift = 0; shift < 32; shift += 8) {
    const auto c = static_cast<unsigned char>(code >> shift);
    if (c < 0x20 || c > 0x7E) return signedDecimal(code);
    text += static_cast<char>(c);
  }
  return text;
}

std::string mainHeaderFlagsText(std::uint32_t flags) { return flagsText(flags, mainHeaderFlags); }

std::string streamHeaderFlagsText(std::uint32_t flags) { return flagsText(flags, streamHeaderFlags); }

std::string rectangleText(const decltype(AVISTREAMHEADER::rcFrame)& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}
