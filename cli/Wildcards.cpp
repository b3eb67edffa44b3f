#include "cli/Wildcards.h"

#include <algorithm>

#include "base/Unicode.h"

namespace {

std::size_t characterLength(std::string_view text, std::size_t i) {
  return std::max<std::size_t>(brix::utf8SequenceLength(text, i), 1);
}

}  // namespace

bool hasWildcards(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

bool matchesWildcards(std::string_view pattern, std::string_view name) {
  constexpr std::size_t none = std::string_view::npos;
  std::size_t p = 0;
  std::size_t n = 0;
  // The last '*' seen and where in the name its run ends so far: on a
  // mismatch the run grows by one character and matching resumes after it.
  // Every earlier '*' can keep its run, so this never backtracks further.
  std::size_t afterStar = none;
  std::size_t starRunEnd = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      afterStar = ++p;
      starRunEnd = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += characterLength(name, n);
    } else if (p < pattern.size() && pattern[p] == name[n]) {
      ++p;
      ++n;
    } else if (afterStar != none) {
      starRunEnd += characterLength(name, starRunEnd);
      n = starRunEnd;
      p = afterStar;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}
