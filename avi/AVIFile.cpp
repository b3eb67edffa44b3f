#include "avi/AVIFile.h"

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "avi/LittleEndian.h"
#include "avi/OpenDMLIndexReader.h"

namespace {

constexpr std::uint32_t minMainHeaderBytes = 48;
constexpr std::uint32_t maxMainHeaderBytes = 56;
constexpr std::uint32_t minExtendedHeaderBytes = 4;
constexpr std::uint32_t maxExtendedHeaderBytes = 248;

std::runtime_error streamError(const char* before, std::uint32_t stream, const char* after) {
  return std::runtime_error(before + std::to_string(stream) + after);
}

void seekTo(Chunk& chunk) {
  chunk.stream().seek(static_cast<std::int64_t>(chunk.dataPosition()), brix::Seekable::Begin);
}

}  // namespace

AVIFile::AVIFile(brix::SeekableInputStream& stream, Metadata metadata) : root_(stream) {
  Chunk& riff = findRiff();
  Chunk& hdrl = findHeaderList(riff);
  readMainHeader(hdrl);
  std::vector<Chunk*> superIndexes;
  readStreams(hdrl, metadata, superIndexes);
  readExtendedHeader(hdrl);
  const auto movi = riff.findChild(0, fourcc::LIST, fourcc::movi);
  if (movi == riff.end()) throw std::runtime_error("No LIST:movi chunk found");
  const auto idx1 = riff.findChild(0, fourcc::idx1, 0);
  if (idx1 != riff.end()) {
    readLegacyIndex(*idx1, movi->dataPosition());
    hasLegacyIndex_ = true;
  }
  // Last, so that the INFO lists' children count against the tree's bound
  // only once the structure has been read: they can't make it fail.
  if (metadata == Metadata::read) {
    readInfoLists(hdrl);
    readInfoLists(riff);
    readOpenDML(superIndexes);
  }
}

Chunk& AVIFile::findRiff() {
  if (root_.childCount() == 0) throw std::runtime_error("Empty file");
  Chunk& riff = *root_.begin();
  if (riff.id() != fourcc::RIFF) throw std::runtime_error("Not a RIFF file");
  if (riff.listType() != fourcc::AVI) throw std::runtime_error("Not an AVI file");
  if (riff.childCount() == 0) throw std::runtime_error("AVI chunk has no sub chunks");
  return riff;
}

Chunk& AVIFile::findHeaderList(Chunk& riff) {
  Chunk& hdrl = *riff.begin();
  if (hdrl.id() != fourcc::LIST || hdrl.listType() != fourcc::hdrl) {
    throw std::runtime_error("First chunk in AVI chunk is not LIST:hdrl");
  }
  if (hdrl.childCount() == 0) throw std::runtime_error("AVI header list is empty");
  return hdrl;
}

void AVIFile::readMainHeader(Chunk& hdrl) {
  Chunk& avih = *hdrl.begin();
  if (avih.id() != fourcc::avih) {
    throw std::runtime_error("First chunk in AVI header list is not the AVI header chunk (avih)");
  }
  if (avih.size() < minMainHeaderBytes) throw std::runtime_error("AVIH chunk too small");
  mainHeader_ = AVIMAINHEADER{};
  mainHeader_.fcc = fourcc::avih;
  mainHeader_.cb = static_cast<std::uint32_t>(std::min<std::uint64_t>(avih.size(), maxMainHeaderBytes));
  seekTo(avih);
  avih.stream().readFully(reinterpret_cast<std::uint8_t*>(&mainHeader_) + 8, mainHeader_.cb);
}

