// fuzz_make_seeds FOLDER: writes synthetic AVI files, valid and broken in
// one place each, as the fuzzer's starting corpus. Each one reaches a
// different check of the parser, so the fuzzer starts next to every branch
// instead of having to find the layout of a RIFF file by itself.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/AviBuilder.h"
#include "tests/support/OpenDMLBuilder.h"
#include "tests/support/TempDirectory.h"

using namespace testing_support;

namespace {

using Seeds = std::vector<std::pair<std::string, Bytes>>;

AviLayout videoOnly() {
  AviLayout layout;
  layout.streams = {videoStream(64, 48)};
  addMovieChunks(layout, "00dc", 4, 9);
  return layout;
}

AviLayout videoAndAudio() {
  AviLayout layout;
  layout.streams = {videoStream(64, 48), audioStream()};
  addMovieChunks(layout, "00dc", 3, 11);
  addMovieChunks(layout, "01wb", 3, 40);
  return layout;
}

// A layout changed by one edit, written as the file.
Bytes edited(AviLayout layout, const std::function<void(AviLayout&)>& edit) {
  edit(layout);
  return aviBytes(layout);
}

// The chunk tree changed by one edit, written as the file.
Bytes editedTree(const AviLayout& layout, const std::function<void(RiffNode&)>& edit) {
  RiffNode riff = buildAvi(layout);
  edit(riff);
  return serialize(riff);
}

void addValidFiles(Seeds& seeds) {
  seeds.emplace_back("video.avi", aviBytes(videoOnly()));
  seeds.emplace_back("video-audio.avi", aviBytes(videoAndAudio()));
  seeds.emplace_back("no-index.avi", edited(videoAndAudio(), [](AviLayout& l) { l.index.reset(); }));
  seeds.emplace_back("empty-index.avi", edited(videoOnly(), [](AviLayout& l) { l.index->clear(); }));
  seeds.emplace_back("no-streams.avi", edited(AviLayout{}, [](AviLayout& l) { l.index.reset(); }));
  seeds.emplace_back("dmlh-long.avi", edited(videoOnly(), [](AviLayout& l) {
                       l.dmlhSize = 248;
                       l.grandFrames = 4;
                     }));
  seeds.emplace_back("dmlh-short.avi", edited(videoOnly(), [](AviLayout& l) { l.dmlhSize = 4; }));
  seeds.emplace_back("dmlh-oversized.avi", edited(videoOnly(), [](AviLayout& l) { l.dmlhSize = 300; }));
  seeds.emplace_back("avih-48.avi", edited(videoOnly(), [](AviLayout& l) { l.avihSize = 48; }));
  seeds.emplace_back("avih-100.avi", edited(videoOnly(), [](AviLayout& l) { l.avihSize = 100; }));
  seeds.emplace_back("strh-64.avi", edited(videoOnly(), [](AviLayout& l) { l.streams[0].strhSize = 64; }));
  // Several streams of every kind, their chunks interleaved in one index,
  // key frames and no-time entries among them.
  seeds.emplace_back("four-streams.avi", edited(AviLayout{}, [](AviLayout& l) {
                       StreamLayout text;
                       text.type = "txts";
                       text.format = {};
                       StreamLayout midi = text;
                       midi.type = "mids";
                       midi.format = Bytes(7, 1);
                       l.streams = {videoStream(), audioStream(), text, midi};
                       l.streams[1].sampleSize = 0;
                       for (int i = 0; i < 3; ++i) {
                         addMovieChunks(l, "00dc", 1, 5);
                         addMovieChunks(l, "01wb", 1, 8);
                         addMovieChunks(l, "02tx", 1, 3);
                         addMovieChunks(l, "03md", 1, 1);
                       }
                       (*l.index)[5].flags = 0x100;
                       l.dmlhSize = 248;
                     }));
  seeds.emplace_back("audio-formats.avi", edited(AviLayout{}, [](AviLayout& l) {
                       StreamLayout pcm16 = audioStream();
                       pcm16.format.resize(16);
                       StreamLayout extensible = audioStream();
                       extensible.format = waveFormatEx(0xFFFE, 2, 48000, 16, 22);
                       StreamLayout mp3 = audioStream();
                       mp3.format = waveFormatEx(0x55, 2, 44100, 0, 12);
                       mp3.format.resize(mp3.format.size() + 3, 0);  // cut back to cbSize
                       l.streams = {pcm16, extensible, mp3};
                       addMovieChunks(l, "00wb", 2, 16);
                       addMovieChunks(l, "02wb", 2, 17);
                     }));
  seeds.emplace_back("video-formats.avi", edited(AviLayout{}, [](AviLayout& l) {
                       StreamLayout extended = videoStream();
                       extended.format = bitmapInfoHeader(320, 240, 0xFFFFFFFE, 56);
                       StreamLayout longer = videoStream();
                       longer.format.resize(48, 0);  // biSize 40: cut back
                       l.streams = {extended, longer};
                       l.flags = 0x30931;
                       l.streams[0].flags = 0x10001;
                     }));
  // Odd sizes: an odd strf with its pad byte, JUNK inside hdrl and strl,
  // and a second RIFF chunk after the first.
  seeds.emplace_back("odd-and-junk.avi", editedTree(videoOnly(), [](RiffNode& riff) {
                       RiffNode& hdrl = riff.child("LIST", "hdrl");
                       hdrl.children.insert(hdrl.children.begin() + 1, dataChunk("JUNK", Bytes(3, 0)));
                       RiffNode& strl = hdrl.child("LIST", "strl");
                       strl.children.front().data.resize(57, 0);
                       strl.children.push_back(dataChunk("strn", Bytes{'v', 'i', 'd', 0, 'x'}));
                       riff.children.insert(riff.children.begin() + 1, dataChunk("JUNK", Bytes(7, 0)));
                     }));
  seeds.emplace_back("riff-avix.avi", [] {
    Bytes bytes = aviBytes(videoOnly());
    const Bytes extension = serialize(listChunk("RIFF", "AVIX", {listChunk("LIST", "movi", {})}));
    bytes.insert(bytes.end(), extension.begin(), extension.end());
    return bytes;
  }());
  // The last child of a list, odd-sized, without its pad byte.
  seeds.emplace_back("unpadded-last.avi", editedTree(videoOnly(), [](RiffNode& riff) {
                       riff.children.back().data.resize(riff.children.back().data.size() + 1, 0);
                       riff.children.back().padded = false;
                     }));
  // An index of many entries for one stream.
  seeds.emplace_back("long-index.avi", edited(AviLayout{}, [](AviLayout& l) {
                       l.streams = {videoStream()};
                       addMovieChunks(l, "00dc", 1500, 0);
                     }));
  seeds.emplace_back("many-streams.avi", edited(AviLayout{}, [](AviLayout& l) {
                       for (int i = 0; i < 60; ++i) l.streams.push_back(i % 2 ? audioStream() : videoStream());
                       addMovieChunks(l, "59wb", 2, 4);
                     }));
}

// Stream names and INFO tags, well-formed and not: they may never change
// how the rest of the file reads.
void addTextFiles(Seeds& seeds) {
  const auto named = [](AviLayout l) {
    l.streams[0].name = Bytes{'V', 'i', 'd', 'e', 'o', 0};
    if (l.streams.size() > 1) l.streams[1].name = Bytes{'n', 'o', ' ', 'N', 'U', 'L'};
    return l;
  };
  seeds.emplace_back("info-lists.avi", edited(named(videoAndAudio()), [](AviLayout& l) {
                       l.hdrlExtras = {infoList({{"INAM", "Title"}, {"IART", "Artist"}})};
                       l.riffExtras = {infoList({{"ISFT", "Writer 1.0"}, {"ICMT", "Caf\xC3\xA9 \xE9\r\n"}})};
                     }));
  seeds.emplace_back("info-odd-tags.avi", editedTree(named(videoOnly()), [](RiffNode& riff) {
                       RiffNode info = infoList({{"ISFT", "x"}});
                       info.children.push_back(listChunk("LIST", "INFO", {dataChunk("INAM", Bytes{'i', 0})}));
                       info.children.push_back(dataChunk("ICMT", Bytes{1, 2, 0xFF, 0x80, 0, 'a'}));
                       info.children.push_back(dataChunk("IART", Bytes(1500, 'a')));
                       info.children.push_back(dataChunk("\x01\x02\x03\x04", Bytes{'b'}));
                       riff.children.insert(riff.children.begin() + 1, info);
                     }));
  seeds.emplace_back("info-past-end.avi", editedTree(videoOnly(), [](RiffNode& riff) {
                       RiffNode info = infoList({{"ISFT", "one"}, {"INAM", "two"}});
                       info.children.back().sizeOverride = 400;
                       riff.children.insert(riff.children.begin() + 1, info);
                     }));
  seeds.emplace_back("info-many-tags.avi", edited(videoOnly(), [](AviLayout& l) {
                       l.riffExtras = {infoList(std::vector<std::pair<std::string, std::string>>(300, {"ICMT", "x"}))};
                     }));
  seeds.emplace_back("strn-long.avi", edited(videoAndAudio(), [](AviLayout& l) {
                       Bytes name(1023, 'n');
                       name.insert(name.end(), {0xE2, 0x82, 0xAC, 'x'});
                       l.streams[0].name = name;
                       l.streams[1].name = Bytes{};
                     }));
  seeds.emplace_back("surround-and-rle.avi", edited(AviLayout{}, [](AviLayout& l) {
                       StreamLayout surround = audioStream();
                       surround.format = waveFormatExtensible(6, 48000, 24, 0, 0x60F, 1);  // PCM
                       l.streams = {videoStream(16, -16, 1), surround};
                       addMovieChunks(l, "00db", 2, 5);
                       addMovieChunks(l, "01wb", 2, 36);
                     }));
}

void addBrokenFiles(Seeds& seeds) {
  seeds.emplace_back("wave.avi", serialize(listChunk("RIFF", "WAVE", {dataChunk("fmt ", Bytes(16, 0))})));
  seeds.emplace_back("junk-first.avi", editedTree(videoOnly(), [](RiffNode& riff) {
                       riff.children.insert(riff.children.begin(), dataChunk("JUNK", Bytes(10, 0)));
                     }));
  seeds.emplace_back("avih-small.avi", edited(videoOnly(), [](AviLayout& l) { l.avihSize = 40; }));
  seeds.emplace_back("strh-small.avi", edited(videoOnly(), [](AviLayout& l) { l.streams[0].strhSize = 55; }));
  seeds.emplace_back("rate-0.avi", edited(videoOnly(), [](AviLayout& l) { l.streams[0].rate = 0; }));
  seeds.emplace_back("scale-0.avi", edited(videoOnly(), [](AviLayout& l) { l.streams[0].scale = 0; }));
  seeds.emplace_back("bisize-44.avi", edited(videoOnly(), [](AviLayout& l) { l.streams[0].format[0] = 44; }));
  seeds.emplace_back("audio-17.avi", edited(videoAndAudio(), [](AviLayout& l) { l.streams[1].format.resize(17); }));
  seeds.emplace_back("audio-12.avi", edited(videoAndAudio(), [](AviLayout& l) { l.streams[1].format.resize(12); }));
  seeds.emplace_back("video-36.avi", edited(videoOnly(), [](AviLayout& l) { l.streams[0].format.resize(36); }));
  seeds.emplace_back("dmlh-2.avi", edited(videoOnly(), [](AviLayout& l) { l.dmlhSize = 2; }));
  seeds.emplace_back("streams-2-of-1.avi", edited(videoOnly(), [](AviLayout& l) { l.streamCount = 2; }));
  seeds.emplace_back("streams-huge.avi", edited(videoOnly(), [](AviLayout& l) { l.streamCount = 0xFFFFFFFF; }));
  seeds.emplace_back("no-strf.avi", editedTree(videoOnly(), [](RiffNode& riff) {
                       riff.child("LIST", "hdrl").child("LIST", "strl").children.pop_back();
                     }));
  seeds.emplace_back("no-movi.avi",
                     editedTree(videoOnly(), [](RiffNode& riff) { riff.child("LIST", "movi").listType = "mova"; }));
  seeds.emplace_back("idx1-24.avi",
                     editedTree(videoOnly(), [](RiffNode& riff) { riff.children.back().data.resize(24); }));
  seeds.emplace_back("idx1-bad-stream.avi", edited(videoAndAudio(), [](AviLayout& l) { (*l.index)[4].id = "05wb"; }));
  seeds.emplace_back("idx1-rec.avi", edited(videoOnly(), [](AviLayout& l) { (*l.index)[1].id = "rec "; }));
  seeds.emplace_back("list-3-bytes.avi", editedTree(videoOnly(), [](RiffNode& riff) {
                       riff.child("LIST", "hdrl").children.push_back(rawChunk("LIST", Bytes{'o', 'd', 'm'}));
                     }));
  seeds.emplace_back("id-0.avi", editedTree(videoOnly(), [](RiffNode& riff) {
                       riff.child("LIST", "hdrl").children.push_back(rawChunk(std::string(4, '\0'), Bytes(4, 0)));
                     }));
  Bytes truncated = aviBytes(videoAndAudio());
  truncated.resize(truncated.size() / 2);
  seeds.emplace_back("truncated.avi", truncated);
  seeds.emplace_back("riff-size-past-end.avi", editedTree(videoOnly(), [](RiffNode& riff) {
                       riff.child("LIST", "movi").sizeOverride = 0x7FFFFFF0;
                     }));
}

// Files in the OpenDML layout, each a few forms of a few chunks: super
// indexes of standard and of field indexes, and one without idx1.
void addOpenDMLFiles(Seeds& seeds) {
  OpenDMLLayout layout;
  layout.avi.streams = {videoStream(64, 48), audioStream()};
  layout.chunkBytes = {9, 40};
  seeds.emplace_back("opendml.avi", bytesOf(buildOpenDML(layout)));
  layout.fieldIndexes = true;
  layout.forms = 3;
  seeds.emplace_back("opendml-fields.avi", bytesOf(buildOpenDML(layout)));
  layout.fieldIndexes = false;
  layout.legacyIndex = false;
  seeds.emplace_back("opendml-only.avi", bytesOf(buildOpenDML(layout)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_make_seeds FOLDER\n");
    return 2;
  }
  try {
    Seeds seeds;
    addValidFiles(seeds);
    addTextFiles(seeds);
    addBrokenFiles(seeds);
    addOpenDMLFiles(seeds);
    for (const auto& [name, bytes] : seeds) writeFile(std::string(argv[1]) + "/" + name, bytes.data(), bytes.size());
    std::printf("%zu seed files in %s\n", seeds.size(), argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz_make_seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
