#include <gtest/gtest.h>

#include "cli/Wildcards.h"

namespace {

TEST(Wildcards, StarIsAnyRunAndQuestionMarkOneCharacter) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*.avi", "clip.avi", true},
      {"*.avi", "clip.avi.bak", false},
      {"*.avi", ".avi", true},
      {"*", "", true},
      {"**", "", true},
      {"*?", "", false},
      {"?", "", false},
      {"clip?.avi", "clip1.avi", true},
      {"clip?.avi", "clip.avi", false},
      {"clip?.avi", "clip12.avi", false},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXbYY", false},
      {"*ab", "aab", true},  // the run of '*' must give back what it took
      {"a*a", "a", false},
      {"*.*", "noext", false},
      {"*.AVI", "x.avi", false},  // as given: folding case is the caller's
      // A character is a code point: two bytes, three, four (a surrogate
      // pair in UTF-16), or a byte that is not UTF-8.
      {"?", "\xD0\x96", true},
      {"?\xE4\xBA\xAC.avi", "\xE6\x9D\xB1\xE4\xBA\xAC.avi", true},
      {"\xE6\x9D\xB1*", "\xE6\x9D\xB1\xE4\xBA\xAC.avi", true},
      {"?", "\xF0\x9F\x8E\xAC", true},
      {"??", "\xF0\x9F\x8E\xAC", false},
      {"?", "\xFF", true},
      {"??", "\xFF", false},
  };
  for (const auto& c : cases) EXPECT_EQ(matchesWildcards(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

TEST(Wildcards, OnlyStarAndQuestionMarkAreWildcards) {
  EXPECT_TRUE(hasWildcards("*.avi"));
  EXPECT_TRUE(hasWildcards("clip?.avi"));
  EXPECT_FALSE(hasWildcards("[clip].avi"));
  EXPECT_FALSE(hasWildcards(""));
}

}  // namespace
