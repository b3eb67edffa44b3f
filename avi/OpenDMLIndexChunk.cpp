#include "avi/OpenDMLIndexChunk.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "avi/LittleEndian.h"

namespace {

constexpr std::uint16_t superIndexLongs = 4;
constexpr std::uint16_t standardIndexLongs = 2;
constexpr std::uint16_t fieldIndexLongs = 3;

std::uint16_t longsPerEntryOf(OpenDMLIndexChunk::Kind kind) {
  switch (kind) {
    case OpenDMLIndexChunk::Kind::superIndex: return superIndexLongs;
    case OpenDMLIndexChunk::Kind::standardIndex: return standardIndexLongs;
    case OpenDMLIndexChunk::Kind::fieldIndex: return fieldIndexLongs;
  }
  return 0;
}

}  // namespace

OpenDMLIndexChunk::OpenDMLIndexChunk(const std::uint8_t* data, std::size_t size) : data_(data) {
  if (size < sizeof(OpenDMLIndexHeader)) throw std::runtime_error("OpenDML index chunk too small");
  header_.longsPerEntry = readLE16(data + offsetof(OpenDMLIndexHeader, longsPerEntry));
  header_.subType = data[offsetof(OpenDMLIndexHeader, subType)];
  header_.type = data[offsetof(OpenDMLIndexHeader, type)];
  header_.entriesInUse = readLE32(data + offsetof(OpenDMLIndexHeader, entriesInUse));
  header_.chunkId = readLE32(data + offsetof(OpenDMLIndexHeader, chunkId));
  header_.baseOffsetLow = readLE32(data + offsetof(OpenDMLIndexHeader, baseOffsetLow));
  header_.baseOffsetHigh = readLE32(data + offsetof(OpenDMLIndexHeader, baseOffsetHigh));
  header_.reserved = readLE32(data + offsetof(OpenDMLIndexHeader, reserved));

  if (header_.type == odml_index::ofIndexes) {
    kind_ = Kind::superIndex;
  } else if (header_.type == odml_index::ofChunks) {
    kind_ = header_.subType == odml_index::twoFields ? Kind::fieldIndex : Kind::standardIndex;
  } else {
    throw std::runtime_error("Unknown OpenDML index type " + std::to_string(header_.type));
  }
  const std::uint16_t longs = longsPerEntryOf(kind_);
  if (header_.longsPerEntry != longs) {
    throw std::runtime_error("OpenDML index entries of " + std::to_string(header_.longsPerEntry) +
                             " 32-bit words where " + std::to_string(longs) + " belong");
  }
  const std::size_t room = (size - sizeof(OpenDMLIndexHeader)) / (std::size_t{longs} * 4);
  entryCount_ = static_cast<std::uint32_t>(std::min<std::size_t>(header_.entriesInUse, room));
}

std::uint64_t OpenDMLIndexChunk::baseOffset() const {
  if (kind_ == Kind::superIndex) return 0;
  return static_cast<std::uint64_t>(header_.baseOffsetHigh) << 32 | header_.baseOffsetLow;
}

const std::uint8_t* OpenDMLIndexChunk::entry(std::uint32_t i) const {
  if (i >= entryCount_) throw std::out_of_range("OpenDML index entry " + std::to_string(i) + " not held");
  return data_ + sizeof(OpenDMLIndexHeader) + std::size_t{i} * header_.longsPerEntry * 4;
}

SuperIndexEntry OpenDMLIndexChunk::superIndexEntry(std::uint32_t i) const {
  if (kind_ != Kind::superIndex) throw std::logic_error("Not a super index");
  return superIndexEntryAt(entry(i));
}

SuperIndexEntry OpenDMLIndexChunk::superIndexEntryAt(const std::uint8_t* p) {
  return {readLE64(p + offsetof(SuperIndexEntry, offset)), readLE32(p + offsetof(SuperIndexEntry, size)),
          readLE32(p + offsetof(SuperIndexEntry, duration))};
}

StandardIndexEntry OpenDMLIndexChunk::standardIndexEntry(std::uint32_t i) const {
  if (kind_ == Kind::superIndex) throw std::logic_error("Not a standard index");
  return standardIndexEntryAt(entry(i));
}

StandardIndexEntry OpenDMLIndexChunk::standardIndexEntryAt(const std::uint8_t* p) const {
  return {readLE32(p + offsetof(StandardIndexEntry, offset)), readLE32(p + offsetof(StandardIndexEntry, size)),
          kind_ == Kind::fieldIndex ? readLE32(p + offsetof(StandardIndexEntry, secondField)) : 0};
}

FourCC standardIndexChunkId(unsigned stream) {
  return makeFourCC('i', 'x', static_cast<char>('0' + stream / 10 % 10), static_cast<char>('0' + stream % 10));
}
