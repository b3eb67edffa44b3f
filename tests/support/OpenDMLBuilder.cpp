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

std::string chunkIdOf(std::size_t stream, const StreamLayout& layout) {
  const std::string number = {static_cast<char>('0' + stream / 10), static_cast<char>('0' + stream % 10)};
  return number + (layout.type == "vids" ? "dc" : layout.type == "auds" ? "wb" : "tx");
}

std::uint64_t padded(std::uint64_t size) {
  return size + (size & 1);
}

// Where everything lies. Forms follow each other; in each, after its
// headers, come chunksPerForm rounds of one chunk of every stream, then one
// standard index chunk per stream, and after the first form's movi its idx1.
struct Geometry {
  const OpenDMLLayout& layout;
  std::uint64_t firstHeaderBytes;  // the first form up to its movi list's chunks

  std::size_t streams() const { return layout.avi.streams.size(); }
  std::uint64_t headerBytes(std::uint32_t form) const { return form == 0 ? firstHeaderBytes : 24; }
  std::uint64_t chunkBytes(std::size_t stream) const { return 8 + padded(layout.chunkBytes[stream]); }
  std::uint64_t roundBytes() const {
    std::uint64_t bytes = 0;
    for (std::size_t s = 0; s < streams(); ++s) bytes += chunkBytes(s);
    return bytes;
  }
  std::uint64_t indexChunkBytes() const {
    return 8 + 24 + std::uint64_t{layout.chunksPerForm} * (layout.fieldIndexes ? 12 : 8);
  }
  // Forms after the first hold the same; the first form ends where its
  // idx1 does.
  std::uint64_t formPosition(std::uint32_t form) const {
    if (form == 0) return 0;
    const std::uint64_t later = 24 + layout.chunksPerForm * roundBytes() + streams() * indexChunkBytes();
    return formEnd(0) + (form - 1) * later;
  }
  std::uint64_t moviType(std::uint32_t form) const { return formPosition(form) + headerBytes(form) - 4; }
  std::uint64_t chunkData(std::uint32_t form, std::uint32_t chunk, std::size_t stream) const {
    std::uint64_t position = moviType(form) + 4 + chunk * roundBytes() + 8;
    for (std::size_t s = 0; s < stream; ++s) position += chunkBytes(s);
    return position;
  }
  std::uint64_t indexChunk(std::uint32_t form, std::size_t stream) const {
    return moviType(form) + 4 + layout.chunksPerForm * roundBytes() + stream * indexChunkBytes();
  }
  std::uint64_t moviEnd(std::uint32_t form) const { return indexChunk(form, streams()); }
  std::uint64_t formEnd(std::uint32_t form) const {
    const bool legacy = form == 0 && layout.legacyIndex;
    return moviEnd(form) + (legacy ? 8 + 16 * std::uint64_t{layout.chunksPerForm} * streams() : 0);
  }
  bool isKeyFrame(std::size_t stream, std::uint32_t form, std::uint32_t chunk) const {
    return layout.avi.streams[stream].type != "vids" || (form * layout.chunksPerForm + chunk) % 10 == 0;
  }
  std::uint32_t duration(std::size_t stream) const {
    const std::uint32_t sampleSize = layout.avi.streams[stream].sampleSize;
    return sampleSize == 0 ? layout.chunksPerForm : layout.chunksPerForm * layout.chunkBytes[stream] / sampleSize;
  }
};

void putListHeader(Bytes& out, const char* id, std::uint64_t size, const char* type) {
  putFourCC(out, id);
  putLE32(out, static_cast<std::uint32_t>(size));
  putFourCC(out, type);
}

