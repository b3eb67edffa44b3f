#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "avi/AVIHeaders.h"
#include "avi/BlockReader.h"
#include "avi/Chunk.h"
#include "avi/IndexMatcher.h"
#include "avi/Verification.h"
#include "base/SeekableInputStream.h"

// Verifies a whole AVI file in one pass, front to back, reading every byte
// in large blocks and never going back: every chunk of every list, in every
// RIFF form, must lie inside its list; the chunks of each movi list (and of
// the lists in it, such as 'rec ') must be data chunks of streams the file
// has, index chunks, JUNK or lists; the forms and lists must end where the
// file does; and every entry of the legacy index (idx1) and of the OpenDML
// indexes must name a chunk that is there, with its id and size. The pass
// stops at the first problem and says at which byte it lies.
//
// What the pass needs of the headers it reads as it passes them: the
// header list comes first in the file. The indexes, which lie after the
// data they index, are read through cursors of their own (IndexMatcher),
// so memory stays the same whatever the size of the file. The pass reads
// the file through one stream, on a thread of its own (BlockReader); the
// headers and indexes are looked up through a second stream over the same
// file.
class FileVerifier {
 public:
  // Lists nested deeper than this are refused: real files nest four deep.
  static constexpr std::size_t maxDepth = 64;

  // Told how far the pass has read, and the file's size, after each block;
  // false stops the pass.
  using Progress = std::function<bool(std::uint64_t position, std::uint64_t size)>;

  // The pass reads data from its start to its end; lookups is the same
  // file, for the positioned reads of headers and indexes. Reads the size;
  // throws what the stream throws.
  FileVerifier(brix::SeekableInputStream& data, brix::SeekableInputStream& lookups, Progress progress = nullptr);
  FileVerifier(const FileVerifier&) = delete;
  FileVerifier& operator=(const FileVerifier&) = delete;

  // Runs the pass, once. What stops it, a problem of the file, a read that
  // fails or a stop asked for, becomes the result; only a lack of memory
  // is thrown.
  Verification run();

 private:
  enum class ListKind { file, aviForm, extensionForm, headerList, movieList, other };
  struct OpenList {
    std::uint64_t position;  // of its header
    std::uint64_t end;
    std::uint32_t size;
    FourCC id;
    FourCC type;
    ListKind kind;
    std::uint64_t children;
  };
  struct Tally {
    std::uint64_t chunks = 0;
    std::uint64_t bytes = 0;
    std::uint64_t timedChunks = 0;
    std::uint64_t timedBytes = 0;
  };

  void walk();
  // Takes the chunk at position, the next in the innermost open list;
  // returns where the walk goes on.
  std::uint64_t visitChild(std::uint64_t position);
  std::uint64_t enterList(std::uint64_t position, FourCC id, std::uint32_t size, FourCC type);
  void closeList();
  void checkChunkId(const OpenList& list, std::uint64_t position, FourCC id) const;
  void checkFirstChild(const OpenList& list, std::uint64_t position, FourCC id, FourCC type) const;
  ListKind kindOf(const OpenList& parent, FourCC id, FourCC type) const;
  void readHeaders(const OpenList& hdrl);
  // The cursors of a stream's OpenDML index, from its indx chunk; throws
  // what is wrong with the chunk itself.
  void addOpenDMLIndex(Chunk& indx, unsigned stream);
  void findLegacyIndex(const OpenList& aviForm);
  void addLegacyIndex(std::uint64_t dataPosition, std::uint32_t size);
  void count(unsigned stream, std::uint32_t size, bool noTime);
  void summarise(Verification& result) const;

  brix::SeekableInputStream& lookups_;
  Progress progress_;
  std::uint64_t size_;
  BlockReader reader_;
  IndexMatcher matcher_;
  std::vector<OpenList> lists_;
  bool moviMet_ = false;
  std::uint64_t moviDataPosition_ = 0;  // of the AVI form's first movi list
  bool legacyIndexAdded_ = false;
  std::vector<AVISTREAMHEADER> headers_;
  std::vector<double> lengths_;
  std::vector<Tally> tallies_;
};
