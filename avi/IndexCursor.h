#pragma once
#include <cstdint>
#include <string>

#include "avi/FourCC.h"

// What one index entry says the file holds: a chunk with this header.
struct IndexClaim {
  std::uint64_t position = 0;  // of the chunk's 8-byte header
  FourCC id = 0;               // the chunk's id; for a list, its list type
  std::uint32_t size = 0;      // of the chunk's data
  // Writers differ on whether a super index entry's size counts the
  // chunk's header: either is taken.
  bool sizeMayCountHeader = false;
  // A position the chunk's data must hold (a field index's second field);
  // 0 for none.
  std::uint64_t inner = 0;
  // The chunk takes no time in its stream (a palette change).
  bool noTime = false;
  // Not a chunk but a fault of the index itself, found ahead of the walk
  // and told when the walk reaches its position (see problem()).
  bool unsound = false;
};

// Walks the entries of one index in the order the index lists them, each
// as the claim it makes. Entries are read a block at a time from the file,
// so an index of any length costs the same memory.
class IndexCursor {
 public:
  virtual ~IndexCursor() = default;

  // The current entry's claim; valid after advance() returned true.
  const IndexClaim& claim() const noexcept { return claim_; }
  // Moves to the next entry; false when there is none.
  virtual bool advance() = 0;
  // The current entry as a message names it: "Entry 12 of idx1".
  virtual std::string name() const = 0;
  // What is wrong with the index where an unsound claim stands.
  virtual std::string problem() const { return std::string(); }

 protected:
  IndexClaim claim_;
};