// RIFF 'AVI ' with its header list and the head of its movi list. Without
// the geometry, sizes and positions are 0 but the length is right; with it,
// where each indx's data lies is given too.
Bytes firstFormHead(const OpenDMLLayout& layout, const Geometry* g, std::vector<std::uint64_t>* superIndexes) {
  AviLayout avi = layout.avi;
  avi.index.reset();
  if (!avi.dmlhSize) avi.dmlhSize = 248;
  avi.grandFrames = layout.chunksPerForm * layout.forms;
  avi.totalFrames = layout.chunksPerForm;
  for (std::size_t s = 0; s < avi.streams.size(); ++s) {
    std::vector<SuperIndexEntryLayout> entries(layout.forms, SuperIndexEntryLayout{0, 0, 0});
    for (std::uint32_t f = 0; g && f < layout.forms; ++f) {
      // Like the muxers, dwSize counts the index chunk's header.
      entries[f] = {g->indexChunk(f, s), static_cast<std::uint32_t>(g->indexChunkBytes()), g->duration(s)};
    }
    avi.streams[s].superIndex = superIndexData(chunkIdOf(s, avi.streams[s]), entries, layout.fieldIndexes);
    if (g) avi.streams[s].length = g->duration(s) * layout.forms;
  }
  const RiffNode hdrl = buildAvi(avi).children[0];
  Bytes out;
  putListHeader(out, "RIFF", g ? g->formEnd(0) - 8 : 0, "AVI ");
  append(out, serialize(hdrl));
  putListHeader(out, "LIST", g ? g->moviEnd(0) - g->moviType(0) : 0, "movi");
  std::uint64_t position = 24;  // past the RIFF and hdrl list headers
  for (const RiffNode& list : hdrl.children) {
    std::uint64_t inner = position + 12;
    for (const RiffNode& chunk : list.children) {
      if (chunk.id == "indx" && superIndexes) superIndexes->push_back(inner + 8);
      inner += serialize(chunk).size();
    }
    position += serialize(list).size();
  }
  return out;
}

// The form's standard index chunks, and after the first form's movi its idx1.
Bytes formIndexes(const Geometry& g, std::uint32_t form) {
  Bytes out;
  std::vector<IndexEntryLayout> legacy;
  for (std::size_t s = 0; s < g.streams(); ++s) {
    const std::string id = chunkIdOf(s, g.layout.avi.streams[s]);
    const std::uint32_t bytes = g.layout.chunkBytes[s];
    std::vector<StandardIndexEntryLayout> entries;
    for (std::uint32_t c = 0; c < g.layout.chunksPerForm; ++c) {
      const auto offset = static_cast<std::uint32_t>(g.chunkData(form, c, s) - g.moviType(form));
      const bool key = g.isKeyFrame(s, form, c);
      entries.push_back({offset, bytes | (key ? 0 : 0x80000000u), g.layout.fieldIndexes ? offset + bytes / 2 : 0});
      legacy.push_back({id, key ? 0x10u : 0u, offset - 8, bytes});
    }
    const Bytes data = standardIndexData(id, g.moviType(form), entries, g.layout.fieldIndexes);
    append(out, serialize(dataChunk("ix" + id.substr(0, 2), data)));
  }
  // Interleaved as the chunks lie.
  std::stable_sort(legacy.begin(), legacy.end(), [](const auto& a, const auto& b) { return a.offset < b.offset; });
  if (form == 0 && g.layout.legacyIndex) append(out, serialize(dataChunk("idx1", idx1Data(legacy))));
  return out;
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
  if (layout.chunkBytes.size() != layout.avi.streams.size()) throw std::runtime_error("buildOpenDML: chunkBytes");
  // The header list's length does not depend on where the index chunks go.
  const Geometry g{layout, firstFormHead(layout, nullptr, nullptr).size()};
  OpenDMLFile file{{}, g.formEnd(layout.forms - 1), {}, {}, std::vector<std::vector<std::uint64_t>>(g.streams())};
  for (std::uint32_t f = 0; f < layout.forms; ++f) {
    Bytes head;
    if (f == 0) {
      head = firstFormHead(layout, &g, &file.superIndexes);
    } else {
      putListHeader(head, "RIFF", g.formEnd(f) - g.formPosition(f) - 8, "AVIX");
      putListHeader(head, "LIST", g.moviEnd(f) - g.moviType(f), "movi");
    }
    file.pieces.push_back({g.formPosition(f), head});
    for (std::uint32_t c = 0; layout.chunkHeaders && c < layout.chunksPerForm; ++c) {
      for (std::size_t s = 0; s < g.streams(); ++s) {
        Bytes header;
        putFourCC(header, chunkIdOf(s, layout.avi.streams[s]));
        putLE32(header, layout.chunkBytes[s]);
        file.pieces.push_back({g.chunkData(f, c, s) - 8, header});
      }
    }
    file.pieces.push_back({g.indexChunk(f, 0), formIndexes(g, f)});
    file.forms.push_back(g.formPosition(f));
    for (std::size_t s = 0; s < g.streams(); ++s) file.indexChunks[s].push_back(g.indexChunk(f, s));
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
