#pragma once
// Chunks that hold text for people rather than for the parser: a stream's
// name (strn) and the tags of a LIST INFO. They are read as they come, and
// what a crafted file can make them cost is bounded.
#include <cstddef>
#include <string>
#include <vector>

#include "avi/Chunk.h"
#include "avi/FourCC.h"

// Names and tags are a line of text each; a longer one is cut.
constexpr std::size_t maxTextBytes = 1024;
// Real INFO lists hold a handful of the two dozen or so tags writers use.
constexpr std::size_t maxInfoTags = 256;

struct InfoTag {
  FourCC id;         // e.g. ISFT, INAM
  std::string text;  // the bytes as stored, up to the first NUL
};

// The chunk's bytes up to its first NUL (a text without one ends with the
// chunk), at most maxBytes of them; a cut never ends inside a UTF-8
// sequence. Throws what the stream throws.
std::string readChunkText(Chunk& chunk, std::size_t maxBytes);

// Appends the tags of a LIST INFO, in file order, up to maxInfoTags in all.
// Never throws: a list that breaks off part-way, or a tag that can't be
// read, gives the tags read before it.
void readInfoTags(Chunk& info, std::vector<InfoTag>& tags) noexcept;
