// The rows that follow the headers: stream formats, names, index summaries
// and INFO tags.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "avi/FourCC.h"
#include "page/FileReport.h"
#include "tests/support/AviBuilder.h"
#include "tests/support/MemoryStream.h"

using namespace testing_support;

namespace {

using Rows = std::vector<std::string>;  // "indent image element = value"

// The rows after the header of stream 0 up to the next stream, and the rows
// after the last stream but the RIFF group, of a file built from the layout.
struct DetailRows {
  Rows firstStream;
  Rows afterStreams;
};

DetailRows detailRowsOf(const AviLayout& layout) {
  MemoryStream stream(aviBytes(layout));
  const FileReport report = readStreamReport("x.avi", stream);
  EXPECT_TRUE(report.ok) << report.status;
  const std::vector<StructureRowText>& rows = report.rows;
  const auto text = [](const StructureRowText& row) {
    return std::to_string(row.indent) + " " + std::to_string(row.image) + " " + row.element +
           (row.value ? " = " + *row.value : "");
  };
  DetailRows detail;
  std::size_t i = 0;
  while (i < rows.size() && rows[i].element != "rcRect") ++i;
  for (++i; i < rows.size() && rows[i].indent >= 2; ++i) detail.firstStream.push_back(text(rows[i]));
  while (i < rows.size() && rows[i].indent != 0) ++i;
  if (i < rows.size() && rows[i].element == "RIFF") ++i;
  while (i < rows.size() && rows[i].indent != 0) ++i;
  for (; i < rows.size(); ++i) detail.afterStreams.push_back(text(rows[i]));
  return detail;
}

AviLayout oneStream(StreamLayout stream) {
  AviLayout layout;
  layout.streams = {std::move(stream)};
  return layout;
}

StreamLayout withFormat(StreamLayout stream, Bytes format) {
  stream.format = std::move(format);
  return stream;
}

Bytes withoutCbSize(Bytes format) {
  format.resize(16);
  return format;
}

Rows bitmapRows(const std::string& width, const std::string& height, const std::string& compression,
                const std::string& sizeImage) {
  return {"2 1 BITMAPINFOHEADER",
          "3 2 biSize = 40",
          "3 2 biWidth = " + width,
          "3 2 biHeight = " + height,
          "3 2 biPlanes = 1",
          "3 2 biBitCount = 24",
          "3 2 biCompression = " + compression,
          "3 2 biSizeImage = " + sizeImage,
          "3 2 biXPelsPerMeter = 0",
          "3 2 biYPelsPerMeter = 0",
          "3 2 biClrUsed = 0",
          "3 2 biClrImportant = 0"};
}

Rows waveFormatRows(const std::string& tag, const std::string& channels, const std::string& rate) {
  return {"2 1 WAVEFORMATEX", "3 2 wFormatTag = " + tag, "3 2 nChannels = " + channels, "3 2 nSamplesPerSec = " + rate};
}

Rows concat(Rows a, const Rows& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Rows noIndex = {"2 0 Index = no legacy index"};

TEST(DetailRows, StreamFormatsShowTheFieldsTheyHold) {
  const Bytes extensible = waveFormatExtensible(6, 48000, 24, 20, 0x3F, 3);  // 5.1, IEEE float
  StreamLayout text;
  text.type = "txts";
  text.format = Bytes(7, 1);

  const struct {
    const char* what;
    StreamLayout stream;
    Rows rows;
  } cases[] = {
      {"video", videoStream(), bitmapRows("320", "240", "MJPG", "230400")},
      {"top-down RLE video", videoStream(16, -16, 1), bitmapRows("16", "-16", "BI_RLE8", "768")},
      {"PCM", audioStream(),
       concat(waveFormatRows("PCM (0x0001)", "2", "44100"),
              {"3 2 nAvgBytesPerSec = 176400", "3 2 nBlockAlign = 4", "3 2 wBitsPerSample = 16", "3 2 cbSize = 0"})},
      {"PCM without cbSize", withFormat(audioStream(), withoutCbSize(waveFormatEx(1, 1, 8000, 8, 0))),
       concat(waveFormatRows("PCM (0x0001)", "1", "8000"),
              {"3 2 nAvgBytesPerSec = 8000", "3 2 nBlockAlign = 1", "3 2 wBitsPerSample = 8"})},
      {"extensible", withFormat(audioStream(), extensible),
       concat(waveFormatRows("extensible (0xFFFE)", "6", "48000"),
              {"3 2 nAvgBytesPerSec = 864000", "3 2 nBlockAlign = 18", "3 2 wBitsPerSample = 24", "3 2 cbSize = 22",
               "2 1 WAVEFORMATEXTENSIBLE", "3 2 wValidBitsPerSample = 20",
               "3 2 dwChannelMask = SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT | SPEAKER_FRONT_CENTER | "
               "SPEAKER_LOW_FREQUENCY | SPEAKER_BACK_LEFT | SPEAKER_BACK_RIGHT",
               "3 2 SubFormat = {00000003-0000-0010-8000-00AA00389B71} (IEEE float)"})},
      // Extra bytes of another tag are no extensible fields.
      {"MP3 with its extra bytes", withFormat(audioStream(), waveFormatEx(0x55, 2, 44100, 0, 22)),
       concat(waveFormatRows("MPEG Layer 3 (0x0055)", "2", "44100"),
              {"3 2 nAvgBytesPerSec = 0", "3 2 nBlockAlign = 0", "3 2 wBitsPerSample = 0", "3 2 cbSize = 22"})},
      {"another type", text, {"2 2 Format = 7 bytes"}},
      {"another type, empty format", withFormat(text, {}), {"2 2 Format = 0 bytes"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(detailRowsOf(oneStream(c.stream)).firstStream, concat(c.rows, noIndex)) << c.what;
}

TEST(DetailRows, IndexSummaryOfEachStream) {
  AviLayout layout;
  layout.streams = {videoStream(), audioStream(), videoStream()};
  layout.streams[0].scale = 1001;
  layout.streams[0].rate = 30000;
  addMovieChunks(layout, "00dc", 25, 3);  // every tenth a key frame
  addMovieChunks(layout, "01wb", 3, 44100);
  (*layout.index)[1].flags = 0x110;  // no time, a key frame
  const Rows rows = detailRowsOf(layout).firstStream;
  const Rows expected = {"2 0 Index = idx1", "3 2 Entries = 25", "3 2 Key frames = 4", "3 2 Bytes = 75",
                         "3 2 Duration = 0:00:00.801"};  // 24 timed frames of 1001/30000 s
  EXPECT_EQ(Rows(rows.end() - 5, rows.end()), expected);

  layout.index.emplace();  // an idx1 without entries
  const Rows empty = detailRowsOf(layout).firstStream;
  EXPECT_EQ(Rows(empty.end() - 5, empty.end()), (Rows{"2 0 Index = idx1", "3 2 Entries = 0", "3 2 Key frames = 0",
                                                      "3 2 Bytes = 0", "3 2 Duration = 0:00:00.000"}));
}

TEST(DetailRows, NamesAndInfoTagsAsText) {
  AviLayout layout = oneStream(videoStream());
  layout.streams[0].name = Bytes{'V', 'i', 'd', 'e', 'o', '\t', '1', 0};
  RiffNode info =
      infoList({{"ISFT", "Writer"}, {"ICMT", "Caf\xC3\xA9"}, {"INAM", "Caf\xE9"}, {"I\x01NM", "line\r\nbreak"}});
  layout.hdrlExtras = {info};
  const DetailRows rows = detailRowsOf(layout);
  ASSERT_GE(rows.firstStream.size(), 2u);
  EXPECT_EQ(rows.firstStream[rows.firstStream.size() - 2], "2 2 Name = Video 1");
  const Rows expected = {"0 0 INFO = ", "1 2 ISFT = Writer", "1 2 ICMT = Caf\xC3\xA9",
                         "1 2 INAM = Caf\xC3\xA9",  // not UTF-8: read as Latin-1
                         "1 2 " + std::to_string(makeFourCC('I', 1, 'N', 'M')) + " = line  break"};
  EXPECT_EQ(rows.afterStreams, expected);

  // Without INFO tags there is no group, and a stream without strn no name.
  layout.hdrlExtras = {infoList({})};
  layout.streams[0].name.reset();
  const DetailRows bare = detailRowsOf(layout);
  EXPECT_TRUE(bare.afterStreams.empty());
  EXPECT_EQ(bare.firstStream, concat(bitmapRows("320", "240", "MJPG", "230400"), noIndex));
}

}  // namespace
