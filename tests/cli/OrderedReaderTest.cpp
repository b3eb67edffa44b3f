#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cli/OrderedReader.h"

namespace {

// Reads that finish when, and in the order, the test says; and what the
// reader hands over. Waits give up after a while so that a fault fails the
// test instead of hanging it; no result depends on timing.
class ControlledReads {
 public:
  explicit ControlledReads(std::size_t items) : open_(items, false) {}

  void open(std::size_t item) {
    const std::lock_guard<std::mutex> lock(mutex_);
    open_[item] = true;
    changed_.notify_all();
  }
  void openAll() {
    for (std::size_t i = 0; i < open_.size(); ++i) open(i);
  }
  FileReport read(const WalkItem& item) {
    const std::size_t number = std::stoul(item.path);
    std::unique_lock<std::mutex> lock(mutex_);
    if (callerReadsFreely && std::this_thread::get_id() == caller_) {
      changed_.wait(lock, [&] { return readsElsewhere_ > 0; });
    } else {
      ++readsElsewhere_;
      changed_.notify_all();
      changed_.wait(lock, [&] { return open_[number]; });
    }
    ++readsDone_;
    if (item.path == failing) throw std::runtime_error("can't read " + item.path);
    return FileReport{item.path, {}, "Ok", true};
  }

  std::optional<WalkItem> next() {
    const std::lock_guard<std::mutex> lock(mutex_);
    caller_ = std::this_thread::get_id();
    if (taken_ == open_.size()) return std::nullopt;
    maxAhead_ = std::max(maxAhead_, ++taken_ - delivered_.size());
    changed_.notify_all();
    return WalkItem{std::to_string(taken_ - 1), std::nullopt};
  }

  void deliver(const WalkItem& item, FileReport& report) {
    const std::lock_guard<std::mutex> lock(mutex_);
    EXPECT_EQ(item.path, report.path);
    delivered_.push_back(report.path + (report.ok ? "" : " " + report.status));
    changed_.notify_all();
  }

  // Waits until count items were taken.
  bool waitTaken(std::size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(60), [&] { return taken_ >= count; });
  }

  std::vector<std::string> delivered() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return delivered_;
  }
  std::size_t maxAhead() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return maxAhead_;
  }
  // Grows with every item taken, read or delivered.
  std::size_t progress() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return taken_ + readsDone_ + delivered_.size();
  }

  std::string failing;
  // Set before the run: reads on the thread that takes the items need not
  // be opened, but each waits until a read has begun on another thread. So
  // the caller reads what it takes at once and comes to wait for a report
  // that hangs elsewhere.
  bool callerReadsFreely = false;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<bool> open_;
  std::thread::id caller_;
  std::size_t readsElsewhere_ = 0;
  std::size_t readsDone_ = 0;
  std::size_t taken_ = 0;
  std::size_t maxAhead_ = 0;
  std::vector<std::string> delivered_;
};

std::vector<std::string> numbers(std::size_t from, std::size_t to) {
  std::vector<std::string> out;
  for (std::size_t i = from; i < to; ++i) out.push_back(std::to_string(i));
  return out;
}

// Runs the reader on its own thread, as the tool's main thread runs it.
class ReaderRun {
 public:
  ReaderRun(
      ControlledReads& reads, unsigned jobs, std::function<bool()> shouldStop = [] { return false; })
      : reader_(jobs, [&reads](const WalkItem& item) { return reads.read(item); }),
        thread_([this, &reads, shouldStop] {
          complete_ = reader_.run([&reads] { return reads.next(); },
                                  [&reads](const WalkItem& item, FileReport& report) { reads.deliver(item, report); },
                                  shouldStop);
        }) {}
  // Whether the run went through to the end.
  bool join() {
    thread_.join();
    return complete_;
  }
  std::size_t window() const { return reader_.window(); }
  // Once joined.
  std::size_t helpers() const { return reader_.helpers(); }

 private:
  OrderedReader reader_;
  std::atomic<bool> complete_{false};
  std::thread thread_;
};

TEST(OrderedReader, ReportsComeInTheOrderOfTheItemsWhateverFinishesFirst) {
  ControlledReads reads(60);
  ReaderRun run(reads, 3);
  for (std::size_t i = 60; i-- > 0;) reads.open(i);
  EXPECT_TRUE(run.join());
  EXPECT_EQ(reads.delivered(), numbers(0, 60));
}

TEST(OrderedReader, OneItemOrOneJobStartsNoThreadAndMoreStartTheOtherJobs) {
  struct Case {
    std::size_t items;
    unsigned jobs;
    std::size_t helpers;
  };
  for (const Case& c : {Case{1, 4, 0}, Case{5, 1, 0}, Case{40, 3, 2}}) {
    ControlledReads reads(c.items);
    reads.openAll();
    ReaderRun run(reads, c.jobs);
    EXPECT_TRUE(run.join());
    EXPECT_EQ(reads.delivered(), numbers(0, c.items));
    EXPECT_EQ(run.helpers(), c.helpers) << c.items << " items, " << c.jobs << " jobs";
  }
}

TEST(OrderedReader, TakesNoMoreThanItsWindowAheadOfWhatItHandedOver) {
  ControlledReads reads(100);
  ReaderRun run(reads, 2);
  for (std::size_t i = 1; i < 100; ++i) reads.open(i);
  // While the first read hangs, everything else is done as far as the
  // window goes, and no further.
  ASSERT_TRUE(reads.waitTaken(run.window()));
  reads.open(0);
  EXPECT_TRUE(run.join());
  EXPECT_EQ(reads.delivered(), numbers(0, 100));
  EXPECT_EQ(reads.maxAhead(), run.window());
  EXPECT_EQ(run.window(), 32u);
}

TEST(OrderedReader, AReadThatThrowsIsAFailedReportAndTheOthersGoOn) {
  for (unsigned jobs : {1u, 4u}) {
    ControlledReads reads(5);
    reads.failing = "1";
    reads.openAll();
    ReaderRun run(reads, jobs);
    EXPECT_TRUE(run.join());
    EXPECT_EQ(reads.delivered(), (std::vector<std::string>{"0", "1 can't read 1", "2", "3", "4"}));
  }
}

TEST(OrderedReader, StopsBetweenDeliveriesAndWhileWaiting) {
  {
    ControlledReads reads(50);
    reads.openAll();
    ReaderRun run(reads, 2, [&reads] { return reads.delivered().size() >= 3; });
    EXPECT_FALSE(run.join());
    EXPECT_EQ(reads.delivered(), numbers(0, 3));
  }
  {
    // Once the caller has nothing left but to wait for the report that
    // hangs on the other thread, it asks without anything having happened
    // since it last asked: the stop, then, is seen while waiting, and
    // nothing is handed over after it.
    ControlledReads reads(50);
    reads.callerReadsFreely = true;
    std::size_t lastProgress = SIZE_MAX;
    std::promise<std::size_t> deliveredAtStop;
    ReaderRun run(reads, 2, [&] {
      const std::size_t progress = reads.progress();
      const bool idle = progress == lastProgress;
      lastProgress = progress;
      if (idle) deliveredAtStop.set_value(reads.delivered().size());
      return idle;
    });
    std::future<std::size_t> stop = deliveredAtStop.get_future();
    ASSERT_EQ(stop.wait_for(std::chrono::seconds(60)), std::future_status::ready);
    const std::size_t delivered = stop.get();
    reads.openAll();
    EXPECT_FALSE(run.join());
    EXPECT_EQ(reads.delivered(), numbers(0, delivered));
    EXPECT_LT(delivered, 50u);
  }
}

}  // namespace
