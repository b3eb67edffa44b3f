#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
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
//
// A crafted file can be nothing but 8-byte chunk headers, one child record
// each, so what a tree may hold is bounded: a list holds at most
// maxChildrenPerList children ("Too many chunks in list") and the whole tree
// at most maxChunksPerTree ("Too many chunks in file"). Real files stay far
// below both: their RIFF, hdrl and strl lists hold a handful of chunks, and
// the busiest list, the top level of a large OpenDML file, holds one RIFF
// chunk per gigabyte or so, which makes 64 TiB at the list bound. The tree
// bound matters because lists nest: hdrl can hold as many strl lists as one
// list may, and each strl is read for its own children, so bounding each
// list alone would still let the tree grow with the square of the bound.
// With 48-byte records (40 in 32-bit builds) the tree never holds more than
// 6 MiB of them, in at most twice that room as its lists grow, whatever the
// size of the file.
class Chunk {
 public:
  using iterator = std::vector<Chunk>::iterator;

  static constexpr std::size_t maxChildrenPerList = 65536;
  static constexpr std::size_t maxChunksPerTree = 2 * maxChildrenPerList;

  // The root: covers the stream from its current position to its end.
  explicit Chunk(brix::SeekableInputStream& stream);
  // A chunk whose 8-byte header has been read, standing alone with its own
  // bounds; a list needs at least its 4-byte type ("List chunk contains
  // less than 4 bytes").
  Chunk(brix::SeekableInputStream& stream, std::uint64_t dataPosition, std::uint32_t size, FourCC id);
  // A copy carries the subtree read so far and counts against the same
  // tree bound as the original.
  Chunk(const Chunk& other);
  Chunk(Chunk&& other) noexcept = default;
  Chunk& operator=(const Chunk& other) = delete;
  Chunk& operator=(Chunk&& other) noexcept = default;
  ~Chunk() = default;

  FourCC id() const { return id_; }
  std::uint64_t size() const { return isRoot() ? tree_->rootSize : size_; }
  // The first byte after the header; for a list, the position of its type.
  std::uint64_t dataPosition() const { return dataPosition_; }
  brix::SeekableInputStream& stream() const { return *tree_->stream; }

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
  // What every chunk of one tree shares.
  struct Tree {
    brix::SeekableInputStream* stream;
    std::uint64_t rootSize;
    std::size_t chunksLeft;
  };

  Chunk(std::shared_ptr<Tree> tree, std::uint64_t dataPosition, std::uint32_t size, FourCC id);
  void addChild(std::uint64_t dataPosition, std::uint32_t size, FourCC id);

  // Child records are kept small: the stream and the root's 64-bit size
  // live once in the tree, and a chunk whose children were never read holds
  // no vector, only a null pointer.
  std::shared_ptr<Tree> tree_;
  std::unique_ptr<std::vector<Chunk>> children_;  // null until read
  std::uint64_t dataPosition_;
  std::uint32_t size_;  // the root's is in the tree
  FourCC id_;
  FourCC listType_ = 0;
};

// The stream number of a data chunk from the two digits its id starts with
// (01wb is stream 1); throws "Invalid chunk id '<id>' for data chunk".
unsigned streamNumberFromChunkId(FourCC id);
