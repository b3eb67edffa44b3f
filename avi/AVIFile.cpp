#include "avi/AVIFile.h"

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "avi/HeaderList.h"
#include "avi/LittleEndian.h"
#include "avi/OpenDMLIndexReader.h"

namespace {

constexpr std::uint32_t minExtendedHeaderBytes = 4;
constexpr std::uint32_t maxExtendedHeaderBytes = 248;

void seekTo(Chunk& chunk) {
  chunk.stream().seek(static_cast<std::int64_t>(chunk.dataPosition()), brix::Seekable::Begin);
}

}  // namespace

AVIFile::AVIFile(brix::SeekableInputStream& stream, Metadata metadata) : root_(stream) {
  Chunk& riff = findRiff();
  Chunk& hdrl = findHeaderList(riff);
  mainHeader_ = readMainHeader(hdrl);
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
  return hdrl;
}

void AVIFile::readStreams(Chunk& hdrl, Metadata metadata, std::vector<Chunk*>& superIndexes) {
  forEachStreamList(hdrl, mainHeader_.dwStreams, [&](std::uint32_t, Chunk& strl, Chunk& strh, Chunk& strf) {
    streams_.push_back(std::make_shared<AVIStream>(strh, strf));
    if (metadata == Metadata::read) {
      // The strl list's children are read already; this reads only the name.
      const auto strn = strl.findChild(0, fourcc::strn, 0);
      if (strn != strl.end()) streams_.back()->readName(*strn);
      const auto indx = strl.findChild(0, fourcc::indx, 0);
      superIndexes.push_back(indx != strl.end() ? &*indx : nullptr);
    }
  });
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
