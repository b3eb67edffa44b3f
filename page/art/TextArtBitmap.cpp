#include "page/art/TextArtBitmap.h"

#include <array>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {

struct Picture {
  std::vector<std::array<std::uint8_t, 3>> palette;  // red, green, blue
  std::vector<std::string> rows;
  std::map<char, std::uint8_t> index;
};

std::runtime_error artError(std::size_t line, const std::string& what) {
  return std::runtime_error("text art line " + std::to_string(line) + ": " + what);
}

void readColour(Picture& picture, std::istringstream& fields, std::size_t line) {
  std::string character;
  int red = -1, green = -1, blue = -1;
  fields >> character >> red >> green >> blue;
  const auto inRange = [](int v) { return v >= 0 && v <= 255; };
  if (character.size() != 1 || !inRange(red) || !inRange(green) || !inRange(blue)) {
    throw artError(line, "expected: colour C R G B");
  }
  if (picture.index.count(character[0])) throw artError(line, "colour '" + character + "' given twice");
  if (picture.palette.size() == 256) throw artError(line, "more than 256 colours");
  picture.index[character[0]] = static_cast<std::uint8_t>(picture.palette.size());
  picture.palette.push_back(
      {static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green), static_cast<std::uint8_t>(blue)});
}

Picture readPicture(const std::string& text) {
  Picture picture;
  std::istringstream lines(text);
  std::string line;
  bool inPixels = false;
  for (std::size_t number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (inPixels) {
      if (line.empty()) continue;
      if (!picture.rows.empty() && line.size() != picture.rows.front().size()) {
        throw artError(number, "row of another length");
      }
      for (char c : line) {
        if (!picture.index.count(c)) throw artError(number, std::string("no colour for '") + c + "'");
      }
      picture.rows.push_back(line);
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string keyword;
    fields >> keyword;
    if (keyword == "colour") {
      readColour(picture, fields, number);
    } else if (keyword == "pixels") {
      inPixels = true;
    } else {
      throw artError(number, "unknown line");
    }
  }
  if (picture.rows.empty()) throw std::runtime_error("text art has no pixels");
  return picture;
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> bitmapFromTextArt(const std::string& text) {
  const Picture picture = readPicture(text);
  const auto width = static_cast<std::uint32_t>(picture.rows.front().size());
  const auto height = static_cast<std::uint32_t>(picture.rows.size());
  const auto colours = static_cast<std::uint32_t>(picture.palette.size());
  const std::uint32_t stride = (width + 3) / 4 * 4;  // rows are padded to whole 32-bit words
  const std::uint32_t pixelOffset = 14 + 40 + colours * 4;
  const std::uint32_t pixelBytes = stride * height;
  constexpr std::uint32_t pixelsPerMetre = 2835;  // 72 dots per inch

  std::vector<std::uint8_t> out;
  // BITMAPFILEHEADER: "BM", file size, two reserved words, offset of the pixels.
  out.push_back('B');
  out.push_back('M');
  put32(out, pixelOffset + pixelBytes);
  put32(out, 0);
  put32(out, pixelOffset);
  // BITMAPINFOHEADER: size, width, height (positive: bottom-up rows),
  // planes, bits per pixel, no compression, image size, resolution, colours
  // used and important.
  put32(out, 40);
  put32(out, width);
  put32(out, height);
  put16(out, 1);
  put16(out, 8);
  put32(out, 0);
  put32(out, pixelBytes);
  put32(out, pixelsPerMetre);
  put32(out, pixelsPerMetre);
  put32(out, colours);
  put32(out, colours);
  for (const auto& colour : picture.palette) {  // RGBQUAD: blue, green, red, reserved
    out.push_back(colour[2]);
    out.push_back(colour[1]);
    out.push_back(colour[0]);
    out.push_back(0);
  }
  for (auto row = picture.rows.rbegin(); row != picture.rows.rend(); ++row) {
    for (char c : *row) out.push_back(picture.index.at(c));
    out.resize(out.size() + (stride - width), 0);
  }
  return out;
}
