#include "avi/AVIStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "base/EOFException.h"
#include "tests/support/AviBuilder.h"
#include "tests/support/MemoryStream.h"

using namespace testing_support;

namespace {

// A strl list's strh and strf chunks in memory, made into a stream.
class StreamFixture {
 public:
  explicit StreamFixture(const StreamLayout& layout)
      : memory_(serialize(listChunk("LIST", "strl", {dataChunk("strh", strhData(layout)), dataChunk("strf", layout.format)}))),
        root_(memory_) {}

  AVIStream make() {
    Chunk& strl = *root_.begin();
    return AVIStream(*strl.findChild(0, fourcc::strh, 0), *strl.findChild(0, fourcc::strf, 0));
  }

  std::string error() {
    try {
      make();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "no error";
  }

 private:
  MemoryStream memory_;
  Chunk root_;
};

StreamLayout withFormat(StreamLayout layout, Bytes format) {
  layout.format = std::move(format);
  return layout;
}

TEST(AVIStream, ReadsTheHeaderAsStored) {
  StreamLayout layout = videoStream(640, 480);
  layout.handler = "XVID";
  layout.flags = 0x10001;
  layout.priority = 65535;
  layout.language = 0x409;
  layout.scale = 1001;
  layout.rate = 30000;
  layout.length = 1234;
  layout.left = -1;
  StreamFixture fixture(layout);
  const AVIStream stream = fixture.make();
  const AVISTREAMHEADER& h = stream.header();
  EXPECT_EQ(h.fcc, fourcc::strh);
  EXPECT_EQ(h.cb, 56u);
  EXPECT_EQ(h.fccType, fourcc::vids);
  EXPECT_EQ(h.fccHandler, makeFourCC('X', 'V', 'I', 'D'));
  EXPECT_EQ(h.dwFlags, 0x10001u);
  EXPECT_EQ(h.wPriority, 65535);
  EXPECT_EQ(h.wLanguage, 0x409);
  EXPECT_EQ(h.dwScale, 1001u);
  EXPECT_EQ(h.dwRate, 30000u);
  EXPECT_EQ(h.dwLength, 1234u);
  EXPECT_EQ(h.dwQuality, 0xFFFFFFFFu);
  EXPECT_EQ(h.rcFrame.left, -1);
  EXPECT_EQ(h.rcFrame.right, 640);
  EXPECT_EQ(h.rcFrame.bottom, 480);
  EXPECT_EQ(stream.format().size(), 40u);
}

TEST(AVIStream, HeaderSizeAndRateChecks) {
  StreamLayout layout = videoStream();
  layout.strhSize = 55;
  EXPECT_EQ(StreamFixture(layout).error(), "The strh chunk is too small");
  layout.strhSize = 64;  // larger is fine; the extra bytes are ignored
  EXPECT_EQ(StreamFixture(layout).error(), "no error");

  layout = videoStream();
  layout.rate = 0;
  layout.scale = 0;
  EXPECT_EQ(StreamFixture(layout).error(), "dwRate is 0");
  layout.rate = 25;
  EXPECT_EQ(StreamFixture(layout).error(), "dwScale is 0");
}

TEST(AVIStream, VideoFormatIsCheckedAndCutToBiSize) {
  const StreamLayout video = videoStream();
  EXPECT_EQ(StreamFixture(withFormat(video, Bytes(39, 0))).error(), "Streamformat data for video stream too small");

  const std::string biSizeMessage = "biSize field for BITMAPINFOHEADER does not match the size of the strf chunk";
  Bytes format = bitmapInfoHeader(8, 8);
  setLE32(format, 0, 44);
  EXPECT_EQ(StreamFixture(withFormat(video, format)).error(), biSizeMessage);
  setLE32(format, 0, 39);
  EXPECT_EQ(StreamFixture(withFormat(video, format)).error(), biSizeMessage);

  format = bitmapInfoHeader(8, 8);
  format.resize(48, 0xAA);  // a palette or junk after the structure
  StreamFixture cut(withFormat(video, format));
  EXPECT_EQ(cut.make().format().size(), 40u);

  EXPECT_EQ(StreamFixture(withFormat(video, bitmapInfoHeader(8, 8, 0xFFFFFFFE, 40))).error(),
            "Size of extended BITMAPINFOHEADER too small");
  EXPECT_EQ(StreamFixture(withFormat(video, bitmapInfoHeader(8, 8, 0xFFFFFFFE, 56))).error(), "no error");
}

TEST(AVIStream, AudioFormatIsCheckedAndCutToCbSize) {
  const StreamLayout audio = audioStream();
  const std::string cbSizeMessage =
      "Streamformat data size for audio stream does not match the cbSize field of the WAVEFORMATEX structure";
  EXPECT_EQ(StreamFixture(withFormat(audio, Bytes(15, 0))).error(), "Streamformat data for audio stream too small");

  Bytes pcm = waveFormatEx(1, 2, 44100, 16, 0);
  pcm.resize(16);
  EXPECT_EQ(StreamFixture(withFormat(audio, pcm)).make().format().size(), 16u);
  pcm.push_back(0);
  EXPECT_EQ(StreamFixture(withFormat(audio, pcm)).error(), cbSizeMessage);
  EXPECT_EQ(StreamFixture(withFormat(audio, waveFormatEx(1, 2, 44100, 16, 0))).make().format().size(), 18u);

  Bytes padded = waveFormatEx(0x55, 2, 44100, 0, 2);
  padded.resize(30, 0);  // the writer's padding after the structure
  EXPECT_EQ(StreamFixture(withFormat(audio, padded)).make().format().size(), 20u);

  Bytes shortOfCbSize = waveFormatEx(0x55, 2, 44100, 0, 12);
  shortOfCbSize.pop_back();
  EXPECT_EQ(StreamFixture(withFormat(audio, shortOfCbSize)).error(), cbSizeMessage);

  EXPECT_EQ(StreamFixture(withFormat(audio, waveFormatEx(0xFFFE, 2, 48000, 16, 22))).make().format().size(), 40u);
  Bytes extensible = waveFormatEx(0xFFFE, 2, 48000, 16, 0);
  extensible.resize(16);
  EXPECT_EQ(StreamFixture(withFormat(audio, extensible)).error(),
            "Streamformat data size too small for a WAVEFORMATEXTENSIBLE structure");
}

TEST(AVIStream, OtherStreamTypesKeepAnyFormat) {
  StreamLayout text = videoStream();
  text.type = "txts";
  EXPECT_EQ(StreamFixture(withFormat(text, {})).make().format().size(), 0u);
  EXPECT_EQ(StreamFixture(withFormat(text, Bytes(7, 3))).make().format(), Bytes(7, 3));
}

// An empty format is read with a read of 0 bytes into no buffer at all;
// with more of the file after it, the stream really gets that call (at the
// end of the data it would answer before looking at the buffer).
TEST(AVIStream, AnEmptyFormatInsideTheFileIsReadAsNothing) {
  StreamLayout text = videoStream();
  text.type = "txts";
  MemoryStream memory(serialize(listChunk(
      "LIST", "strl", {dataChunk("strh", strhData(text)), dataChunk("strf", {}), dataChunk("JUNK", Bytes(4, 0))})));
  Chunk root(memory);
  Chunk& strl = *root.begin();
  const AVIStream stream(*strl.findChild(0, fourcc::strh, 0), *strl.findChild(0, fourcc::strf, 0));
  EXPECT_TRUE(stream.format().empty());
  EXPECT_EQ(stream.header().fccType, makeFourCC('t', 'x', 't', 's'));
}

TEST(AVIStream, ChunksBeyondTheEndOfTheFileAreEOF) {
  Bytes bytes = serialize(listChunk("LIST", "strl", {dataChunk("strh", strhData(videoStream())),
                                                     dataChunk("strf", bitmapInfoHeader(8, 8))}));
  bytes.resize(bytes.size() - 10);
  MemoryStream memory(bytes);
  Chunk strh(memory, 20, 56, fourcc::strh);
  Chunk strf(memory, 84, 40, fourcc::strf);
  EXPECT_THROW(AVIStream(strh, strf), brix::EOFException);
}

TEST(AVIStream, DeliversNoSampleData) {
  StreamFixture fixture(videoStream());
  AVIStream stream = fixture.make();
  char byte;
  EXPECT_EQ(stream.read(&byte, 1), 0u);
  EXPECT_EQ(stream.seek(100, brix::Seekable::Begin), 0);
  EXPECT_EQ(stream.tell(), 0);
  EXPECT_EQ(static_cast<brix::Seekable&>(stream).size(), 0);
  EXPECT_THROW(stream.readFully(&byte, 1), brix::EOFException);
}

class IndexTiming : public ::testing::Test {
 protected:
  AVIStream makeStream(std::uint32_t sampleSize, std::uint32_t scale, std::uint32_t rate) {
    StreamLayout layout = videoStream();
    layout.sampleSize = sampleSize;
    layout.scale = scale;
    layout.rate = rate;
    fixture_.emplace(layout);
    return fixture_->make();
  }
  static LegacyIndexEntry entry(std::uint32_t length, std::uint32_t flags = 0, std::uint32_t offset = 4) {
    return {makeFourCC('0', '0', 'd', 'c'), flags, offset, length};
  }
  std::optional<StreamFixture> fixture_;
};

TEST_F(IndexTiming, OneStepPerChunkWithoutSampleSize) {
  AVIStream stream = makeStream(0, 1, 25);
  for (std::uint32_t length : {100u, 50u, 30u}) stream.addIndexEntry(entry(length), 1000);
  const auto& index = stream.index();
  ASSERT_EQ(index.size(), 3u);
  EXPECT_DOUBLE_EQ(index[0].timeBefore, 0.0);
  EXPECT_DOUBLE_EQ(index[1].timeBefore, 0.04);
  EXPECT_DOUBLE_EQ(index[2].timeBefore, 0.08);
  EXPECT_EQ(index[0].bytesBefore, 0u);
  EXPECT_EQ(index[1].bytesBefore, 100u);
  EXPECT_EQ(index[2].bytesBefore, 150u);
}

TEST_F(IndexTiming, SamplesCountedFromBytesWithSampleSize) {
  AVIStream stream = makeStream(10, 1, 1000);
  for (std::uint32_t length : {100u, 50u, 30u}) stream.addIndexEntry(entry(length), 0);
  const auto& index = stream.index();
  EXPECT_DOUBLE_EQ(index[0].timeBefore, 0.0);
  EXPECT_DOUBLE_EQ(index[1].timeBefore, 0.01);
  EXPECT_DOUBLE_EQ(index[2].timeBefore, 0.015);
}

TEST_F(IndexTiming, NoTimeEntriesStandOutsideTheTimeline) {
  AVIStream stream = makeStream(0, 1, 25);
  stream.addIndexEntry(entry(100), 0);
  stream.addIndexEntry(entry(7, 0x100), 0);
  stream.addIndexEntry(entry(50), 0);
  const auto& index = stream.index();
  EXPECT_EQ(index[1].bytesBefore, UINT64_MAX);
  EXPECT_DOUBLE_EQ(index[1].timeBefore, -1.0);
  EXPECT_EQ(index[1].flags, StreamIndexEntry::noTime);
  EXPECT_EQ(index[2].bytesBefore, 100u);
  EXPECT_DOUBLE_EQ(index[2].timeBefore, 0.04);
}

TEST_F(IndexTiming, PositionTypeAndFlagsOfARecord) {
  AVIStream stream = makeStream(0, 1, 25);
  const LegacyIndexEntry wb{makeFourCC('0', '1', 'w', 'b'), 0x10 | 0x100 | 0x1, 0xFFFFFFF0u, 9};
  stream.addIndexEntry(wb, 0x100000000ull);
  const StreamIndexEntry& r = stream.index()[0];
  EXPECT_EQ(r.position, 0x100000000ull + 0xFFFFFFF0u + 8);  // no 32-bit wrap
  EXPECT_EQ(r.length, 9u);
  EXPECT_EQ(r.type, 'w' | 'b' << 8);
  EXPECT_EQ(r.flags, StreamIndexEntry::noTime | StreamIndexEntry::keyFrame);
}

TEST_F(IndexTiming, LargeCountsDoNotOverflowTheProduct) {
  // scale * samples exceeds 64 bits only if formed in integers.
  AVIStream stream = makeStream(1, 0xFFFFFFFFu, 1);
  stream.addIndexEntry(entry(0xFFFFFFFFu), 0);
  stream.addIndexEntry(entry(1), 0);
  EXPECT_DOUBLE_EQ(stream.index()[1].timeBefore, 4294967295.0 * 4294967295.0);
}

}  // namespace
