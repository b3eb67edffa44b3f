#include "avi/IndexMatcher.h"

#include <algorithm>
#include <string>

#include "avi/ChunkIdText.h"
#include "avi/EntryReader.h"
#include "avi/LittleEndian.h"
#include "avi/VerifyProblem.h"

namespace {

// The heap's order; a type of its own, so that the heap's code inlines it.
struct Later {
  bool operator()(const IndexCursor* a, const IndexCursor* b) const {
    return a->claim().position > b->claim().position;
  }
};

// "Entry 12 of idx1 says '00dc' of 934 bytes at position 5754"
std::string says(const IndexCursor& cursor) {
  const IndexClaim& claim = cursor.claim();
  return cursor.name() + " says " + chunkIdText(claim.id) + " of " + std::to_string(claim.size) +
         " bytes at position " + std::to_string(claim.position);
}

VerifyProblem disagreement(const IndexCursor& cursor, const std::string& found) {
  if (cursor.claim().unsound) return VerifyProblem(cursor.claim().position, cursor.problem());
  return VerifyProblem(cursor.claim().position, says(cursor) + ", " + found);
}

// What stands at the header where an entry points, as the disagreement
// names it.
std::string foundText(FourCC id, std::uint32_t size) {
  return "where the file has " + chunkIdText(id) + " of " + std::to_string(size) + " bytes";
}

void check(const IndexCursor& cursor, FourCC id, std::uint32_t size, FourCC listType) {
  const IndexClaim& claim = cursor.claim();
  if (claim.unsound) throw disagreement(cursor, std::string());
  const bool list = id == fourcc::LIST || id == fourcc::RIFF;
  const FourCC seen = list && claim.id != id ? listType : id;
  const bool sizeAgrees = claim.size == size || (claim.sizeMayCountHeader && claim.size == std::uint64_t{size} + 8);
  if (claim.id != seen || !sizeAgrees) throw disagreement(cursor, foundText(seen, size));
  const std::uint64_t data = claim.position + 8;
  if (claim.inner != 0 && (claim.inner < data || claim.inner - data >= size)) {
    throw disagreement(cursor, "but its second field at position " + std::to_string(claim.inner) + " lies outside it");
  }
}

}  // namespace

IndexMatcher::IndexMatcher(brix::SeekableInputStream& stream, std::uint64_t fileSize)
    : stream_(stream), fileSize_(fileSize) {}

void IndexMatcher::add(std::unique_ptr<IndexCursor> cursor) {
  cursors_.push_back(std::move(cursor));
  if (cursors_.back()->advance()) push(cursors_.back().get());
}

void IndexMatcher::push(IndexCursor* cursor) {
  heap_.push_back(cursor);
  std::push_heap(heap_.begin(), heap_.end(), Later());
}

IndexCursor* IndexMatcher::pop() {
  std::pop_heap(heap_.begin(), heap_.end(), Later());
  IndexCursor* cursor = heap_.back();
  heap_.pop_back();
  return cursor;
}

void IndexMatcher::checkEntriesBefore(std::uint64_t position) {
  while (!heap_.empty() && heap_.front()->claim().position < position) {
    IndexCursor* cursor = pop();
    // Every header between the last one met and this one has been seen.
    if (!metAny_ || cursor->claim().position > lastMet_ || cursor->claim().unsound) {
      throw disagreement(*cursor, "where no chunk starts");
    }
    checkBackward(*cursor);
    if (cursor->advance()) push(cursor);
  }
}

bool IndexMatcher::checkEntriesAt(std::uint64_t position, FourCC id, std::uint32_t size, FourCC listType) {
  bool noTime = false;
  while (!heap_.empty() && heap_.front()->claim().position == position) {
    IndexCursor* cursor = pop();
    check(*cursor, id, size, listType);
    noTime = noTime || cursor->claim().noTime;
    if (cursor->advance()) push(cursor);
  }
  return noTime;
}

void IndexMatcher::finish() {
  reach(fileSize_);
  if (!heap_.empty()) throw disagreement(*heap_.front(), "past the end of the file");
}

void IndexMatcher::checkBackward(const IndexCursor& cursor) {
  if (++backwardEntries_ > maxBackwardEntries) {
    throw VerifyProblem(cursor.claim().position, says(cursor) + ", one more of the entries out of order than the " +
                                                     std::to_string(maxBackwardEntries) + " that are checked");
  }
  std::uint8_t header[12];
  const std::uint32_t got = readAt(stream_, cursor.claim().position, header, sizeof header);
  if (got < 8) throw disagreement(cursor, "past the end of the file");
  const FourCC id = readLE32(header);
  const bool list = id == fourcc::LIST || id == fourcc::RIFF;
  check(cursor, id, readLE32(header + 4), list && got == 12 ? readLE32(header + 8) : 0);
}
