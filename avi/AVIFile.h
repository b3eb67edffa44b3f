#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "avi/AVIHeaders.h"
#include "avi/AVIStream.h"
#include "avi/Chunk.h"
#include "avi/RiffForms.h"
#include "avi/TextChunks.h"
#include "base/SeekableInputStream.h"

// A parsed AVI file. The constructor is the parser: it reads the chunk tree,
// checks the layout step by step and either builds the whole model or throws
// the first failing check's message. Only headers, formats and the legacy
// index are read; the movie data is never touched. The stream must outlive
// the model, which does not change after construction.
class AVIFile {
 public:
  // What the parse can read besides the structure: text for people (stream
  // names, INFO tags) and what large files hold beyond their first RIFF
  // form (the RIFF forms, each stream's OpenDML index). Reading it never
  // fails the parse nor changes what else is read; skipping it parses
  // exactly the structure.
  enum class Metadata { read, skip };

  // Data chunk ids carry the stream number in two decimal digits, so no file
  // can address more streams than this; a header that claims more is
  // refused before any stream is made ("Too many streams in AVI header").
  static constexpr std::uint32_t maxStreams = 100;

  // Parses from the stream's current position to its end.
  explicit AVIFile(brix::SeekableInputStream& stream, Metadata metadata = Metadata::read);

  const AVIMAINHEADER& mainHeader() const { return mainHeader_; }
  const AVIEXTHEADER& extendedHeader() const { return extendedHeader_; }
  bool hasExtendedHeader() const { return extendedHeader_.cb != 0; }
  std::size_t streamCount() const { return streams_.size(); }
  // i < streamCount(); not range-checked.
  const std::shared_ptr<AVIStream>& stream(std::size_t i) const { return streams_[i]; }
  // Whether the file has a legacy index (idx1), which gives the streams
  // their index entries.
  bool hasLegacyIndex() const { return hasLegacyIndex_; }
  // The tags of the LIST INFO chunks in hdrl and in the RIFF chunk, in file
  // order (see readInfoTags).
  const std::vector<InfoTag>& infoTags() const { return infoTags_; }
  // The file's RIFF forms; none when the file was read for its structure
  // alone.
  const RiffForms& riffForms() const { return riffForms_; }

 private:
  Chunk& findRiff();
  Chunk& findHeaderList(Chunk& riff);
  // Also gives each stream's indx chunk, or null, when metadata is read.
  void readStreams(Chunk& hdrl, Metadata metadata, std::vector<Chunk*>& superIndexes);
  void readInfoLists(Chunk& list) noexcept;
  void readExtendedHeader(Chunk& hdrl);
  void readLegacyIndex(Chunk& idx1, std::uint64_t moviDataPosition);
  void readOpenDML(const std::vector<Chunk*>& superIndexes) noexcept;

  AVIMAINHEADER mainHeader_{};
  AVIEXTHEADER extendedHeader_{};
  Chunk root_;
  // Declared after the tree, so the streams go first.
  std::vector<std::shared_ptr<AVIStream>> streams_;
  bool hasLegacyIndex_ = false;
  std::vector<InfoTag> infoTags_;
  RiffForms riffForms_;
};
