// make_worst_files FOLDER: writes the largest file each of the parser's and
// the page's bounds allows, to measure what the worst file costs the tool
// and the page:
//   most-rows.avi            100 streams, each with every row a stream can
//                            have, more RIFF forms and INFO tags than are
//                            shown: the most rows any file gives
//                            (maxStructureRows)
//   most-info-tags.avi       a LIST INFO as full as a list may be: 65,536
//                            tags, the 256 shown with a kilobyte of text each
//   most-chunks-in-list.avi  hdrl holding 65,536 chunks
//   most-chunks-in-file.avi  hdrl, a strl and the RIFF chunk with 43,686
//                            empty chunks each besides their own: the tree
//                            at its bound of 131,072 records
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "avi/Chunk.h"
#include "avi/TextChunks.h"
#include "bench/BenchFiles.h"
#include "tests/support/AviBuilder.h"
#include "tests/support/TempDirectory.h"

using namespace testing_support;

namespace {

Bytes mostInfoTags() {
  AviLayout layout;
  layout.streams = {videoStream()};
  std::vector<std::pair<std::string, std::string>> shown(maxInfoTags, {"ICMT", std::string(maxTextBytes - 1, 'c')});
  RiffNode info = infoList(shown);
  info.children.resize(Chunk::maxChildrenPerList, dataChunk("ICMT", {}));
  layout.hdrlExtras = {info};
  return aviBytes(layout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_worst_files FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  // hdrl's own chunks: avih, two strl lists and odml.
  constexpr std::size_t hdrlOwnChunks = 4;
  const std::size_t perList = (Chunk::maxChunksPerTree - bench_files::threeListsOwnChunks) / 3;
  const std::pair<const char*, Bytes> files[] = {
      {"most-rows.avi", aviBytes(mostRowsLayout())},
      {"most-info-tags.avi", mostInfoTags()},
      {"most-chunks-in-list.avi",
       bench_files::emptyChunks(bench_files::Place::hdrl, Chunk::maxChildrenPerList - hdrlOwnChunks)},
      {"most-chunks-in-file.avi", bench_files::emptyChunksInThreeLists(perList)},
  };
  for (const auto& [name, bytes] : files) {
    writeFile((folder / name).string(), bytes.data(), bytes.size());
    std::printf("%-24s %9zu bytes\n", name, bytes.size());
  }
  return 0;
}
