#include "page/StructureRows.h"

#include "avi/AVIFile.h"
#include "page/FormatRows.h"
#include "page/OpenDMLRows.h"
#include "page/StreamDetailRows.h"
#include "page/ValueFormats.h"

namespace {

void addMainHeaderRows(const AVIMAINHEADER& h, const StructureRowSink& sink) {
  sink(0, rowImageStructure, "AVIMAINHEADER", std::nullopt);
  const auto field = [&sink](const char* name, std::string value) { sink(1, rowImageField, name, value); };
  field("dwMicroSecPerFrame", signedDecimal(h.dwMicroSecPerFrame));
  field("dwMaxBytesPerSec", signedDecimal(h.dwMaxBytesPerSec));
  field("dwPaddingGranularity", signedDecimal(h.dwPaddingGranularity));
  field("dwFlags", mainHeaderFlagsText(h.dwFlags));
  field("dwTotalFrames", signedDecimal(h.dwTotalFrames));
  field("dwInitialFrames", signedDecimal(h.dwInitialFrames));
  field("dwStreams", signedDecimal(h.dwStreams));
  field("dwSuggestedBufferSize", signedDecimal(h.dwSuggestedBufferSize));
  field("dwWidth", signedDecimal(h.dwWidth));
  // The page has always spelt it so; users and their notes know it by it.
  field("dwheight", signedDecimal(h.dwHeight));
}

void addStreamHeaderRows(const AVISTREAMHEADER& h, const StructureRowSink& sink) {
  sink(2, rowImageStructure, "AVISTREAMHEADER", std::nullopt);
  const auto field = [&sink](const char* name, std::string value) { sink(3, rowImageField, name, value); };
  field("fccType", fourCCText(h.fccType));
  field("fccHandler", fourCCText(h.fccHandler));
  field("dwFlags", streamHeaderFlagsText(h.dwFlags));
  field("wPriority", unsigned16Decimal(h.wPriority));
  field("wLanguage", unsigned16Decimal(h.wLanguage));
  field("dwInitialFrames", signedDecimal(h.dwInitialFrames));
  field("dwScale", signedDecimal(h.dwScale));
  field("dwRate", signedDecimal(h.dwRate));
  field("dwStart", signedDecimal(h.dwStart));
  field("dwLength", signedDecimal(h.dwLength));
  field("dwSuggestedBufferSize", signedDecimal(h.dwSuggestedBufferSize));
  field("dwQuality", signedDecimal(h.dwQuality));
  field("dwSampleSize", signedDecimal(h.dwSampleSize));
  field("rcRect", rectangleText(h.rcFrame));
}

}  // namespace

void buildStructureRows(const std::string& path, const AVIFile& file, const StructureRowSink& sink,
                        StructureRowSet set) {
  sink(0, rowImageGroup, "Path", path);
  addMainHeaderRows(file.mainHeader(), sink);
  if (file.hasExtendedHeader()) {
    sink(0, rowImageStructure, "AVIEXTHEADER", std::nullopt);
    sink(1, rowImageField, "dwGrandFrames", signedDecimal(file.extendedHeader().dwGrandFrames));
  }
  sink(0, rowImageGroup, "Streams", std::string());
  for (std::size_t i = 0; i < file.streamCount(); ++i) {
    sink(1, rowImageGroup, std::to_string(i), std::string());
    const AVIStream& stream = *file.stream(i);
    addStreamHeaderRows(stream.header(), sink);
    if (set == StructureRowSet::all) {
      addStreamFormatRows(stream, sink);
      addStreamNameRow(stream, sink);
      addStreamIndexRows(file, stream, sink);
      addOpenDMLIndexRows(stream, sink);
    }
  }
  if (set == StructureRowSet::all) {
    addRiffFormRows(file, sink);
    addInfoRows(file, sink);
  }
}
