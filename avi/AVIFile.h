#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "avi/AVIHeaders.h"
#include "avi/AVIStream.h"
#include "avi/Chunk.h"
#include "base/SeekableInputStream.h"

// A parsed AVI file. The constructor is the parser: it reads the chunk tree,
// checks the layout step by step and either builds the whole model or throws
// the first failing check's message. Only headers, formats and the legacy
// index are read; the movie data is never touched. The stream must outlive
// the model, which does not change after construction.
class AVIFile {
 public:
  // Parses from the stream's current position to its end.
  explicit AVIFile(brix::SeekableInputStream& stream);

  const AVIMAINHEADER& mainHeader() const { return mainHeader_; }
  const AVIEXTHEADER& extendedHeader() const { return extendedHeader_; }
  bool hasExtendedHeader() const { return extendedHeader_.cb != 0; }
  std::size_t streamCount() const { return streams_.size(); }
  // i < streamCount(); not range-checked.
  const std::shared_ptr<AVIStream>& stream(std::size_t i) const { return streams_[i]; }

 private:
  Chunk& findRiff();
  Chunk& findHeaderList(Chunk& riff);
  void readMainHeader(Chunk& hdrl);
  void readStreams(Chunk& hdrl);
  void readExtendedHeader(Chunk& hdrl);
  void readLegacyIndex(Chunk& idx1, std::uint64_t moviDataPosition);

  AVIMAINHEADER mainHeader_{};
  AVIEXTHEADER extendedHeader_{};
  Chunk root_;
  // Declared after the tree, so the streams go first.
  std::vector<std::shared_ptr<AVIStream>> streams_;
};
