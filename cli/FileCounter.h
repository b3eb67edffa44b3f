#pragma once
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Counts, on a thread of its own, the items a walk of the same paths will
// give, so that a progress line can show a total long before the reading
// reaches the end. It holds no more than the walk does.
class FileCounter {
 public:
  FileCounter(std::vector<std::string> paths, bool recursive);
  // Stops the count where it is.
  ~FileCounter();
  FileCounter(const FileCounter&) = delete;
  FileCounter& operator=(const FileCounter&) = delete;

  // The total once the count is complete.
  std::optional<std::uint64_t> total() const;

 private:
  void count(std::vector<std::string> paths, bool recursive);

  std::atomic<std::uint64_t> count_{0};
  std::atomic<bool> complete_{false};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
