#include "tests/support/OpenDMLBuilder.h"

#include <algorithm>
#include <stdexcept>

#include "base/WindowsFile.h"
#ifdef _WIN32
#include <winioctl.h>
#endif

namespace testing_support {
namespace {

void putLE64(Bytes& out, std::uint64_t value) {
  putLE32(out, static_cast<std::uint32_t>(value));
  putLE32(out, static_cast<std::uint32_t>(value >> 32));
}

void append(Bytes& out, const Bytes& more) {
  out.insert(out.end(), more.begin(), more.end());
}

// The form's head up to its movi list's chunks: the form's own chunks, and
// last the movi list without its children, with the sizes given.
Bytes formHead(RiffNode form, std::uint64_t formSize, std::uint64_t moviSize) {
  form.sizeOverride = static_cast<std::uint32_t>(formSize);
  form.children.back().sizeOverride = static_cast<std::uint32_t>(moviSize);
  return serialize(form);
}

// RIFF 'AVI ' with a super index in each strl of the index chunks given (or
// of zeros); its length does not depend on them.
RiffNode firstForm(const OpenDMLLayout& layout, const std::vector<std::vector<std::uint64_t>>& indexChunks) {
  AviLayout avi = layout.avi;
  avi.moviChunks.clear();
  avi.index.reset();
  if (!avi.dmlhSize) avi.dmlhSize = 248;
  avi.grandFrames = layout.chunksPerForm * layout.forms;
  avi.totalFrames = layout.chunksPerForm;
  // Like the muxers, dwSize counts the index chunk's header.
  const std::uint32_t indexChunkBytes = 32 + layout.chunksPerForm * (layout.fieldIndexes ? 12 : 8);
  for (std::size_t s = 0; s < avi.streams.size(); ++s) {
    StreamLayout& stream = avi.streams[s];
    const std::uint32_t duration =
        stream.sampleSize == 0 ? layout.chunksPerForm : layout.chunksPerForm * layout.chunkBytes[s] / stream.sampleSize;
    stream.length = duration * layout.forms;
    std::vector<SuperIndexEntryLayout> entries;
    for (std::uint32_t f = 0; f < layout.forms; ++f) {
      entries.push_back({indexChunks.empty() ? 0 : indexChunks[s][f], indexChunkBytes, duration});
    }
    stream.superIndex = superIndexData(chunkId(s, stream.type), entries, layout.fieldIndexes);
  }
  return buildAvi(avi);
}

}  // namespace

Bytes superIndexData(const std::string& chunkId, const std::vector<SuperIndexEntryLayout>& entries, bool fieldIndexes) {
  Bytes out;
  putLE16(out, 4);
  out.push_back(fieldIndexes ? 1 : 0);
  out.push_back(0);  // AVI_INDEX_OF_INDEXES
  putLE32(out, static_cast<std::uint32_t>(entries.size()));
  putFourCC(out, chunkId);
  out.resize(24, 0);
  for (const SuperIndexEntryLayout& e : entries) {
    putLE64(out, e.offset);
    putLE32(out, e.size);
    putLE32(out, e.duration);
  }
  return out;
}

Bytes standardIndexData(const std::string& chunkId, std::uint64_t baseOffset,
                        const std::vector<StandardIndexEntryLayout>& entries, bool fieldIndex) {
  Bytes out;
  putLE16(out, fieldIndex ? 3 : 2);
  out.push_back(fieldIndex ? 1 : 0);
  out.push_back(1);  // AVI_INDEX_OF_CHUNKS
  putLE32(out, static_cast<std::uint32_t>(entries.size()));
  putFourCC(out, chunkId);
  putLE64(out, baseOffset);
  putLE32(out, 0);
  for (const StandardIndexEntryLayout& e : entries) {
    putLE32(out, e.offset);
    putLE32(out, e.size);
    if (fieldIndex) putLE32(out, e.secondField);
  }
  return out;
}

OpenDMLLayout twelveGigabyteCapture() {
  OpenDMLLayout layout;
  layout.avi.streams = {videoStream(720, 576), audioStream(), audioStream()};
  layout.chunkBytes = {985864, 7056, 7056};
  layout.forms = 12;
  layout.chunksPerForm = 1000;
  return layout;
}

OpenDMLFile buildOpenDML(const OpenDMLLayout& layout) {
  const std::vector<StreamLayout>& streams = layout.avi.streams;
  if (layout.chunkBytes.size() != streams.size()) throw std::runtime_error("buildOpenDML: chunkBytes");
  OpenDMLFile file{{}, 0, {}, {}, std::vector<std::vector<std::uint64_t>>(streams.size())};
  std::vector<std::uint64_t> moviTypes, moviEnds, formHeads;  // per form; formHeads: its piece
  for (std::uint32_t f = 0; f < layout.forms; ++f) {
    // Each form's head is written once the form's size is known.
    file.forms.push_back(file.size);
    formHeads.push_back(file.pieces.size());
    file.pieces.push_back({file.size, {}});
    moviTypes.push_back(file.size + (f == 0 ? serialize(firstForm(layout, {})).size() : 24) - 4);
    std::uint64_t position = moviTypes[f] + 4;
    std::vector<std::vector<StandardIndexEntryLayout>> entries(streams.size());
    std::vector<IndexEntryLayout> legacy;
    for (std::uint32_t c = 0; c < layout.chunksPerForm; ++c) {
      for (std::size_t s = 0; s < streams.size(); ++s) {
        const std::string id = chunkId(s, streams[s].type);
        const std::uint32_t bytes = layout.chunkBytes[s];
        if (layout.chunkHeaders) {
          Bytes header;
          putFourCC(header, id);
          putLE32(header, bytes);
          file.pieces.push_back({position, header});
        }
        const auto offset = static_cast<std::uint32_t>(position + 8 - moviTypes[f]);
        const bool key = streams[s].type != "vids" || (f * layout.chunksPerForm + c) % 10 == 0;
        entries[s].push_back({offset, bytes | (key ? 0 : 0x80000000u), layout.fieldIndexes ? offset + bytes / 2 : 0});
        legacy.push_back({id, key ? 0x10u : 0u, offset - 8, bytes});
        position += 8 + bytes + (bytes & 1);
      }
    }
    Bytes indexes;
    for (std::size_t s = 0; s < streams.size(); ++s) {
      const std::string id = chunkId(s, streams[s].type);
      file.indexChunks[s].push_back(position + indexes.size());
      append(indexes, serialize(dataChunk("ix" + id.substr(0, 2),
                                          standardIndexData(id, moviTypes[f], entries[s], layout.fieldIndexes))));
    }
    moviEnds.push_back(position + indexes.size());
    if (f == 0 && layout.legacyIndex) append(indexes, serialize(dataChunk("idx1", idx1Data(legacy))));
    file.pieces.push_back({position, indexes});
    file.size = position + indexes.size();
  }
  for (std::uint32_t f = 0; f < layout.forms; ++f) {
    const std::uint64_t end = f + 1 < layout.forms ? file.forms[f + 1] : file.size;
    const RiffNode form =
        f == 0 ? firstForm(layout, file.indexChunks) : listChunk("RIFF", "AVIX", {listChunk("LIST", "movi", {})});
    file.pieces[formHeads[f]].bytes = formHead(form, end - file.forms[f] - 8, moviEnds[f] - moviTypes[f]);
  }
  // The super indexes' data, found by their chunk id.
  const Bytes& head = file.pieces[0].bytes;
  for (std::size_t i = 0; i + 4 <= head.size(); ++i) {
    if (std::equal(head.begin() + i, head.begin() + i + 4, "indx")) file.superIndexes.push_back(i + 8);
  }
  return file;
}

Bytes bytesOf(const OpenDMLFile& file) {
  Bytes out(static_cast<std::size_t>(file.size), 0);
  for (const FilePiece& piece : file.pieces) {
    std::copy(piece.bytes.begin(), piece.bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(piece.position));
  }
  return out;
}

void writeSparseFile(const std::string& path, const OpenDMLFile& file) {
  brix::WindowsFile out(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
#ifdef _WIN32
  // Without this, Windows would write every hole out as zeros.
  DWORD unused = 0;
  DeviceIoControl(out.handle(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
#endif
  for (const FilePiece& piece : file.pieces) {
    out.seek(static_cast<std::int64_t>(piece.position), brix::Seekable::Begin);
    std::size_t done = 0;
    while (done < piece.bytes.size()) {
      done += out.write(piece.bytes.data() + done, static_cast<std::uint32_t>(piece.bytes.size() - done));
    }
  }
  const FilePiece& last = file.pieces.back();
  if (last.position + last.bytes.size() != file.size)
    throw std::runtime_error("writeSparseFile: the file ends in a hole");
}

}  // namespace testing_support
