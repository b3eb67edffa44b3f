#include "page/FileReport.h"

#include <exception>

#include "avi/AVIFile.h"
#include "page/InspectedFile.h"
#include "page/StatusText.h"

namespace {

void parseAndListRows(const std::string& path, brix::SeekableInputStream& stream, const StructureRowSink& sink,
                      StructureRowSet set) {
  // The whole parse happens before the first row, so a file the parser
  // rejects shows no rows.
  const AVIFile file(stream, set == StructureRowSet::all ? AVIFile::Metadata::read : AVIFile::Metadata::skip);
  buildStructureRows(path, file, sink, set);
}

// The report of one reading: read is given the sink that shows each row to
// onRow, when there is one, and keeps it. Whatever stops the reading, a
// failing onRow included, becomes the status; the rows kept before it stay.
template <class Read>
FileReport reportOf(const std::string& path, const StructureRowSink& onRow, Read read) {
  FileReport report{path, {}, {}, false};
  try {
    read([&report, &onRow](int indent, int image, const std::string& element, const std::optional<std::string>& value) {
      if (onRow) onRow(indent, image, element, value);
      report.rows.push_back({indent, image, element, value});
    });
    report.status = "Ok";
    report.ok = true;
  } catch (const std::exception& e) {
    report.status = statusText(e);
  }
  return report;
}

}  // namespace

FileReport readFileReport(const std::string& path, const StructureRowSink& onRow, OnlineFiles online) {
  return reportOf(path, onRow, [&path, online](const StructureRowSink& sink) {
    // Read-only; the model and the file are released before this returns.
    brix::WindowsFile file = openInspectedFile(path, online);
    parseAndListRows(path, file, sink, StructureRowSet::all);
  });
}

FileReport readFileStatus(const std::string& path, OnlineFiles online) {
  return reportOf(path, nullptr, [&path, online](const StructureRowSink&) {
    brix::WindowsFile file = openInspectedFile(path, online);
    const AVIFile avi(file, AVIFile::Metadata::skip);
  });
}

FileReport readStreamReport(const std::string& path, brix::SeekableInputStream& stream, StructureRowSet set) {
  return reportOf(path, nullptr, [&](const StructureRowSink& sink) { parseAndListRows(path, stream, sink, set); });
}
