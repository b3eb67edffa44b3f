#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "avi/AVIFile.h"
#include "avi/OpenDMLIndexReader.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/OpenDMLBuilder.h"

using namespace testing_support;

namespace {

// Stream 0's index, and that the parse went through.
OpenDMLIndex firstIndexOf(const Bytes& bytes) {
  MemoryStream stream(bytes);
  const AVIFile file(stream);
  EXPECT_TRUE(file.stream(0)->openDMLIndex().has_value());
  return file.stream(0)->openDMLIndex().value_or(OpenDMLIndex{});
}

// Each case breaks one thing of a file of two streams in two forms; the
// parse goes through, and stream 0's index says what is wrong.
TEST(OpenDMLIndexReader, WhatIsWrongBecomesItsProblem) {
  OpenDMLLayout layout;
  layout.avi.streams = {videoStream(), audioStream()};
  layout.chunkBytes = {1000, 1764};
  const OpenDMLFile file = buildOpenDML(layout);
  const std::uint64_t indx = file.superIndexes[0];
  const auto segment = [&](std::size_t i) { return indx + 24 + 16 * i; };
  const std::uint64_t ix0 = file.indexChunks[0][0];
  const std::string at0 = "segment 0 at " + std::to_string(ix0);
  const std::string at1 = "segment 1 at ";
  const struct {
    const char* what;
    std::function<void(Bytes&)> edit;
    std::string problem;
    std::uint64_t entries;
  } cases[] = {
      {"a segment past the end", [&](Bytes& b) { setLE32(b, segment(1), static_cast<std::uint32_t>(b.size())); },
       at1 + std::to_string(file.size) + ": lies past the end of the file", 3},
      {"another stream's index chunk",
       [&](Bytes& b) { setLE32(b, segment(1), static_cast<std::uint32_t>(file.indexChunks[1][1])); },
       at1 + std::to_string(file.indexChunks[1][1]) + ": not an index chunk of stream 0", 3},
      {"chunks of another stream", [&](Bytes& b) { setLE32(b, ix0 + 16, makeFourCC('0', '1', 'w', 'b')); },
       at0 + ": indexes the chunks of stream 1", 6},
      {"more entries claimed than held", [&](Bytes& b) { setLE32(b, ix0 + 12, 8); },
       at0 + ": claims 8 entries but holds 3", 6},
      {"entries past the end", [&](Bytes& b) { setLE32(b, ix0 + 24, 0x100); },
       at0 + ": 3 entries point past the end of the file", 6},
      {"an index chunk larger than indx says", [&](Bytes& b) { setLE32(b, segment(0) + 8, 8); },
       at0 + ": larger than indx says", 3},
      {"more segments claimed than held", [&](Bytes& b) { setLE32(b, indx + 4, 5); },
       "indx claims 5 segments but holds 2", 6},
      {"indx of another stream", [&](Bytes& b) { setLE32(b, indx + 8, makeFourCC('0', '1', 'w', 'b')); },
       "indx: indexes the chunks of stream 1", 6},
      {"indx of no known kind", [&](Bytes& b) { b[indx + 3] = 0x80; }, "indx: Unknown OpenDML index type 128", 0},
  };
  for (const auto& c : cases) {
    Bytes bytes = bytesOf(file);
    c.edit(bytes);
    const OpenDMLIndex index = firstIndexOf(bytes);
    EXPECT_EQ(index.firstProblem, c.problem) << c.what;
    EXPECT_EQ(index.entries, c.entries) << c.what;
  }
}

TEST(OpenDMLIndexReader, AnIndxThatIsAStandardOrFieldIndex) {
  for (const bool fields : {false, true}) {
    AviLayout layout;
    layout.streams = {videoStream()};
    addMovieChunks(layout, "00dc", 12, 10);
    const auto indexInIndx = [&](std::uint64_t base) {
      std::vector<StandardIndexEntryLayout> entries;
      for (const IndexEntryLayout& e : *layout.index) {
        entries.push_back({e.offset + 8, e.length | (e.flags ? 0 : 0x80000000u), e.offset + 13});
      }
      return standardIndexData("00dc", base, entries, fields);
    };
    layout.streams[0].superIndex = indexInIndx(0);
    // Entries count from the movi list's type, which the index now puts in place.
    const RiffNode riff = buildAvi(layout);
    layout.streams[0].superIndex = indexInIndx(12 + serialize(riff.children[0]).size() + 8);
    const OpenDMLIndex index = firstIndexOf(aviBytes(layout));
    EXPECT_EQ(index.kind, fields ? OpenDMLIndexChunk::Kind::fieldIndex : OpenDMLIndexChunk::Kind::standardIndex);
    EXPECT_EQ(index.segments, 1u);
    EXPECT_EQ(index.entries, 12u);
    EXPECT_EQ(index.keyFrames, 2u);
    EXPECT_EQ(index.firstProblem, "");
  }
}

// A super index may list any number of segments, and all of them the same
// chunk: at most 65,536 are read of one stream, and at most 65,536 of the
// whole file.
TEST(OpenDMLIndexReader, ReadingIsBounded) {
  constexpr std::uint32_t most = OpenDMLIndexReader::maxSuperIndexEntries;
  AviLayout layout;
  layout.streams = {videoStream(), videoStream()};
  layout.moviChunks = {dataChunk("ix00", standardIndexData("00dc", 0, {{8, 10}, {30, 10}}))};
  const auto pointAt = [&](std::uint64_t ix00) {
    layout.streams[0].superIndex = superIndexData("00dc", std::vector<SuperIndexEntryLayout>(most + 1, {ix00, 48, 2}));
    layout.streams[1].superIndex = superIndexData("01dc", {{ix00, 48, 2}});
  };
  pointAt(0);
  const std::uint64_t ix00 = 12 + serialize(buildAvi(layout).children[0]).size() + 12;
  pointAt(ix00);
  MemoryStream stream(aviBytes(layout));
  const AVIFile file(stream);
  const OpenDMLIndex& first = file.stream(0)->openDMLIndex().value();
  EXPECT_EQ(first.segments, most);
  EXPECT_EQ(first.entries, 2u * most);
  EXPECT_EQ(first.firstProblem, "indx lists 65537 segments; the first 65536 are read");
  const OpenDMLIndex& second = file.stream(1)->openDMLIndex().value();
  EXPECT_EQ(second.segments, 1u);
  EXPECT_EQ(second.entries, 0u);
  EXPECT_EQ(second.firstProblem, "segment 0 at " + std::to_string(ix00) +
                                     ": not read; the file's index chunks are beyond the 65536 segments or 32 MiB "
                                     "read of them");
}

}  // namespace
