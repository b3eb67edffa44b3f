#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "base/COMError.h"

using brix::COMError;

namespace {

constexpr auto kFail = static_cast<std::int32_t>(0x80004005u);
constexpr auto kUnexpected = static_cast<std::int32_t>(0x8000FFFFu);

TEST(COMError, TextIsTheSymbolicName) {
  EXPECT_STREQ(COMError(kFail).what(), "DDERR_GENERIC");
  EXPECT_STREQ(COMError(static_cast<std::int32_t>(0x8004022Du)).what(), "VFW_E_DUPLICATE_NAME");
  EXPECT_STREQ(COMError(0x0004022D).what(), "VFW_S_DUPLICATE_NAME");
}

TEST(COMError, UnnamedValuesGiveTheNumericText) {
  EXPECT_STREQ(COMError(kUnexpected).what(), "Unknown HRESULT value 8000ffff");
  EXPECT_STREQ(COMError(0).what(), "Unknown HRESULT value 0");
}

TEST(COMError, KeepsItsHresult) {
  EXPECT_EQ(COMError(kUnexpected).hresult(), kUnexpected);
  EXPECT_EQ(COMError(kFail).hresult(), kFail);
  EXPECT_EQ(COMError(1).hresult(), 1);
}

TEST(COMError, CopiesKeepTextAndHresult) {
  const COMError original(kUnexpected);
  const COMError copy = original;
  EXPECT_EQ(copy.hresult(), kUnexpected);
  EXPECT_STREQ(copy.what(), original.what());
  COMError assigned(kFail);
  assigned = original;
  EXPECT_EQ(assigned.hresult(), kUnexpected);
  EXPECT_STREQ(assigned.what(), "Unknown HRESULT value 8000ffff");
}

TEST(COMError, IsCaughtAsARuntimeError) {
  try {
    throw COMError(kFail);
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "DDERR_GENERIC");
    return;
  }
  FAIL() << "not caught as std::runtime_error";
}

}  // namespace
