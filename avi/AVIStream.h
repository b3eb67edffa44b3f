#pragma once
#include <cstdint>
#include <vector>

#include "avi/AVIHeaders.h"
#include "avi/Chunk.h"
#include "avi/StreamIndexEntry.h"
#include "base/SeekableInputStream.h"

// One stream of an AVI file: its validated header and format, and the
// chunks the legacy index gives it, each with its position and start time.
// As a stream it delivers no sample data: read gives 0 bytes, seek and tell
// stay at 0.
class AVIStream final : public brix::SeekableInputStream {
 public:
  // Reads and checks the stream header (strh) and format (strf) chunks.
  AVIStream(Chunk& strh, Chunk& strf);

  const AVISTREAMHEADER& header() const { return header_; }
  // The format structure, cut to the size its own fields give.
  const std::vector<std::uint8_t>& format() const { return format_; }
  const std::vector<StreamIndexEntry>& index() const { return index_; }

  // Room for this many more index entries, so the index is sized once.
  void reserveIndex(std::size_t entries);
  // Appends the record of one legacy index entry of this stream, in index
  // order; offsets count from the movi list type.
  void addIndexEntry(const LegacyIndexEntry& entry, std::uint64_t moviDataPosition);

  std::uint32_t read(void* buffer, std::uint32_t count) override;
  std::int64_t seek(std::int64_t offset, int origin) override;
  std::int64_t tell() override;

 private:
  void readHeader(Chunk& strh);
  void readFormat(Chunk& strf);
  void checkVideoFormat();
  void checkAudioFormat();

  brix::SeekableInputStream* input_;
  AVISTREAMHEADER header_{};
  std::vector<std::uint8_t> format_;
  std::vector<StreamIndexEntry> index_;
  double time_ = 0.0;              // end of the last timed entry, in seconds
  std::uint64_t totalBytes_ = 0;   // of the timed entries
  std::uint32_t count_ = 0;        // timed entries
};
