#pragma once
#include <cstddef>

#include "tests/support/RiffBuilder.h"

// In-memory AVI files for the parser benchmarks, made with the test
// builders. Each is built once per argument and kept for the whole run.
namespace bench_files {

// A video and an audio stream whose chunks alternate in movi (all of them
// empty) and an idx1 with one entry per chunk.
const testing_support::Bytes& indexed(std::size_t entries);

// One video stream with this many chunks in movi and no idx1.
const testing_support::Bytes& unindexed(std::size_t chunks);

// Where a file can hold chunks of the smallest kind (an 8-byte header, no
// data) that the parser has to walk, and movi, where it does not.
enum class Place { beforeRiff, afterRiff, riff, hdrl, strl, odml, movi };
const char* placeName(Place place);

// A well-formed file of two streams with this many empty JUNK chunks added
// at place.
const testing_support::Bytes& emptyChunks(Place place, std::size_t chunks);

// A file whose hdrl, first strl and RIFF chunk each hold this many empty
// chunks besides its own threeListsOwnChunks: past 43,686 each, a third of
// the whole tree's bound (131,072) less those, the tree is over its bound
// while every list is still within its own (65,536).
const testing_support::Bytes& emptyChunksInThreeLists(std::size_t chunksPerList);
// RIFF, hdrl, avih, odml, dmlh, movi, and strl, strh and strf of each stream.
constexpr std::size_t threeListsOwnChunks = 12;

}  // namespace bench_files
