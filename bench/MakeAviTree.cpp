// make_avi_tree FOLDER [COUNT]: writes an archive of COUNT (default 10,000)
// small AVI files of mixed kinds, one in ten of them broken, in folders of
// a hundred: FOLDER/group-GG/tape-TT/clip-NNNNN.avi. The same files every
// time, for timing whole-collection checks.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/AviBuilder.h"
#include "tests/support/TempDirectory.h"

using namespace testing_support;

namespace {

constexpr std::size_t filesPerFolder = 100;
constexpr std::size_t foldersPerGroup = 10;

Bytes goodFile(std::size_t kind, std::size_t n) {
  AviLayout layout;
  const std::size_t frames = 10 + n % 40;
  switch (kind) {
    case 0:  // video with an index
      layout.streams = {videoStream(320, 240)};
      addMovieChunks(layout, "00dc", frames, 200 + n % 300);
      break;
    case 1:  // video and sound with an index
      layout.streams = {videoStream(640, 480), audioStream()};
      addMovieChunks(layout, "00dc", frames, 300);
      addMovieChunks(layout, "01wb", frames, 100);
      break;
    case 2:  // sound only
      layout.streams = {audioStream()};
      addMovieChunks(layout, "00wb", frames, 400);
      break;
    case 3:  // OpenDML header
      layout.streams = {videoStream(720, 576), audioStream()};
      layout.dmlhSize = 248;
      layout.grandFrames = static_cast<std::uint32_t>(frames);
      addMovieChunks(layout, "00dc", frames, 250);
      break;
    case 4:  // no index
      layout.streams = {videoStream(160, 120)};
      layout.flags = 0;
      for (std::size_t i = 0; i < frames; ++i) layout.moviChunks.push_back(dataChunk("00dc", Bytes(150, 1)));
      break;
    default:  // two sound streams
      layout.streams = {videoStream(320, 240), audioStream(), audioStream()};
      addMovieChunks(layout, "00dc", frames, 200);
      addMovieChunks(layout, "01wb", frames, 80);
      addMovieChunks(layout, "02wb", frames, 80);
      break;
  }
  return aviBytes(layout);
}

Bytes brokenFile(std::size_t kind, std::size_t n) {
  switch (kind) {
    case 0: {  // cut off in the middle, as an interrupted copy leaves it
      Bytes bytes = goodFile(n % 6, n);
      bytes.resize(bytes.size() / 2);
      return bytes;
    }
    case 1: return {};  // empty
    case 2: {           // not RIFF at all
      const std::string text = "not a video\n";
      return Bytes(text.begin(), text.end());
    }
    case 3: return serialize(listChunk("RIFF", "WAVE", {dataChunk("fmt ", waveFormatEx(1, 2, 44100, 16, 0))}));
    default: {  // an index entry with a bad chunk id
      AviLayout layout;
      layout.streams = {videoStream()};
      addMovieChunks(layout, "00dc", 10, 100);
      (*layout.index)[3].id = "x?dc";
      return aviBytes(layout);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: make_avi_tree FOLDER [COUNT]\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const std::size_t count = argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 10000;
  std::size_t broken = 0, bytes = 0;
  for (std::size_t n = 0; n < count; ++n) {
    const std::size_t folder = n / filesPerFolder;
    char name[64];
    std::snprintf(name, sizeof name, "group-%02zu/tape-%02zu", folder / foldersPerGroup, folder % foldersPerGroup);
    const std::filesystem::path dir = root / name;
    std::filesystem::create_directories(dir);
    std::snprintf(name, sizeof name, "clip-%05zu.avi", n);
    // One in ten broken, spread over the folders.
    const bool isBroken = n % 10 == 7;
    const Bytes content = isBroken ? brokenFile(n / 10 % 5, n) : goodFile(n % 6, n);
    writeFile((dir / name).string(), content.data(), content.size());
    broken += isBroken;
    bytes += content.size();
  }
  std::printf("%zu files (%zu broken), %zu bytes, in %s\n", count, broken, bytes, root.string().c_str());
  return 0;
}
