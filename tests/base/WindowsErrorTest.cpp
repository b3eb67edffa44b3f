#include "base/WindowsError.h"

#include <gtest/gtest.h>

#include <string>

#include "base/EOFException.h"
#include "base/Win32.h"

#ifdef _WIN32
#include "base/Unicode.h"
#endif

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

TEST(WindowsError, ALongMessageIsKeptWhole) {
  const std::string message = "Can't open '" + std::string(3000, 'p') + "'";
  expectJoinedText(WindowsError(ERROR_FILE_NOT_FOUND, message), message);
}

TEST(WindowsError, InsertsInTheSystemTextStayAsTheyAre) {
  // This text has the inserts %1 and %2; no arguments are given for them.
  const std::string text = WindowsError(ERROR_MR_MID_NOT_FOUND, "x").what();
  EXPECT_NE(text.find("%1"), std::string::npos) << text;
}

#ifdef _WIN32
TEST(WindowsError, TheSystemTextIsTheWideTextInUtf8) {
  // What the system says in the user's language, whatever the ANSI code
  // page could hold of it.
  for (const DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}) {
    wchar_t* wide = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&wide), 0, nullptr);
    ASSERT_NE(length, 0u);
    const std::string expected = "m: " + brix::fromWide(std::wstring(wide, length));
    LocalFree(wide);
    EXPECT_EQ(WindowsError(code, "m").what(), expected);
  }
}
#endif

TEST(EOFException, WhatIsExactlyTheMessageWithItsLineFeed) {
  const brix::EOFException error("EOF in readFully(00000000,4)\n");
  EXPECT_STREQ(error.what(), "EOF in readFully(00000000,4)\n");
  const brix::EOFException copy = error;
  EXPECT_STREQ(copy.what(), error.what());
}

}  // namespace
