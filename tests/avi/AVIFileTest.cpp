#include "avi/AVIFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

#include "base/EOFException.h"
#include "base/WindowsFile.h"
#include "tests/support/AviBuilder.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/TempDirectory.h"

using namespace testing_support;

namespace {

std::string parseError(const Bytes& bytes) {
  MemoryStream stream(bytes);
  try {
    AVIFile file(stream);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "Ok";
}

std::string parseError(const RiffNode& riff) { return parseError(serialize(riff)); }

AviLayout videoAndAudio() {
  AviLayout layout;
  layout.streams = {videoStream(), audioStream()};
  addMovieChunks(layout, "00dc", 3, 11);
  addMovieChunks(layout, "01wb", 2, 40);
  return layout;
}

TEST(AVIFile, ParsesAWellFormedFile) {
  AviLayout layout = videoAndAudio();
  layout.totalFrames = 3;
  layout.width = 320;
  layout.height = 240;
  MemoryStream stream(aviBytes(layout));
  const AVIFile file(stream);
  EXPECT_EQ(file.mainHeader().fcc, fourcc::avih);
  EXPECT_EQ(file.mainHeader().cb, 56u);
  EXPECT_EQ(file.mainHeader().dwStreams, 2u);
  EXPECT_EQ(file.mainHeader().dwTotalFrames, 3u);
  EXPECT_EQ(file.mainHeader().dwHeight, 240u);
  EXPECT_FALSE(file.hasExtendedHeader());
  ASSERT_EQ(file.streamCount(), 2u);
  EXPECT_EQ(file.stream(0)->header().fccType, fourcc::vids);
  EXPECT_EQ(file.stream(1)->header().fccType, fourcc::auds);
  ASSERT_EQ(file.stream(0)->index().size(), 3u);
  ASSERT_EQ(file.stream(1)->index().size(), 2u);
  // Positions count from the movi list type, plus the data chunk's header.
  const RiffNode riff = buildAvi(layout);
  const std::uint64_t moviType = 12 + serialize(riff.children[0]).size() + 8;
  EXPECT_EQ(file.stream(0)->index()[0].position, moviType + 4 + 8);
  EXPECT_EQ(file.stream(1)->index()[1].position, moviType + 4 + 3 * 20 + 48 + 8);
  EXPECT_DOUBLE_EQ(file.stream(1)->index()[1].timeBefore, 4.0 * 10 / 176400);  // 40 bytes, 4 per sample
  EXPECT_TRUE(file.hasLegacyIndex());
  EXPECT_DOUBLE_EQ(file.stream(0)->endTime(), 3.0 / 25);
  EXPECT_DOUBLE_EQ(file.stream(1)->endTime(), 4.0 * 20 / 176400);
}

// Each malformed file breaks one check; the checks run in the parser's
// order, so a file broken twice reports the earlier check.
TEST(AVIFile, FailuresOfTheLayout) {
  EXPECT_EQ(parseError(Bytes{}), "Empty file");
  EXPECT_EQ(parseError(Bytes{'R', 'I', 'F'}), "AVI structure error while parsing sub chunks");

  EXPECT_EQ(parseError(dataChunk("JUNK", Bytes(4, 0))), "Not a RIFF file");
  EXPECT_EQ(parseError(listChunk("RIFF", "WAVE", {dataChunk("fmt ", Bytes(16, 0))})), "Not an AVI file");
  EXPECT_EQ(parseError(listChunk("RIFF", "AVI ", {})), "AVI chunk has no sub chunks");

  RiffNode junkFirst = buildAvi(videoAndAudio());
  junkFirst.children.insert(junkFirst.children.begin(), dataChunk("JUNK", Bytes(10, 0)));
  EXPECT_EQ(parseError(junkFirst), "First chunk in AVI chunk is not LIST:hdrl");
  RiffNode infoFirst = buildAvi(videoAndAudio());
  infoFirst.children[0].listType = "INFO";
  EXPECT_EQ(parseError(infoFirst), "First chunk in AVI chunk is not LIST:hdrl");

  RiffNode emptyHeaders = buildAvi(videoAndAudio());
  emptyHeaders.children[0].children.clear();
  EXPECT_EQ(parseError(emptyHeaders), "AVI header list is empty");

  RiffNode noAvih = buildAvi(videoAndAudio());
  noAvih.children[0].children[0].id = "hvia";
  EXPECT_EQ(parseError(noAvih), "First chunk in AVI header list is not the AVI header chunk (avih)");

  AviLayout small = videoAndAudio();
  small.avihSize = 47;
  EXPECT_EQ(parseError(aviBytes(small)), "AVIH chunk too small");
}

TEST(AVIFile, TheFirstFailingCheckWins) {
  AviLayout smallHeaderNoMovie = videoAndAudio();
  smallHeaderNoMovie.avihSize = 40;
  RiffNode riff = buildAvi(smallHeaderNoMovie);
  riff.children[1].listType = "mova";
  EXPECT_EQ(parseError(riff), "AVIH chunk too small");

  RiffNode noStrfBadIndex = buildAvi(videoAndAudio());
  noStrfBadIndex.children[0].children[2].children.pop_back();
  noStrfBadIndex.children[2].data.resize(20);
  EXPECT_EQ(parseError(noStrfBadIndex), "strf chunk for stream 1 not found");

  AviLayout badDmlhBadIndex = videoAndAudio();
  badDmlhBadIndex.dmlhSize = 2;
  badDmlhBadIndex.index->push_back({"99dc", 0, 4, 1});
  EXPECT_EQ(parseError(aviBytes(badDmlhBadIndex)), "Open DML header size is incorrect");

  // Stream checks come before the extended header.
  AviLayout badScaleBadDmlh = videoAndAudio();
  badScaleBadDmlh.streams[0].scale = 0;
  badScaleBadDmlh.dmlhSize = 1;
  EXPECT_EQ(parseError(aviBytes(badScaleBadDmlh)), "dwScale is 0");

  // Within the index, entries are checked in file order.
  AviLayout twoBadEntries = videoAndAudio();
  (*twoBadEntries.index)[1].id = "07dc";
  (*twoBadEntries.index)[3].id = "xxdc";
  EXPECT_EQ(parseError(aviBytes(twoBadEntries)), "Bad stream number 7 in legacy index entry 1");
}

TEST(AVIFile, MainHeaderOfAnySizeFrom48Bytes) {
  AviLayout layout = videoAndAudio();
  layout.avihSize = 48;
  MemoryStream stream(aviBytes(layout));
  const AVIFile file(stream);
  EXPECT_EQ(file.mainHeader().cb, 48u);
  EXPECT_EQ(file.mainHeader().dwHeight, 240u);
  EXPECT_EQ(file.mainHeader().dwReserved[2], 0u);

  RiffNode big = buildAvi(videoAndAudio());
  big.children[0].children[0].data.resize(100, 0xEE);
  setLE32(big.children[0].children[0].data, 52, 0x12345678);
  MemoryStream bigStream(serialize(big));
  const AVIFile bigFile(bigStream);
  EXPECT_EQ(bigFile.mainHeader().cb, 56u);
  EXPECT_EQ(bigFile.mainHeader().dwReserved[3], 0x12345678u);
}

TEST(AVIFile, FailuresOfTheStreamLists) {
  AviLayout tooMany = videoAndAudio();
  tooMany.streamCount = 3;
  EXPECT_EQ(parseError(aviBytes(tooMany)), "Stream header list for stream 2 not found");

  RiffNode noStrh = buildAvi(videoAndAudio());
  noStrh.children[0].children[2].children[0].id = "strX";
  EXPECT_EQ(parseError(noStrh), "strh chunk for stream 1 not found");

  RiffNode noStrf = buildAvi(videoAndAudio());
  noStrf.children[0].children[1].children.pop_back();
  EXPECT_EQ(parseError(noStrf), "strf chunk for stream 0 not found");

  AviLayout badRate = videoAndAudio();
  badRate.streams[1].rate = 0;
  EXPECT_EQ(parseError(aviBytes(badRate)), "dwRate is 0");
}

TEST(AVIFile, StreamListsAreCountedAmongOtherChunks) {
  RiffNode riff = buildAvi(videoAndAudio());
  auto& hdrl = riff.children[0].children;
  hdrl.insert(hdrl.begin() + 2, dataChunk("JUNK", Bytes(7, 0)));
  hdrl.insert(hdrl.begin() + 1, listChunk("LIST", "INFO", {}));
  MemoryStream stream(serialize(riff));
  const AVIFile file(stream);
  EXPECT_EQ(file.stream(1)->header().fccType, fourcc::auds);
}

TEST(AVIFile, SurplusStreamListsAreIgnored) {
  AviLayout layout = videoAndAudio();
  layout.streamCount = 1;
  layout.index.reset();
  MemoryStream stream(aviBytes(layout));
  EXPECT_EQ(AVIFile(stream).streamCount(), 1u);
}

TEST(AVIFile, StreamCountsBeyondWhatChunkIdsAddressAreRefusedFirst) {
  // Two streams present, the first one broken: a count past 100 is refused
  // before any stream list is looked at; up to 100 the lists are.
  const std::pair<std::uint32_t, std::string> cases[] = {
      {0xFFFFFFFFu, "Too many streams in AVI header (4294967295, at most 100)"},
      {101, "Too many streams in AVI header (101, at most 100)"},
      {100, "dwRate is 0"},
  };
  for (const auto& [count, message] : cases) {
    AviLayout layout = videoAndAudio();
    layout.streams[0].rate = 0;
    layout.streamCount = count;
    EXPECT_EQ(parseError(aviBytes(layout)), message) << count;
  }
}

TEST(AVIFile, NoStreams) {
  AviLayout layout;
  layout.index.emplace();
  MemoryStream stream(aviBytes(layout));
  EXPECT_EQ(AVIFile(stream).streamCount(), 0u);

  addMovieChunks(layout, "00dc", 1, 4);
  EXPECT_EQ(parseError(aviBytes(layout)), "Bad stream number 0 in legacy index entry 0");
}

TEST(AVIFile, ExtendedHeader) {
  AviLayout layout = videoAndAudio();
  layout.dmlhSize = 248;
  layout.grandFrames = 4242;
  MemoryStream stream(aviBytes(layout));
  const AVIFile file(stream);
  EXPECT_TRUE(file.hasExtendedHeader());
  EXPECT_EQ(file.extendedHeader().fcc, fourcc::dmlh);
  EXPECT_EQ(file.extendedHeader().cb, 248u);
  EXPECT_EQ(file.extendedHeader().dwGrandFrames, 4242u);

  RiffNode noDmlh = buildAvi(layout);
  noDmlh.children[0].children.back().children.clear();
  MemoryStream noDmlhStream(serialize(noDmlh));
  EXPECT_FALSE(AVIFile(noDmlhStream).hasExtendedHeader());
}

TEST(AVIFile, ShortExtendedHeadersAreReadAsFarAsTheyGo) {
  for (std::uint32_t size : {4u, 8u, 244u}) {
    AviLayout layout = videoAndAudio();
    layout.dmlhSize = size;
    layout.grandFrames = 77;
    MemoryStream stream(aviBytes(layout));
    const AVIFile file(stream);
    EXPECT_TRUE(file.hasExtendedHeader()) << size;
    EXPECT_EQ(file.extendedHeader().cb, size);
    EXPECT_EQ(file.extendedHeader().dwGrandFrames, 77u);
  }
  AviLayout large = videoAndAudio();
  large.dmlhSize = 300;
  MemoryStream stream(aviBytes(large));
  EXPECT_EQ(AVIFile(stream).extendedHeader().cb, 248u);

  for (std::uint32_t size : {0u, 3u}) {
    AviLayout layout = videoAndAudio();
    layout.dmlhSize = size;
    EXPECT_EQ(parseError(aviBytes(layout)), "Open DML header size is incorrect") << size;
  }
}

TEST(AVIFile, MovieListIsRequired) {
  RiffNode riff = buildAvi(videoAndAudio());
  riff.children[1].listType = "mova";
  EXPECT_EQ(parseError(riff), "No LIST:movi chunk found");
}

TEST(AVIFile, LegacyIndexFailures) {
  RiffNode riff = buildAvi(videoAndAudio());
  riff.children[2].data.resize(24);
  EXPECT_EQ(parseError(riff), "Invalid legacy index chunk size");

  AviLayout interleaved = videoAndAudio();
  interleaved.index->push_back({"rec ", 0, 4, 100});
  EXPECT_EQ(parseError(aviBytes(interleaved)), "Invalid chunk id 'rec ' for data chunk");

  AviLayout badStream = videoAndAudio();
  (*badStream.index)[4].id = "05wb";
  badStream.index->push_back({"07wb", 0, 4, 1});
  EXPECT_EQ(parseError(aviBytes(badStream)), "Bad stream number 5 in legacy index entry 4");
}

TEST(AVIFile, IndexIsOptional) {
  AviLayout layout = videoAndAudio();
  layout.index.reset();
  MemoryStream stream(aviBytes(layout));
  const AVIFile file(stream);
  EXPECT_TRUE(file.stream(0)->index().empty());
  EXPECT_FALSE(file.hasLegacyIndex());
  EXPECT_EQ(file.stream(0)->endTime(), 0.0);

  layout.index.emplace();
  MemoryStream emptyIndex(aviBytes(layout));
  const AVIFile withEmptyIndex(emptyIndex);
  EXPECT_TRUE(withEmptyIndex.stream(1)->index().empty());
  EXPECT_TRUE(withEmptyIndex.hasLegacyIndex());
}

TEST(AVIFile, LaterTopLevelChunksAreIgnored) {
  const Bytes first = aviBytes(videoAndAudio());
  Bytes both = first;
  const Bytes avix = serialize(listChunk("RIFF", "AVIX", {listChunk("LIST", "movi", {})}));
  both.insert(both.end(), avix.begin(), avix.end());
  EXPECT_EQ(parseError(both), "Ok");
  // ...but they are walked, so a broken one is still a structure error.
  both.push_back(1);
  EXPECT_EQ(parseError(both), "AVI structure error while parsing sub chunks");
}

TEST(AVIFile, FilesBeyond4GiBWithALaterRiffChunk) {
  // An OpenDML file continues in RIFF 'AVIX' chunks; a sparse file stands
  // in for the gigabytes of movie data.
  TempDirectory dir;
  const std::string path = dir.file("big.avi");
  Bytes bytes = aviBytes(videoAndAudio());
  const std::uint64_t avixStart = bytes.size();
  putFourCC(bytes, "RIFF");
  putLE32(bytes, 0xFFFFFFF0u);
  putFourCC(bytes, "AVIX");
  writeFile(path, bytes.data(), bytes.size());
  std::filesystem::resize_file(path, avixStart + 8 + 0xFFFFFFF0u);
  brix::WindowsFile file(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  const AVIFile avi(file);
  EXPECT_EQ(avi.streamCount(), 2u);
  EXPECT_EQ(avi.stream(1)->index().size(), 2u);
}

TEST(AVIFile, TruncatedFiles) {
  Bytes bytes = aviBytes(videoAndAudio());
  bytes.resize(bytes.size() / 2);
  EXPECT_EQ(parseError(bytes), "AVI structure error while skipping sub chunk");
}

TEST(AVIFile, MovieDataIsNeverWalked) {
  // With no index, the number of data chunks in movi costs no reads.
  const auto readsFor = [](std::size_t chunks) {
    AviLayout layout;
    layout.streams = {videoStream()};
    addMovieChunks(layout, "00dc", chunks, 2);
    layout.index.reset();
    MemoryStream stream(aviBytes(layout));
    AVIFile file(stream);
    return std::make_pair(stream.readCalls(), stream.bytesRead());
  };
  EXPECT_EQ(readsFor(10), readsFor(100000));
}

TEST(AVIFile, LegacyIndexIsReadInOneCall) {
  const auto readsFor = [](std::size_t chunks) {
    AviLayout layout;
    layout.streams = {videoStream()};
    addMovieChunks(layout, "00dc", chunks, 2);
    MemoryStream stream(aviBytes(layout));
    AVIFile file(stream);
    EXPECT_EQ(file.stream(0)->index().size(), chunks);
    return stream.readCalls();
  };
  EXPECT_EQ(readsFor(10), readsFor(20000));
}

}  // namespace
