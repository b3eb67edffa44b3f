#include "page/StreamDetailRows.h"

#include <cstdint>
#include <string>

#include "avi/AVIFile.h"
#include "page/ValueFormats.h"

void addStreamNameRow(const AVIStream& stream, const StructureRowSink& sink) {
  if (stream.name()) sink(2, rowImageField, "Name", storedText(*stream.name()));
}

void addStreamIndexRows(const AVIFile& file, const AVIStream& stream, const StructureRowSink& sink) {
  if (!file.hasLegacyIndex()) {
    sink(2, rowImageGroup, "Index", std::string("no legacy index"));
    return;
  }
  std::uint64_t keyFrames = 0;
  std::uint64_t bytes = 0;
  for (const StreamIndexEntry& entry : stream.index()) {
    if (entry.flags & StreamIndexEntry::keyFrame) ++keyFrames;
    bytes += entry.length;
  }
  // Named, since a large file has an OpenDML index beside it, which goes
  // beyond the first RIFF form that idx1 covers.
  sink(2, rowImageGroup, "Index", std::string("idx1"));
  sink(3, rowImageField, "Entries", std::to_string(stream.index().size()));
  sink(3, rowImageField, "Key frames", std::to_string(keyFrames));
  sink(3, rowImageField, "Bytes", std::to_string(bytes));
  sink(3, rowImageField, "Duration", durationText(stream.endTime()));
}

void addInfoRows(const AVIFile& file, const StructureRowSink& sink) {
  if (file.infoTags().empty()) return;
  sink(0, rowImageGroup, "INFO", std::string());
  for (const InfoTag& tag : file.infoTags()) sink(1, rowImageField, fourCCText(tag.id), storedText(tag.text));
}
