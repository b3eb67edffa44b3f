// Stream names and INFO tags: read with the file, bounded, and never a
// reason for the parse to fail or to read anything else differently.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "avi/AVIFile.h"
#include "avi/TextChunks.h"
#include "tests/support/AviBuilder.h"
#include "tests/support/MemoryStream.h"

using namespace testing_support;

namespace {

Bytes bytesOf(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

std::vector<std::pair<std::string, std::string>> tagsOf(const AVIFile& file) {
  std::vector<std::pair<std::string, std::string>> tags;
  for (const InfoTag& tag : file.infoTags()) {
    tags.emplace_back(std::string(reinterpret_cast<const char*>(&tag.id), 4), tag.text);
  }
  return tags;
}

// Parses the file both ways and checks that the structure comes out the
// same; returns the file read with its metadata.
class BothWays {
 public:
  explicit BothWays(const Bytes& bytes) : withStream_(bytes), withoutStream_(bytes) {}

  const AVIFile& parse() {
    with_.emplace(withStream_);
    without_.emplace(withoutStream_, AVIFile::Metadata::skip);
    EXPECT_TRUE(without_->infoTags().empty());
    EXPECT_EQ(with_->streamCount(), without_->streamCount());
    for (std::size_t i = 0; i < with_->streamCount(); ++i) {
      EXPECT_FALSE(without_->stream(i)->name());
      EXPECT_EQ(with_->stream(i)->index().size(), without_->stream(i)->index().size());
      EXPECT_EQ(with_->stream(i)->format(), without_->stream(i)->format());
    }
    return *with_;
  }

 private:
  MemoryStream withStream_, withoutStream_;
  std::optional<AVIFile> with_, without_;
};

AviLayout namedStreams(std::optional<Bytes> videoName, std::optional<Bytes> audioName) {
  AviLayout layout;
  layout.streams = {videoStream(), audioStream()};
  layout.streams[0].name = std::move(videoName);
  layout.streams[1].name = std::move(audioName);
  return layout;
}

TEST(TextChunks, StreamNamesEndAtTheirFirstNulOrWithTheirChunk) {
  const std::string longName(3000, 'n');
  const struct {
    std::optional<Bytes> strn;
    std::optional<std::string> name;
  } cases[] = {
      {std::nullopt, std::nullopt},
      {bytesOf(std::string("Video\0", 6)), "Video"},
      {bytesOf(std::string("Left\0Right\0", 11)), "Left"},
      {bytesOf("No NUL"), "No NUL"},  // odd-sized, with its pad byte after it
      {Bytes{}, ""},
      {bytesOf(longName), longName.substr(0, maxTextBytes)},
      // Cut inside a three-byte character: the part of it is dropped too.
      {bytesOf(std::string(maxTextBytes - 1, 'a') + "\xE2\x82\xAC" + "tail"), std::string(maxTextBytes - 1, 'a')},
      // Bytes that are not UTF-8 stay as they are; the rows decide.
      {bytesOf("Caf\xE9"), "Caf\xE9"},
  };
  for (const auto& c : cases) {
    BothWays file(aviBytes(namedStreams(c.strn, bytesOf("Audio"))));
    const AVIFile& avi = file.parse();
    EXPECT_EQ(avi.stream(0)->name(), c.name);
    EXPECT_EQ(avi.stream(1)->name(), std::optional<std::string>("Audio"));
  }
}

TEST(TextChunks, InfoTagsFromHdrlThenFromTheRiffChunk) {
  AviLayout layout = namedStreams(std::nullopt, std::nullopt);
  layout.hdrlExtras = {infoList({{"INAM", "Title"}})};
  RiffNode riffInfo = infoList({{"ISFT", "Writer 1.0"}, {"ICMT", "Caf\xC3\xA9"}});
  riffInfo.children.push_back(listChunk("LIST", "abcd", {}));          // a list is no tag
  riffInfo.children.push_back(dataChunk("IART", bytesOf("Someone")));  // no NUL
  layout.riffExtras = {dataChunk("JUNK", Bytes(6, 0)), riffInfo, listChunk("LIST", "INFX", {})};
  BothWays file(aviBytes(layout));
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"INAM", "Title"}, {"ISFT", "Writer 1.0"}, {"ICMT", "Caf\xC3\xA9"}, {"IART", "Someone"}};
  EXPECT_EQ(tagsOf(file.parse()), expected);
}

// A broken or overlong INFO list shows the tags before the break, and the
// file reads as well as it does without one: the INFO lists are read after
// the structure, so even one with more chunks than a list may hold (65,536)
// fails nothing else.
TEST(TextChunks, BrokenOrOverlongInfoListsGiveWhatFits) {
  RiffNode pastEnd = infoList({{"INAM", "one"}, {"ICMT", "two"}});
  pastEnd.children.back().sizeOverride = 1000;
  RiffNode zeroId = infoList({{"INAM", "one"}});
  zeroId.children.push_back(rawChunk(std::string(4, '\0'), Bytes(2, 0)));
  zeroId.children.push_back(dataChunk("ICMT", bytesOf("two")));
  const struct {
    const char* what;
    RiffNode info;
    std::size_t tags;
  } cases[] = {
      {"a tag whose size runs past the list's end", pastEnd, 1},
      {"a tag with id 0 after the first one", zeroId, 1},
      {"thousands of tags", infoList(std::vector<std::pair<std::string, std::string>>(5000, {"ICMT", "x"})),
       maxInfoTags},
      {"more tags than a list may hold",
       listChunk("LIST", "INFO",
                 std::vector<RiffNode>(Chunk::maxChildrenPerList + 10, dataChunk("ICMT", bytesOf("x")))),
       maxInfoTags},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    AviLayout layout = namedStreams(bytesOf("v"), std::nullopt);
    addMovieChunks(layout, "00dc", 2, 4);
    layout.riffExtras = {c.info};
    BothWays file(aviBytes(layout));
    EXPECT_EQ(file.parse().infoTags().size(), c.tags);
  }
}

}  // namespace
