#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/AviBuilder.h"

namespace testing_support {

// The data of OpenDML index chunks (after the chunk header). A super index
// entry points at a standard index chunk; a standard index entry at a data
// chunk's data, relative to the index's base.
struct SuperIndexEntryLayout {
  std::uint64_t offset;
  std::uint32_t size;
  std::uint32_t duration;
};
struct StandardIndexEntryLayout {
  std::uint32_t offset;
  std::uint32_t size;  // bit 31 set: not a key frame
  std::uint32_t secondField = 0;
};
Bytes superIndexData(const std::string& chunkId, const std::vector<SuperIndexEntryLayout>& entries,
                     bool fieldIndexes = false);
Bytes standardIndexData(const std::string& chunkId, std::uint64_t baseOffset,
                        const std::vector<StandardIndexEntryLayout>& entries, bool fieldIndex = false);

// A large AVI file in the OpenDML layout: a RIFF 'AVI ' form with the
// headers, then 'AVIX' forms; in each form every stream has chunksPerForm
// chunks, interleaved, followed by a standard index chunk per stream; each
// stream's strl holds a super index of them. Of a video stream's chunks
// every tenth is a key frame, as addMovieChunks makes them; of the others
// every one.
struct OpenDMLLayout {
  AviLayout avi;                          // main header fields and the streams; its movie and index are not used
  std::vector<std::uint32_t> chunkBytes;  // per stream: the bytes of each of its chunks
  std::uint32_t forms = 2;
  std::uint32_t chunksPerForm = 3;
  bool legacyIndex = true;  // idx1 after the first form's movi, for its chunks
  bool fieldIndexes = false;
  // Each data chunk's 8-byte header is written (its data stays zeros), as
  // a walk over every chunk needs; without them the movie data is a hole.
  bool chunkHeaders = false;
};

struct FilePiece {
  std::uint64_t position;
  Bytes bytes;
};
struct OpenDMLFile {
  std::vector<FilePiece> pieces;  // in file order, none overlapping; the rest of the file is zeros
  std::uint64_t size;
  std::vector<std::uint64_t> forms;                     // position of each form's header
  std::vector<std::uint64_t> superIndexes;              // per stream: position of its indx data
  std::vector<std::vector<std::uint64_t>> indexChunks;  // per stream, per form: its ix chunk's header
};

// A capture of 8 minutes in 12 forms of about 1 GB, 12 GB in all: 25
// frames a second of 985,864 bytes and two 44.1 kHz stereo PCM tracks, a
// million bytes a frame; idx1 indexes the first form.
OpenDMLLayout twelveGigabyteCapture();

OpenDMLFile buildOpenDML(const OpenDMLLayout& layout);
// The whole file in memory, for files of a few megabytes at most.
Bytes bytesOf(const OpenDMLFile& file);
// Writes the pieces at their positions and leaves the rest as holes, so a
// file of many gigabytes takes a few blocks of disk (marked sparse on
// Windows). Throws what the file throws.
void writeSparseFile(const std::string& path, const OpenDMLFile& file);

}  // namespace testing_support
