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

// Reads items, jobs of them at once, and hands the reports over in the
// order of the items. The calling thread reads too: it takes the next item
// nobody reads yet whenever it has no report to hand over, and waits only
// when every item it holds is being read by another thread, so a report
// may wait for the caller's own read to end. The jobs - 1 other threads
// start only when they pay, once a second item is there: one item, or one
// job, is read on the calling thread alone. At most a fixed window of items
// (sixteen per job) is taken ahead of the one handed over next, so memory
// is bounded by the job count, whatever the number of files or whichever
// of them is slow.
class OrderedReader {
 public:
  using Source = std::function<std::optional<WalkItem>()>;
  using Read = std::function<FileReport(const WalkItem&)>;
  using Deliver = std::function<void(const WalkItem&, FileReport&)>;
  // Asked between deliveries and reads, and at least every tenth of a
  // second while waiting (also the moment to refresh a progress line): true
  // stops the run.
  using ShouldStop = std::function<bool()>;

  // Starts no thread.
  OrderedReader(unsigned jobs, Read read);
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
  // The threads the run started besides the calling one.
  std::size_t helpers() const { return helpers_.size(); }

 private:
  struct Slot {
    WalkItem item;
    std::optional<FileReport> report;
  };

  void startHelpers();
  void work();
  // Takes the next item nobody reads yet and reads it, the lock released
  // meanwhile; false when every item held is taken.
  bool readNext(std::unique_lock<std::mutex>& lock);
  // Items held that nobody reads yet.
  std::size_t unread() const;
  void finish();

  const Read read_;
  const unsigned jobs_;
  const std::size_t window_;
  std::mutex mutex_;
  std::condition_variable itemAdded_;   // for the helpers: an item to read, or the end
  std::condition_variable frontDone_;   // for the caller: the report it waits for is in
  std::deque<Slot> slots_;              // the window, in order; front() is delivered next
  std::uint64_t firstNumber_ = 0;       // the number of front()
  std::uint64_t nextToRead_ = 0;        // the number of the first item nobody has taken
  bool callerWaiting_ = false;
  bool ending_ = false;
  std::vector<std::thread> helpers_;
};
