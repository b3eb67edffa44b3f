#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
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
    changed_.wait(lock, [&] { return open_[number]; });
    if (item.path == failing) throw std::runtime_error("can't read " + item.path);
    return FileReport{item.path, {}, "Ok", true};
  }

  std::optional<WalkItem> next() {
    const std::lock_guard<std::mutex> lock(mutex_);
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

  // Waits until count items were taken, or delivered.
  bool waitTaken(std::size_t count) {
    return waitFor([&] { return taken_ >= count; });
  }
  bool waitDelivered(std::size_t count) {
    return waitFor([&] { return delivered_.size() >= count; });
  }

  std::vector<std::string> delivered() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return delivered_;
  }
  std::size_t maxAhead() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return maxAhead_;
  }

  std::string failing;

 private:
  template <typename Condition>
  bool waitFor(Condition condition) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(60), condition);
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<bool> open_;
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
      ControlledReads& reads, unsigned threads, std::function<bool()> shouldStop = [] { return false; })
      : reader_(threads, [&reads](const WalkItem& item) { return reads.read(item); }),
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

 private:
  OrderedReader reader_;
  std::atomic<bool> complete_{false};
  std::thread thread_;
};

TEST(OrderedReader, ReportsComeInTheOrderOfTheItemsWhateverFinishesFirst) {
  ControlledReads reads(6);
  ReaderRun run(reads, 3);
  reads.open(2);
  reads.open(1);
  reads.open(0);
  ASSERT_TRUE(reads.waitDelivered(3));
  EXPECT_EQ(reads.delivered(), numbers(0, 3));
  // Each is handed over once those before it are (at the latest at the next
  // look, a tenth of a second on): 3 waits for nothing else.
  reads.open(5);
  reads.open(3);
  ASSERT_TRUE(reads.waitDelivered(4));
  EXPECT_EQ(reads.delivered(), numbers(0, 4));
  reads.open(4);
  EXPECT_TRUE(run.join());
  EXPECT_EQ(reads.delivered(), numbers(0, 6));
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
  EXPECT_EQ(run.window(), 8u);
}

TEST(OrderedReader, AReadThatThrowsIsAFailedReportAndTheOthersGoOn) {
  for (unsigned threads : {1u, 4u}) {
    ControlledReads reads(5);
    reads.failing = "1";
    reads.openAll();
    ReaderRun run(reads, threads);
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
    // The first read hangs: the stop is seen while waiting for it, and
    // nothing is handed over after it.
    ControlledReads reads(50);
    std::mutex mutex;
    std::condition_variable asked;
    bool stop = false, seen = false;
    ReaderRun run(reads, 2, [&] {
      const std::lock_guard<std::mutex> lock(mutex);
      seen = stop;
      asked.notify_all();
      return stop;
    });
    {
      std::unique_lock<std::mutex> lock(mutex);
      stop = true;
      ASSERT_TRUE(asked.wait_for(lock, std::chrono::seconds(60), [&] { return seen; }));
    }
    reads.openAll();
    EXPECT_FALSE(run.join());
    EXPECT_TRUE(reads.delivered().empty());
  }
}

}  // namespace
