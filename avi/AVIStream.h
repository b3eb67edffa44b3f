#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "avi/AVIHeaders.h"
#include "avi/Chunk.h"
#include "avi/OpenDMLIndex.h"
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
  // When the last timed chunk of the index ends, in seconds; 0 without one.
  double endTime() const { return time_; }
  // The stream's name from its strn chunk, when it has one that could be
  // read (see readChunkText).
  const std::optional<std::string>& name() const { return name_; }
  // What the stream's OpenDML index counts, when its header list has one
  // and the file was read with more than its structure.
  const std::optional<OpenDMLIndex>& openDMLIndex() const { return openDMLIndex_; }

  // Room for this many more index entries, so the index is sized once.
  void reserveIndex(std::size_t entries);
  // Appends the record of one legacy index entry of this stream, in index
  // order; offsets count from the movi list type.
  void addIndexEntry(const LegacyIndexEntry& entry, std::uint64_t moviDataPosition);
  // Reads the name from the strn chunk of the stream's header list. Never
  // throws: a name that can't be read is left out.
  void readName(Chunk& strn) noexcept;
  void setOpenDMLIndex(OpenDMLIndex index) { openDMLIndex_ = std::move(index); }

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
  std::optional<std::string> name_;
  std::optional<OpenDMLIndex> openDMLIndex_;
  double time_ = 0.0;             // end of the last timed entry, in seconds
  std::uint64_t totalBytes_ = 0;  // of the timed entries
  std::uint32_t count_ = 0;       // timed entries
};

// How long a stream's chunks last, whichever index lists them: with no
// sample size each chunk is one sample, else the bytes hold bytes / sample
// size whole samples; a sample lasts dwScale / dwRate seconds.
double streamSeconds(const AVISTREAMHEADER& header, std::uint64_t chunks, std::uint64_t bytes);
