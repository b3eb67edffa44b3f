// Files from independent writers, with the header values that independent
// tools report for them (see tests/data/SOURCES.md).
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "avi/AVIFile.h"
#include "avi/FileVerifier.h"
#include "avi/LittleEndian.h"
#include "base/WindowsFile.h"

namespace {

// The format values are what a second tool (ffprobe 5.1, MediaInfo 23.04)
// reports of each stream's format and how long it lasts: the codec as the
// format's code (biCompression, or wFormatTag), the picture size or the
// channels and sample rate, and the duration in milliseconds.
struct ExpectedStream {
  const char* type;
  FourCC handler;
  std::uint32_t scale, rate, length, sampleSize, suggestedBufferSize, quality;
  std::int16_t right, bottom;
  std::size_t indexEntries;  // packets in movi, all indexed
  std::uint32_t codec;
  std::int32_t widthOrChannels, heightOrRate;
  long durationMs;
};

struct ExpectedFile {
  const char* name;
  std::uint32_t microSecPerFrame, maxBytesPerSec, flags, totalFrames, suggestedBufferSize, width, height;
  std::optional<std::uint32_t> grandFrames;
  std::vector<ExpectedStream> streams;
};

constexpr FourCC MJPG = makeFourCC('M', 'J', 'P', 'G');
constexpr FourCC XVID = makeFourCC('X', 'V', 'I', 'D');
constexpr std::uint32_t none = 0xFFFFFFFF;

// One line per stream; clang-format would put every value of a file on a line of its own.
// clang-format off
const std::vector<ExpectedFile> expectedFiles = {
    {"ffmpeg-mjpeg-pcm.avi", 100000, 41000, 0x910, 20, 1048576, 64, 48, std::nullopt,
     {{"vids", MJPG, 1, 10, 20, 0, 940, none, 64, 48, 20, MJPG, 64, 48, 2000},
      {"auds", 1, 1, 8000, 16000, 2, 2048, none, 0, 0, 16, 1, 1, 8000, 2000}}},
    // The tools show the height of this top-down picture as 24.
    {"ffmpeg-rawvideo.avi", 200000, 11520, 0x910, 5, 1048576, 32, 24, std::nullopt,
     {{"vids", 0, 1, 5, 5, 0, 2304, none, 32, 24, 5, 0, 32, -24, 1000}}},
    {"ffmpeg-mpeg4-xvid.avi", 40000, 25000, 0x910, 50, 1048576, 96, 64, std::nullopt,
     {{"vids", XVID, 1, 25, 50, 0, 1449, none, 96, 64, 50, XVID, 96, 64, 2000}}},
    {"ffmpeg-audio-only-mp3.avi", 0, 4000, 0x910, 0, 1048576, 0, 0, std::nullopt,
     {{"auds", 1, 32, 1225, 79, 0, 105, none, 0, 0, 79, 0x55, 1, 22050, 2064}}},
    {"ffmpeg-two-audio.avi", 100000, 44025, 0x910, 10, 1048576, 32, 24, std::nullopt,
     {{"vids", MJPG, 1, 10, 10, 0, 525, none, 32, 24, 10, MJPG, 32, 24, 1000},
      {"auds", 1, 1, 8000, 8000, 1, 1024, none, 0, 0, 8, 1, 1, 8000, 1000},
      {"auds", 1, 1, 11025, 11025, 1, 1024, none, 0, 0, 11, 1, 1, 11025, 1000}}},
    {"gstreamer-mjpeg.avi", 100000, 23040, 0x10, 10, 0, 32, 24, 10,
     {{"vids", MJPG, 1, 10, 10, 0, 1191, 0, 0, 0, 10, MJPG, 32, 24, 1000}}},
    {"gstreamer-mjpeg-pcm.avi", 100000, 62080, 0x110, 10, 0, 48, 32, 10,
     {{"vids", MJPG, 1, 10, 10, 0, 1595, 0, 0, 0, 10, MJPG, 48, 32, 1000},
      {"auds", 1, 1, 8000, 8000, 2, 1600, 0, 0, 0, 10, 1, 1, 8000, 1000}}},
};
// clang-format on

FourCC fourCC(const char* code) { return makeFourCC(code[0], code[1], code[2], code[3]); }

class RealFile : public ::testing::TestWithParam<ExpectedFile> {};

TEST_P(RealFile, HeadersMatchWhatIndependentToolsReport) {
  const ExpectedFile& expected = GetParam();
  const std::string path = std::string(QUARNEL_TEST_DATA_DIR) + "/" + expected.name;
  brix::WindowsFile file(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  const AVIFile avi(file);

  const AVIMAINHEADER& main = avi.mainHeader();
  EXPECT_EQ(main.dwMicroSecPerFrame, expected.microSecPerFrame);
  EXPECT_EQ(main.dwMaxBytesPerSec, expected.maxBytesPerSec);
  EXPECT_EQ(main.dwFlags, expected.flags);
  EXPECT_EQ(main.dwTotalFrames, expected.totalFrames);
  EXPECT_EQ(main.dwSuggestedBufferSize, expected.suggestedBufferSize);
  EXPECT_EQ(main.dwWidth, expected.width);
  EXPECT_EQ(main.dwHeight, expected.height);
  EXPECT_EQ(main.dwStreams, expected.streams.size());
  EXPECT_EQ(avi.hasExtendedHeader(), expected.grandFrames.has_value());
  if (expected.grandFrames) {
    EXPECT_EQ(avi.extendedHeader().dwGrandFrames, *expected.grandFrames);
  }

  ASSERT_EQ(avi.streamCount(), expected.streams.size());
  for (std::size_t i = 0; i < expected.streams.size(); ++i) {
    SCOPED_TRACE("stream " + std::to_string(i));
    const ExpectedStream& s = expected.streams[i];
    const AVISTREAMHEADER& h = avi.stream(i)->header();
    EXPECT_EQ(h.fccType, fourCC(s.type));
    EXPECT_EQ(h.fccHandler, s.handler);
    EXPECT_EQ(h.dwScale, s.scale);
    EXPECT_EQ(h.dwRate, s.rate);
    EXPECT_EQ(h.dwLength, s.length);
    EXPECT_EQ(h.dwSampleSize, s.sampleSize);
    EXPECT_EQ(h.dwSuggestedBufferSize, s.suggestedBufferSize);
    EXPECT_EQ(h.dwQuality, s.quality);
    EXPECT_EQ(h.rcFrame.right, s.right);
    EXPECT_EQ(h.rcFrame.bottom, s.bottom);
    EXPECT_EQ(avi.stream(i)->index().size(), s.indexEntries);

    const std::uint8_t* format = avi.stream(i)->format().data();
    if (h.fccType == fourcc::vids) {
      EXPECT_EQ(readLE32(format + 16), s.codec);
      EXPECT_EQ(static_cast<std::int32_t>(readLE32(format + 4)), s.widthOrChannels);
      EXPECT_EQ(static_cast<std::int32_t>(readLE32(format + 8)), s.heightOrRate);
    } else {
      EXPECT_EQ(readLE16(format), s.codec);
      EXPECT_EQ(readLE16(format + 2), s.widthOrChannels);
      EXPECT_EQ(static_cast<std::int32_t>(readLE32(format + 4)), s.heightOrRate);
    }
    EXPECT_EQ(std::lround(avi.stream(i)->endTime() * 1000), s.durationMs);
  }
}

// The whole file verified: every packet the tools count is a sound chunk,
// and they last as long as the tools say.
TEST_P(RealFile, VerifiesOkWithEveryPacket) {
  const ExpectedFile& expected = GetParam();
  const std::string path = std::string(QUARNEL_TEST_DATA_DIR) + "/" + expected.name;
  brix::WindowsFile data(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  brix::WindowsFile lookups(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  const Verification verified = FileVerifier(data, lookups).run();

  EXPECT_EQ(verified.status, "Ok");
  ASSERT_EQ(verified.streams.size(), expected.streams.size());
  for (std::size_t i = 0; i < expected.streams.size(); ++i) {
    SCOPED_TRACE("stream " + std::to_string(i));
    EXPECT_EQ(verified.streams[i].chunks, expected.streams[i].indexEntries);
    EXPECT_EQ(std::lround(verified.streams[i].duration * 1000), expected.streams[i].durationMs);
  }
}

INSTANTIATE_TEST_SUITE_P(Writers, RealFile, ::testing::ValuesIn(expectedFiles),
                         [](const ::testing::TestParamInfo<ExpectedFile>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
