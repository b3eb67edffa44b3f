#include "base/FormatString.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

using brix::formatString;

namespace {

// The pointer rule written out independently: upper-case hexadecimal,
// zero-padded to the width of a pointer, no prefix.
std::string expectedPointerText(const void* p) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%0*llX", static_cast<int>(sizeof(void*) * 2),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(p)));
  return buffer;
}

TEST(FormatString, ConversionsUsedByMessagesGiveTheSameTextEverywhere) {
  EXPECT_EQ(formatString("WindowsFile::open: Can't open '%s'", "C:\\a b.avi"),
            "WindowsFile::open: Can't open 'C:\\a b.avi'");
  EXPECT_EQ(formatString("%hs: %hs", "Can't", "Access is denied.\r\n"), "Can't: Access is denied.\r\n");
  EXPECT_EQ(formatString("%u|%lu", std::uint32_t{4294967295u}, std::uint32_t{0}), "4294967295|0");
  EXPECT_EQ(formatString("%d|%d", INT32_MIN, -1), "-2147483648|-1");
  EXPECT_EQ(formatString("%I64d", INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(formatString("%I64d relative to %d", std::int64_t{0x100000005}, 3), "4294967301 relative to 3");
  EXPECT_EQ(formatString("100%%"), "100%");
}

TEST(FormatString, PointerIsUpperCaseZeroPaddedAndUnprefixed) {
  const void* small = reinterpret_cast<const void*>(std::uintptr_t{0xab});
  EXPECT_EQ(formatString("%p", small), std::string(sizeof(void*) * 2 - 2, '0') + "AB");
  EXPECT_EQ(formatString("%p", nullptr), std::string(sizeof(void*) * 2, '0'));
  int local = 0;
  EXPECT_EQ(formatString("[%p]", &local), "[" + expectedPointerText(&local) + "]");
}

TEST(FormatString, ArgumentsAfterA64BitValueStayAligned) {
  // A width mistake in the argument walk shows up in the following value.
  EXPECT_EQ(formatString("%I64d,%u,%s", std::int64_t{-2}, 7u, "x"), "-2,7,x");
  EXPECT_EQ(formatString("%u,%I64d,%d", 1u, std::int64_t{1} << 40, -3), "1,1099511627776,-3");
}

TEST(FormatString, FlagsWidthAndPrecisionAreHonoured) {
  EXPECT_EQ(formatString("%5d|%-3u|%03d", 42, 7u, 5), "   42|7  |005");
  EXPECT_EQ(formatString("%.2s|%*d", "abcdef", 4, 9), "ab|   9");
  EXPECT_EQ(formatString("%08X", 0xbeefu), "0000BEEF");
}

TEST(FormatString, NullStringAndOddFormatsDoNotCrash) {
  EXPECT_EQ(formatString("%s", static_cast<const char*>(nullptr)), "(null)");
  EXPECT_EQ(formatString("50%"), "50%");
  EXPECT_EQ(formatString("%y"), "%y");
  EXPECT_EQ(formatString(""), "");
}

TEST(FormatString, OutputIsCutAt1999Characters) {
  const std::string longText(5000, 'x');
  const std::string cut = formatString("ab%scd", longText.c_str());
  ASSERT_EQ(cut.size(), 1999u);
  EXPECT_EQ(cut.substr(0, 3), "abx");
  EXPECT_EQ(cut.back(), 'x');

  const std::string exact(1999, 'y');
  EXPECT_EQ(formatString("%s", exact.c_str()), exact);
  EXPECT_EQ(formatString("%s%d", exact.c_str(), 5), exact);
  // Literal text past the limit is cut as well.
  EXPECT_EQ(formatString((exact + "zzz").c_str()).size(), 1999u);
}

}  // namespace
