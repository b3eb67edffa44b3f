// A whole file verified in one pass: sound files of every layout verify
// "Ok" with what their streams hold, and damaged copies of one are found at
// the byte where the damage lies.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "avi/BlockReader.h"
#include "avi/FileVerifier.h"
#include "avi/LittleEndian.h"
#include "avi/VerifyProblem.h"
#include "tests/support/AviBuilder.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/OpenDMLBuilder.h"

using namespace testing_support;

namespace {

constexpr std::uint32_t videoBytes = 1001;  // odd: every video chunk has a pad byte
constexpr std::uint32_t audioBytes = 1764;
constexpr int rounds = 40;

// The file through two streams, as the tool has two handles on it; the
// pass's stream may deliver little per read.
Verification verify(const Bytes& bytes, std::uint32_t maxPerRead = UINT32_MAX) {
  MemoryStream data(bytes.data(), bytes.size());
  MemoryStream lookups(bytes.data(), bytes.size());
  data.setMaxPerRead(maxPerRead);
  return FileVerifier(data, lookups).run();
}

std::string at(std::uint64_t position) {
  return " at position " + std::to_string(position);
}

// A video and an audio stream of 40 chunks each, interleaved, with idx1;
// where each chunk's header lies, from the index the builder wrote.
struct MovieFile {
  AviLayout layout;
  Bytes bytes;
  std::uint64_t riffEnd = 0;
  std::uint64_t movi = 0;  // the movi list's header
  std::uint64_t idx1 = 0;  // idx1's header
  std::vector<std::uint64_t> chunks;

  explicit MovieFile(bool recLists = false) {
    layout.streams = {videoStream(), audioStream()};
    layout.streams[0].length = rounds;
    layout.streams[1].length = rounds * audioBytes / 4;
    for (int i = 0; i < rounds; ++i) {
      addMovieChunks(layout, "00dc", 1, videoBytes);
      addMovieChunks(layout, "01wb", 1, audioBytes);
    }
    if (recLists) {
      // Each pair of chunks in a LIST 'rec ' of its own, 12 bytes further on.
      std::vector<RiffNode> lists;
      for (std::size_t i = 0; i < layout.moviChunks.size(); i += 2) {
        lists.push_back(listChunk("LIST", "rec ", {layout.moviChunks[i], layout.moviChunks[i + 1]}));
      }
      layout.moviChunks = lists;
      for (std::size_t i = 0; i < layout.index->size(); ++i) (*layout.index)[i].offset += 12 * (i / 2 + 1);
    }
    build();
  }

  void build() {
    bytes = aviBytes(layout);
    riffEnd = bytes.size();
    const char type[] = "movi";
    movi = static_cast<std::uint64_t>(std::search(bytes.begin(), bytes.end(), type, type + 4) - bytes.begin()) - 8;
    chunks.clear();
    if (!layout.index) return;
    for (const IndexEntryLayout& entry : *layout.index) chunks.push_back(movi + 8 + entry.offset);
    idx1 = bytes.size() - 8 - 16 * layout.index->size();
  }
};

// The OpenDML file of the parser's tests, with its data chunks' headers.
OpenDMLFile openDMLFile(bool fieldIndexes) {
  OpenDMLLayout layout;
  layout.avi.streams = {videoStream(), audioStream()};
  layout.chunkBytes = {1000, 1764};
  layout.fieldIndexes = fieldIndexes;
  layout.chunkHeaders = true;
  return buildOpenDML(layout);
}

std::uint32_t le32(const Bytes& bytes, std::uint64_t position) {
  return readLE32(bytes.data() + position);
}

void expectStreams(const Verification& result, const std::vector<VerifiedStream>& expected) {
  ASSERT_EQ(result.streams.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("stream " + std::to_string(i));
    EXPECT_EQ(result.streams[i].chunks, expected[i].chunks);
    EXPECT_EQ(result.streams[i].bytes, expected[i].bytes);
    EXPECT_DOUBLE_EQ(result.streams[i].duration, expected[i].duration);
  }
}

TEST(FileVerifier, SoundFilesVerifyOkWithWhatTheirStreamsHold) {
  // 40 frames at 25 a second; 40 x 1764 bytes of 4-byte samples at 44.1 kHz.
  const std::vector<VerifiedStream> movie = {{40, 40 * videoBytes, 1.6, 0}, {40, 40 * audioBytes, 0.4, 0}};
  // Two forms of three rounds: 1000-byte frames, 1764 bytes of audio each.
  const std::vector<VerifiedStream> openDML = {{6, 6000, 0.24, 0}, {6, 6 * 1764, 0.06, 0}};
  // The movie file with its layout changed and built again.
  const auto movieWith = [](const std::function<void(MovieFile&)>& edit) {
    return [edit] {
      MovieFile file;
      edit(file);
      file.build();
      return file.bytes;
    };
  };
  const struct {
    const char* what;
    std::function<Bytes()> bytes;
    std::vector<VerifiedStream> streams;
    std::uint32_t maxPerRead = UINT32_MAX;
  } cases[] = {
      {"idx1 relative to movi", [] { return MovieFile().bytes; }, movie},
      {"idx1 from the start of the file", movieWith([](MovieFile& file) {
         for (IndexEntryLayout& entry : *file.layout.index) entry.offset += static_cast<std::uint32_t>(file.movi + 8);
       }),
       movie},
      {"idx1 in reverse order",
       movieWith([](MovieFile& file) { std::reverse(file.layout.index->begin(), file.layout.index->end()); }), movie},
      {"no idx1", movieWith([](MovieFile& file) { file.layout.index.reset(); }), movie},
      {"the last chunk's pad byte dropped",
       movieWith([](MovieFile& file) {
         file.layout.moviChunks.back() = dataChunk("00dc", Bytes(videoBytes, 0));
         file.layout.moviChunks.back().padded = false;
         file.layout.index->back() = {"00dc", 0, file.layout.index->back().offset, videoBytes};
       }),
       {{41, 41 * videoBytes, 1.64, 0}, {39, 39 * audioBytes, 0.39, 0}}},
      {"chunks in LIST 'rec '", [] { return MovieFile(true).bytes; }, movie},
      {"read a little at a time", [] { return MovieFile().bytes; }, movie, 1000},
      {"OpenDML standard indexes", [] { return bytesOf(openDMLFile(false)); }, openDML},
      {"OpenDML field indexes", [] { return bytesOf(openDMLFile(true)); }, openDML},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Verification result = verify(c.bytes(), c.maxPerRead);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.status, "Ok");
    EXPECT_FALSE(result.position.has_value());
    expectStreams(result, c.streams);
  }
}

