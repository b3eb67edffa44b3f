#include "cli/FileCounter.h"

#include <exception>
#include <utility>

#include "cli/TreeWalker.h"

FileCounter::FileCounter(std::vector<std::string> paths, bool recursive)
    : thread_([this, paths = std::move(paths), recursive]() mutable { count(std::move(paths), recursive); }) {}

FileCounter::~FileCounter() {
  stop_ = true;
  thread_.join();
}

std::optional<std::uint64_t> FileCounter::total() const {
  if (!complete_) return std::nullopt;
  return count_.load();
}

void FileCounter::count(std::vector<std::string> paths, bool recursive) {
  try {
    TreeWalker walker(std::move(paths), recursive);
    while (!stop_ && walker.next()) ++count_;
    complete_ = !stop_;
  } catch (const std::exception&) {
    // Without a total the progress line shows the count so far.
  }
}
