#include "avi/BlockReader.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "avi/VerifyProblem.h"

BlockReader::BlockReader(brix::SeekableInputStream& stream, std::uint64_t size, AfterBlock afterBlock)
    : stream_(stream), size_(size), afterBlock_(std::move(afterBlock)) {
  const bool small = size < threadFromBytes;
  blockSize_ = small ? smallBlockBytes : blockBytes;
  used_ = small ? 1 : blockCount;
  // A tiny file takes no more room than it needs: one block of its size.
  const auto bytes = static_cast<std::size_t>(std::min<std::uint64_t>(blockSize_, size));
  for (std::size_t i = 0; i < used_; ++i) blocks_[i].data = PageBuffer(bytes);
  if (!small) thread_ = std::thread([this] { readBlocks(); });
}

BlockReader::~BlockReader() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void BlockReader::fill(Block& block, std::uint64_t position) noexcept {
  block.position = position;
  block.length = 0;
  try {
    const auto wanted = static_cast<std::uint32_t>(std::min<std::uint64_t>(blockSize_, size_ - position));
    if (wanted != 0) stream_.seek(static_cast<std::int64_t>(position), brix::Seekable::Begin);
    // One read fills the block but from a device that delivers less.
    while (block.length < wanted) {
      const std::uint32_t got = stream_.read(block.data.data() + block.length, wanted - block.length);
      if (got == 0) break;
      block.length += got;
    }
  } catch (const std::exception& e) {
    try {
      block.error = std::make_exception_ptr(unreadableAt(position, e));
    } catch (...) {
      block.error = std::current_exception();
    }
  }
}

// The thread: fills the block the caller does not hold, in turn, until the
// data ends or a read fails.
void BlockReader::readBlocks() {
  std::uint64_t position = 0;
  for (std::size_t next = 0;; next = (next + 1) % used_) {
    Block& block = blocks_[next];
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this, &block] { return stopping_ || !block.full; });
    if (stopping_) return;
    lock.unlock();
    fill(block, position);
    lock.lock();
    block.full = true;
    changed_.notify_all();
    // A block cut short is the end of the data, as is a failed read.
    if (block.length < blockSize_ || block.error) return;
    position += block.length;
  }
}

bool BlockReader::takeNextBlock() {
  if (nextPosition_ >= size_) return false;
  Block& next = blocks_[nextBlock_];
  nextBlock_ = (nextBlock_ + 1) % used_;
  if (thread_.joinable()) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (held_ != &none_) {
      held_->full = false;
      changed_.notify_all();
    }
    changed_.wait(lock, [&next] { return next.full; });
  } else {
    fill(next, nextPosition_);
  }
  held_ = &next;
  prefetched_ = 0;
  if (next.error) std::rethrow_exception(next.error);
  if (next.position + next.length < size_ && next.length < blockSize_) size_ = next.position + next.length;
  nextPosition_ = next.position + next.length;
  if (afterBlock_) afterBlock_(nextPosition_);
  return next.length != 0;
}

const std::uint8_t* BlockReader::bytesBeyondBlock(std::uint64_t position, std::uint32_t count) {
  if (position < held_->position || count > maxRun) throw std::logic_error("BlockReader: bytes asked for out of order");
  for (;;) {
    const std::uint64_t blockEnd = held_->position + held_->length;
    if (position < blockEnd) {
      if (blockEnd - position >= count) return held_->data.data() + (position - held_->position);
      break;
    }
    if (!takeNextBlock()) return nullptr;
  }
  // The run starts in this block and ends in the next.
  const auto head = static_cast<std::uint32_t>(held_->position + held_->length - position);
  std::memcpy(joined_, held_->data.data() + (position - held_->position), head);
  if (!takeNextBlock() || held_->length < count - head) return nullptr;
  std::memcpy(joined_ + head, held_->data.data(), count - head);
  return joined_;
}

void BlockReader::readToEnd() {
  while (takeNextBlock()) {
  }
}
