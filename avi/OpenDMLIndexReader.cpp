#include "avi/OpenDMLIndexReader.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "avi/AVIStream.h"
#include "avi/LittleEndian.h"

namespace {

constexpr std::uint64_t chunkHeaderBytes = 8;
constexpr std::uint64_t indexHeaderBytes = sizeof(OpenDMLIndexHeader);

std::string segmentName(std::uint32_t segment, std::uint64_t position) {
  return "segment " + std::to_string(segment) + " at " + std::to_string(position);
}

}  // namespace

OpenDMLIndexReader::OpenDMLIndexReader(brix::SeekableInputStream& input, std::uint64_t fileEnd)
    : input_(input), fileEnd_(fileEnd) {}

OpenDMLIndex OpenDMLIndexReader::read(Chunk& indx, const AVISTREAMHEADER& header, unsigned stream) {
  stream_ = stream;
  index_ = OpenDMLIndex{};
  try {
    // indx lies inside its list, so inside the file; beyond the entries
    // that are read it holds nothing of use.
    const std::uint64_t wanted =
        std::min<std::uint64_t>(indx.size(), indexHeaderBytes + std::uint64_t{maxSuperIndexEntries} * 16);
    if (readCharged(superIndex_, indx.dataPosition(), wanted, "indx")) {
      const OpenDMLIndexChunk chunk(superIndex_.data(), superIndex_.size());
      index_.readable = true;
      index_.kind = chunk.kind();
      checkChunkId(chunk.header().chunkId, "indx");
      if (chunk.kind() == OpenDMLIndexChunk::Kind::superIndex) {
        index_.fields = chunk.header().subType == odml_index::twoFields;
        readSuperIndex(chunk);
      } else {
        index_.fields = chunk.kind() == OpenDMLIndexChunk::Kind::fieldIndex;
        index_.segments = 1;
        countEntries(chunk, "indx");
      }
    }
  } catch (const std::exception& e) {
    addProblem(std::string("indx: ") + e.what());
  }
  index_.duration = streamSeconds(header, index_.entries, index_.bytes);
  return index_;
}

void OpenDMLIndexReader::readSuperIndex(const OpenDMLIndexChunk& indx) {
  const std::uint32_t listed = indx.header().entriesInUse;
  if (listed > maxSuperIndexEntries) {
    addProblem("indx lists " + std::to_string(listed) + " segments; the first " + std::to_string(maxSuperIndexEntries) +
               " are read");
  } else if (indx.isCutShort()) {
    addProblem("indx claims " + std::to_string(listed) + " segments but holds " + std::to_string(indx.entryCount()));
  }
  index_.segments = indx.entryCount();
  for (std::uint32_t i = 0; i < indx.entryCount(); ++i) readSegment(i, indx.superIndexEntry(i));
}

void OpenDMLIndexReader::readSegment(std::uint32_t segment, const SuperIndexEntry& entry) {
  const std::string what = segmentName(segment, entry.offset);
  try {
    if (entry.offset > fileEnd_ || fileEnd_ - entry.offset < chunkHeaderBytes) {
      addProblem(what + ": lies past the end of the file");
      return;
    }
    // Writers differ on whether dwSize counts the chunk's header: reading
    // 8 bytes more than it says takes in the whole chunk either way.
    const std::uint64_t available = fileEnd_ - entry.offset;
    const std::uint64_t wanted = std::min(
        available, std::max(std::uint64_t{entry.size} + chunkHeaderBytes, chunkHeaderBytes + indexHeaderBytes));
    if (segmentsLeft_ == 0) {
      addBoundProblem(what);
      return;
    }
    --segmentsLeft_;
    if (!readCharged(segment_, entry.offset, wanted, what)) return;
    const FourCC id = readLE32(segment_.data());
    const std::uint32_t size = readLE32(segment_.data() + 4);
    if (id != standardIndexChunkId(stream_)) {
      addProblem(what + ": not an index chunk of stream " + std::to_string(stream_));
      return;
    }
    const std::uint64_t held = segment_.size() - chunkHeaderBytes;
    if (size > held) {
      addProblem(what + (wanted == available ? ": runs past the end of the file" : ": larger than indx says"));
    }
    const OpenDMLIndexChunk chunk(segment_.data() + chunkHeaderBytes,
                                  static_cast<std::size_t>(std::min<std::uint64_t>(size, held)));
    if (chunk.kind() == OpenDMLIndexChunk::Kind::superIndex) {
      addProblem(what + ": a super index, not a standard index");
      return;
    }
    checkChunkId(chunk.header().chunkId, what);
    countEntries(chunk, what);
  } catch (const std::exception& e) {
    addProblem(what + ": " + e.what());
  }
}

bool OpenDMLIndexReader::readCharged(std::vector<std::uint8_t>& into, std::uint64_t position, std::uint64_t count,
                                     const std::string& what) {
  if (count > bytesLeft_) {
    addBoundProblem(what);
    return false;
  }
  bytesLeft_ -= count;
  into.resize(static_cast<std::size_t>(count));
  input_.seek(static_cast<std::int64_t>(position), brix::Seekable::Begin);
  input_.readFully(into.data(), static_cast<std::uint32_t>(count));
  return true;
}

void OpenDMLIndexReader::countEntries(const OpenDMLIndexChunk& chunk, const std::string& what) {
  if (chunk.isCutShort()) {
    addProblem(what + ": claims " + std::to_string(chunk.header().entriesInUse) + " entries but holds " +
               std::to_string(chunk.entryCount()));
  }
  const std::uint64_t base = chunk.baseOffset();
  // From the base on, this much of the file is left; an entry's data
  // (and a field index's second field) must start and end inside it.
  const std::uint64_t room = base > fileEnd_ ? 0 : fileEnd_ - base;
  std::uint64_t outside = 0;
  for (std::uint32_t i = 0; i < chunk.entryCount(); ++i) {
    const StandardIndexEntry entry = chunk.standardIndexEntry(i);
    const std::uint32_t bytes = entry.size & ~odml_index::notKeyFrame;
    if (!(entry.size & odml_index::notKeyFrame)) ++index_.keyFrames;
    index_.bytes += bytes;
    if (base > fileEnd_ || room < entry.offset || room - entry.offset < bytes || room < entry.secondField) ++outside;
  }
  index_.entries += chunk.entryCount();
  if (outside != 0) addProblem(what + ": " + std::to_string(outside) + " entries point past the end of the file");
}

void OpenDMLIndexReader::checkChunkId(FourCC chunkId, const std::string& what) {
  try {
    const unsigned stream = streamNumberFromChunkId(chunkId);
    if (stream != stream_) addProblem(what + ": indexes the chunks of stream " + std::to_string(stream));
  } catch (const std::runtime_error&) {
    addProblem(what + ": indexes chunks of no stream");
  }
}

void OpenDMLIndexReader::addBoundProblem(const std::string& what) {
  addProblem(what + ": not read; the file's index chunks are beyond the " + std::to_string(maxSegmentsPerFile) +
             " segments or " + std::to_string(maxBytesPerFile >> 20) + " MiB read of them");
}

void OpenDMLIndexReader::addProblem(const std::string& text) {
  if (index_.firstProblem.empty()) {
    index_.firstProblem = text;
  } else {
    ++index_.moreProblems;
  }
}
