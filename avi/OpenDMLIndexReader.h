#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "avi/AVIHeaders.h"
#include "avi/Chunk.h"
#include "avi/OpenDMLIndex.h"
#include "base/SeekableInputStream.h"

// Reads the OpenDML indexes of one file's streams, in stream order, after
// the parse: one read for a stream's indx chunk and one for each standard
// index chunk it lists, into buffers that are reused; nothing is kept per
// entry. What a crafted file can make this cost is bounded per file.
class OpenDMLIndexReader {
 public:
  // At most this many segments of one super index are read.
  static constexpr std::uint32_t maxSuperIndexEntries = 65536;
  // At most this many standard index chunks are read per file, and this
  // many bytes of index chunks, indx included. 32 MiB holds some 4 million
  // entries of standard indexes (2.8 million of field indexes), 23 hours of
  // a video and an audio stream at 25 frames per second.
  static constexpr std::uint32_t maxSegmentsPerFile = 65536;
  static constexpr std::uint64_t maxBytesPerFile = std::uint64_t{32} << 20;

  // fileEnd is where the file ends, which no index chunk nor entry may pass.
  OpenDMLIndexReader(brix::SeekableInputStream& input, std::uint64_t fileEnd);

  // The index of stream number `stream` from its indx chunk. Never throws
  // but std::bad_alloc.
  OpenDMLIndex read(Chunk& indx, const AVISTREAMHEADER& header, unsigned stream);

 private:
  void readSuperIndex(const OpenDMLIndexChunk& indx);
  void readSegment(std::uint32_t segment, const SuperIndexEntry& entry);
  // Reads count bytes at position in one read, charged to what is left for
  // the file; false, with the problem noted, when that can't pay them.
  bool readCharged(std::vector<std::uint8_t>& into, std::uint64_t position, std::uint64_t count,
                   const std::string& what);
  void countEntries(const OpenDMLIndexChunk& chunk, const std::string& what);
  void checkChunkId(FourCC chunkId, const std::string& what);
  void addBoundProblem(const std::string& what);
  void addProblem(const std::string& text);

  brix::SeekableInputStream& input_;
  std::uint64_t fileEnd_;
  std::uint32_t segmentsLeft_ = maxSegmentsPerFile;
  std::uint64_t bytesLeft_ = maxBytesPerFile;
  // Reused from chunk to chunk: the indx being read, and one of its segments.
  std::vector<std::uint8_t> superIndex_;
  std::vector<std::uint8_t> segment_;
  // The stream being read.
  unsigned stream_ = 0;
  OpenDMLIndex index_;
};
