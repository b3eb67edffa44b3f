#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "page/Utf8Text.h"

namespace {

TEST(Utf8Text, ValidUtf8PassesUnchanged) {
  for (const std::string& text : {std::string("plain"),
                                  std::string("Gr\xC3\xBC\xC3\x9F"
                                              "e \xE2\x82\xAC \xF0\x9F\x8E\xAC"),
                                  std::string("a\0b", 3), std::string()}) {
    EXPECT_EQ(toUtf8(text), text);
    EXPECT_TRUE(isUtf8(text)) << text;
  }
}

TEST(Utf8Text, OtherBytesAreReadAsLatin1) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\xFF", "\xC3\xBF"},
      {"a\x80z", "a\xC2\x80z"},
      // A lead byte without its continuation, an overlong form, a surrogate.
      {"\xC3", "\xC3\x83"},
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
      // Valid sequences stay as they are beside the bytes that are not.
      {"\xC3\xA9\xE9", "\xC3\xA9\xC3\xA9"},
  };
  for (const auto& [bytes, utf8] : cases) {
    EXPECT_EQ(toUtf8(bytes), utf8) << bytes;
    EXPECT_FALSE(isUtf8(bytes)) << bytes;
  }
}

}  // namespace
