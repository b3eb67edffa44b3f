#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "avi/IndexCursor.h"
#include "base/SeekableInputStream.h"

// Holds what the indexes say against the chunks a sequential walk meets.
// Each index is read through a cursor of its own; the cursors' entries are
// merged in the order of the positions they name, so every entry is taken
// when the walk reaches its position, and memory does not grow with the
// size of the file. An entry that names a position the walk has passed
// already (an index out of order) is checked by reading the 8-byte header
// there; at most maxBackwardEntries of them are.
//
// Every disagreement throws VerifyProblem at the position the entry names.
class IndexMatcher {
 public:
  static constexpr std::uint64_t maxBackwardEntries = 1u << 20;

  // Entries that point back are read from stream, which ends at fileSize.
  IndexMatcher(brix::SeekableInputStream& stream, std::uint64_t fileSize);

  // Takes the cursor on; its first entry counts from now.
  void add(std::unique_ptr<IndexCursor> cursor);
  // The walk is about to meet a chunk at position: every entry before it
  // must have named the header of a chunk met already.
  void reach(std::uint64_t position) {
    if (!heap_.empty() && heap_.front()->claim().position < position) checkEntriesBefore(position);
  }
  // The walk meets a chunk header at position (after reach): the entries
  // that name it must agree. Returns whether one of them says the chunk
  // takes no time.
  bool meet(std::uint64_t position, FourCC id, std::uint32_t size, FourCC listType) {
    metAny_ = true;
    lastMet_ = position;
    return !heap_.empty() && heap_.front()->claim().position == position &&
           checkEntriesAt(position, id, size, listType);
  }
  // The walk has met every chunk: an entry left names no chunk.
  void finish();

 private:
  void checkEntriesBefore(std::uint64_t position);
  bool checkEntriesAt(std::uint64_t position, FourCC id, std::uint32_t size, FourCC listType);
  void push(IndexCursor* cursor);
  IndexCursor* pop();
  void checkBackward(const IndexCursor& cursor);

  brix::SeekableInputStream& stream_;
  std::uint64_t fileSize_;
  std::vector<std::unique_ptr<IndexCursor>> cursors_;
  // A heap of the cursors with an entry left, the lowest position on top.
  std::vector<IndexCursor*> heap_;
  bool metAny_ = false;
  std::uint64_t lastMet_ = 0;
  std::uint64_t backwardEntries_ = 0;
};
