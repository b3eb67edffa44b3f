#pragma once
#include <cstdint>
#include <vector>

#include "avi/FourCC.h"
#include "base/SeekableInputStream.h"

// One node of a RIFF chunk tree, read lazily: a list reads its children the
// first time they are asked for, and never reads chunk data. Every operation
// seeks before it reads, so chunks of one tree can be used in any order.
//
// On disk:  0 id | 4 size (data bytes, little-endian) | 8 data | pad byte if
// size is odd. A list ("RIFF" or "LIST") starts its data with a list type,
// followed by its children laid out the same way.
class Chunk {
 public:
  using iterator = std::vector<Chunk>::iterator;

  // The root: covers the stream from its current position to its end.
  explicit Chunk(brix::SeekableInputStream& stream);
  // A child whose 8-byte header has been read; a list needs at least its
  // 4-byte type ("List chunk contains less than 4 bytes").
  Chunk(brix::SeekableInputStream& stream, std::uint64_t dataPosition, std::uint32_t size, FourCC id);

  FourCC id() const { return id_; }
  std::uint64_t size() const { return size_; }
  // The first byte after the header; for a list, the position of its type.
  std::uint64_t dataPosition() const { return dataPosition_; }
  brix::SeekableInputStream& stream() const { return *stream_; }

  bool isRoot() const { return id_ == 0; }
  bool isList() const { return id_ == 0 || id_ == fourcc::RIFF || id_ == fourcc::LIST; }

  // Read on first request; 0 for the root.
  FourCC listType();

  std::size_t childCount();
  iterator begin();
  iterator end();

  // The n-th child (0-based) with this id and, when listType is not 0, this
  // list type; end() when there are fewer matches.
  iterator findChild(std::size_t n, FourCC id, FourCC listType);

  // Reads the children once; a failure part-way keeps what was read and is
  // not retried.
  void parseSubChunks();

 private:
  brix::SeekableInputStream* stream_;
  std::vector<Chunk> children_;
  bool parsed_ = false;
  FourCC id_;
  FourCC listType_ = 0;
  std::uint64_t dataPosition_;
  std::uint64_t size_;
};

// The stream number of a data chunk from the two digits its id starts with
// (01wb is stream 1); throws "Invalid chunk id '<id>' for data chunk".
unsigned streamNumberFromChunkId(FourCC id);
