#include "bench/BenchFiles.h"

#include <map>
#include <utility>

#include "tests/support/AviBuilder.h"

using namespace testing_support;

namespace bench_files {
namespace {

AviLayout twoStreams() {
  AviLayout layout;
  layout.streams = {videoStream(), audioStream()};
  layout.dmlhSize = 248;
  return layout;
}

// Builds once per key.
template <typename Key, typename Make>
const Bytes& cached(std::map<Key, Bytes>& cache, const Key& key, Make make) {
  auto it = cache.find(key);
  if (it == cache.end()) it = cache.emplace(key, make()).first;
  return it->second;
}

}  // namespace

const Bytes& indexed(std::size_t entries) {
  static std::map<std::size_t, Bytes> cache;
  return cached(cache, entries, [entries] {
    AviLayout layout = twoStreams();
    layout.index.emplace();
    layout.moviChunks.reserve(entries);
    layout.index->reserve(entries);
    std::uint32_t offset = 4;  // from the movi list type
    for (std::size_t i = 0; i < entries; ++i) {
      const char* id = i % 2 == 0 ? "00dc" : "01wb";
      layout.moviChunks.push_back(dataChunk(id, {}));
      layout.index->push_back({id, i % 50 == 0 ? 0x10u : 0u, offset, 0});
      offset += 8;
    }
    return aviBytes(layout);
  });
}

const Bytes& unindexed(std::size_t chunks) {
  static std::map<std::size_t, Bytes> cache;
  return cached(cache, chunks, [chunks] {
    AviLayout layout;
    layout.streams = {videoStream()};
    addMovieChunks(layout, "00dc", chunks, 0);
    layout.index.reset();
    return aviBytes(layout);
  });
}

const char* placeName(Place place) {
  switch (place) {
    case Place::beforeRiff: return "top level, before RIFF";
    case Place::afterRiff: return "top level, after RIFF";
    case Place::riff: return "RIFF AVI, after hdrl";
    case Place::hdrl: return "hdrl, after avih";
    case Place::strl: return "strl, between strh and strf";
    case Place::odml: return "odml, after dmlh";
    case Place::movi: return "movi";
  }
  return "?";
}

const Bytes& emptyChunks(Place place, std::size_t chunks) {
  static std::map<std::pair<Place, std::size_t>, Bytes> cache;
  return cached(cache, std::make_pair(place, chunks), [place, chunks] {
    const std::vector<RiffNode> junk(chunks, dataChunk("JUNK", {}));
    RiffNode riff = buildAvi(twoStreams());
    std::vector<RiffNode>* into = nullptr;
    std::size_t at = 0;
    switch (place) {
      case Place::beforeRiff:
      case Place::afterRiff: break;
      case Place::riff:
        into = &riff.children;
        at = 1;
        break;
      case Place::hdrl:
        into = &riff.child("LIST", "hdrl").children;
        at = 1;
        break;
      case Place::strl:
        into = &riff.child("LIST", "hdrl").child("LIST", "strl").children;
        at = 1;
        break;
      case Place::odml:
        into = &riff.child("LIST", "hdrl").child("LIST", "odml").children;
        at = 1;
        break;
      case Place::movi: into = &riff.child("LIST", "movi").children; break;
    }
    if (into != nullptr) {
      into->insert(into->begin() + static_cast<std::ptrdiff_t>(at), junk.begin(), junk.end());
      return serialize(riff);
    }
    std::vector<RiffNode> top;
    if (place == Place::afterRiff) top.push_back(riff);
    top.insert(top.end(), junk.begin(), junk.end());
    if (place == Place::beforeRiff) top.push_back(riff);
    return serialize(top);
  });
}

const Bytes& emptyChunksInThreeLists(std::size_t chunksPerList) {
  static std::map<std::size_t, Bytes> cache;
  return cached(cache, chunksPerList, [chunksPerList] {
    const std::vector<RiffNode> junk(chunksPerList, dataChunk("JUNK", {}));
    RiffNode riff = buildAvi(twoStreams());
    // Innermost first: filling a list moves the lists inside it.
    RiffNode& hdrl = riff.child("LIST", "hdrl");
    for (std::vector<RiffNode>* list : {&hdrl.child("LIST", "strl").children, &hdrl.children, &riff.children}) {
      list->insert(list->begin() + 1, junk.begin(), junk.end());
    }
    return serialize(riff);
  });
}

}  // namespace bench_files
