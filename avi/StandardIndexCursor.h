#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "avi/EntryReader.h"
#include "avi/IndexCursor.h"
#include "avi/OpenDMLIndexChunk.h"

// The entries of one stream's OpenDML standard index chunks (ix00 for
// stream 0), segment after segment in the order its super index lists
// them: each entry says where one data chunk lies, relative to its
// segment's base, and how large it is. A segment whose own header is
// unsound makes a claim that always fails, at the segment's position.
class StandardIndexCursor : public IndexCursor {
 public:
  // The segments the super index lists: count entries of 16 bytes from
  // superIndexEntries on.
  static std::unique_ptr<StandardIndexCursor> ofSuperIndex(brix::SeekableInputStream& stream,
                                                           std::uint64_t superIndexEntries, std::uint64_t count);
  // The one segment of an indx chunk that holds a standard index itself:
  // its data at position, size bytes long.
  static std::unique_ptr<StandardIndexCursor> ofIndexChunk(brix::SeekableInputStream& stream, std::uint64_t position,
                                                           std::uint32_t size);

  bool advance() override;
  std::string name() const override;
  std::string problem() const override { return problem_; }

 private:
  explicit StandardIndexCursor(brix::SeekableInputStream& stream) : stream_(stream) {}

  // Reads the header of the segment whose chunk header lies at position;
  // false when the segment holds no entries to walk.
  bool openSegment(std::uint64_t position, std::uint64_t dataSize);
  // A claim that fails at the segment, with this text.
  bool failSegment(const std::string& text);

  brix::SeekableInputStream& stream_;
  std::optional<EntryReader> segments_;
  std::optional<EntryReader> entries_;
  std::uint64_t segmentPosition_ = 0;  // of the segment's chunk header
  FourCC segmentId_ = 0;
  std::uint8_t segmentHeader_[sizeof(OpenDMLIndexHeader)];
  std::optional<OpenDMLIndexChunk> segment_;  // over segmentHeader_
  // The one segment a stream-less indx gives, not yet opened.
  std::optional<std::uint64_t> single_;
  std::uint32_t singleSize_ = 0;
  bool failed_ = false;
  std::string problem_;
};
