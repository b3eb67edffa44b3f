#include "page/ValueFormats.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(mainHeaderFlagsText(0x1), "");
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

}  // namespace
