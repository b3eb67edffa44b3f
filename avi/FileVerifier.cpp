#include "avi/FileVerifier.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "avi/AVIStream.h"
#include "avi/Chunk.h"
#include "avi/ChunkIdText.h"
#include "avi/HeaderList.h"
#include "avi/LegacyIndexCursor.h"
#include "avi/LittleEndian.h"
#include "avi/OpenDMLIndexReader.h"
#include "avi/StandardIndexCursor.h"
#include "avi/SuperIndexCursor.h"
#include "avi/VerifyProblem.h"

namespace {

constexpr std::uint32_t legacyEntryBytes = sizeof(LegacyIndexEntry);

// The pass was asked to stop after reading up to position.
struct Stopped {
  std::uint64_t position;
};

std::string at(std::uint64_t position) {
  return " at position " + std::to_string(position);
}

bool isList(FourCC id) {
  return id == fourcc::RIFF || id == fourcc::LIST;
}

bool isDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

bool isLetterOrDigit(unsigned char c) {
  return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The number in the two digits from character first on.
unsigned twoDigits(FourCC id, int first) {
  return (fourCCCharacter(id, first) - '0') * 10u + (fourCCCharacter(id, first + 1) - '0');
}

// A data chunk: a stream number in two digits, then two letters or digits
// for the kind of data (00dc, 01wb).
bool isDataChunkId(FourCC id) {
  return isDigit(fourCCCharacter(id, 0)) && isDigit(fourCCCharacter(id, 1)) &&
         isLetterOrDigit(fourCCCharacter(id, 2)) && isLetterOrDigit(fourCCCharacter(id, 3));
}

// The stream of a data chunk.
unsigned streamOf(FourCC id) {
  return twoDigits(id, 0);
}

// An OpenDML standard index chunk: ix and a stream number (ix00).
bool isIndexChunkId(FourCC id) {
  return fourCCCharacter(id, 0) == 'i' && fourCCCharacter(id, 1) == 'x' && isDigit(fourCCCharacter(id, 2)) &&
         isDigit(fourCCCharacter(id, 3));
}

// "LIST 'movi' at position 5742", "chunk '00dc' at position 9982"
std::string named(FourCC id, FourCC type, std::uint64_t position) {
  if (isList(id)) return (id == fourcc::RIFF ? "RIFF " : "LIST ") + chunkIdText(type) + at(position);
  return "chunk " + chunkIdText(id) + at(position);
}

}  // namespace

FileVerifier::FileVerifier(brix::SeekableInputStream& data, brix::SeekableInputStream& lookups, Progress progress)
    : lookups_(lookups),
      progress_(std::move(progress)),
      size_(static_cast<std::uint64_t>(std::max<std::int64_t>(data.size(), 0))),
      reader_(data, size_,
              [this](std::uint64_t position) {
                if (progress_ && !progress_(position, size_)) throw Stopped{position};
              }),
      matcher_(lookups, size_) {}

Verification FileVerifier::run() {
  Verification result;
  try {
    walk();
    result.ok = true;
    result.status = "Ok";
  } catch (const VerifyProblem& problem) {
    result.status = problem.what();
    result.position = problem.position();
  } catch (const Stopped& stopped) {
    result.cancelled = true;
    result.status = "Verification cancelled" + at(stopped.position);
    result.position = stopped.position;
  }
  summarise(result);
  return result;
}

void FileVerifier::walk() {
  if (size_ == 0) throw VerifyProblem(0, "Empty file");
  lists_.push_back({0, size_, 0, 0, 0, ListKind::file, 0});
  std::uint64_t position = 0;
  while (!lists_.empty()) {
    if (position == lists_.back().end) {
      const std::uint32_t size = lists_.back().size;
      closeList();
      // A list of odd size has a pad byte too, unless its own list ends first.
      if (!lists_.empty()) position = std::min(position + (size & 1), lists_.back().end);
    } else {
      position = visitChild(position);
    }
  }
  matcher_.finish();
  reader_.readToEnd();
}

std::uint64_t FileVerifier::visitChild(std::uint64_t position) {
  matcher_.reach(position);
  OpenList& list = lists_.back();
  // The chunk met most, by far: a data chunk in a movi list that is sound.
  // Its checks come first and cost no more than they must.
  if (list.kind == ListKind::movieList && list.end - position >= 8) {
    if (const std::uint8_t* header = reader_.bytesAt(position, 8)) {
      const FourCC id = readLE32(header);
      const std::uint32_t size = readLE32(header + 4);
      const std::uint64_t end = position + 8 + size;
      if (isDataChunkId(id) && streamOf(id) < tallies_.size() && end <= list.end && end <= reader_.size()) {
        ++list.children;
        count(streamOf(id), size, matcher_.meet(position, id, size, 0));
        return std::min(end + (size & 1), list.end);
      }
    }
  }
  const bool inFile = list.kind == ListKind::file;
  // Only for messages: a text per chunk would cost more than the walk.
  const auto inList = [&list, inFile] {
    return inFile ? std::string("the file") : named(list.id, list.type, list.position);
  };
  if (position >= reader_.size()) {
    throw VerifyProblem(position, "The file ends" + at(position) + (inFile ? std::string() : ", inside " + inList()));
  }
  const std::uint64_t room = list.end - position;
  if (room < 8) {
    throw VerifyProblem(position, (inFile ? std::string("The file") : inList()) + " ends with " +
                                      (room == 1 ? std::string("1 byte") : std::to_string(room) + " bytes") +
                                      at(position) + (room == 1 ? " that holds" : " that hold") + " no chunk");
  }
  const std::uint8_t* header = reader_.bytesAt(position, 8);
  if (!header) throw VerifyProblem(position, "The file ends inside the chunk header" + at(position));
  const FourCC id = readLE32(header);
  const std::uint32_t size = readLE32(header + 4);
  FourCC type = 0;
  if (isList(id) && size >= 4) {
    const std::uint8_t* typeBytes = reader_.bytesAt(position + 8, 4);
    if (!typeBytes) throw VerifyProblem(position, "The file ends inside the chunk header" + at(position));
    type = readLE32(typeBytes);
  }
  checkFirstChild(list, position, id, type);
  checkChunkId(list, position, id);
  if (isList(id) && size < 4) throw VerifyProblem(position, "List chunk" + at(position) + " holds less than 4 bytes");
  const std::uint64_t end = position + 8 + size;
  // The file itself has no size of its own to agree with: a form that
  // claims more than there is is a file cut short, found inside it.
  if (end > list.end && !inFile) {
    throw VerifyProblem(position, (isList(id) ? named(id, type, position) : "Chunk " + chunkIdText(id) + at(position)) +
                                      " of " + std::to_string(size) + " bytes runs past the end of " + inList());
  }
  ++list.children;
  if (isList(id)) return enterList(position, id, size, type);
  if (end > reader_.size()) throw VerifyProblem(position, "The file ends inside " + named(id, 0, position));
  if (list.kind == ListKind::aviForm && id == fourcc::idx1 && size % legacyEntryBytes != 0) {
    throw VerifyProblem(position, "Chunk 'idx1'" + at(position) + " holds " + std::to_string(size) +
                                      " bytes, not whole entries of 16 bytes");
  }
  matcher_.meet(position, id, size, 0);
  // An idx1 that the form's chunk tree could not reach ahead of the walk
  // (more chunks before it than a tree holds): its entries all point back,
  // and are checked as entries out of order are.
  if (list.kind == ListKind::aviForm && id == fourcc::idx1 && moviMet_ && !legacyIndexAdded_) {
    addLegacyIndex(position + 8, size);
  }
  // Writers do drop the pad byte of a list's last chunk.
  return std::min(end + (size & 1), list.end);
}

std::uint64_t FileVerifier::enterList(std::uint64_t position, FourCC id, std::uint32_t size, FourCC type) {
  if (lists_.size() > maxDepth) {
    throw VerifyProblem(position, "Lists nested more than " + std::to_string(maxDepth) + " deep" + at(position));
  }
  matcher_.meet(position, id, size, type);
  const OpenList& parent = lists_.back();
  const ListKind kind = kindOf(parent, id, type);
  if (kind == ListKind::movieList && parent.kind == ListKind::aviForm && !moviMet_) {
    moviMet_ = true;
    moviDataPosition_ = position + 8;
    findLegacyIndex(parent);
  }
  lists_.push_back({position, position + 8 + size, size, id, type, kind, 0});
  return position + 12;
}

void FileVerifier::closeList() {
  const OpenList list = lists_.back();
  lists_.pop_back();
  if (list.kind == ListKind::headerList) readHeaders(list);
  if (list.kind == ListKind::aviForm && !moviMet_) {
    throw VerifyProblem(list.position, named(list.id, list.type, list.position) + " holds no LIST 'movi'");
  }
}

void FileVerifier::checkChunkId(const OpenList& list, std::uint64_t position, FourCC id) const {
  if (!isPrintableId(id)) throw VerifyProblem(position, "Garbled chunk id " + chunkIdText(id) + at(position));
  if (list.kind != ListKind::movieList || isList(id) || id == fourcc::JUNK) return;
  const bool data = isDataChunkId(id);
  if (!data && !isIndexChunkId(id)) {
    throw VerifyProblem(position, "Garbled chunk id " + chunkIdText(id) + at(position));
  }
  const unsigned stream = data ? streamOf(id) : twoDigits(id, 2);
  if (stream >= headers_.size()) {
    throw VerifyProblem(position, "Chunk " + chunkIdText(id) + at(position) + " belongs to stream " +
                                      std::to_string(stream) + "; the file has " + std::to_string(headers_.size()));
  }
}

void FileVerifier::checkFirstChild(const OpenList& list, std::uint64_t position, FourCC id, FourCC type) const {
  if (list.children != 0) return;
  if (list.kind == ListKind::file) {
    if (id != fourcc::RIFF) throw VerifyProblem(position, "Not a RIFF file");
    if (type != fourcc::AVI) throw VerifyProblem(position, "Not an AVI file");
  } else if (list.kind == ListKind::aviForm && (id != fourcc::LIST || type != fourcc::hdrl)) {
    throw VerifyProblem(position, named(list.id, list.type, list.position) + " does not start with LIST 'hdrl'" +
                                      at(list.position + 12));
  }
}

FileVerifier::ListKind FileVerifier::kindOf(const OpenList& parent, FourCC id, FourCC type) const {
  switch (parent.kind) {
    case ListKind::file:
      if (id == fourcc::RIFF && type == fourcc::AVI && parent.children == 1) return ListKind::aviForm;
      return id == fourcc::RIFF && type == fourcc::AVIX ? ListKind::extensionForm : ListKind::other;
    case ListKind::aviForm:
      if (parent.children == 1) return ListKind::headerList;
      return id == fourcc::LIST && type == fourcc::movi ? ListKind::movieList : ListKind::other;
    case ListKind::extensionForm:
      return id == fourcc::LIST && type == fourcc::movi ? ListKind::movieList : ListKind::other;
    case ListKind::movieList: return ListKind::movieList;
    default: return ListKind::other;
  }
}

void FileVerifier::readHeaders(const OpenList& hdrl) {
  // The walk has read the whole list already: this reads it again, where
  // it is still in the cache, through the parser's own chunk tree.
  Chunk list(lookups_, hdrl.position + 8, hdrl.size, fourcc::LIST);
  std::uint64_t where = hdrl.position;
  try {
    const AVIMAINHEADER main = readMainHeader(list);
    forEachStreamList(list, main.dwStreams, [&](std::uint32_t i, Chunk& strl, Chunk& strh, Chunk& strf) {
      where = strl.dataPosition() - 8;
      const AVIStream stream(strh, strf);
      const AVISTREAMHEADER& header = stream.header();
      headers_.push_back(header);
      lengths_.push_back(static_cast<double>(header.dwScale) * header.dwLength / header.dwRate);
      const auto indx = strl.findChild(0, fourcc::indx, 0);
      if (indx != strl.end()) {
        where = indx->dataPosition() - 8;
        addOpenDMLIndex(*indx, i);
      }
      where = hdrl.position;
    });
  } catch (const VerifyProblem&) {
    throw;
  } catch (const std::exception& e) {
    throw VerifyProblem(where, e.what() + at(where));
  }
  tallies_.resize(headers_.size());
}

void FileVerifier::addOpenDMLIndex(Chunk& indx, unsigned stream) {
  std::uint8_t bytes[sizeof(OpenDMLIndexHeader)];
  const std::uint32_t got = indx.size() < sizeof bytes ? 0 : readAt(lookups_, indx.dataPosition(), bytes, sizeof bytes);
  const OpenDMLIndexChunk chunk(bytes, got);
  if (chunk.kind() != OpenDMLIndexChunk::Kind::superIndex) {
    // A writer may put a stream's one standard index into indx itself.
    matcher_.add(StandardIndexCursor::ofIndexChunk(lookups_, indx.dataPosition(), indx.size()));
    return;
  }
  const std::uint64_t entries = indx.dataPosition() + sizeof bytes;
  const std::uint64_t held = (indx.size() - sizeof bytes) / sizeof(SuperIndexEntry);
  const std::uint32_t listed = chunk.header().entriesInUse;
  if (listed > held) {
    throw std::runtime_error("The super index claims " + std::to_string(listed) + " entries but holds " +
                             std::to_string(held));
  }
  if (listed > OpenDMLIndexReader::maxSuperIndexEntries) {
    throw std::runtime_error("The super index lists " + std::to_string(listed) + " entries, more than the " +
                             std::to_string(OpenDMLIndexReader::maxSuperIndexEntries) + " that are followed");
  }
  // The stream lasts as long as the chunks its segments index.
  std::uint64_t ticks = 0;
  EntryReader reader(lookups_, entries, listed, sizeof(SuperIndexEntry));
  while (const std::uint8_t* entry = reader.next()) ticks += OpenDMLIndexChunk::superIndexEntryAt(entry).duration;
  const AVISTREAMHEADER& header = headers_.back();
  lengths_.back() = static_cast<double>(header.dwScale) * static_cast<double>(ticks) / header.dwRate;
  matcher_.add(std::make_unique<SuperIndexCursor>(lookups_, entries, listed, stream));
  matcher_.add(StandardIndexCursor::ofSuperIndex(lookups_, entries, listed));
}

void FileVerifier::findLegacyIndex(const OpenList& aviForm) {
  std::uint64_t dataPosition = 0;
  std::uint64_t size = 0;
  try {
    // The form's chunks are read header by header, skipping movi.
    Chunk form(lookups_, aviForm.position + 8, aviForm.size, fourcc::RIFF);
    const auto idx1 = form.findChild(0, fourcc::idx1, 0);
    if (idx1 == form.end()) return;
    dataPosition = idx1->dataPosition();
    size = idx1->size();
  } catch (const std::exception&) {
    // A form whose chunks can't be followed as far as an idx1 has its
    // fault found by the walk.
    return;
  }
  // An index that isn't all there is the walk's to find.
  if (dataPosition + size > reader_.size()) return;
  addLegacyIndex(dataPosition, static_cast<std::uint32_t>(size));
}

void FileVerifier::addLegacyIndex(std::uint64_t dataPosition, std::uint32_t size) {
  legacyIndexAdded_ = true;
  matcher_.add(std::make_unique<LegacyIndexCursor>(lookups_, dataPosition, size, moviDataPosition_));
}

void FileVerifier::count(unsigned stream, std::uint32_t size, bool noTime) {
  Tally& tally = tallies_[stream];
  ++tally.chunks;
  tally.bytes += size;
  if (!noTime) {
    ++tally.timedChunks;
    tally.timedBytes += size;
  }
}

void FileVerifier::summarise(Verification& result) const {
  for (std::size_t i = 0; i < tallies_.size(); ++i) {
    const Tally& tally = tallies_[i];
    const double duration = streamSeconds(headers_[i], tally.timedChunks, tally.timedBytes);
    result.streams.push_back({tally.chunks, tally.bytes, duration, std::max(lengths_[i], duration)});
  }
  // The longest stream tells how much of the file is sound.
  const auto longest =
      std::max_element(result.streams.begin(), result.streams.end(),
                       [](const VerifiedStream& a, const VerifiedStream& b) { return a.length < b.length; });
  if (longest != result.streams.end()) {
    result.soundUpTo = longest->duration;
    result.length = longest->length;
  }
}
