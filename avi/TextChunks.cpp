#include "avi/TextChunks.h"

#include <cstdint>
#include <exception>

namespace {

// Drops a UTF-8 lead byte at the end that lacks some of its continuation
// bytes, with those it has.
void dropCutSequence(std::string& text) {
  for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    if (length > back) text.resize(text.size() - back);
    return;
  }
}

}  // namespace

std::string readChunkText(Chunk& chunk, std::size_t maxBytes) {
  const bool cut = chunk.size() > maxBytes;
  std::string text(cut ? maxBytes : static_cast<std::size_t>(chunk.size()), '\0');
  chunk.stream().seek(static_cast<std::int64_t>(chunk.dataPosition()), brix::Seekable::Begin);
  chunk.stream().readFully(&text[0], static_cast<std::uint32_t>(text.size()));
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) {
    text.resize(nul);
  } else if (cut) {
    dropCutSequence(text);
  }
  return text;
}

void readInfoTags(Chunk& info, std::vector<InfoTag>& tags) noexcept {
  try {
    try {
      info.parseSubChunks();
    } catch (const std::exception&) {
      // The children read before the fault are kept; they are what fits.
    }
    for (Chunk& tag : info) {
      if (tags.size() >= maxInfoTags) return;
      if (tag.isList()) continue;
      tags.push_back({tag.id(), readChunkText(tag, maxTextBytes)});
    }
  } catch (const std::exception&) {
    // A tag that can't be read ends the list; the tags before it stay.
  }
}
