#include "cli/Tally.h"

#include <cmath>

namespace {

std::string counted(std::uint64_t count, const char* one, const char* many) {
  return groupedNumber(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string groupedNumber(std::uint64_t number) {
  std::string digits = std::to_string(number);
  for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
  return digits;
}

void Tally::addFile(bool ok) {
  ++files_;
  if (!ok) ++failedFiles_;
}

void Tally::addUnreadableFolder() {
  ++unreadableFolders_;
}

std::string Tally::summary() const {
  std::string text = counted(files_, "file", "files") + ": " + groupedNumber(files_ - failedFiles_) + " Ok, " +
                     groupedNumber(failedFiles_) + " failed";
  if (unreadableFolders_ != 0) {
    text += "; " + counted(unreadableFolders_, "folder", "folders") + " could not be read";
  }
  return text;
}

std::string Tally::progress(std::optional<std::uint64_t> total, double seconds) const {
  std::string text = groupedNumber(reported());
  if (total) text += " / " + groupedNumber(*total);
  text += " files, " + groupedNumber(failedFiles_ + unreadableFolders_) + " failed";
  if (seconds > 0)
    text += ", " + groupedNumber(static_cast<std::uint64_t>(std::llround(reported() / seconds))) + " files/s";
  return text;
}