// The file cut short at ten places: each is found where the first piece
// that is not whole begins.
TEST(FileVerifier, ACutIsFoundWhereTheFirstPieceThatIsNotWholeBegins) {
  const MovieFile file;
  const std::uint64_t k = file.chunks[10];
  const std::uint64_t last = file.chunks.back();
  const std::string inMovi = ", inside LIST 'movi'" + at(file.movi);
  const struct {
    std::uint64_t cut;
    std::uint64_t position;
    std::string status;
  } cases[] = {
      {1, 0, "The file ends with 1 byte" + at(0) + " that holds no chunk"},
      {file.movi + 6, file.movi, "The file ends inside the chunk header" + at(file.movi)},
      {file.chunks[0], file.chunks[0], "The file ends" + at(file.chunks[0]) + inMovi},
      {k, k, "The file ends" + at(k) + inMovi},
      {k + 5, k, "The file ends inside the chunk header" + at(k)},
      {k + 8 + 500, k, "The file ends inside chunk '00dc'" + at(k)},
      {last + 8 + videoBytes, last, "The file ends inside chunk '01wb'" + at(last)},
      {file.idx1, file.idx1, "The file ends" + at(file.idx1) + ", inside RIFF 'AVI '" + at(0)},
      {file.idx1 + 20, file.idx1, "The file ends inside chunk 'idx1'" + at(file.idx1)},
      {file.bytes.size() - 1, file.idx1, "The file ends inside chunk 'idx1'" + at(file.idx1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("cut at " + std::to_string(c.cut));
    const Verification result = verify(Bytes(file.bytes.begin(), file.bytes.begin() + c.cut));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.position, c.position);
    EXPECT_EQ(result.status, c.status);
  }
}

// Each case damages a copy of a sound file in one place.
TEST(FileVerifier, DamageIsFoundWhereItLies) {
  const MovieFile file;
  const MovieFile recFile(true);
  const OpenDMLFile odml = openDMLFile(false);
  const Bytes odmlBytes = bytesOf(odml);
  const std::uint64_t ix0 = odml.indexChunks[0][0];
  // The data chunk that entry 1 of the first ix00 indexes.
  const std::uint64_t indexed = le32(odmlBytes, ix0 + 20) + le32(odmlBytes, ix0 + 40) - 8;
  const std::uint64_t superEntry1 = odml.superIndexes[0] + 24 + 16;
  // More chunks before movi than the form's chunk tree holds, so idx1 is
  // only met by the walk.
  MovieFile crowded;
  crowded.layout.riffExtras.assign(70000, dataChunk("JUNK", {}));
  crowded.build();
  const std::uint64_t crowdedEntry7 = crowded.idx1 + 8 + 16 * 7;
  const std::uint64_t k = file.chunks[10];
  const std::uint64_t j = file.chunks[7];
  const auto entry = [&file](std::size_t i) { return file.idx1 + 8 + 16 * i; };
  const struct {
    const char* what;
    const Bytes& base;
    std::function<void(Bytes&)> damage;
    std::uint64_t position;
    std::string status;
  } cases[] = {
      {"4 KiB zeroed over a chunk header", file.bytes,
       [k](Bytes& b) { std::fill(b.begin() + k - 1000, b.begin() + k + 3096, 0); }, k,
       "Garbled chunk id 0x00000000" + at(k)},
      {"a chunk id garbled", file.bytes, [k](Bytes& b) { b[k] = 'x'; }, k, "Garbled chunk id 'x0dc'" + at(k)},
      {"a chunk of a stream the file lacks", file.bytes, [k](Bytes& b) { b[k + 1] = '5'; }, k,
       "Chunk '05dc'" + at(k) + " belongs to stream 5; the file has 2"},
      {"an idx1 entry moved by 2 bytes", file.bytes,
       [&](Bytes& b) { setLE32(b, entry(7) + 8, le32(b, entry(7) + 8) + 2); }, j + 2,
       "Entry 7 of idx1 says '01wb' of 1764 bytes" + at(j + 2) + ", where no chunk starts"},
      {"an idx1 entry of the wrong size", file.bytes, [&](Bytes& b) { setLE32(b, entry(7) + 12, 1765); }, j,
       "Entry 7 of idx1 says '01wb' of 1765 bytes" + at(j) + ", where the file has '01wb' of 1764 bytes"},
      {"an idx1 entry pointing back to the wrong chunk", file.bytes,
       [&](Bytes& b) { setLE32(b, entry(8) + 8, le32(b, entry(5) + 8)); }, file.chunks[5],
       "Entry 8 of idx1 says '00dc' of 1001 bytes" + at(file.chunks[5]) + ", where the file has '01wb' of 1764 bytes"},
      {"an idx1 entry past the end", file.bytes, [&](Bytes& b) { setLE32(b, entry(79) + 8, 0x7FFFFFF0); },
       file.movi + 8 + 0x7FFFFFF0,
       "Entry 79 of idx1 says '01wb' of 1764 bytes" + at(file.movi + 8 + 0x7FFFFFF0) + ", past the end of the file"},
      {"an idx1 entry of the wrong size behind more chunks than a chunk tree holds", crowded.bytes,
       [&](Bytes& b) { setLE32(b, crowdedEntry7 + 12, 1765); }, crowded.chunks[7],
       "Entry 7 of idx1 says '01wb' of 1765 bytes" + at(crowded.chunks[7]) +
           ", where the file has '01wb' of 1764 bytes"},
      {"a RIFF size beyond the file", file.bytes, [](Bytes& b) { setLE32(b, 4, le32(b, 4) + 100); }, file.riffEnd,
       "The file ends" + at(file.riffEnd) + ", inside RIFF 'AVI '" + at(0)},
      {"a RIFF size short of the file", file.bytes, [](Bytes& b) { setLE32(b, 4, le32(b, 4) - 16); }, file.idx1,
       "Chunk 'idx1'" + at(file.idx1) + " of 1280 bytes runs past the end of RIFF 'AVI '" + at(0)},
      {"bytes after the last chunk", file.bytes, [](Bytes& b) { b.insert(b.end(), 3, 1); }, file.riffEnd,
       "The file ends with 3 bytes" + at(file.riffEnd) + " that hold no chunk"},
      {"a LIST 'rec ' with a chunk too large for it", recFile.bytes,
       [&](Bytes& b) { setLE32(b, recFile.chunks[11] + 4, audioBytes + 2); }, recFile.chunks[11],
       "Chunk '01wb'" + at(recFile.chunks[11]) + " of 1766 bytes runs past the end of LIST 'rec '" +
           at(recFile.chunks[10] - 12)},
      {"an OpenDML index entry past its chunk", odmlBytes, [&](Bytes& b) { setLE32(b, ix0 + 44, 1100); }, indexed,
       "Entry 1 of 'ix00'" + at(ix0) + " says '00dc' of 1100 bytes" + at(indexed) +
           ", where the file has '00dc' of 1000 bytes"},
      {"an OpenDML super index entry naming another chunk", odmlBytes,
       [&](Bytes& b) { setLE32(b, superEntry1, static_cast<std::uint32_t>(odml.indexChunks[1][1])); },
       odml.indexChunks[1][1],
       "Entry 1 of the super index of stream 0 says 'ix00' of 56 bytes" + at(odml.indexChunks[1][1]) +
           ", where the file has 'ix01' of 48 bytes"},
      {"not a RIFF file", file.bytes, [](Bytes& b) { b[0] = 'X'; }, 0, "Not a RIFF file"},
      {"not an AVI file", file.bytes, [](Bytes& b) { b[8] = 'W'; }, 0, "Not an AVI file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes damaged = c.base;
    c.damage(damaged);
    const Verification result = verify(damaged);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.position, c.position);
    EXPECT_EQ(result.status, c.status);
  }
}

// What was sound before a problem is told, stream by stream and as the
// time the longest stream is sound up to.
TEST(FileVerifier, TellsWhatWasSoundBeforeTheProblem) {
  const MovieFile file;
  const Verification result = verify(Bytes(file.bytes.begin(), file.bytes.begin() + file.chunks[20] + 100));
  expectStreams(result, {{10, 10 * videoBytes, 0.4, 0}, {10, 10 * audioBytes, 0.1, 0}});
  EXPECT_DOUBLE_EQ(result.soundUpTo, 0.4);
  EXPECT_DOUBLE_EQ(result.length, 1.6);  // 40 frames by the stream header
}

TEST(FileVerifier, ProgressRisesToTheEndAndCanStopThePass) {
  MovieFile file;
  file.layout.moviChunks.push_back(dataChunk("JUNK", Bytes(3 * BlockReader::blockBytes, 0)));
  file.build();
  MemoryStream data(file.bytes.data(), file.bytes.size());
  MemoryStream lookups(file.bytes.data(), file.bytes.size());
  std::vector<std::uint64_t> seen;
  const Verification whole = FileVerifier(data, lookups, [&](std::uint64_t position, std::uint64_t size) {
                               EXPECT_EQ(size, file.bytes.size());
                               seen.push_back(position);
                               return true;
                             }).run();
  EXPECT_TRUE(whole.ok);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), file.bytes.size());

  const Verification stopped = FileVerifier(data, lookups, [](std::uint64_t position, std::uint64_t) {
                                 return position < 2 * BlockReader::blockBytes;
                               }).run();
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_EQ(stopped.position, 2u * BlockReader::blockBytes);
  EXPECT_EQ(stopped.status, "Verification cancelled" + at(2 * BlockReader::blockBytes));
}

