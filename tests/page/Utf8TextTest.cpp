#include <gtest/gtest.h>

#include "page/Utf8Text.h"

namespace {

TEST(Utf8Text, ValidUtf8PassesUnchanged) {
  EXPECT_EQ(toUtf8("plain"), "plain");
  EXPECT_EQ(toUtf8("Gr\xC3\xBC\xC3\x9F"
                   "e \xE2\x82\xAC \xF0\x9F\x8E\xAC"),
            "Gr\xC3\xBC\xC3\x9F"
            "e \xE2\x82\xAC \xF0\x9F\x8E\xAC");
}

TEST(Utf8Text, OtherBytesAreReadAsLatin1) {
  EXPECT_EQ(toUtf8("\xFF"), "\xC3\xBF");
  EXPECT_EQ(toUtf8("a\x80z"), "a\xC2\x80z");
  // A lead byte without its continuation, an overlong form, a surrogate.
  EXPECT_EQ(toUtf8("\xC3"), "\xC3\x83");
  EXPECT_EQ(toUtf8("\xC0\xAF"), "\xC3\x80\xC2\xAF");
  EXPECT_EQ(toUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");
  EXPECT_EQ(toUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
