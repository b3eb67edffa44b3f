#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "avi/AVIFile.h"
#include "base/WindowsFile.h"
#include "page/FileReport.h"
#include "page/StructureRows.h"
#include "tests/support/AviBuilder.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/ReportChecks.h"

using namespace testing_support;

namespace {

using Row = StructureRowText;

// The header rows; what follows them is in DetailRowsTest.cpp.
std::vector<Row> rowsOf(const std::string& path, const AVIFile& file) {
  std::vector<Row> rows;
  buildStructureRows(
      path, file,
      [&rows](int indent, int image, const std::string& element, const std::optional<std::string>& value) {
        rows.push_back({indent, image, element, value});
      },
      StructureRowSet::headers);
  return rows;
}

std::vector<std::string> elements(const std::vector<Row>& rows) {
  std::vector<std::string> out;
  for (const Row& row : rows) out.push_back(row.element);
  return out;
}

const std::vector<std::string> mainHeaderBlock = {
    "AVIMAINHEADER", "dwMicroSecPerFrame", "dwMaxBytesPerSec", "dwPaddingGranularity", "dwFlags",
    "dwTotalFrames", "dwInitialFrames",    "dwStreams",        "dwSuggestedBufferSize", "dwWidth", "dwheight"};

TEST(StructureRows, ARealFileInOrderWithLevelsAndImages) {
  const std::string path = std::string(QUARNEL_TEST_DATA_DIR) + "/gstreamer-mjpeg-pcm.avi";
  brix::WindowsFile file(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  const AVIFile avi(file);
  const std::vector<Row> rows = rowsOf(path, avi);
  // Values as an independent tool reports them for this file.
  const std::vector<Row> expected = {
      {0, 0, "Path", path},
      {0, 1, "AVIMAINHEADER", std::nullopt},
      {1, 2, "dwMicroSecPerFrame", "100000"},
      {1, 2, "dwMaxBytesPerSec", "62080"},
      {1, 2, "dwPaddingGranularity", "0"},
      {1, 2, "dwFlags", "AVIF_HASINDEX | AVIF_ISINTERLEAVED"},
      {1, 2, "dwTotalFrames", "10"},
      {1, 2, "dwInitialFrames", "0"},
      {1, 2, "dwStreams", "2"},
      {1, 2, "dwSuggestedBufferSize", "0"},
      {1, 2, "dwWidth", "48"},
      {1, 2, "dwheight", "32"},
      {0, 1, "AVIEXTHEADER", std::nullopt},
      {1, 2, "dwGrandFrames", "10"},
      {0, 0, "Streams", ""},
      {1, 0, "0", ""},
      {2, 1, "AVISTREAMHEADER", std::nullopt},
      {3, 2, "fccType", "vids"},
      {3, 2, "fccHandler", "MJPG"},
      {3, 2, "dwFlags", ""},
      {3, 2, "wPriority", "0"},
      {3, 2, "wLanguage", "0"},
      {3, 2, "dwInitialFrames", "0"},
      {3, 2, "dwScale", "1"},
      {3, 2, "dwRate", "10"},
      {3, 2, "dwStart", "0"},
      {3, 2, "dwLength", "10"},
      {3, 2, "dwSuggestedBufferSize", "1595"},
      {3, 2, "dwQuality", "0"},
      {3, 2, "dwSampleSize", "0"},
      {3, 2, "rcRect", "(0,0)-(0,0)"},
      {1, 0, "1", ""},
      {2, 1, "AVISTREAMHEADER", std::nullopt},
      {3, 2, "fccType", "auds"},
      {3, 2, "fccHandler", "1"},
      {3, 2, "dwFlags", ""},
      {3, 2, "wPriority", "0"},
      {3, 2, "wLanguage", "0"},
      {3, 2, "dwInitialFrames", "0"},
      {3, 2, "dwScale", "1"},
      {3, 2, "dwRate", "8000"},
      {3, 2, "dwStart", "0"},
      {3, 2, "dwLength", "8000"},
      {3, 2, "dwSuggestedBufferSize", "1600"},
      {3, 2, "dwQuality", "0"},
      {3, 2, "dwSampleSize", "2"},
      {3, 2, "rcRect", "(0,0)-(0,0)"},
  };
  EXPECT_EQ(rows, expected);
}

TEST(StructureRows, WithoutStreamsOrExtendedHeader) {
  AviLayout layout;
  MemoryStream stream(aviBytes(layout));
  const AVIFile file(stream);
  std::vector<std::string> expected = {"Path"};
  expected.insert(expected.end(), mainHeaderBlock.begin(), mainHeaderBlock.end());
  expected.push_back("Streams");
  EXPECT_EQ(elements(rowsOf("x.avi", file)), expected);
}

TEST(StructureRows, ExtendedHeaderBlockStandsBeforeStreams) {
  AviLayout layout;
  layout.dmlhSize = 248;
  layout.grandFrames = 0xFFFFFFFF;
  MemoryStream stream(aviBytes(layout));
  const std::vector<Row> rows = rowsOf("x.avi", AVIFile(stream));
  ASSERT_EQ(rows.size(), 1 + mainHeaderBlock.size() + 3);
  EXPECT_EQ(rows[12], (Row{0, 1, "AVIEXTHEADER", std::nullopt}));
  EXPECT_EQ(rows[13], (Row{1, 2, "dwGrandFrames", "-1"}));
  EXPECT_EQ(rows[14], (Row{0, 0, "Streams", ""}));
}

TEST(StructureRows, FieldValuesUseTheirForms) {
  AviLayout layout;
  layout.flags = 0x1;  // no named bit
  layout.suggestedBufferSize = 0x80000000;
  StreamLayout audio = audioStream();
  audio.quality = 0xFFFFFFFF;
  audio.flags = 0x10001;
  audio.priority = 0xFFFF;
  audio.left = -1;
  audio.right = 640;
  audio.bottom = 480;
  StreamLayout text = videoStream();
  text.type = "txts";
  text.handler = "ab\x01z";
  layout.streams = {audio, text};
  MemoryStream stream(aviBytes(layout));
  const std::vector<Row> rows = rowsOf("x.avi", AVIFile(stream));
  const auto valueOf = [&rows](std::size_t from, const std::string& element) {
    for (std::size_t i = from; i < rows.size(); ++i) {
      if (rows[i].element == element) return *rows[i].value;
    }
    return std::string("missing");
  };
  EXPECT_EQ(valueOf(0, "dwFlags"), "");
  EXPECT_EQ(valueOf(0, "dwSuggestedBufferSize"), "-2147483648");
  const std::size_t firstStream = 13;
  ASSERT_EQ(rows[firstStream].element, "0");
  EXPECT_EQ(valueOf(firstStream, "fccHandler"), "0");
  EXPECT_EQ(valueOf(firstStream, "dwFlags"), "AVISF_DISABLED | AVISF_VIDEO_PALCHANGES");
  EXPECT_EQ(valueOf(firstStream, "wPriority"), "65535");
  EXPECT_EQ(valueOf(firstStream, "dwQuality"), "-1");
  EXPECT_EQ(valueOf(firstStream, "rcRect"), "(-1,0)-(640,480)");
  const std::size_t secondStream = firstStream + 16;
  ASSERT_EQ(rows[secondStream].element, "1");
  EXPECT_EQ(valueOf(secondStream, "fccType"), "txts");
  EXPECT_EQ(valueOf(secondStream, "fccHandler"), std::to_string(makeFourCC('a', 'b', 1, 'z')));
}

TEST(StructureRows, TheFileWithTheMostRowsReachesTheBoundExactly) {
  MemoryStream stream(aviBytes(mostRowsLayout()));
  const FileReport report = readStreamReport("x.avi", stream);
  ASSERT_TRUE(report.ok) << report.status;
  EXPECT_EQ(report.rows.size(), maxStructureRows);
}

TEST(StructureRows, ASinkThatThrowsEndsTheProductionAtOnce) {
  AviLayout layout;
  layout.streams = {videoStream()};
  MemoryStream stream(aviBytes(layout));
  const AVIFile file(stream);
  std::vector<std::string> seen;
  const auto sink = [&seen](int, int, const std::string& element, const std::optional<std::string>&) {
    seen.push_back(element);
    if (element == "dwStreams") throw std::runtime_error("Can't insert list view item");
  };
  EXPECT_THROW(buildStructureRows("x.avi", file, sink), std::runtime_error);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), "dwStreams");
  EXPECT_EQ(seen.size(), 9u);
}

}  // namespace