// The two ways of reading: small blocks on the caller's thread, large ones
// on a thread of their own.
const struct ReadingCase {
  std::uint64_t size;
  std::uint32_t blockEnd;  // of the first block
} readingCases[] = {
    {BlockReader::smallBlockBytes + 20, BlockReader::smallBlockBytes},
    {BlockReader::threadFromBytes + 20, BlockReader::blockBytes},
};

// Runs of bytes that start in one block and end in the next come whole,
// wherever the end of the block falls in them.
TEST(BlockReader, HandsOutRunsAcrossTheEndsOfBlocks) {
  for (const ReadingCase& c : readingCases) {
    Bytes bytes(c.size);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    for (std::uint32_t before = 1; before < 12; ++before) {
      MemoryStream stream(bytes.data(), bytes.size());
      BlockReader reader(stream, bytes.size(), nullptr);
      const std::uint64_t position = c.blockEnd - before;
      const std::uint8_t* run = reader.bytesAt(position, 12);
      ASSERT_NE(run, nullptr) << c.size << " " << before;
      EXPECT_EQ(std::memcmp(run, bytes.data() + position, 12), 0) << c.size << " " << before;
      EXPECT_EQ(reader.bytesAt(bytes.size() - 4, 8), nullptr);
    }
  }
}

// A block that can't be read is found at its start, with the system's
// text, once the bytes before it have been handed out.
TEST(BlockReader, TellsWhereABlockCantBeRead) {
  for (const ReadingCase& c : readingCases) {
    const Bytes bytes(c.size);
    MemoryStream stream(bytes.data(), bytes.size());
    stream.setUnreadableFrom(c.blockEnd + 5);
    BlockReader reader(stream, bytes.size(), nullptr);
    EXPECT_NE(reader.bytesAt(c.blockEnd - 8, 8), nullptr) << c.size;
    try {
      reader.bytesAt(c.blockEnd, 8);
      ADD_FAILURE() << c.size << ": no problem";
    } catch (const VerifyProblem& problem) {
      EXPECT_EQ(problem.position(), c.blockEnd);
      EXPECT_STREQ(problem.what(), ("The file can't be read" + at(c.blockEnd) + ": Data error").c_str());
    }
  }
}

}  // namespace
