// make_avi_tree [--messy] FOLDER [COUNT]: writes an archive of COUNT
// (default 10,000) small AVI files of mixed kinds, one in ten of them
// broken, in folders of a hundred: FOLDER/group-GG/tape-TT/clip-NNNNN.avi.
// With --messy, the archive a user's disk holds instead: folders of one to
// a few hundred entries at depths of two to five, other files among the
// AVI files (notes, pictures, a half-copied .avi.part), names in any case
// and script, one file in forty a larger one, links to files (read) and to
// folders (not followed), links that lead nowhere, and empty folders. The
// same files every time, for timing whole-collection checks.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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

// A file as the plain archive holds it: one in ten broken.
Bytes archiveFile(std::size_t n) {
  return n % 10 == 7 ? brokenFile(n / 10 % 5, n) : goodFile(n % 6, n);
}

void write(const std::filesystem::path& path, const Bytes& content) {
  writeFile(path.string(), content.data(), content.size());
}

// The same sequence of numbers every run.
class Numbers {
 public:
  std::size_t below(std::size_t bound) {
    state_ = state_ * 6364136223846793005u + 1442695040888963407u;
    return static_cast<std::size_t>(state_ >> 33) % bound;
  }

 private:
  std::uint64_t state_ = 2026;
};

// The messy archive; returns the entries named *.avi that it made (files
// and links), which a recursive check reads.
std::size_t makeMessyTree(const std::filesystem::path& root, std::size_t count) {
  static const char* const extensions[] = {".avi", ".avi", ".avi", ".AVI", ".Avi"};
  static const char* const others[] = {"notes.txt", "thumb.jpg", "desktop.ini", "take.avi.part", "avi"};
  static const char* const names[] = {"clip", "Take ", "caf\xC3\xA9-", "\xE5\xBD\xB1\xE5\x83\x8F", "tape_"};
  Numbers numbers;
  std::vector<std::filesystem::path> files;
  std::size_t made = 0;
  for (std::size_t folder = 0; made < count; ++folder) {
    std::filesystem::path dir = root;
    const std::size_t depth = 1 + numbers.below(4);
    for (std::size_t level = 0; level < depth; ++level) dir /= "d" + std::to_string(numbers.below(level == 0 ? 12 : 5));
    dir /= "f" + std::to_string(folder);
    std::filesystem::create_directories(dir);
    if (numbers.below(15) == 0) continue;  // left empty
    const std::size_t entries = 1 + numbers.below(numbers.below(4) == 0 ? 300 : 60);
    for (std::size_t e = 0; e < entries && made < count; ++e, ++made) {
      const std::string name = names[numbers.below(5)] + std::to_string(made) + extensions[numbers.below(5)];
      const std::size_t kind = numbers.below(200);
      if (kind < 4 && !files.empty()) {  // a link to a file elsewhere
        std::filesystem::create_symlink(std::filesystem::absolute(files[numbers.below(files.size())]), dir / name);
      } else if (kind == 4) {  // a link that leads nowhere
        std::filesystem::create_symlink(dir / "gone.avi", dir / name);
      } else {
        AviLayout big;
        Bytes content = archiveFile(made);
        if (numbers.below(40) == 0) {  // a longer recording: some thousands of index entries
          big.streams = {videoStream(), audioStream()};
          addMovieChunks(big, "00dc", 1000 + numbers.below(3000), 16);
          addMovieChunks(big, "01wb", 1000, 8);
          content = aviBytes(big);
        }
        write(dir / name, content);
        files.push_back(dir / name);
      }
      if (numbers.below(3) == 0) {
        const char* other = others[numbers.below(5)];
        write(dir / (std::to_string(made) + "-" + other),
              std::strcmp(other, "take.avi.part") == 0 ? archiveFile(made) : Bytes(200, 'x'));
      }
    }
    if (numbers.below(20) == 0) std::filesystem::create_directory_symlink(root, dir / "back-to-the-top");
  }
  return made;
}

}  // namespace

int main(int argc, char** argv) {
  const bool messy = argc > 1 && std::strcmp(argv[1], "--messy") == 0;
  const int first = messy ? 2 : 1;
  if (argc < first + 1 || argc > first + 2) {
    std::fprintf(stderr, "usage: make_avi_tree [--messy] FOLDER [COUNT]\n");
    return 2;
  }
  const std::filesystem::path root = argv[first];
  const std::size_t count = argc == first + 2 ? std::strtoul(argv[first + 1], nullptr, 10) : 10000;
  if (messy) {
    std::printf("%zu entries named *.avi, among other files, links and empty folders, in %s\n",
                makeMessyTree(root, count), root.string().c_str());
    return 0;
  }
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
    const Bytes content = archiveFile(n);
    write(dir / name, content);
    broken += isBroken;
    bytes += content.size();
  }
  std::printf("%zu files (%zu broken), %zu bytes, in %s\n", count, broken, bytes, root.string().c_str());
  return 0;
}
