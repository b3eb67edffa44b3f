#include "avi/AVIStream.h"

#include <exception>
#include <stdexcept>

#include "avi/LittleEndian.h"
#include "avi/TextChunks.h"

namespace {

constexpr std::uint32_t headerBytes = 56;
constexpr std::size_t bitmapInfoHeaderSize = 40;
constexpr std::size_t bitmapInfoHeaderCompression = 16;
constexpr std::uint32_t extendedBitmapCompression = 0xFFFFFFFE;
constexpr std::size_t extendedBitmapInfoHeaderSize = 56;
constexpr std::size_t pcmWaveFormatSize = 16;
constexpr std::size_t waveFormatExSize = 18;
constexpr std::size_t waveFormatExCbSize = 16;
constexpr std::uint16_t extensibleFormatTag = 0xFFFE;
constexpr std::size_t waveFormatExtensibleSize = 40;

}  // namespace

AVIStream::AVIStream(Chunk& strh, Chunk& strf) : input_(&strh.stream()) {
  readHeader(strh);
  readFormat(strf);
  if (header_.fccType == fourcc::vids) {
    checkVideoFormat();
  } else if (header_.fccType == fourcc::auds) {
    checkAudioFormat();
  }
}

void AVIStream::readHeader(Chunk& strh) {
  if (strh.size() < headerBytes) throw std::runtime_error("The strh chunk is too small");
  input_->seek(static_cast<std::int64_t>(strh.dataPosition()), Begin);
  header_.fcc = fourcc::strh;
  header_.cb = headerBytes;
  input_->readFully(reinterpret_cast<std::uint8_t*>(&header_) + 8, headerBytes);
  if (header_.dwRate == 0) throw std::runtime_error("dwRate is 0");
  if (header_.dwScale == 0) throw std::runtime_error("dwScale is 0");
}

void AVIStream::readFormat(Chunk& strf) {
  // The chunk lies inside the file, so the file bounds this allocation.
  format_.assign(static_cast<std::size_t>(strf.size()), 0);
  input_->seek(static_cast<std::int64_t>(strf.dataPosition()), Begin);
  input_->readFully(format_.data(), static_cast<std::uint32_t>(format_.size()));
}

// The format is a BITMAPINFOHEADER; biSize says how much of it counts.
void AVIStream::checkVideoFormat() {
  if (format_.size() < bitmapInfoHeaderSize) {
    throw std::runtime_error("Streamformat data for video stream too small");
  }
  const std::uint32_t biSize = readLE32(format_.data());
  if (biSize < bitmapInfoHeaderSize || biSize > format_.size()) {
    throw std::runtime_error("biSize field for BITMAPINFOHEADER does not match the size of the strf chunk");
  }
  format_.resize(biSize);
  if (readLE32(format_.data() + bitmapInfoHeaderCompression) == extendedBitmapCompression &&
      format_.size() < extendedBitmapInfoHeaderSize) {
    throw std::runtime_error("Size of extended BITMAPINFOHEADER too small");
  }
}

// The format is a WAVEFORMATEX (or its 16-byte predecessor without cbSize).
void AVIStream::checkAudioFormat() {
  if (format_.size() < pcmWaveFormatSize) {
    throw std::runtime_error("Streamformat data for audio stream too small");
  }
  if (format_.size() != pcmWaveFormatSize) {
    if (format_.size() < waveFormatExSize ||
        format_.size() < waveFormatExSize + readLE16(format_.data() + waveFormatExCbSize)) {
      throw std::runtime_error(
          "Streamformat data size for audio stream does not match the cbSize field of the WAVEFORMATEX "
          "structure");
    }
    format_.resize(waveFormatExSize + readLE16(format_.data() + waveFormatExCbSize));
  }
  if (readLE16(format_.data()) == extensibleFormatTag && format_.size() < waveFormatExtensibleSize) {
    throw std::runtime_error("Streamformat data size too small for a WAVEFORMATEXTENSIBLE structure");
  }
}

void AVIStream::reserveIndex(std::size_t entries) { index_.reserve(index_.size() + entries); }

void AVIStream::addIndexEntry(const LegacyIndexEntry& entry, std::uint64_t moviDataPosition) {
  StreamIndexEntry record{};
  record.position = moviDataPosition + entry.offset + 8;
  record.length = entry.length;
  record.type = static_cast<std::uint16_t>(entry.chunkId >> 16);
  if (entry.flags & legacy_index_flags::keyFrame) record.flags |= StreamIndexEntry::keyFrame;
  if (entry.flags & legacy_index_flags::noTime) {
    record.flags |= StreamIndexEntry::noTime;
    record.bytesBefore = UINT64_MAX;
    record.timeBefore = -1.0;
  } else {
    record.bytesBefore = totalBytes_;
    record.timeBefore = time_;
    ++count_;
    totalBytes_ += entry.length;
    time_ = streamSeconds(header_, count_, totalBytes_);
  }
  index_.push_back(record);
}

void AVIStream::readName(Chunk& strn) noexcept {
  try {
    name_ = readChunkText(strn, maxTextBytes);
  } catch (const std::exception&) {
    name_.reset();
  }
}

std::uint32_t AVIStream::read(void*, std::uint32_t) { return 0; }

std::int64_t AVIStream::seek(std::int64_t, int) { return 0; }

std::int64_t AVIStream::tell() { return 0; }

double streamSeconds(const AVISTREAMHEADER& header, std::uint64_t chunks, std::uint64_t bytes) {
  const std::uint64_t samples = header.dwSampleSize != 0 ? bytes / header.dwSampleSize : chunks;
  return static_cast<double>(header.dwScale) * static_cast<double>(samples) / header.dwRate;
}
