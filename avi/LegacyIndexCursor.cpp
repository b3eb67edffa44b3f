#include "avi/LegacyIndexCursor.h"

#include "avi/AVIHeaders.h"
#include "avi/LittleEndian.h"

namespace {

constexpr std::uint32_t entryBytes = sizeof(LegacyIndexEntry);

LegacyIndexEntry decode(const std::uint8_t* bytes) {
  return {readLE32(bytes), readLE32(bytes + 4), readLE32(bytes + 8), readLE32(bytes + 12)};
}

// Whether the chunk header at position has this id.
bool holdsChunk(brix::SeekableInputStream& stream, std::uint64_t position, FourCC id, bool list) {
  std::uint8_t header[12];
  const std::uint32_t wanted = list ? 12 : 8;
  if (readAt(stream, position, header, wanted) != wanted) return false;
  return readLE32(header + (list ? 8 : 0)) == id;
}

}  // namespace

LegacyIndexCursor::LegacyIndexCursor(brix::SeekableInputStream& stream, std::uint64_t dataPosition, std::uint32_t size,
                                     std::uint64_t moviDataPosition)
    : entries_(stream, dataPosition, size / entryBytes, entryBytes), base_(moviDataPosition) {
  std::uint8_t first[entryBytes];
  if (readAt(stream, dataPosition, first, entryBytes) != entryBytes) return;
  const LegacyIndexEntry entry = decode(first);
  const bool list = (entry.flags & legacy_index_flags::list) != 0;
  if (!holdsChunk(stream, moviDataPosition + entry.offset, entry.chunkId, list) &&
      holdsChunk(stream, entry.offset, entry.chunkId, list)) {
    base_ = 0;
  }
}

bool LegacyIndexCursor::advance() {
  const std::uint8_t* bytes = entries_.next();
  if (!bytes) return false;
  const LegacyIndexEntry entry = decode(bytes);
  claim_ = IndexClaim{};
  claim_.position = base_ + entry.offset;
  claim_.id = entry.chunkId;
  claim_.size = entry.length;
  claim_.noTime = (entry.flags & legacy_index_flags::noTime) != 0;
  return true;
}

std::string LegacyIndexCursor::name() const {
  return "Entry " + std::to_string(entries_.number()) + " of idx1";
}
