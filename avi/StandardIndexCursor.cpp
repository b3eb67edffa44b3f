#include "avi/StandardIndexCursor.h"

#include <algorithm>
#include <exception>

#include "avi/ChunkIdText.h"
#include "avi/LittleEndian.h"

namespace {

constexpr std::uint32_t chunkHeaderBytes = 8;
constexpr std::uint32_t indexHeaderBytes = sizeof(OpenDMLIndexHeader);

}  // namespace

std::unique_ptr<StandardIndexCursor> StandardIndexCursor::ofSuperIndex(brix::SeekableInputStream& stream,
                                                                       std::uint64_t superIndexEntries,
                                                                       std::uint64_t count) {
  std::unique_ptr<StandardIndexCursor> cursor(new StandardIndexCursor(stream));
  cursor->segments_.emplace(stream, superIndexEntries, count, sizeof(SuperIndexEntry));
  return cursor;
}

std::unique_ptr<StandardIndexCursor> StandardIndexCursor::ofIndexChunk(brix::SeekableInputStream& stream,
                                                                       std::uint64_t position, std::uint32_t size) {
  std::unique_ptr<StandardIndexCursor> cursor(new StandardIndexCursor(stream));
  cursor->single_ = position - chunkHeaderBytes;
  cursor->singleSize_ = size;
  return cursor;
}

bool StandardIndexCursor::advance() {
  if (failed_) return false;
  for (;;) {
    if (entries_) {
      if (const std::uint8_t* bytes = entries_->next()) {
        const StandardIndexEntry entry = segment_->standardIndexEntryAt(bytes);
        // dwOffset points past the data chunk's header.
        const std::uint64_t data = segment_->baseOffset() + entry.offset;
        claim_ = IndexClaim{};
        claim_.position = data >= chunkHeaderBytes ? data - chunkHeaderBytes : 0;
        claim_.id = segment_->header().chunkId;
        claim_.size = entry.size & ~odml_index::notKeyFrame;
        if (segment_->kind() == OpenDMLIndexChunk::Kind::fieldIndex) {
          claim_.inner = segment_->baseOffset() + entry.secondField;
        }
        return true;
      }
      entries_.reset();
    }
    if (single_) {
      const std::uint64_t position = *single_;
      single_.reset();
      if (openSegment(position, singleSize_)) continue;
      return failed_;
    }
    const std::uint8_t* bytes = segments_ ? segments_->next() : nullptr;
    if (!bytes) return false;
    // Writers differ on whether dwSize counts the chunk's header; the
    // chunk's own header tells.
    if (openSegment(OpenDMLIndexChunk::superIndexEntryAt(bytes).offset, 0)) continue;
    if (failed_) return true;
  }
}

bool StandardIndexCursor::openSegment(std::uint64_t position, std::uint64_t dataSize) {
  segmentPosition_ = position;
  std::uint8_t header[chunkHeaderBytes + indexHeaderBytes];
  // A segment that isn't there is the super index's claim to fail.
  if (readAt(stream_, position, header, sizeof header) != sizeof header) return false;
  segmentId_ = readLE32(header);
  if (dataSize == 0) dataSize = readLE32(header + 4);
  std::copy(header + chunkHeaderBytes, header + sizeof header, segmentHeader_);
  try {
    segment_.emplace(segmentHeader_, indexHeaderBytes);
  } catch (const std::exception& e) {
    return failSegment(e.what());
  }
  if (segment_->kind() == OpenDMLIndexChunk::Kind::superIndex)
    return failSegment("a super index, not a standard index");
  const std::uint64_t entryBytes = segment_->header().longsPerEntry * 4u;
  const std::uint64_t held = dataSize < indexHeaderBytes ? 0 : (dataSize - indexHeaderBytes) / entryBytes;
  if (segment_->header().entriesInUse > held) {
    return failSegment("claims " + std::to_string(segment_->header().entriesInUse) + " entries but holds " +
                       std::to_string(held));
  }
  entries_.emplace(stream_, position + chunkHeaderBytes + indexHeaderBytes, segment_->header().entriesInUse,
                   static_cast<std::uint32_t>(entryBytes));
  return true;
}

bool StandardIndexCursor::failSegment(const std::string& text) {
  failed_ = true;
  claim_ = IndexClaim{};
  claim_.position = segmentPosition_;
  claim_.unsound = true;
  problem_ = chunkIdText(segmentId_) + " at position " + std::to_string(segmentPosition_) + ": " + text;
  return false;
}

std::string StandardIndexCursor::name() const {
  return "Entry " + std::to_string(entries_ ? entries_->number() : 0) + " of " + chunkIdText(segmentId_) +
         " at position " + std::to_string(segmentPosition_);
}
