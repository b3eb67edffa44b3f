#include "page/FormatRows.h"

#include <cstdint>
#include <string>
#include <vector>

#include "avi/AVIStream.h"
#include "avi/LittleEndian.h"
#include "page/ValueFormats.h"

namespace {

constexpr int structureIndent = 2;
constexpr int fieldIndent = 3;
constexpr std::uint16_t extensibleFormatTag = 0xFFFE;

// Field rows of one structure in the format bytes; a field that lies
// beyond their end is left out.
class FormatFields {
 public:
  FormatFields(const std::vector<std::uint8_t>& format, const StructureRowSink& sink) : format_(format), sink_(sink) {}

  bool holds(std::size_t offset, std::size_t bytes) const { return offset + bytes <= format_.size(); }

  void field16(const char* name, std::size_t offset, std::string (*text)(std::uint16_t)) const {
    if (holds(offset, 2)) sink_(fieldIndent, rowImageField, name, text(readLE16(format_.data() + offset)));
  }
  void field32(const char* name, std::size_t offset, std::string (*text)(std::uint32_t) = signedDecimal) const {
    if (holds(offset, 4)) sink_(fieldIndent, rowImageField, name, text(readLE32(format_.data() + offset)));
  }
  void guid(const char* name, std::size_t offset) const {
    if (holds(offset, 16)) sink_(fieldIndent, rowImageField, name, subFormatText(format_.data() + offset));
  }

 private:
  const std::vector<std::uint8_t>& format_;
  const StructureRowSink& sink_;
};

// Offsets as in the file: BITMAPINFOHEADER, 40 bytes.
void addBitmapInfoHeaderRows(const FormatFields& f, const StructureRowSink& sink) {
  sink(structureIndent, rowImageStructure, "BITMAPINFOHEADER", std::nullopt);
  f.field32("biSize", 0);
  f.field32("biWidth", 4);
  f.field32("biHeight", 8);
  f.field16("biPlanes", 12, unsigned16Decimal);
  f.field16("biBitCount", 14, unsigned16Decimal);
  f.field32("biCompression", 16, compressionText);
  f.field32("biSizeImage", 20);
  f.field32("biXPelsPerMeter", 24);
  f.field32("biYPelsPerMeter", 28);
  f.field32("biClrUsed", 32);
  f.field32("biClrImportant", 36);
}

// WAVEFORMATEX, 18 bytes (16 without cbSize); WAVEFORMATEXTENSIBLE adds
// 22 bytes after it.
void addWaveFormatRows(const FormatFields& f, const std::vector<std::uint8_t>& format, const StructureRowSink& sink) {
  sink(structureIndent, rowImageStructure, "WAVEFORMATEX", std::nullopt);
  f.field16("wFormatTag", 0, formatTagText);
  f.field16("nChannels", 2, unsigned16Decimal);
  f.field32("nSamplesPerSec", 4);
  f.field32("nAvgBytesPerSec", 8);
  f.field16("nBlockAlign", 12, unsigned16Decimal);
  f.field16("wBitsPerSample", 14, unsigned16Decimal);
  f.field16("cbSize", 16, unsigned16Decimal);
  if (!f.holds(0, 2) || readLE16(format.data()) != extensibleFormatTag || !f.holds(18, 22)) return;
  sink(structureIndent, rowImageStructure, "WAVEFORMATEXTENSIBLE", std::nullopt);
  f.field16("wValidBitsPerSample", 18, unsigned16Decimal);
  f.field32("dwChannelMask", 20, speakerPositionsText);
  f.guid("SubFormat", 24);
}

}  // namespace

void addStreamFormatRows(const AVIStream& stream, const StructureRowSink& sink) {
  const std::vector<std::uint8_t>& format = stream.format();
  const FormatFields fields(format, sink);
  if (stream.header().fccType == fourcc::vids) {
    addBitmapInfoHeaderRows(fields, sink);
  } else if (stream.header().fccType == fourcc::auds) {
    addWaveFormatRows(fields, format, sink);
  } else {
    sink(structureIndent, rowImageField, "Format", std::to_string(format.size()) + " bytes");
  }
}
