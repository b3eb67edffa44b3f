#include "cli/OrderedReader.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <system_error>
#include <utility>

#include "page/StatusText.h"

namespace {

constexpr std::size_t itemsAheadPerJob = 16;
// A thread that ran out of items sleeps until this many are there to read:
// woken for each one, it would cost a wake-up per file, and the caller,
// which reads too, would take most of them before it runs anyway.
constexpr std::size_t itemsPerWakeUp = 8;
constexpr std::chrono::milliseconds pollInterval(100);

FileReport readWithoutThrowing(const OrderedReader::Read& read, const WalkItem& item) {
  try {
    return read(item);
  } catch (const std::exception& e) {
    return FileReport{item.path, {}, statusText(e), false};
  }
}

}  // namespace

OrderedReader::OrderedReader(unsigned jobs, Read read)
    : read_(std::move(read)), jobs_(std::max(jobs, 1u)), window_(itemsAheadPerJob * jobs_) {}

OrderedReader::~OrderedReader() {
  finish();
}

void OrderedReader::startHelpers() {
  helpers_.reserve(jobs_ - 1);
  try {
    while (helpers_.size() < jobs_ - 1) helpers_.emplace_back([this] { work(); });
  } catch (const std::system_error&) {
    // The threads that did start read along; the caller reads in any case.
  }
}

void OrderedReader::finish() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  itemAdded_.notify_all();
  for (std::thread& helper : helpers_) {
    if (helper.joinable()) helper.join();
  }
}

std::size_t OrderedReader::unread() const {
  return static_cast<std::size_t>(firstNumber_ + slots_.size() - nextToRead_);
}

bool OrderedReader::readNext(std::unique_lock<std::mutex>& lock) {
  if (unread() == 0) return false;
  const std::uint64_t number = nextToRead_++;
  const WalkItem item = slots_[number - firstNumber_].item;
  lock.unlock();
  FileReport report = readWithoutThrowing(read_, item);
  lock.lock();
  // Nothing from number on is delivered while it is being read, so its
  // slot is still there.
  slots_[number - firstNumber_].report = std::move(report);
  return true;
}

void OrderedReader::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    // Out of items, it sleeps until there are several to read.
    if (unread() == 0) itemAdded_.wait(lock, [this] { return ending_ || unread() >= itemsPerWakeUp; });
    if (ending_) return;
    const std::uint64_t number = nextToRead_;
    readNext(lock);
    // The caller waits only for the report it hands over next; a wake-up
    // for any other would take a processor from the reading for nothing.
    // Woken with the lock held, it would only wait for the lock, and on a
    // busy machine, where both threads share one processor, take it from
    // this thread first.
    if (callerWaiting_ && number == firstNumber_) {
      lock.unlock();
      frontDone_.notify_one();
      lock.lock();
    }
  }
}

bool OrderedReader::run(const Source& source, const Deliver& deliver, const ShouldStop& shouldStop) {
  bool sourceEmpty = false;
  bool stopped = false;
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopped) {
    while (!sourceEmpty && !stopped && slots_.size() < window_) {
      // Enough to wake a helper for: woken once the lock is free (see work).
      const bool wake = !helpers_.empty() && unread() >= itemsPerWakeUp;
      lock.unlock();
      if (wake) itemAdded_.notify_one();
      // The source lists folders: not under the lock.
      stopped = shouldStop();
      std::optional<WalkItem> item = stopped ? std::nullopt : source();
      lock.lock();
      if (item) {
        slots_.push_back({std::move(*item), std::nullopt});
      } else {
        sourceEmpty = !stopped;
      }
    }
    if (stopped || slots_.empty()) break;
    // A second item: from here on other threads pay for their start.
    if (helpers_.empty() && jobs_ > 1 && slots_.size() > 1) {
      lock.unlock();
      startHelpers();
      lock.lock();
    } else if (!helpers_.empty() && unread() >= itemsPerWakeUp) {
      lock.unlock();
      itemAdded_.notify_one();
      lock.lock();
    }
    if (slots_.front().report) {
      Slot slot = std::move(slots_.front());
      slots_.pop_front();
      ++firstNumber_;
      lock.unlock();
      deliver(slot.item, *slot.report);
      stopped = shouldStop();
      lock.lock();
      continue;
    }
    if (readNext(lock)) {
      lock.unlock();
      stopped = shouldStop();
      lock.lock();
      continue;
    }
    // Every item held is being read elsewhere, the front among them.
    callerWaiting_ = true;
    frontDone_.wait_for(lock, pollInterval, [this] { return slots_.front().report.has_value(); });
    callerWaiting_ = false;
    if (slots_.front().report) continue;
    lock.unlock();
    stopped = shouldStop();
    lock.lock();
  }
  lock.unlock();
  finish();
  return !stopped;
}
