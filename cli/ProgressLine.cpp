#include "cli/ProgressLine.h"

#include <algorithm>

std::string ProgressLine::show(const std::string& text) {
  std::string out = "\r" + text;
  // Spaces over what a longer line before left.
  if (width_ > text.size()) out.append(width_ - text.size(), ' ');
  width_ = std::max(width_, text.size());
  return out;
}

std::string ProgressLine::clear() {
  if (width_ == 0) return {};
  const std::string out = "\r" + std::string(width_, ' ') + "\r";
  width_ = 0;
  return out;
}
