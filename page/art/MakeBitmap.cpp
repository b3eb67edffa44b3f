// make-bitmap ART.txt OUT.bmp: writes the bitmap drawn in a text-art file
// (see TextArtBitmap.h). Run it after changing the art; a test checks that
// the bitmap in the tree is the one its art gives.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>

#include "page/art/TextArtBitmap.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make-bitmap ART.txt OUT.bmp\n");
    return 2;
  }
  try {
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) throw std::runtime_error(std::string("can't read ") + argv[1]);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto bitmap = bitmapFromTextArt(text);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bitmap.data()), static_cast<std::streamsize>(bitmap.size()));
    if (!out.flush()) throw std::runtime_error(std::string("can't write ") + argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-bitmap: %s\n", e.what());
    return 1;
  }
  return 0;
}
