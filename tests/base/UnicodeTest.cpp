#include <gtest/gtest.h>

#include <string>

#include "base/Unicode.h"

#ifdef _WIN32
#include "base/Win32.h"
#endif

using brix::utf16ToUtf8;
using brix::utf8SequenceLength;
using brix::utf8ToUtf16;

namespace {

// Names in every script a user may give a file, and their UTF-16 form.
struct Pair {
  const char* utf8;
  std::u16string utf16;
};
const Pair validPairs[] = {
    {"", u""},
    {"clip.avi", u"clip.avi"},
    {"\xD0\x9E\xD1\x82\xD0\xBF\xD1\x83\xD1\x81\xD0\xBA.avi", u"\u041E\u0442\u043F\u0443\u0441\u043A.avi"},
    {"\xE6\x9D\xB1\xE4\xBA\xAC.avi", u"\u6771\u4EAC.avi"},
    {"\xF0\x9F\x8E\xAC.avi", u"\xD83C\xDFAC.avi"},                          // a surrogate pair
    {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", u"\xFFFF\xDBFF\xDFFF"},                // the largest values of both forms
    {"\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80", u"\x0080\x0800\xD800\xDC00"},  // the smallest of each length
};

TEST(Unicode, ValidTextGoesBothWaysUnchanged) {
  for (const Pair& pair : validPairs) {
    EXPECT_EQ(utf8ToUtf16(pair.utf8), pair.utf16) << pair.utf8;
    EXPECT_EQ(utf16ToUtf8(pair.utf16), pair.utf8) << pair.utf8;
  }
  const std::string withNul("a\0b", 3);
  EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(withNul)), withNul);
}

TEST(Unicode, InvalidUtf8BecomesOneReplacementPerByte) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"\xFF", u"\xFFFD"},
      {"a\x80z", u"a\xFFFDz"},                            // stray continuation byte
      {"\xC3", u"\xFFFD"},                                // lead byte at the end
      {"\xC3(", u"\xFFFD("},                              // lead byte without its continuation
      {"\xC0\xAF", u"\xFFFD\xFFFD"},                      // overlong
      {"\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"},  // beyond U+10FFFF
      {"\xF0\x9F\x8E", u"\xFFFD\xFFFD\xFFFD"},            // four-byte form cut short
  };
  for (const auto& c : cases) EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16);
}

TEST(Unicode, UnpairedSurrogatesBecomeReplacements) {
  EXPECT_EQ(utf16ToUtf8(u"a\xD83C"), "a\xEF\xBF\xBD");                  // high at the end
  EXPECT_EQ(utf16ToUtf8(u"\xD83Cz"), "\xEF\xBF\xBDz");                  // high before a non-surrogate
  EXPECT_EQ(utf16ToUtf8(u"\xDFAC\xD83C"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // low before high
  EXPECT_EQ(utf16ToUtf8(u"\xD83C\xD83C\xDFAC"), "\xEF\xBF\xBD\xF0\x9F\x8E\xAC");
}

TEST(Unicode, SequenceLengthNeverReadsPastTheText) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xAC";
  EXPECT_EQ(utf8SequenceLength(text, 0), 1u);
  EXPECT_EQ(utf8SequenceLength(text, 1), 2u);
  EXPECT_EQ(utf8SequenceLength(text, 3), 3u);
  EXPECT_EQ(utf8SequenceLength(text, 6), 4u);
  EXPECT_EQ(utf8SequenceLength(text, 7), 0u);  // a continuation byte
  EXPECT_EQ(utf8SequenceLength(text, text.size()), 0u);
  EXPECT_EQ(utf8SequenceLength(std::string_view(text.data(), 8), 6), 0u);  // cut inside the sequence
}

#ifdef _WIN32
TEST(Unicode, WideFormsMatchTheSystemConversion) {
  for (const Pair& pair : validPairs) {
    const std::string utf8 = pair.utf8;
    const std::wstring wide = brix::toWide(utf8);
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    std::wstring system(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, system.data(), length);
    EXPECT_EQ(wide, system) << pair.utf8;
    EXPECT_EQ(brix::fromWide(wide), pair.utf8);
  }
}
#endif

}  // namespace
