#pragma once
// The OpenDML index chunks. Each stream's header list (strl) holds a super
// index (indx) that lists where the stream's standard index chunks (ix00,
// ix01, ...) lie, usually one per RIFF form; a writer may also put a
// standard index into indx itself. Every one of them starts its data with
// the same 24-byte header, followed by entries of wLongsPerEntry 32-bit
// words. Decoding works on bytes already read, so the structure view and a
// pass over the movie data that meets an ix## chunk in its own buffer share
// it; no count from the file makes it look outside the bytes it is given.
#include <cstddef>
#include <cstdint>

#include "avi/FourCC.h"

namespace odml_index {
// bIndexType
constexpr std::uint8_t ofIndexes = 0x00;  // a super index
constexpr std::uint8_t ofChunks = 0x01;   // a standard index
// bIndexSubType
constexpr std::uint8_t twoFields = 0x01;  // a field index: each entry has a second field
// Bit 31 of a standard index entry's dwSize.
constexpr std::uint32_t notKeyFrame = 0x80000000u;
}  // namespace odml_index

// The header of every index chunk's data, as laid out in the file (all
// little-endian); decoded, the fields hold the values.
struct OpenDMLIndexHeader {
  std::uint16_t longsPerEntry;   //  0 wLongsPerEntry: 4 super, 2 standard, 3 field index
  std::uint8_t subType;          //  2 bIndexSubType: 0 or twoFields
  std::uint8_t type;             //  3 bIndexType: ofIndexes or ofChunks
  std::uint32_t entriesInUse;    //  4 nEntriesInUse
  FourCC chunkId;                //  8 dwChunkId: the data chunks indexed (00dc, 01wb)
  std::uint32_t baseOffsetLow;   // 12 standard index: qwBaseOffset, low half (super: reserved)
  std::uint32_t baseOffsetHigh;  // 16 ... and high half
  std::uint32_t reserved;        // 20
};
static_assert(sizeof(OpenDMLIndexHeader) == 24 && offsetof(OpenDMLIndexHeader, entriesInUse) == 4 &&
                  offsetof(OpenDMLIndexHeader, chunkId) == 8 && offsetof(OpenDMLIndexHeader, baseOffsetLow) == 12,
              "OpenDML index header layout");

// One entry of a super index: a standard index chunk.
struct SuperIndexEntry {
  std::uint64_t offset;    //  0 qwOffset: file position of the chunk's 8-byte header
  std::uint32_t size;      //  8 dwSize: the chunk's size; writers differ on whether the header counts
  std::uint32_t duration;  // 12 dwDuration: stream time the chunk covers
};
static_assert(sizeof(SuperIndexEntry) == 16 && offsetof(SuperIndexEntry, size) == 8, "super index entry layout");

// One entry of a standard index (8 bytes), or of a field index (12 bytes).
struct StandardIndexEntry {
  std::uint32_t offset;       // 0 dwOffset: from qwBaseOffset to the data chunk's data, past its header
  std::uint32_t size;         // 4 dwSize: bytes of data; bit 31 set: not a key frame
  std::uint32_t secondField;  // 8 field index only: dwOffsetField2, from qwBaseOffset; else 0
};
static_assert(sizeof(StandardIndexEntry) == 12 && offsetof(StandardIndexEntry, secondField) == 8,
              "field index entry layout");

// The data of one index chunk (after its 8-byte chunk header), decoded over
// a buffer the caller keeps alive.
class OpenDMLIndexChunk {
 public:
  enum class Kind { superIndex, standardIndex, fieldIndex };

  // Checks what the entries rely on; throws std::runtime_error with
  // "OpenDML index chunk too small" (under 24 bytes), "Unknown OpenDML
  // index type <n>" or "OpenDML index entries of <n> 32-bit words where
  // <m> belong".
  OpenDMLIndexChunk(const std::uint8_t* data, std::size_t size);

  const OpenDMLIndexHeader& header() const { return header_; }
  Kind kind() const { return kind_; }
  // Where a standard index's entries count from; 0 for a super index.
  std::uint64_t baseOffset() const;
  // nEntriesInUse, or fewer when the data ends first (see isCutShort).
  std::uint32_t entryCount() const { return entryCount_; }
  bool isCutShort() const { return entryCount_ < header_.entriesInUse; }
  // Entry i < entryCount(), of a super index.
  SuperIndexEntry superIndexEntry(std::uint32_t i) const;
  // A super index entry from its 16 bytes, read apart from the header.
  static SuperIndexEntry superIndexEntryAt(const std::uint8_t* bytes);
  // Entry i < entryCount(), of a standard or field index.
  StandardIndexEntry standardIndexEntry(std::uint32_t i) const;
  // An entry of this standard or field index from its wLongsPerEntry
  // 32-bit words, read apart from the header (a long index is read a block
  // at a time).
  StandardIndexEntry standardIndexEntryAt(const std::uint8_t* bytes) const;

 private:
  const std::uint8_t* entry(std::uint32_t i) const;

  const std::uint8_t* data_;
  OpenDMLIndexHeader header_{};
  Kind kind_;
  std::uint32_t entryCount_;
};

// The id of stream n's standard index chunks: ix00 for stream 0; n < 100.
FourCC standardIndexChunkId(unsigned stream);
