#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "avi/Chunk.h"

// One RIFF form at the top level of the file.
struct RiffForm {
  FourCC type;             // "AVI " or "AVIX" in an AVI file
  std::uint64_t position;  // of the form's 8-byte header
  std::uint64_t size;      // as its header gives it: the bytes after the header
  std::string problem;     // what keeps its movie data from being read; empty when nothing
};

// The RIFF forms of a file, in file order. A file past the first gigabyte
// or so continues its first form, 'AVI ', in 'AVIX' forms, each with a
// movi list of its own. Listing them reads no more than the top level the
// parse has read already, and each listed form after the first once for
// its own children, which tells a form that is cut short.
class RiffForms {
 public:
  // At most this many forms are listed; all are counted.
  static constexpr std::size_t maxListed = 1000;

  // None: the file was read for its structure alone.
  RiffForms() = default;
  // The forms among the root's children. Never throws but std::bad_alloc.
  explicit RiffForms(Chunk& root);

  std::size_t count() const { return count_; }
  const std::vector<RiffForm>& listed() const { return listed_; }
  // Where the file ends, so the bytes it holds when it starts at 0.
  std::uint64_t fileSize() const { return fileSize_; }

 private:
  std::size_t count_ = 0;
  std::vector<RiffForm> listed_;
  std::uint64_t fileSize_ = 0;
};
