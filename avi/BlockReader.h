#pragma once
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "avi/PageBuffer.h"
#include "base/SeekableInputStream.h"

// Reads a stream once, front to back, in large blocks of one read call
// each, and hands out the bytes at rising positions. Every byte of the
// stream passes through it, also those nobody looks at: reading the data is
// what finds the sectors that can't be read.
//
// For a large file a thread of its own reads the next block while the
// caller looks at the one before, so that looking costs no time of its own
// on a machine with a second processor. The stream is that thread's alone
// from the first block on until the reader is destroyed. A small file is
// read on the caller's thread into one small buffer: starting a thread and
// filling fresh buffers would cost more than the whole file takes to look
// at.
class BlockReader {
 public:
  static constexpr std::uint32_t blockBytes = 1u << 20;
  static constexpr std::size_t blockCount = 4;
  // Files smaller than this are read without a thread, in blocks of
  // smallBlockBytes.
  static constexpr std::uint64_t threadFromBytes = 16u << 20;
  static constexpr std::uint32_t smallBlockBytes = 1u << 17;
  static constexpr std::uint32_t cacheLineBytes = 64;
  static constexpr std::uint32_t prefetchBytes = 4096;
  // The most bytes bytesAt hands out at once.
  static constexpr std::uint32_t maxRun = 16;

  // Told where the reading has got to as each block is taken; may throw to
  // stop it.
  using AfterBlock = std::function<void(std::uint64_t position)>;

  // Over the first size bytes of the stream.
  BlockReader(brix::SeekableInputStream& stream, std::uint64_t size, AfterBlock afterBlock);
  // Stops the reading thread, waiting for the read it is in.
  ~BlockReader();
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  // Where the data ends: the size given, or less once a read has come back
  // short (the file shrank while it was read).
  std::uint64_t size() const noexcept { return size_; }

  // The count (at most maxRun) bytes at position, reading every block up
  // to them; null when the data ends first. Runs are asked for in the order
  // of the file, each starting no earlier than the one before ends. Throws
  // VerifyProblem when a block can't be read.
  const std::uint8_t* bytesAt(std::uint64_t position, std::uint32_t count) {
    // Nearly always in the block held: the walk meets many chunks per block.
    if (position >= held_->position && position - held_->position + count <= held_->length) {
      const std::uint64_t offset = position - held_->position;
      // Headers lie at rising positions a few hundred bytes apart, each
      // found from the one before: fetching the bytes ahead of them into
      // the cache early spares the walk a wait for memory at every one.
      const std::uint64_t wanted = std::min<std::uint64_t>(offset + prefetchBytes, held_->length);
      for (; prefetched_ < wanted; prefetched_ += cacheLineBytes) __builtin_prefetch(held_->data.data() + prefetched_);
      return held_->data.data() + offset;
    }
    return bytesBeyondBlock(position, count);
  }
  // Reads every block up to the end of the data.
  void readToEnd();

 private:
  struct Block {
    PageBuffer data;
    std::uint64_t position = 0;
    std::uint32_t length = 0;
    bool full = false;
    // What the read threw; rethrown when the block is taken.
    std::exception_ptr error;
  };

  const std::uint8_t* bytesBeyondBlock(std::uint64_t position, std::uint32_t count);
  // Gives the held block back and takes the next; false at the end of the
  // data.
  bool takeNextBlock();
  // Reads the block at position into block; a read that fails is kept in
  // the block.
  void fill(Block& block, std::uint64_t position) noexcept;
  void readBlocks();

  brix::SeekableInputStream& stream_;
  std::uint64_t size_;
  AfterBlock afterBlock_;
  // Filled by the thread in turn; the caller takes them in the same turn.
  // Blocks enough that neither waits for the other at every block: each
  // wait for the other thread costs about as long as reading a block.
  Block blocks_[blockCount];
  // Bytes read at once: blockBytes, or smallBlockBytes for a small file.
  std::uint32_t blockSize_;
  std::size_t used_;  // of the blocks, those a file of this size needs
  std::size_t nextBlock_ = 0;
  // Held by the caller: none before the first block, then the one taken
  // last. The others are the thread's to fill.
  Block none_;
  Block* held_ = &none_;
  // Up to where in the held block the cache has been asked to fetch.
  std::uint64_t prefetched_ = 0;
  std::uint64_t nextPosition_ = 0;  // of the block the caller takes next
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  std::thread thread_;  // not started for a small file
  // Bytes handed out across the end of one block and the start of the next.
  std::uint8_t joined_[maxRun];
};
