#include "avi/Chunk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "base/EOFException.h"
#include "base/WindowsFile.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/RiffBuilder.h"
#include "tests/support/TempDirectory.h"

using namespace testing_support;

namespace {

std::string childrenError(Chunk& chunk) {
  try {
    chunk.parseSubChunks();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no error";
}

std::string topLevelError(const Bytes& bytes) {
  MemoryStream stream(bytes);
  Chunk root(stream);
  return childrenError(root);
}

Bytes riffWith(std::vector<RiffNode> children) { return serialize(listChunk("RIFF", "TEST", std::move(children))); }

TEST(Chunk, EmptyStreamHasNoChildren) {
  MemoryStream stream(Bytes{});
  Chunk root(stream);
  EXPECT_TRUE(root.isRoot());
  EXPECT_TRUE(root.isList());
  EXPECT_EQ(root.childCount(), 0u);
  EXPECT_EQ(root.listType(), 0u);
}

TEST(Chunk, RootCoversTheStreamFromItsCurrentPosition) {
  MemoryStream stream(Bytes(20, 0));
  stream.seek(6, brix::Seekable::Begin);
  Chunk root(stream);
  EXPECT_EQ(root.dataPosition(), 6u);
  EXPECT_EQ(root.size(), 14u);
}

TEST(Chunk, StructureErrorsOfTheChildren) {
  const Bytes good = serialize(dataChunk("JUNK", Bytes(4, 1)));
  for (std::size_t extra = 1; extra <= 7; ++extra) {
    Bytes bytes = good;
    bytes.resize(bytes.size() + extra, 0xAB);
    EXPECT_EQ(topLevelError(bytes), "AVI structure error while parsing sub chunks") << extra << " extra bytes";
  }
  Bytes truncated = good;
  truncated.pop_back();
  EXPECT_EQ(topLevelError(truncated), "AVI structure error while skipping sub chunk");

  RiffNode zeroId = dataChunk(std::string(4, '\0'), Bytes(2, 0));
  EXPECT_EQ(topLevelError(serialize(zeroId)), "Non-root chunk has chunk id 0");
  // Inside a list as well.
  MemoryStream nested(riffWith({dataChunk("abcd", {}), zeroId}));
  Chunk root(nested);
  EXPECT_EQ(childrenError(*root.begin()), "Non-root chunk has chunk id 0");
}

TEST(Chunk, ListsNeedRoomForTheirType) {
  for (std::uint32_t size = 0; size < 4; ++size) {
    RiffNode shortList = rawChunk("LIST", Bytes(size, 'x'));
    EXPECT_EQ(topLevelError(serialize(shortList)), "List chunk contains less than 4 bytes") << size;
    RiffNode shortRiff = rawChunk("RIFF", Bytes(size, 'x'));
    EXPECT_EQ(topLevelError(serialize(shortRiff)), "List chunk contains less than 4 bytes") << size;
  }
  MemoryStream stream(serialize(listChunk("LIST", "abcd", {})));
  Chunk root(stream);
  Chunk& list = *root.begin();
  EXPECT_EQ(list.size(), 4u);
  EXPECT_EQ(list.listType(), makeFourCC('a', 'b', 'c', 'd'));
  EXPECT_EQ(list.childCount(), 0u);
}

TEST(Chunk, DataChunkAskedForChildrenIsTooSmallBelowFourBytes) {
  MemoryStream stream(serialize(dataChunk("abcd", Bytes(3, 0))));
  Chunk root(stream);
  EXPECT_EQ(childrenError(*root.begin()), "AVI list too small for even the content id");
}

TEST(Chunk, OddSizedChildrenAreFollowedByTheirPadByte) {
  const Bytes bytes = riffWith({dataChunk("odd1", Bytes(3, 7)), dataChunk("next", Bytes(2, 8))});
  MemoryStream stream(bytes);
  Chunk root(stream);
  Chunk& riff = *root.begin();
  ASSERT_EQ(riff.childCount(), 2u);
  auto it = riff.begin();
  EXPECT_EQ(it->size(), 3u);
  EXPECT_EQ(it->dataPosition(), 20u);
  ++it;
  EXPECT_EQ(it->id(), makeFourCC('n', 'e', 'x', 't'));
  EXPECT_EQ(it->dataPosition(), 20u + 3 + 1 + 8);
}

TEST(Chunk, OddLastChildWithoutPadByteEndsTheList) {
  // The writer dropped the final pad byte: the child is kept, nothing is
  // read past the end of the list.
  RiffNode last = dataChunk("last", Bytes(5, 9));
  last.padded = false;
  RiffNode list = listChunk("LIST", "abcd", {dataChunk("frst", Bytes(2, 1)), last});
  RiffNode after = dataChunk("aftr", Bytes(2, 2));
  MemoryStream stream(serialize(std::vector<RiffNode>{list, after}));
  Chunk root(stream);
  ASSERT_EQ(root.childCount(), 2u);
  Chunk& parsed = *root.begin();
  ASSERT_EQ(parsed.childCount(), 2u);
  EXPECT_EQ((parsed.begin() + 1)->size(), 5u);
  EXPECT_EQ((root.begin() + 1)->id(), makeFourCC('a', 'f', 't', 'r'));

  // At the top level: the file ends right after the odd chunk.
  MemoryStream top(serialize(std::vector<RiffNode>{after, last}));
  Chunk topRoot(top);
  ASSERT_EQ(topRoot.childCount(), 2u);
  EXPECT_EQ((topRoot.begin() + 1)->size(), 5u);
}

TEST(Chunk, FindChildCountsMatchesInFileOrder) {
  const Bytes bytes = riffWith({listChunk("LIST", "strl", {}), dataChunk("JUNK", Bytes(6, 0)),
                                listChunk("LIST", "odml", {}), listChunk("LIST", "strl", {dataChunk("strh", {})}),
                                dataChunk("strl", {})});
  MemoryStream stream(bytes);
  Chunk root(stream);
  Chunk& riff = *root.begin();
  const auto second = riff.findChild(1, fourcc::LIST, fourcc::strl);
  ASSERT_NE(second, riff.end());
  EXPECT_EQ(second->childCount(), 1u);
  EXPECT_EQ(riff.findChild(2, fourcc::LIST, fourcc::strl), riff.end());
  // Without a list type, ids alone count.
  EXPECT_EQ(riff.findChild(2, fourcc::LIST, 0)->listType(), fourcc::strl);
  EXPECT_EQ(riff.findChild(0, makeFourCC('s', 't', 'r', 'l'), 0)->isList(), false);
  // A data chunk never matches a list type, whatever its first bytes.
  EXPECT_EQ(riff.findChild(0, makeFourCC('J', 'U', 'N', 'K'), fourcc::strl), riff.end());
}

TEST(Chunk, ChildrenAndListTypesAreReadOnce) {
  MemoryStream stream(riffWith({dataChunk("aaaa", Bytes(10, 0)), listChunk("LIST", "bbbb", {})}));
  Chunk root(stream);
  EXPECT_EQ(stream.readCalls(), 0u);  // making the root reads nothing
  EXPECT_EQ(root.childCount(), 1u);
  Chunk& riff = *root.begin();
  EXPECT_EQ(riff.listType(), makeFourCC('T', 'E', 'S', 'T'));
  EXPECT_EQ(riff.childCount(), 2u);
  (riff.begin() + 1)->listType();
  const auto reads = stream.readCalls();
  EXPECT_EQ(riff.childCount(), 2u);
  EXPECT_EQ(root.childCount(), 1u);
  EXPECT_EQ(riff.listType(), makeFourCC('T', 'E', 'S', 'T'));
  EXPECT_EQ((riff.begin() + 1)->listType(), makeFourCC('b', 'b', 'b', 'b'));
  EXPECT_EQ(stream.readCalls(), reads);
}

TEST(Chunk, ChunkDataIsSkippedNotRead) {
  MemoryStream stream(riffWith({dataChunk("big1", Bytes(100000, 0)), dataChunk("big2", Bytes(100001, 0))}));
  Chunk root(stream);
  (*root.begin()).parseSubChunks();
  EXPECT_LT(stream.bytesRead(), 100u);
}

// Runs of tiny children are read in windows; every header must come out the
// same whatever a read delivers, windows ending inside headers included.
TEST(Chunk, RunsOfTinyChildrenReadTheSameInAnyPieces) {
  std::vector<RiffNode> children;
  for (int i = 0; i < 300; ++i) {
    switch (i % 4) {
      case 0: children.push_back(dataChunk("JUNK", {})); break;
      case 1: children.push_back(dataChunk("odd1", Bytes(1, 7))); break;  // plus its pad byte
      case 2: children.push_back(listChunk("LIST", "ty" + std::to_string(10 + i % 90), {})); break;
      case 3: children.push_back(dataChunk("tiny", Bytes(6, 1))); break;
    }
  }
  children.push_back(dataChunk("big!", Bytes(5000, 0)));
  children.push_back(dataChunk("last", Bytes(3, 0)));
  const Bytes bytes = riffWith(children);

  const auto childrenRead = [&bytes](std::uint32_t maxPerRead) {
    MemoryStream stream(bytes);
    stream.setMaxPerRead(maxPerRead);
    Chunk root(stream);
    Chunk& riff = *root.begin();
    std::vector<std::string> seen;
    for (Chunk& c : riff) {
      seen.push_back(std::to_string(c.id()) + " " + std::to_string(c.size()) + " " +
                     std::to_string(c.dataPosition()) + " " + std::to_string(c.isList() ? c.listType() : 0));
    }
    return std::make_pair(seen, stream.readCalls());
  };
  const auto whole = childrenRead(UINT32_MAX);
  ASSERT_EQ(whole.first.size(), children.size());
  EXPECT_EQ(whole.first[2], std::to_string(fourcc::LIST) + " 4 " + std::to_string(12 + 8 + 10 + 8) + " " +
                                std::to_string(makeFourCC('t', 'y', '1', '2')));
  EXPECT_EQ(whole.first.back(), std::to_string(makeFourCC('l', 'a', 's', 't')) + " 3 " +
                                    std::to_string(bytes.size() - 4) + " 0");
  EXPECT_LT(whole.second, children.size() / 10);
  for (std::uint32_t pieces : {12u, 13u, 20u, 100u}) EXPECT_EQ(childrenRead(pieces).first, whole.first) << pieces;
}

TEST(Chunk, DataAfterARunOfTinyChildrenIsSkippedNotRead) {
  std::vector<RiffNode> children(50, dataChunk("JUNK", {}));
  children.push_back(dataChunk("big1", Bytes(100000, 0)));
  children.push_back(dataChunk("big2", Bytes(100000, 0)));
  MemoryStream stream(riffWith(children));
  Chunk root(stream);
  EXPECT_EQ(root.begin()->childCount(), 52u);
  EXPECT_LT(stream.bytesRead(), 1000u);  // one window at most, none after big1
}

TEST(Chunk, AFailurePartWayKeepsWhatWasReadAndIsNotRetried) {
  Bytes bytes = riffWith({dataChunk("good", Bytes(2, 0)), dataChunk("bad!", Bytes(2, 0))});
  setLE32(bytes, 12 + 10 + 4, 1000);  // the second child's size runs past the list
  MemoryStream stream(bytes);
  Chunk root(stream);
  Chunk& riff = *root.begin();
  EXPECT_EQ(childrenError(riff), "AVI structure error while skipping sub chunk");
  EXPECT_EQ(riff.childCount(), 1u);
  EXPECT_EQ(riff.begin()->id(), makeFourCC('g', 'o', 'o', 'd'));
}

TEST(Chunk, ListTypeBeyondTheEndOfTheStreamIsEOF) {
  // A list header whose type lies past the end of a shorter stream.
  MemoryStream stream(Bytes{'L', 'I', 'S', 'T', 4, 0, 0, 0});
  Chunk list(stream, 8, 4, fourcc::LIST);
  EXPECT_THROW(list.listType(), brix::EOFException);
}

TEST(Chunk, CopiesCarryTheirSubtree) {
  MemoryStream stream(riffWith({dataChunk("aaaa", {}), dataChunk("bbbb", {})}));
  Chunk root(stream);
  root.begin()->parseSubChunks();
  Chunk copy = *root.begin();
  const auto reads = stream.readCalls();
  EXPECT_EQ(copy.childCount(), 2u);
  EXPECT_EQ(stream.readCalls(), reads);
}

// A crafted file can be nothing but empty chunks; the tree stops at a fixed
// bound per list and for the whole tree, at the bound exactly.
TEST(Chunk, ListsAndTheTreeHoldABoundedNumberOfChunks) {
  const auto emptyChunks = [](std::size_t count) { return std::vector<RiffNode>(count, dataChunk("JUNK", {})); };
  const std::size_t perList = Chunk::maxChildrenPerList;

  const auto topLevel = [&](std::size_t count) { return topLevelError(serialize(emptyChunks(count))); };
  EXPECT_EQ(topLevel(perList), "no error");
  EXPECT_EQ(topLevel(perList + 1), "Too many chunks in list");

  MemoryStream full(riffWith(emptyChunks(perList)));
  Chunk fullRoot(full);
  EXPECT_EQ(fullRoot.begin()->childCount(), perList);
  MemoryStream over(riffWith(emptyChunks(perList + 1)));
  Chunk overRoot(over);
  EXPECT_EQ(childrenError(*overRoot.begin()), "Too many chunks in list");
  EXPECT_EQ(overRoot.begin()->childCount(), perList);  // what was read stays

  // Two full lists inside one: the root's one child, the RIFF's two lists
  // and their children make up the whole tree's bound, and one more chunk
  // passes it, whichever list it is read in.
  const auto twoLists = [&](std::size_t second) {
    return riffWith({listChunk("LIST", "aaaa", emptyChunks(perList)), listChunk("LIST", "bbbb", emptyChunks(second))});
  };
  const std::size_t fits = Chunk::maxChunksPerTree - 3 - perList;
  MemoryStream atBound(twoLists(fits));
  Chunk atBoundRoot(atBound);
  Chunk& riff = *atBoundRoot.begin();
  EXPECT_EQ((riff.begin() + 1)->childCount(), fits);
  EXPECT_EQ(riff.begin()->childCount(), perList);
  MemoryStream pastBound(twoLists(fits + 1));
  Chunk pastBoundRoot(pastBound);
  Chunk& pastRiff = *pastBoundRoot.begin();
  EXPECT_EQ(childrenError(*(pastRiff.begin() + 1)), "no error");
  EXPECT_EQ(childrenError(*pastRiff.begin()), "Too many chunks in file");
  EXPECT_EQ(pastRiff.begin()->childCount(), perList - 1);
}

TEST(Chunk, TopLevelChunkOfAllOnesSizeIsSkippedBy4GiB) {
  // Only a file beyond 4 GiB can hold it; a sparse file does.
  TempDirectory dir;
  const std::string path = dir.file("huge.riff");
  Bytes head;
  putFourCC(head, "huge");
  putLE32(head, 0xFFFFFFFFu);
  writeFile(path, head.data(), head.size());
  const std::uint64_t nextHeader = 8 + 0x100000000ull;
  std::filesystem::resize_file(path, nextHeader + 8);
  {
    Bytes tail;
    putFourCC(tail, "tail");
    putLE32(tail, 0);
    brix::WindowsFile file(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    file.seek(static_cast<std::int64_t>(nextHeader), brix::Seekable::Begin);
    file.write(tail.data(), static_cast<std::uint32_t>(tail.size()));
  }
  brix::WindowsFile file(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  Chunk root(file);
  ASSERT_EQ(root.childCount(), 2u);
  EXPECT_EQ(root.begin()->size(), 0xFFFFFFFFull);
  EXPECT_EQ((root.begin() + 1)->id(), makeFourCC('t', 'a', 'i', 'l'));
  EXPECT_EQ((root.begin() + 1)->dataPosition(), nextHeader + 8);
}

TEST(StreamNumberFromChunkId, TwoLeadingDigitsMakeTheNumber) {
  EXPECT_EQ(streamNumberFromChunkId(makeFourCC('0', '1', 'w', 'b')), 1u);
  EXPECT_EQ(streamNumberFromChunkId(makeFourCC('9', '9', 'd', 'c')), 99u);
  EXPECT_EQ(streamNumberFromChunkId(makeFourCC('4', '2', 0, 0)), 42u);
}

TEST(StreamNumberFromChunkId, OtherIdsAreQuotedRawInFileOrder) {
  const auto message = [](FourCC id) {
    try {
      streamNumberFromChunkId(id);
    } catch (const std::runtime_error& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message(makeFourCC('r', 'e', 'c', ' ')), "Invalid chunk id 'rec ' for data chunk");
  EXPECT_EQ(message(makeFourCC('7', 'x', '0', '0')), "Invalid chunk id '7x00' for data chunk");
  EXPECT_EQ(message(makeFourCC('i', 'x', '0', '0')), "Invalid chunk id 'ix00' for data chunk");
  EXPECT_EQ(message(makeFourCC('0', '/', 'd', 'c')), "Invalid chunk id '0/dc' for data chunk");
  EXPECT_EQ(message(makeFourCC('\xFF', '1', 'a', 'b')), "Invalid chunk id '\xFF" "1ab' for data chunk");
}

}  // namespace
