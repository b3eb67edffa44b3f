#include "page/ValueFormats.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace {

TEST(ValueFormats, SignedDecimalReadsTheFieldAsTwosComplement) {
  EXPECT_EQ(signedDecimal(0), "0");
  EXPECT_EQ(signedDecimal(40000), "40000");
  EXPECT_EQ(signedDecimal(0x7FFFFFFF), "2147483647");
  EXPECT_EQ(signedDecimal(0xFFFFFFFF), "-1");
  EXPECT_EQ(signedDecimal(0x80000000), "-2147483648");
}

TEST(ValueFormats, Unsigned16DecimalIsNeverNegative) {
  EXPECT_EQ(unsigned16Decimal(0), "0");
  EXPECT_EQ(unsigned16Decimal(0x8000), "32768");
  EXPECT_EQ(unsigned16Decimal(0xFFFF), "65535");
}

TEST(ValueFormats, FourCCTextShowsPrintableCodesInFileOrder) {
  EXPECT_EQ(fourCCText(makeFourCC('v', 'i', 'd', 's')), "vids");
  EXPECT_EQ(fourCCText(makeFourCC('D', 'I', 'B', ' ')), "DIB ");
  EXPECT_EQ(fourCCText(makeFourCC(' ', ' ', ' ', ' ')), "    ");
  EXPECT_EQ(fourCCText(makeFourCC('~', '!', '0', 'z')), "~!0z");
}

TEST(ValueFormats, FourCCTextFallsBackToSignedDecimal) {
  EXPECT_EQ(fourCCText(0), "0");
  EXPECT_EQ(fourCCText(1), "1");  // an audio handler written as a number
  EXPECT_EQ(fourCCText(makeFourCC('a', 'b', 'c', 0x1F)), std::to_string(static_cast<std::int32_t>(0x1F636261)));
  EXPECT_EQ(fourCCText(makeFourCC('a', 0x7F, 'c', 'd')), std::to_string(0x64637F61));
  EXPECT_EQ(fourCCText(makeFourCC('\xFF', 'b', 'c', 'd')), std::to_string(0x646362FF));
  EXPECT_EQ(fourCCText(makeFourCC('a', 'b', 'c', '\x80')), std::to_string(static_cast<std::int32_t>(0x80636261)));
}

TEST(ValueFormats, MainHeaderFlagsNameTheirSetBitsInTableOrder) {
  EXPECT_EQ(mainHeaderFlagsText(0x110), "AVIF_HASINDEX | AVIF_ISINTERLEAVED");
  EXPECT_EQ(mainHeaderFlagsText(0), "");
  EXPECT_EQ(mainHeaderFlagsText(0xFFFFFFFF),
            "AVIF_HASINDEX | AVIF_MUSTUSEINDEX | AVIF_ISINTERLEAVED | AVIF_TRUSTCKTYPE | AVIF_WASCAPTUREFILE | "
            "AVIF_COPYRIGHTED");
  EXPECT_EQ(mainHeaderFlagsText(0x20000 | 0x800 | 0x4), "AVIF_TRUSTCKTYPE | AVIF_COPYRIGHTED");
  // Stream bits mean nothing in the main header.
  EXPECT_EQ(mainHeaderFlagsText(0x1), "");
}

TEST(ValueFormats, StreamFlagsHaveTheirOwnTable) {
  EXPECT_EQ(streamHeaderFlagsText(0x10001), "AVISF_DISABLED | AVISF_VIDEO_PALCHANGES");
  EXPECT_EQ(streamHeaderFlagsText(0x10), "");
  EXPECT_EQ(streamHeaderFlagsText(0x10000), "AVISF_VIDEO_PALCHANGES");
}

TEST(ValueFormats, RectangleCoordinatesAreSigned16Bit) {
  decltype(AVISTREAMHEADER::rcFrame) r{-1, 0, 640, 480};
  EXPECT_EQ(rectangleText(r), "(-1,0)-(640,480)");
  r = {-32768, 32767, 0, -2};
  EXPECT_EQ(rectangleText(r), "(-32768,32767)-(0,-2)");
}

