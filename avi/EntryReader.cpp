#include "avi/EntryReader.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "avi/VerifyProblem.h"

EntryReader::EntryReader(brix::SeekableInputStream& stream, std::uint64_t position, std::uint64_t count,
                         std::uint32_t entryBytes)
    : stream_(stream), position_(position), left_(count), entryBytes_(entryBytes) {}

bool EntryReader::readBlock() {
  if (left_ == 0) return false;
  const std::uint64_t entries = std::min<std::uint64_t>(left_, blockBytes / entryBytes_);
  if (!block_.data()) block_ = PageBuffer(blockBytes);
  const std::uint32_t got =
      readAt(stream_, position_, block_.data(), static_cast<std::uint32_t>(entries * entryBytes_));
  // What the file does not hold is not an entry.
  const std::uint32_t whole = got / entryBytes_;
  held_ = std::size_t{whole} * entryBytes_;
  left_ = whole < entries ? 0 : left_ - entries;
  position_ += entries * entryBytes_;
  offset_ = 0;
  return whole != 0;
}

std::uint32_t readAt(brix::SeekableInputStream& stream, std::uint64_t position, void* buffer, std::uint32_t count) {
  if (position > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return 0;
  try {
    stream.seek(static_cast<std::int64_t>(position), brix::Seekable::Begin);
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    std::uint32_t done = 0;
    while (done < count) {
      const std::uint32_t got = stream.read(bytes + done, count - done);
      if (got == 0) break;
      done += got;
    }
    return done;
  } catch (const std::exception& e) {
    throw unreadableAt(position, e);
  }
}
