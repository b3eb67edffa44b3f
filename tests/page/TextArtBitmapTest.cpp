#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "avi/LittleEndian.h"
#include "page/art/TextArtBitmap.h"
#include "tests/support/TempDirectory.h"

using testing_support::readFile;

namespace {

TEST(TextArtBitmap, TheRowImagesInTheTreeAreTheOnesTheirArtGives) {
  const std::string source = QUARNEL_SOURCE_DIR;
  const struct {
    const char* art;
    const char* bitmap;
    std::uint32_t width, height;
  } images[] = {
      {"page/art/row-images.txt", "page/RowImages.bmp", 48, 16},
      {"page/art/row-images-large.txt", "page/RowImagesLarge.bmp", 96, 32},
  };
  for (const auto& image : images) {
    SCOPED_TRACE(image.art);
    const std::vector<std::uint8_t> made = bitmapFromTextArt(readFile(source + "/" + image.art));
    EXPECT_TRUE(std::string(made.begin(), made.end()) == readFile(source + "/" + image.bitmap))
        << "the art changed: run make-bitmap " << image.art << " " << image.bitmap;
    EXPECT_EQ(readLE32(made.data() + 18), image.width);
    EXPECT_EQ(readLE32(made.data() + 22), image.height);
  }
}

TEST(TextArtBitmap, PixelsBecomePaletteIndicesInBottomUpPaddedRows) {
  const auto bitmap = bitmapFromTextArt(
      "# two colours\n"
      "colour x 0 0 0\n"
      "colour o 255 0 128\n"
      "pixels\n"
      "xoo\n"
      "oxx\n");
  ASSERT_EQ(bitmap.size(), 14u + 40 + 2 * 4 + 2 * 4);
  EXPECT_EQ(bitmap[0], 'B');
  EXPECT_EQ(bitmap[1], 'M');
  EXPECT_EQ(readLE32(bitmap.data() + 2), bitmap.size());
  EXPECT_EQ(readLE32(bitmap.data() + 10), 14u + 40 + 8);  // where the pixels start
  EXPECT_EQ(readLE32(bitmap.data() + 18), 3u);            // width
  EXPECT_EQ(readLE32(bitmap.data() + 22), 2u);            // height
  EXPECT_EQ(bitmap[28], 8);                   // bits per pixel
  EXPECT_EQ(readLE32(bitmap.data() + 46), 2u);           // colours used
  EXPECT_EQ(readLE32(bitmap.data() + 54), 0x00000000u);  // x: black
  EXPECT_EQ(readLE32(bitmap.data() + 58), 0x00FF0080u);  // o: blue, green, red as stored
  const std::vector<std::uint8_t> rows(bitmap.begin() + 62, bitmap.end());
  EXPECT_EQ(rows, (std::vector<std::uint8_t>{1, 0, 0, 0, 0, 1, 1, 0}));  // last row first, each padded to 4
}

TEST(TextArtBitmap, FaultyArtIsRefusedWithItsLine) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"colour x 0 0 0\npixels\nxy\n", "text art line 3: no colour for 'y'"},
      {"colour x 0 0 0\npixels\nxx\nx\n", "text art line 4: row of another length"},
      {"colour x 0 0 0\ncolour x 1 1 1\n", "text art line 2: colour 'x' given twice"},
      {"colour x 0 0 256\n", "text art line 1: expected: colour C R G B"},
      {"colour xy 0 0 0\n", "text art line 1: expected: colour C R G B"},
      {"paint x\n", "text art line 1: unknown line"},
      {"colour x 0 0 0\npixels\n", "text art has no pixels"},
  };
  for (const auto& c : cases) {
    try {
      bitmapFromTextArt(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

}  // namespace
