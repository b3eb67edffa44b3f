#include "cli/OrderedReader.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <utility>

#include "page/StatusText.h"

namespace {

constexpr std::size_t itemsAheadPerThread = 4;
constexpr std::chrono::milliseconds pollInterval(100);

FileReport readWithoutThrowing(const OrderedReader::Read& read, const WalkItem& item) {
  try {
    return read(item);
  } catch (const std::exception& e) {
    return FileReport{item.path, {}, statusText(e), false};
  }
}

}  // namespace

OrderedReader::OrderedReader(unsigned threads, Read read)
    : read_(std::move(read)), window_(itemsAheadPerThread * std::max(threads, 1u)) {
  const unsigned count = std::max(threads, 1u);
  threads_.reserve(count);
  try {
    for (unsigned i = 0; i < count; ++i) threads_.emplace_back([this] { work(); });
  } catch (...) {
    finish();
    throw;
  }
}

OrderedReader::~OrderedReader() {
  finish();
}

void OrderedReader::finish() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  itemTaken_.notify_all();
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

void OrderedReader::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    itemTaken_.wait(lock, [this] { return ending_ || nextToRead_ < firstNumber_ + slots_.size(); });
    if (ending_) return;
    const std::uint64_t number = nextToRead_++;
    const WalkItem item = slots_[number - firstNumber_].item;
    lock.unlock();
    FileReport report = readWithoutThrowing(read_, item);
    lock.lock();
    // Nothing before number is delivered while it is being read, so its
    // slot is still there.
    slots_[number - firstNumber_].report = std::move(report);
    // The caller is woken once there are as many reports to hand over as
    // there are threads (or all there are), not for each: every wake-up
    // takes a processor from the reading.
    if (readyFromFront() >= std::min(threads_.size(), slots_.size())) reportMade_.notify_one();
  }
}

std::size_t OrderedReader::readyFromFront() const {
  std::size_t ready = 0;
  while (ready < slots_.size() && slots_[ready].report) ++ready;
  return ready;
}

bool OrderedReader::run(const Source& source, const Deliver& deliver, const ShouldStop& shouldStop) {
  bool sourceEmpty = false;
  bool stopped = false;
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopped) {
    while (!sourceEmpty && !stopped && slots_.size() < window_) {
      lock.unlock();
      // The source lists folders: not under the lock.
      stopped = shouldStop();
      std::optional<WalkItem> item = stopped ? std::nullopt : source();
      lock.lock();
      if (item) {
        slots_.push_back({std::move(*item), std::nullopt});
        itemTaken_.notify_one();
      } else {
        sourceEmpty = !stopped;
      }
    }
    if (stopped || slots_.empty()) break;
    if (!slots_.front().report) {
      reportMade_.wait_for(lock, pollInterval, [this] { return slots_.front().report.has_value(); });
      if (slots_.front().report) continue;
      lock.unlock();
      stopped = shouldStop();
      lock.lock();
      continue;
    }
    Slot slot = std::move(slots_.front());
    slots_.pop_front();
    ++firstNumber_;
    lock.unlock();
    deliver(slot.item, *slot.report);
    stopped = shouldStop();
    lock.lock();
  }
  lock.unlock();
  finish();
  return !stopped;
}
