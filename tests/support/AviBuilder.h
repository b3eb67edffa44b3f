#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/RiffBuilder.h"

namespace testing_support {

// Contents of one strl list.
struct StreamLayout {
  std::string type = "vids";
  std::string handler = "MJPG";
  std::uint32_t flags = 0;
  std::uint16_t priority = 0;
  std::uint16_t language = 0;
  std::uint32_t initialFrames = 0;
  std::uint32_t scale = 1;
  std::uint32_t rate = 25;
  std::uint32_t start = 0;
  std::uint32_t length = 0;
  std::uint32_t suggestedBufferSize = 0;
  std::uint32_t quality = 0xFFFFFFFF;
  std::uint32_t sampleSize = 0;
  std::int16_t left = 0, top = 0, right = 320, bottom = 240;
  std::uint32_t strhSize = 56;      // bytes of strh data written (extra bytes are zeros)
  Bytes format;                     // strf data
  std::optional<Bytes> name;        // strn data, written after strf when set
  std::optional<Bytes> superIndex;  // indx data, written last when set
};

struct IndexEntryLayout {
  std::string id;  // e.g. "00dc"
  std::uint32_t flags;
  std::uint32_t offset;  // from the movi list type
  std::uint32_t length;
};

// A well-formed AVI file, described field by field; tests change what they
// need, build the chunk tree, and may break it further before serialising.
struct AviLayout {
  std::uint32_t microSecPerFrame = 40000;
  std::uint32_t maxBytesPerSec = 0;
  std::uint32_t paddingGranularity = 0;
  std::uint32_t flags = 0x10;
  std::uint32_t totalFrames = 0;
  std::uint32_t initialFrames = 0;
  std::optional<std::uint32_t> streamCount;  // default: streams.size()
  std::uint32_t suggestedBufferSize = 0;
  std::uint32_t width = 320;
  std::uint32_t height = 240;
  std::uint32_t avihSize = 56;
  std::vector<StreamLayout> streams;
  std::optional<std::uint32_t> dmlhSize;  // OpenDML header written when set
  std::uint32_t grandFrames = 0;
  std::vector<RiffNode> moviChunks;
  std::optional<std::vector<IndexEntryLayout>> index;  // idx1 written when set
  std::vector<RiffNode> hdrlExtras;                    // at the end of hdrl
  std::vector<RiffNode> riffExtras;                    // between hdrl and movi
  std::vector<RiffNode> laterForms;                    // top-level chunks after the RIFF 'AVI ' chunk
};

Bytes bitmapInfoHeader(std::int32_t width, std::int32_t height, std::uint32_t compression = 0,
                       std::uint32_t biSize = 40);
// A WAVEFORMATEX with cbSize and that many extra bytes after it.
Bytes waveFormatEx(std::uint16_t tag, std::uint16_t channels, std::uint32_t samplesPerSec, std::uint16_t bitsPerSample,
                   std::uint16_t cbSize);
// A WAVEFORMATEXTENSIBLE: the WAVEFORMATEX of tag 0xFFFE with cbSize 22,
// then the valid bits per sample, the channel mask and the sub-format, the
// GUID of the format tag subFormat.
Bytes waveFormatExtensible(std::uint16_t channels, std::uint32_t samplesPerSec, std::uint16_t bitsPerSample,
                           std::uint16_t validBitsPerSample, std::uint32_t channelMask, std::uint16_t subFormat);
Bytes strhData(const StreamLayout& stream);
Bytes idx1Data(const std::vector<IndexEntryLayout>& entries);

// A LIST INFO of (id, text) tags, each text written with a NUL after it.
RiffNode infoList(const std::vector<std::pair<std::string, std::string>>& tags);

constexpr std::uint32_t mjpgCompression = 0x47504A4D;  // "MJPG"
StreamLayout videoStream(std::int32_t width = 320, std::int32_t height = 240,
                         std::uint32_t compression = mjpgCompression);
StreamLayout audioStream();
// The id of a stream's data chunks: its number, then "dc", "wb" or "tx" by
// its type.
std::string chunkId(std::size_t stream, const std::string& type);

// The file that gives the most rows any file can give: as many streams as
// chunk ids address, each with every row a stream can have (the longest
// formats, a name, an index summary), the OpenDML header, and one INFO tag
// more than are shown; every name and tag as long as is shown.
AviLayout mostRowsLayout();

// movi chunks and matching idx1 entries: count chunks of id (e.g. "00dc")
// with dataSize bytes each; every key-th one is a key frame.
void addMovieChunks(AviLayout& layout, const std::string& id, std::size_t count, std::size_t dataSize);

// The RIFF 'AVI ' chunk of the layout.
RiffNode buildAvi(const AviLayout& layout);
// The file: the RIFF 'AVI ' chunk, then the later forms.
Bytes aviBytes(const AviLayout& layout);

}  // namespace testing_support
