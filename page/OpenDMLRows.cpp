#include "page/OpenDMLRows.h"

#include <string>

#include "avi/AVIFile.h"
#include "page/ValueFormats.h"

namespace {

// Which index the group counts: indx, and what it is when it can be read.
std::string superIndexText(const OpenDMLIndex& index) {
  if (!index.readable) return "indx";
  switch (index.kind) {
    case OpenDMLIndexChunk::Kind::superIndex:
      return index.fields ? "indx: super index of field indexes" : "indx: super index";
    case OpenDMLIndexChunk::Kind::standardIndex: return "indx: standard index";
    case OpenDMLIndexChunk::Kind::fieldIndex: return "indx: field index";
  }
  return "indx";
}

}  // namespace

void addOpenDMLIndexRows(const AVIStream& stream, const StructureRowSink& sink) {
  if (!stream.openDMLIndex()) return;
  const OpenDMLIndex& index = *stream.openDMLIndex();
  sink(2, rowImageGroup, "OpenDML index", superIndexText(index));
  sink(3, rowImageField, "Segments", std::to_string(index.segments));
  sink(3, rowImageField, "Entries", std::to_string(index.entries));
  sink(3, rowImageField, "Key frames", std::to_string(index.keyFrames));
  sink(3, rowImageField, "Bytes", std::to_string(index.bytes));
  sink(3, rowImageField, "Duration", durationText(index.duration));
  if (!index.firstProblem.empty()) {
    sink(3, rowImageField, "Problem",
         index.firstProblem +
             (index.moreProblems != 0 ? " (and " + std::to_string(index.moreProblems) + " more)" : std::string()));
  }
}

void addRiffFormRows(const AVIFile& file, const StructureRowSink& sink) {
  const RiffForms& forms = file.riffForms();
  sink(0, rowImageGroup, "RIFF", std::string());
  sink(1, rowImageField, "Forms", std::to_string(forms.count()));
  sink(1, rowImageField, "File size", std::to_string(forms.fileSize()));
  for (const RiffForm& form : forms.listed()) {
    sink(1, rowImageField, fourCCText(form.type),
         "at " + std::to_string(form.position) + ", size " + std::to_string(form.size) +
             (form.problem.empty() ? std::string() : "; " + form.problem));
  }
  if (forms.count() > forms.listed().size()) {
    sink(1, rowImageField, "Not listed", std::to_string(forms.count() - forms.listed().size()));
  }
}
