#include "page/FileReport.h"

#include <exception>

#include "avi/AVIFile.h"
#include "base/WindowsFile.h"
#include "page/StatusText.h"
#include "page/StructureRows.h"

namespace {

void addRows(FileReport& report, brix::SeekableInputStream& stream, StructureRowSet set = StructureRowSet::all) {
  const AVIFile file(stream, set == StructureRowSet::all ? AVIFile::Metadata::read : AVIFile::Metadata::skip);
  buildStructureRows(
      report.path, file,
      [&report](int indent, int image, const std::string& element, const std::optional<std::string>& value) {
        report.rows.push_back({indent, image, element, value});
      },
      set);
  report.status = "Ok";
  report.ok = true;
}

}  // namespace

FileReport readFileReport(const std::string& path) {
  FileReport report{path, {}, {}, false};
  try {
    brix::WindowsFile file(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    addRows(report, file);
  } catch (const std::exception& e) {
    report.status = statusText(e);
  }
  return report;
}

FileReport readStreamReport(const std::string& path, brix::SeekableInputStream& stream, StructureRowSet set) {
  FileReport report{path, {}, {}, false};
  try {
    addRows(report, stream, set);
  } catch (const std::exception& e) {
    report.status = statusText(e);
  }
  return report;
}
