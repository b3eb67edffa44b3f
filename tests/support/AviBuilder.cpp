#include "tests/support/AviBuilder.h"

#include "avi/RiffForms.h"
#include "tests/support/OpenDMLBuilder.h"

namespace testing_support {

Bytes bitmapInfoHeader(std::int32_t width, std::int32_t height, std::uint32_t compression, std::uint32_t biSize) {
  Bytes out;
  putLE32(out, biSize);
  putLE32(out, static_cast<std::uint32_t>(width));
  putLE32(out, static_cast<std::uint32_t>(height));
  putLE16(out, 1);   // planes
  putLE16(out, 24);  // bits per pixel
  putLE32(out, compression);
  putLE32(out, static_cast<std::uint32_t>(width * (height < 0 ? -height : height) * 3));  // top-down when negative
  putLE32(out, 0);
  putLE32(out, 0);
  putLE32(out, 0);
  putLE32(out, 0);
  out.resize(biSize > out.size() ? biSize : out.size(), 0);
  return out;
}

Bytes waveFormatEx(std::uint16_t tag, std::uint16_t channels, std::uint32_t samplesPerSec, std::uint16_t bitsPerSample,
                   std::uint16_t cbSize) {
  Bytes out;
  const auto blockAlign = static_cast<std::uint16_t>(channels * bitsPerSample / 8);
  putLE16(out, tag);
  putLE16(out, channels);
  putLE32(out, samplesPerSec);
  putLE32(out, samplesPerSec * blockAlign);
  putLE16(out, blockAlign);
  putLE16(out, bitsPerSample);
  putLE16(out, cbSize);
  out.resize(out.size() + cbSize, 0);
  return out;
}

Bytes waveFormatExtensible(std::uint16_t channels, std::uint32_t samplesPerSec, std::uint16_t bitsPerSample,
                           std::uint16_t validBitsPerSample, std::uint32_t channelMask, std::uint16_t subFormat) {
  Bytes out = waveFormatEx(0xFFFE, channels, samplesPerSec, bitsPerSample, 22);
  out.resize(18);
  putLE16(out, validBitsPerSample);
  putLE32(out, channelMask);
  // {tttttttt-0000-0010-8000-00AA00389B71}, tttttttt the format tag.
  putLE32(out, subFormat);
  out.insert(out.end(), {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71});
  return out;
}

Bytes strhData(const StreamLayout& s) {
  Bytes out;
  putFourCC(out, s.type);
  putFourCC(out, s.handler);
  putLE32(out, s.flags);
  putLE16(out, s.priority);
  putLE16(out, s.language);
  putLE32(out, s.initialFrames);
  putLE32(out, s.scale);
  putLE32(out, s.rate);
  putLE32(out, s.start);
  putLE32(out, s.length);
  putLE32(out, s.suggestedBufferSize);
  putLE32(out, s.quality);
  putLE32(out, s.sampleSize);
  putLE16(out, static_cast<std::uint16_t>(s.left));
  putLE16(out, static_cast<std::uint16_t>(s.top));
  putLE16(out, static_cast<std::uint16_t>(s.right));
  putLE16(out, static_cast<std::uint16_t>(s.bottom));
  out.resize(s.strhSize, 0);
  return out;
}

Bytes idx1Data(const std::vector<IndexEntryLayout>& entries) {
  Bytes out;
  for (const IndexEntryLayout& e : entries) {
    putFourCC(out, e.id);
    putLE32(out, e.flags);
    putLE32(out, e.offset);
    putLE32(out, e.length);
  }
  return out;
}

RiffNode infoList(const std::vector<std::pair<std::string, std::string>>& tags) {
  std::vector<RiffNode> chunks;
  for (const auto& [id, text] : tags) {
    Bytes data(text.begin(), text.end());
    data.push_back(0);
    chunks.push_back(dataChunk(id, data));
  }
  return listChunk("LIST", "INFO", chunks);
}

StreamLayout videoStream(std::int32_t width, std::int32_t height, std::uint32_t compression) {
  StreamLayout s;
  s.right = static_cast<std::int16_t>(width);
  s.bottom = static_cast<std::int16_t>(height);
  s.format = bitmapInfoHeader(width, height, compression);
  return s;
}

StreamLayout audioStream() {
  StreamLayout s;
  s.type = "auds";
  s.handler = std::string("\0\0\0\0", 4);
  s.scale = 4;
  s.rate = 176400;
  s.sampleSize = 4;
  s.right = s.bottom = 0;
  s.format = waveFormatEx(1, 2, 44100, 16, 0);
  return s;
}

std::string chunkId(std::size_t stream, const std::string& type) {
  const std::string number = {static_cast<char>('0' + stream / 10), static_cast<char>('0' + stream % 10)};
  return number + (type == "vids" ? "dc" : type == "auds" ? "wb" : "tx");
}

AviLayout mostRowsLayout() {
  constexpr std::size_t streams = 100;
  constexpr std::size_t tags = 257;
  constexpr std::size_t textBytes = 1024;
  AviLayout layout;
  for (std::size_t i = 0; i < streams; ++i) {
    StreamLayout stream = videoStream();
    if (i % 2 == 1) {
      stream = audioStream();
      stream.format = waveFormatExtensible(6, 48000, 24, 24, 0x3F, 1);
    }
    stream.name = Bytes(textBytes, static_cast<std::uint8_t>('a' + i % 26));
    // A segment past the end of the file: a problem row after the counts.
    stream.superIndex = superIndexData(chunkId(i, stream.type), {{0xFFFFFFFF00ull, 64, 1}});
    layout.streams.push_back(stream);
  }
  layout.dmlhSize = 248;
  layout.index.emplace();
  std::vector<std::pair<std::string, std::string>> info;
  for (std::size_t i = 0; i < tags; ++i) info.emplace_back("ICMT", std::string(textBytes - 1, 'c'));
  layout.hdrlExtras = {infoList(info)};
  // More forms than are listed, so the RIFF group ends with "Not listed".
  layout.laterForms.assign(RiffForms::maxListed + 1, listChunk("RIFF", "AVIX", {}));
  return layout;
}

void addMovieChunks(AviLayout& layout, const std::string& id, std::size_t count, std::size_t dataSize) {
  if (!layout.index) layout.index.emplace();
  // Offsets count from the movi list type: 4 bytes, then the chunks so far.
  std::uint32_t offset = 4;
  for (const RiffNode& chunk : layout.moviChunks) offset += static_cast<std::uint32_t>(serialize(chunk).size());
  for (std::size_t i = 0; i < count; ++i) {
    layout.moviChunks.push_back(dataChunk(id, Bytes(dataSize, static_cast<std::uint8_t>(i))));
    layout.index->push_back({id, i % 10 == 0 ? 0x10u : 0u, offset, static_cast<std::uint32_t>(dataSize)});
    offset += static_cast<std::uint32_t>(8 + dataSize + (dataSize & 1));
  }
}

RiffNode buildAvi(const AviLayout& layout) {
  Bytes avih;
  putLE32(avih, layout.microSecPerFrame);
  putLE32(avih, layout.maxBytesPerSec);
  putLE32(avih, layout.paddingGranularity);
  putLE32(avih, layout.flags);
  putLE32(avih, layout.totalFrames);
  putLE32(avih, layout.initialFrames);
  putLE32(avih, layout.streamCount ? *layout.streamCount : static_cast<std::uint32_t>(layout.streams.size()));
  putLE32(avih, layout.suggestedBufferSize);
  putLE32(avih, layout.width);
  putLE32(avih, layout.height);
  avih.resize(layout.avihSize, 0);

  std::vector<RiffNode> hdrl{dataChunk("avih", avih)};
  for (const StreamLayout& s : layout.streams) {
    RiffNode strl = listChunk("LIST", "strl", {dataChunk("strh", strhData(s)), dataChunk("strf", s.format)});
    if (s.name) strl.children.push_back(dataChunk("strn", *s.name));
    if (s.superIndex) strl.children.push_back(dataChunk("indx", *s.superIndex));
    hdrl.push_back(strl);
  }
  if (layout.dmlhSize) {
    Bytes dmlh;
    putLE32(dmlh, layout.grandFrames);
    dmlh.resize(*layout.dmlhSize, 0);
    hdrl.push_back(listChunk("LIST", "odml", {dataChunk("dmlh", dmlh)}));
  }

  hdrl.insert(hdrl.end(), layout.hdrlExtras.begin(), layout.hdrlExtras.end());

  std::vector<RiffNode> riff{listChunk("LIST", "hdrl", hdrl)};
  riff.insert(riff.end(), layout.riffExtras.begin(), layout.riffExtras.end());
  riff.push_back(listChunk("LIST", "movi", layout.moviChunks));
  if (layout.index) riff.push_back(dataChunk("idx1", idx1Data(*layout.index)));
  return listChunk("RIFF", "AVI ", riff);
}

Bytes aviBytes(const AviLayout& layout) {
  std::vector<RiffNode> file{buildAvi(layout)};
  file.insert(file.end(), layout.laterForms.begin(), layout.laterForms.end());
  return serialize(file);
}

}  // namespace testing_support
