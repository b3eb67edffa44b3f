#pragma once
#include <cstdint>
#include <string>

#include "avi/OpenDMLIndexChunk.h"

// What one stream's OpenDML index says: how many standard index chunks
// ("segments") its super index lists and, over all their entries, how many
// data chunks, key frames and bytes they index and how long the stream
// lasts by them. Files past the first gigabyte are indexed only here; the
// legacy index covers the first RIFF form alone. Made by
// OpenDMLIndexReader, which never fails a file: what is wrong with the
// index is kept here as a problem, next to what could be counted.
struct OpenDMLIndex {
  // Whether indx's own header could be read; kind and fields tell what it is.
  bool readable = false;
  OpenDMLIndexChunk::Kind kind = OpenDMLIndexChunk::Kind::superIndex;
  // Whether the standard indexes are field indexes.
  bool fields = false;
  std::uint32_t segments = 0;
  std::uint64_t entries = 0;
  std::uint64_t keyFrames = 0;
  std::uint64_t bytes = 0;
  // In seconds, by the same rule as the legacy index's end time.
  double duration = 0.0;
  // The first problem met and how many more there were; empty when none.
  std::string firstProblem;
  std::uint32_t moreProblems = 0;
};
