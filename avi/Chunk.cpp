#include "avi/Chunk.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "avi/LittleEndian.h"

namespace {

std::int64_t asPosition(std::uint64_t position) { return static_cast<std::int64_t>(position); }

// Headers of children are read this many bytes at a time after a child of at
// most denseChildBytes; small enough that the data read along with them
// costs nothing worth counting.
constexpr std::uint32_t windowBytes = 512;
constexpr std::uint64_t denseChildBytes = 128;

}  // namespace

static_assert(sizeof(Chunk) <= 48, "child records stay compact");

Chunk::Chunk(brix::SeekableInputStream& stream)
    : tree_(std::make_shared<Tree>(Tree{&stream, 0, maxChunksPerTree})), size_(0), id_(0) {
  const std::int64_t start = stream.tell();
  const std::int64_t end = stream.size();
  dataPosition_ = static_cast<std::uint64_t>(start);
  tree_->rootSize = end > start ? static_cast<std::uint64_t>(end - start) : 0;
}

Chunk::Chunk(brix::SeekableInputStream& stream, std::uint64_t dataPosition, std::uint32_t size, FourCC id)
    : Chunk(std::make_shared<Tree>(Tree{&stream, 0, maxChunksPerTree}), dataPosition, size, id) {}

Chunk::Chunk(std::shared_ptr<Tree> tree, std::uint64_t dataPosition, std::uint32_t size, FourCC id)
    : tree_(std::move(tree)), dataPosition_(dataPosition), size_(size), id_(id) {
  if (isList() && size < 4) throw std::runtime_error("List chunk contains less than 4 bytes");
}

Chunk::Chunk(const Chunk& other)
    : tree_(other.tree_),
      children_(other.children_ ? std::make_unique<std::vector<Chunk>>(*other.children_) : nullptr),
      dataPosition_(other.dataPosition_),
      size_(other.size_),
      id_(other.id_),
      listType_(other.listType_) {}

FourCC Chunk::listType() {
  if (isRoot()) return 0;
  if (listType_ == 0) {
    std::uint8_t bytes[4];
    stream().seek(asPosition(dataPosition_), brix::Seekable::Begin);
    stream().readFully(bytes, sizeof bytes);
    listType_ = readLE32(bytes);
  }
  return listType_;
}

std::size_t Chunk::childCount() {
  parseSubChunks();
  return children_->size();
}

Chunk::iterator Chunk::begin() {
  parseSubChunks();
  return children_->begin();
}

Chunk::iterator Chunk::end() {
  parseSubChunks();
  return children_->end();
}

Chunk::iterator Chunk::findChild(std::size_t n, FourCC id, FourCC listType) {
  for (auto it = begin(); it != children_->end(); ++it) {
    if (it->id() != id) continue;
    if (listType != 0 && (!it->isList() || it->listType() != listType)) continue;
    if (n-- == 0) return it;
  }
  return children_->end();
}

void Chunk::addChild(std::uint64_t dataPosition, std::uint32_t size, FourCC id) {
  if (children_->size() == maxChildrenPerList) throw std::runtime_error("Too many chunks in list");
  if (tree_->chunksLeft == 0) throw std::runtime_error("Too many chunks in file");
  children_->push_back(Chunk(tree_, dataPosition, size, id));
  --tree_->chunksLeft;
}

void Chunk::parseSubChunks() {
  if (children_) return;
  children_ = std::make_unique<std::vector<Chunk>>();
  brix::SeekableInputStream& input = stream();
  std::uint64_t position = dataPosition_;
  std::uint64_t remaining = size();
  if (!isRoot()) {
    if (size_ < 4) throw std::runtime_error("AVI list too small for even the content id");
    position += 4;  // past the list type
    remaining -= 4;
  }
  // A run of tiny children (a crafted file can hold millions) is read a
  // window at a time, not one seek and one read per header; a header after
  // a larger child, which most likely lies far away, is read on its own, so
  // the data of big chunks (movi) is never read.
  std::uint8_t window[windowBytes];
  std::uint64_t windowPosition = 0;
  std::uint32_t windowLength = 0;
  bool dense = false;
  while (remaining != 0) {
    if (remaining < 8) throw std::runtime_error("AVI structure error while parsing sub chunks");
    // A child list's type comes with its header in the same read; the
    // twelve bytes always lie inside this chunk.
    const std::uint32_t headerBytes = remaining >= 12 ? 12 : 8;
    if (position < windowPosition || position - windowPosition + headerBytes > windowLength) {
      input.seek(asPosition(position), brix::Seekable::Begin);
      windowPosition = position;
      windowLength = 0;
      if (dense) {
        // Within this chunk, so only a short read stops short of it.
        windowLength = input.read(window, static_cast<std::uint32_t>(std::min<std::uint64_t>(remaining, windowBytes)));
        if (windowLength < headerBytes) input.seek(asPosition(position), brix::Seekable::Begin);
      }
      if (windowLength < headerBytes) windowLength = input.readFully(window, headerBytes);
    }
    const std::uint8_t* header = window + (position - windowPosition);
    const FourCC id = readLE32(header);
    const std::uint32_t size = readLE32(header + 4);
    if (id == 0) throw std::runtime_error("Non-root chunk has chunk id 0");
    remaining -= 8;
    if (remaining < size) throw std::runtime_error("AVI structure error while skipping sub chunk");
    addChild(position + 8, size, id);
    if (headerBytes == 12 && children_->back().isList()) children_->back().listType_ = readLE32(header + 8);
    const std::uint64_t padded = std::uint64_t{size} + (size & 1);
    // Writers do drop the pad byte of a list's last child: the list ends
    // there rather than reading on past its end.
    if (padded > remaining) break;
    remaining -= padded;
    position += 8 + padded;
    dense = 8 + padded <= denseChildBytes;
  }
}

unsigned streamNumberFromChunkId(FourCC id) {
  const auto first = static_cast<unsigned char>(id & 0xFF);
  const auto second = static_cast<unsigned char>((id >> 8) & 0xFF);
  if (first < '0' || first > '9' || second < '0' || second > '9') {
    std::string text = "Invalid chunk id '";
    for (int shift = 0; shift < 32; shift += 8) text += static_cast<char>((id >> shift) & 0xFF);
    text += "' for data chunk";
    throw std::runtime_error(text);
  }
  return (first - '0') * 10u + (second - '0');
}
