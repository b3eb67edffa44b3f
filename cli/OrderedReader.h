#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "cli/TreeWalker.h"
#include "page/FileReport.h"

// Reads items on several threads and hands the reports over in the order
// of the items, once it and all before it are done: as soon as there are
// one per thread to hand over, else at the next look (a tenth of a second
// at the latest). At most a
// fixed window of items (four per thread) is taken ahead of the one handed
// over next, so memory is bounded by the thread count, whatever the number
// of files or whichever of them is slow.
class OrderedReader {
 public:
  using Source = std::function<std::optional<WalkItem>()>;
  using Read = std::function<FileReport(const WalkItem&)>;
  using Deliver = std::function<void(const WalkItem&, FileReport&)>;
  // Asked between deliveries and at least every tenth of a second while
  // waiting (also the moment to refresh a progress line): true stops the run.
  using ShouldStop = std::function<bool()>;

  OrderedReader(unsigned threads, Read read);
  ~OrderedReader();
  OrderedReader(const OrderedReader&) = delete;
  OrderedReader& operator=(const OrderedReader&) = delete;

  // Takes items from source on the calling thread until it has none, and
  // calls deliver there, in their order. A read that throws becomes a
  // failed report with the exception's text. Returns false when stopped:
  // no item is taken or delivered after that, and the reads under way are
  // waited for. Runs once.
  bool run(const Source& source, const Deliver& deliver, const ShouldStop& shouldStop);

  std::size_t window() const { return window_; }

 private:
  struct Slot {
    WalkItem item;
    std::optional<FileReport> report;
  };

  void work();
  void finish();
  std::size_t readyFromFront() const;

  const Read read_;
  const std::size_t window_;
  std::mutex mutex_;
  std::condition_variable itemTaken_;   // for the threads: an item to read, or the end
  std::condition_variable reportMade_;  // for the caller: a report is in
  std::deque<Slot> slots_;              // the window, in order; front() is delivered next
  std::uint64_t firstNumber_ = 0;       // the number of front()
  std::uint64_t nextToRead_ = 0;        // the number of the first item no thread has taken
  bool ending_ = false;
  std::vector<std::thread> threads_;
};
