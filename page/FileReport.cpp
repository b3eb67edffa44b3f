#include "page/FileReport.h"

#include <exception>

#include "avi/AVIFile.h"
#include "page/InspectedFile.h"
#include "page/StatusText.h"

namespace {

ReadStatus parseAndListRows(const std::string& path, brix::SeekableInputStream& stream, const StructureRowSink& sink,
                            StructureRowSet set = StructureRowSet::all) {
  // The whole parse happens before the first row, so a file the parser
  // rejects shows no rows.
  const AVIFile file(stream, set == StructureRowSet::all ? AVIFile::Metadata::read : AVIFile::Metadata::skip);
  buildStructureRows(path, file, sink, set);
  return {"Ok", true};
}

// The report of one reading: read is given the sink that keeps the rows.
template <class Read>
FileReport reportOf(const std::string& path, Read read) {
  FileReport report{path, {}, {}, false};
  ReadStatus status =
      read([&report](int indent, int image, const std::string& element, const std::optional<std::string>& value) {
        report.rows.push_back({indent, image, element, value});
      });
  report.status = std::move(status.text);
  report.ok = status.ok;
  return report;
}

}  // namespace

ReadStatus readFileRows(const std::string& path, const StructureRowSink& sink) {
  try {
    // Read-only; the model and the file are released before this returns.
    brix::WindowsFile file = openInspectedFile(path);
    return parseAndListRows(path, file, sink);
  } catch (const std::exception& e) {
    return {statusText(e), false};
  }
}

ReadStatus readStreamRows(const std::string& path, brix::SeekableInputStream& stream, const StructureRowSink& sink,
                          StructureRowSet set) {
  try {
    return parseAndListRows(path, stream, sink, set);
  } catch (const std::exception& e) {
    return {statusText(e), false};
  }
}

FileReport readFileReport(const std::string& path) {
  return reportOf(path, [&path](const StructureRowSink& sink) { return readFileRows(path, sink); });
}

FileReport readStreamReport(const std::string& path, brix::SeekableInputStream& stream, StructureRowSet set) {
  return reportOf(path, [&](const StructureRowSink& sink) { return readStreamRows(path, stream, sink, set); });
}
