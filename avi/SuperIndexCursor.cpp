#include "avi/SuperIndexCursor.h"

#include "avi/OpenDMLIndexChunk.h"

SuperIndexCursor::SuperIndexCursor(brix::SeekableInputStream& stream, std::uint64_t position, std::uint64_t count,
                                   unsigned streamNumber)
    : entries_(stream, position, count, sizeof(SuperIndexEntry)), stream_(streamNumber) {}

bool SuperIndexCursor::advance() {
  const std::uint8_t* bytes = entries_.next();
  if (!bytes) return false;
  const SuperIndexEntry entry = OpenDMLIndexChunk::superIndexEntryAt(bytes);
  claim_ = IndexClaim{};
  claim_.position = entry.offset;
  claim_.id = standardIndexChunkId(stream_);
  claim_.size = entry.size;
  claim_.sizeMayCountHeader = true;
  return true;
}

std::string SuperIndexCursor::name() const {
  return "Entry " + std::to_string(entries_.number()) + " of the super index of stream " + std::to_string(stream_);
}