void AVIFile::readStreams(Chunk& hdrl, Metadata metadata, std::vector<Chunk*>& superIndexes) {
  // dwStreams comes from the file: the lists that exist bound the work, not
  // the count. Past what chunk ids can address the count is refused outright:
  // otherwise a few megabytes of minimal strl lists make tens of thousands
  // of streams, and every one of them costs its readers rows and memory.
  if (mainHeader_.dwStreams > maxStreams) {
    throw std::runtime_error("Too many streams in AVI header (" + std::to_string(mainHeader_.dwStreams) + ", at most " +
                             std::to_string(maxStreams) + ")");
  }
  // The i-th strl list is the next one after the (i-1)-th.
  auto strl = hdrl.begin();
  for (std::uint32_t i = 0; i < mainHeader_.dwStreams; ++i, ++strl) {
    while (strl != hdrl.end() && !(strl->id() == fourcc::LIST && strl->listType() == fourcc::strl)) ++strl;
    if (strl == hdrl.end()) throw streamError("Stream header list for stream ", i, " not found");
    const auto strh = strl->findChild(0, fourcc::strh, 0);
    if (strh == strl->end()) throw streamError("strh chunk for stream ", i, " not found");
    const auto strf = strl->findChild(0, fourcc::strf, 0);
    if (strf == strl->end()) throw streamError("strf chunk for stream ", i, " not found");
    streams_.push_back(std::make_shared<AVIStream>(*strh, *strf));
    if (metadata == Metadata::read) {
      // The strl list's children are read already; this reads only the name.
      const auto strn = strl->findChild(0, fourcc::strn, 0);
      if (strn != strl->end()) streams_.back()->readName(*strn);
      const auto indx = strl->findChild(0, fourcc::indx, 0);
      superIndexes.push_back(indx != strl->end() ? &*indx : nullptr);
    }
  }
}

void AVIFile::readInfoLists(Chunk& list) noexcept {
  try {
    for (Chunk& child : list) {
      if (child.id() == fourcc::LIST && child.listType() == fourcc::INFO) readInfoTags(child, infoTags_);
    }
  } catch (const std::exception&) {
    // The list types came with the headers, so nothing is read here that
    // could fail; should it, the tags read so far stay.
  }
}

void AVIFile::readOpenDML(const std::vector<Chunk*>& superIndexes) noexcept {
  try {
    riffForms_ = RiffForms(root_);
    OpenDMLIndexReader reader(root_.stream(), riffForms_.fileSize());
    for (std::size_t i = 0; i < superIndexes.size(); ++i) {
      if (!superIndexes[i]) continue;
      streams_[i]->setOpenDMLIndex(reader.read(*superIndexes[i], streams_[i]->header(), static_cast<unsigned>(i)));
    }
  } catch (const std::exception&) {
    // Only running out of memory gets here; what was read so far stays.
  }
}

void AVIFile::readExtendedHeader(Chunk& hdrl) {
  extendedHeader_ = AVIEXTHEADER{};
  const auto odml = hdrl.findChild(0, fourcc::LIST, fourcc::odml);
  if (odml == hdrl.end()) return;
  const auto dmlh = odml->findChild(0, fourcc::dmlh, 0);
  if (dmlh == odml->end()) return;
  // Writers do write short OpenDML headers; what they hold is read, the
  // rest stays 0.
  if (dmlh->size() < minExtendedHeaderBytes) throw std::runtime_error("Open DML header size is incorrect");
  extendedHeader_.fcc = fourcc::dmlh;
  extendedHeader_.cb = static_cast<std::uint32_t>(std::min<std::uint64_t>(dmlh->size(), maxExtendedHeaderBytes));
  seekTo(*dmlh);
  dmlh->stream().readFully(reinterpret_cast<std::uint8_t*>(&extendedHeader_) + 8, extendedHeader_.cb);
}

void AVIFile::readLegacyIndex(Chunk& idx1, std::uint64_t moviDataPosition) {
  if (idx1.size() % sizeof(LegacyIndexEntry) != 0) throw std::runtime_error("Invalid legacy index chunk size");
  const auto count = static_cast<std::size_t>(idx1.size() / sizeof(LegacyIndexEntry));
  // The chunk lies inside the file, so the file bounds this allocation.
  std::unique_ptr<LegacyIndexEntry[]> entries(new LegacyIndexEntry[count]);
  seekTo(idx1);
  idx1.stream().readFully(entries.get(), static_cast<std::uint32_t>(idx1.size()));

  // First pass: check every entry in order and count per stream, so each
  // stream's index is allocated once at its final size.
  std::array<std::size_t, maxStreams> perStream{};
  for (std::size_t k = 0; k < count; ++k) {
    const unsigned s = streamNumberFromChunkId(entries[k].chunkId);
    if (s >= mainHeader_.dwStreams) {
      throw std::runtime_error("Bad stream number " + std::to_string(s) + " in legacy index entry " +
                               std::to_string(k));
    }
    ++perStream[s];
  }
  for (std::size_t s = 0; s < streams_.size(); ++s) streams_[s]->reserveIndex(perStream[s]);
  for (std::size_t k = 0; k < count; ++k) {
    streams_[streamNumberFromChunkId(entries[k].chunkId)]->addIndexEntry(entries[k], moviDataPosition);
  }
}
