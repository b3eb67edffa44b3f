#pragma once
#include <cstdint>

#include "avi/PageBuffer.h"
#include "base/SeekableInputStream.h"

// The entries of an index chunk, all of one size, read a block at a time
// with positioned reads, so that an index of any length costs one block of
// memory. Entries that lie past the end of the file are not there.
class EntryReader {
 public:
  static constexpr std::uint32_t blockBytes = 32768;

  // count entries of entryBytes (at most blockBytes) from position on.
  EntryReader(brix::SeekableInputStream& stream, std::uint64_t position, std::uint64_t count, std::uint32_t entryBytes);

  // The next entry's bytes; null when there are no more.
  const std::uint8_t* next() {
    if (offset_ + entryBytes_ > held_ && !readBlock()) return nullptr;
    const std::uint8_t* entry = block_.data() + offset_;
    offset_ += entryBytes_;
    ++taken_;
    return entry;
  }
  // The number (0-based) of the entry next() returned last.
  std::uint64_t number() const noexcept { return taken_ - 1; }

 private:
  // The next block of entries; false when there are none.
  bool readBlock();

  brix::SeekableInputStream& stream_;
  std::uint64_t position_;  // of the first entry not yet in the block
  std::uint64_t left_;      // entries not yet in the block
  std::uint32_t entryBytes_;
  PageBuffer block_;
  std::size_t held_ = 0;    // bytes of whole entries in block_
  std::size_t offset_ = 0;  // of the next entry in the block
  std::uint64_t taken_ = 0;
};

// Reads up to count bytes at position, in one read call unless the stream
// delivers less at once; returns how many came, fewer only at the end. Positions past what a seek can reach come back
// empty; a failing read throws VerifyProblem.
std::uint32_t readAt(brix::SeekableInputStream& stream, std::uint64_t position, void* buffer, std::uint32_t count);