TEST(ValueFormats, FormatCodesByName) {
  EXPECT_EQ(compressionText(0), "BI_RGB");
  EXPECT_EQ(compressionText(1), "BI_RLE8");
  EXPECT_EQ(compressionText(2), "BI_RLE4");
  EXPECT_EQ(compressionText(3), "BI_BITFIELDS");
  EXPECT_EQ(compressionText(4), "4");  // no name, no printable code
  EXPECT_EQ(compressionText(makeFourCC('H', '2', '6', '4')), "H264");
  EXPECT_EQ(compressionText(0xFFFFFFFE), "-2");

  EXPECT_EQ(formatTagText(0x0001), "PCM (0x0001)");
  EXPECT_EQ(formatTagText(0x0007), "\u00B5-law (0x0007)");
  EXPECT_EQ(formatTagText(0x0055), "MPEG Layer 3 (0x0055)");
  EXPECT_EQ(formatTagText(0x2000), "AC-3 (0x2000)");
  EXPECT_EQ(formatTagText(0xFFFE), "extensible (0xFFFE)");
  EXPECT_EQ(formatTagText(0x0000), "0x0000");
  EXPECT_EQ(formatTagText(0xABCD), "0xABCD");

  EXPECT_EQ(speakerPositionsText(0x3), "SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT");
  EXPECT_EQ(speakerPositionsText(0x20000 | 0x80000000), "SPEAKER_TOP_BACK_RIGHT");
  EXPECT_EQ(speakerPositionsText(0), "");
}

TEST(ValueFormats, SubFormatGuidsAndTheTagsTheyCarry) {
  const auto guid = [](std::uint32_t data1, std::uint8_t last) {
    std::array<std::uint8_t, 16> bytes = {0,    0,    0,    0,    0x00, 0x00, 0x10, 0x00,
                                          0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, last};
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(data1 >> (8 * i));
    return subFormatText(bytes.data());
  };
  EXPECT_EQ(guid(1, 0x71), "{00000001-0000-0010-8000-00AA00389B71} (PCM)");
  EXPECT_EQ(guid(0x2000, 0x71), "{00002000-0000-0010-8000-00AA00389B71} (AC-3)");
  EXPECT_EQ(guid(0x1234, 0x71), "{00001234-0000-0010-8000-00AA00389B71}");
  EXPECT_EQ(guid(0x10001, 0x71), "{00010001-0000-0010-8000-00AA00389B71}");
  EXPECT_EQ(guid(1, 0x72), "{00000001-0000-0010-8000-00AA00389B72}");
  // The first three fields are little-endian, the last eight bytes in order.
  const std::array<std::uint8_t, 16> mixed = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                              0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0xF0};
  EXPECT_EQ(subFormatText(mixed.data()), "{04030201-0605-0807-090A-0B0C0D0E0FF0}");
}

TEST(ValueFormats, DurationsInHoursMinutesSecondsAndMilliseconds) {
  EXPECT_EQ(durationText(0), "0:00:00.000");
  EXPECT_EQ(durationText(0.0004), "0:00:00.000");
  EXPECT_EQ(durationText(0.0005), "0:00:00.001");
  EXPECT_EQ(durationText(62.5), "0:01:02.500");
  EXPECT_EQ(durationText(3599.9996), "1:00:00.000");
  EXPECT_EQ(durationText(100 * 3600 + 59), "100:00:59.000");
  // A crafted rate and length claim more than 2^64 milliseconds.
  EXPECT_EQ(durationText(4294967295.0 * 18446744073709551615.0), ">5124095576030:25:51.615");
}

TEST(ValueFormats, StoredTextIsUtf8OrLatin1OnOneLine) {
  EXPECT_EQ(storedText("Lavf58.45.100"), "Lavf58.45.100");
  EXPECT_EQ(storedText("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xC3\xA9 \xE2\x82\xAC");
  // One byte that is no UTF-8 makes the whole text Latin-1, valid
  // sequences included.
  EXPECT_EQ(storedText("\xC3\xA9 \xE9"), "\xC3\x83\xC2\xA9 \xC3\xA9");
  EXPECT_EQ(storedText("a\r\nb\tc\x7F"), "a  b c ");
  EXPECT_EQ(storedText(std::string("\x01\x1F", 2)), "  ");
  EXPECT_EQ(storedText(""), "");
}

}  // namespace
