#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <stdexcept>
#include <utility>

#include "base/COMError.h"
#include "base/EOFException.h"
#include "base/Exception.h"
#include "base/HResultFromException.h"
#include "base/WindowsError.h"

using brix::hresultFromException;

namespace {

constexpr auto kOutOfMemory = static_cast<std::int32_t>(0x8007000Eu);
constexpr auto kFail = static_cast<std::int32_t>(0x80004005u);
constexpr auto kUnexpected = static_cast<std::int32_t>(0x8000FFFFu);

static_assert(noexcept(hresultFromException(std::declval<const std::exception&>())),
              "a COM method's catch block must not throw again");

// The way every COM method uses it: thrown, caught as std::exception.
template <class E>
std::int32_t hresultOfThrown(const E& error) {
  try {
    throw error;
  } catch (const std::exception& e) {
    return hresultFromException(e);
  }
}

TEST(HResultFromException, OutOfMemoryForBadAlloc) {
  EXPECT_EQ(hresultOfThrown(std::bad_alloc()), kOutOfMemory);
  EXPECT_EQ(hresultOfThrown(std::bad_array_new_length()), kOutOfMemory);
}

TEST(HResultFromException, ACOMErrorGivesItsOwnHresult) {
  EXPECT_EQ(hresultOfThrown(brix::COMError(kUnexpected)), kUnexpected);
  EXPECT_EQ(hresultOfThrown(brix::COMError(kOutOfMemory)), kOutOfMemory);
}

TEST(HResultFromException, AWindowsErrorGivesItsCodeInHresultForm) {
  EXPECT_EQ(hresultOfThrown(brix::WindowsError(5, "Can't open")), static_cast<std::int32_t>(0x80070005u));
  EXPECT_EQ(hresultOfThrown(brix::WindowsError(0x8007000Eu, "Already an HRESULT")), kOutOfMemory);
}

// A failure whose code says success (a call that failed without setting
// the last error) must not reach the caller as S_OK.
TEST(HResultFromException, ACodeThatSaysSuccessIsAGeneralFailure) {
  EXPECT_EQ(hresultOfThrown(brix::WindowsError(0, "Can't create property page")), kFail);
  EXPECT_EQ(hresultOfThrown(brix::COMError(0)), kFail);
  EXPECT_EQ(hresultOfThrown(brix::COMError(1)), kFail);
}

TEST(HResultFromException, EverythingElseIsAGeneralFailure) {
  EXPECT_EQ(hresultOfThrown(brix::EOFException("EOF in readFully(00000000,4)\n")), kFail);
  EXPECT_EQ(hresultOfThrown(brix::Exception("any")), kFail);
  EXPECT_EQ(hresultOfThrown(std::runtime_error("Not an AVI file")), kFail);
  EXPECT_EQ(hresultOfThrown(std::logic_error("any")), kFail);
  EXPECT_EQ(hresultOfThrown(std::exception()), kFail);
}

// Derived classes count as their base, and the order of the tests decides
// for an exception that is two of the listed kinds at once.
struct SpecificCOMError : brix::COMError {
  SpecificCOMError() : COMError(kUnexpected) {}
};
struct SpecificWindowsError : brix::WindowsError {
  SpecificWindowsError() : WindowsError(2, "Not found") {}
};
struct COMAndWindowsError : brix::COMError, brix::WindowsError {
  COMAndWindowsError() : COMError(kUnexpected), WindowsError(5, "Denied") {}
};
struct OutOfMemoryAndCOMError : std::bad_alloc, brix::COMError {
  OutOfMemoryAndCOMError() : COMError(kUnexpected) {}
};

TEST(HResultFromException, DerivedClassesCountAsTheirBase) {
  EXPECT_EQ(hresultOfThrown(SpecificCOMError()), kUnexpected);
  EXPECT_EQ(hresultOfThrown(SpecificWindowsError()), static_cast<std::int32_t>(0x80070002u));
}

TEST(HResultFromException, BadAllocComesBeforeCOMErrorBeforeWindowsError) {
  // Each reaches the function through the std::exception of a later-tested base.
  const COMAndWindowsError both;
  EXPECT_EQ(hresultFromException(static_cast<const brix::WindowsError&>(both)), kUnexpected);
  const OutOfMemoryAndCOMError outOfMemory;
  EXPECT_EQ(hresultFromException(static_cast<const brix::COMError&>(outOfMemory)), kOutOfMemory);
}

}  // namespace
