#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "avi/OpenDMLIndexChunk.h"
#include "tests/support/OpenDMLBuilder.h"

using namespace testing_support;

namespace {

std::string decodeError(const Bytes& data) {
  try {
    OpenDMLIndexChunk chunk(data.data(), data.size());
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "Ok";
}

TEST(OpenDMLIndexChunk, DecodesEveryKindOfIndex) {
  const Bytes super = superIndexData("01wb", {{0x123456789A, 4128, 1000}, {7, 8, 9}});
  const OpenDMLIndexChunk superIndex(super.data(), super.size());
  EXPECT_EQ(superIndex.kind(), OpenDMLIndexChunk::Kind::superIndex);
  EXPECT_EQ(superIndex.header().chunkId, makeFourCC('0', '1', 'w', 'b'));
  ASSERT_EQ(superIndex.entryCount(), 2u);
  EXPECT_EQ(superIndex.superIndexEntry(0).offset, 0x123456789Au);
  EXPECT_EQ(superIndex.superIndexEntry(0).size, 4128u);
  EXPECT_EQ(superIndex.superIndexEntry(1).duration, 9u);
  EXPECT_EQ(superIndex.baseOffset(), 0u);

  const Bytes standard = standardIndexData("00dc", 0x2'0000'0010, {{8, 100}, {120, 0x80000050}});
  const OpenDMLIndexChunk standardIndex(standard.data(), standard.size());
  EXPECT_EQ(standardIndex.kind(), OpenDMLIndexChunk::Kind::standardIndex);
  EXPECT_EQ(standardIndex.baseOffset(), 0x2'0000'0010u);
  EXPECT_EQ(standardIndex.standardIndexEntry(1).offset, 120u);
  EXPECT_EQ(standardIndex.standardIndexEntry(1).size, 0x80000050u);
  EXPECT_EQ(standardIndex.standardIndexEntry(1).secondField, 0u);

  const Bytes fields = standardIndexData("00db", 64, {{8, 100, 58}, {120, 80, 160}}, true);
  const OpenDMLIndexChunk fieldIndex(fields.data(), fields.size());
  EXPECT_EQ(fieldIndex.kind(), OpenDMLIndexChunk::Kind::fieldIndex);
  EXPECT_EQ(fieldIndex.standardIndexEntry(1).secondField, 160u);
  EXPECT_THROW(fieldIndex.superIndexEntry(0), std::logic_error);
}

TEST(OpenDMLIndexChunk, NeverReadsBeyondItsBytes) {
  // Claims three entries and holds two, then a byte of a third.
  Bytes data = standardIndexData("00dc", 0, {{8, 100}, {120, 80}});
  setLE32(data, 4, 3);
  data.push_back(0);
  const OpenDMLIndexChunk chunk(data.data(), data.size());
  EXPECT_EQ(chunk.entryCount(), 2u);
  EXPECT_TRUE(chunk.isCutShort());
  EXPECT_THROW(chunk.standardIndexEntry(2), std::out_of_range);

  Bytes wrongType = superIndexData("00dc", {});
  wrongType[3] = 0x80;
  Bytes superOfTwo = superIndexData("00dc", {});
  superOfTwo[0] = 2;
  Bytes standardOfThree = standardIndexData("00dc", 0, {});
  standardOfThree[0] = 3;
  const struct {
    Bytes data;
    const char* error;
  } cases[] = {
      {Bytes(23, 0), "OpenDML index chunk too small"},
      {wrongType, "Unknown OpenDML index type 128"},
      {superOfTwo, "OpenDML index entries of 2 32-bit words where 4 belong"},
      {standardOfThree, "OpenDML index entries of 3 32-bit words where 2 belong"},
  };
  for (const auto& c : cases) EXPECT_EQ(decodeError(c.data), c.error);
}

}  // namespace
