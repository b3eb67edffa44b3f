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
// chunks: past 21,844 each (a third of the whole tree's bound, less the
// chunks the file needs), the whole tree is over its bound before any list is.
const testing_support::Bytes& emptyChunksInThreeLists(std::size_t chunksPerList);

}  // namespace bench_files
