#include "base/WindowsError.h"

#include <gtest/gtest.h>

#include <string>

#include "base/EOFException.h"
#include "base/Win32.h"

using brix::WindowsError;

namespace {

// The system's own sentence differs between Windows and Wine: check the
// caller's part, the ": " join and that some text follows.
void expectJoinedText(const WindowsError& error, const std::string& message) {
  const std::string text = error.what();
  ASSERT_GT(text.size(), message.size() + 2) << text;
  EXPECT_EQ(text.substr(0, message.size() + 2), message + ": ");
}

TEST(WindowsError, HresultFollowsTheWin32Rule) {
  EXPECT_EQ(WindowsError(5, "x").hresult(), static_cast<std::int32_t>(0x80070005u));
  EXPECT_EQ(WindowsError(0, "x").hresult(), 0);
  EXPECT_EQ(WindowsError(0x12345u, "x").hresult(), static_cast<std::int32_t>(0x80072345u));
  EXPECT_EQ(WindowsError(0x8007000Eu, "x").hresult(), static_cast<std::int32_t>(0x8007000Eu));
  EXPECT_EQ(WindowsError(0xFFFFFFFFu, "x").hresult(), -1);
}

TEST(WindowsError, OneArgumentFormTakesTheLastError) {
  SetLastError(ERROR_ACCESS_DENIED);
  const WindowsError error("Can't do it");
  EXPECT_EQ(error.code(), ERROR_ACCESS_DENIED);
  expectJoinedText(error, "Can't do it");
}

TEST(WindowsError, WhatIsBuiltOnceAndKeptByCopies) {
  const WindowsError error(ERROR_FILE_NOT_FOUND, "Can't open");
  const char* first = error.what();
  expectJoinedText(error, "Can't open");
  // Cached: the same storage, not a new lookup.
  EXPECT_EQ(error.what(), first);

  const WindowsError copy = error;
  EXPECT_STREQ(copy.what(), first);
  EXPECT_EQ(copy.code(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(std::string(static_cast<const std::runtime_error&>(copy).std::runtime_error::what()), "Can't open");
}

TEST(WindowsError, WithoutASystemTextWhatIsThePlainMessage) {
  const WindowsError error(0x20001234u, "No such code");
  EXPECT_STREQ(error.what(), "No such code");
  EXPECT_STREQ(error.what(), "No such code");
}

TEST(WindowsError, EmptyMessageStillJoinsTheSystemText) {
  expectJoinedText(WindowsError(ERROR_FILE_NOT_FOUND, ""), "");
}

TEST(WindowsError, CaughtAsStdExceptionTheFullTextShows) {
  try {
    throw WindowsError(ERROR_INVALID_HANDLE, "Error while closing handle");
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Error while closing handle: ", 0), 0u);
  }
}

TEST(EOFException, WhatIsExactlyTheMessageWithItsLineFeed) {
  const brix::EOFException error("EOF in readFully(00000000,4)\n");
  EXPECT_STREQ(error.what(), "EOF in readFully(00000000,4)\n");
  const brix::EOFException copy = error;
  EXPECT_STREQ(copy.what(), error.what());
}

}  // namespace
