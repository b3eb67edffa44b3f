#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/EOFException.h"
#include "tests/support/MemoryStream.h"

using testing_support::MemoryStream;

namespace {

std::string expectedEofText(const void* buffer, unsigned count) {
  char pointer[40];
  std::snprintf(pointer, sizeof pointer, "%0*llX", static_cast<int>(sizeof(void*) * 2),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(buffer)));
  return "EOF in readFully(" + std::string(pointer) + "," + std::to_string(count) + ")\n";
}

MemoryStream tenBytes() { return MemoryStream(std::vector<std::uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}); }

TEST(ReadFully, DeliversExactlyTheBytesAskedFor) {
  MemoryStream stream = tenBytes();
  std::uint8_t buffer[4] = {};
  EXPECT_EQ(stream.readFully(buffer, 4), 4u);
  EXPECT_EQ(buffer[3], 3);
  EXPECT_EQ(stream.tell(), 4);
}

TEST(ReadFully, ZeroBytesSucceedsEvenAtTheEnd) {
  MemoryStream stream = tenBytes();
  stream.seek(0, brix::Seekable::End);
  EXPECT_EQ(stream.readFully(nullptr, 0), 0u);
}

TEST(ReadFully, StraddlingTheEndThrowsAfterCopyingWhatThereIs) {
  MemoryStream stream = tenBytes();
  stream.seek(7, brix::Seekable::Begin);
  std::uint8_t buffer[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  try {
    stream.readFully(buffer, 8);
    FAIL() << "no EOFException";
  } catch (const brix::EOFException& e) {
    EXPECT_EQ(std::string(e.what()), expectedEofText(buffer, 8));
  }
  EXPECT_EQ(buffer[0], 7);
  EXPECT_EQ(buffer[2], 9);
  EXPECT_EQ(buffer[3], 0xEE);
  EXPECT_EQ(stream.readCalls(), 1u);
  EXPECT_EQ(stream.tell(), 10);
}

TEST(ReadFully, AShortReadIsNeverRetried) {
  // A device that hands out two bytes per call: readFully must not loop.
  MemoryStream stream = tenBytes();
  stream.setMaxPerRead(2);
  std::uint8_t buffer[6];
  EXPECT_THROW(stream.readFully(buffer, 6), brix::EOFException);
  EXPECT_EQ(stream.readCalls(), 1u);
  EXPECT_EQ(stream.tell(), 2);
}

TEST(ReadFully, AtTheEndTheMessageNamesBufferAndCount) {
  MemoryStream stream = tenBytes();
  stream.seek(0, brix::Seekable::End);
  char buffer[1];
  try {
    stream.readFully(buffer, 1);
    FAIL() << "no EOFException";
  } catch (const brix::EOFException& e) {
    const std::string text = e.what();
    EXPECT_EQ(text, expectedEofText(buffer, 1));
    EXPECT_EQ(text.back(), '\n');
  }
}

TEST(SeekableDefaultSize, ReportsTheEndAndLeavesThePositionAlone) {
  MemoryStream stream = tenBytes();
  stream.seek(3, brix::Seekable::Begin);
  brix::Seekable& seekable = stream;
  EXPECT_EQ(seekable.size(), 10);
  EXPECT_EQ(stream.tell(), 3);
}

}  // namespace
