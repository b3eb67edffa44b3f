#include "page/FileReport.h"

#include <exception>

#include "avi/AVIFile.h"
#include "base/WindowsFile.h"
#include "page/InspectedFile.h"
#include "page/StatusText.h"
#include "page/StructureRows.h"

namespace {

void addRows(FileReport& report, brix::SeekableInputStream& stream) {
  const AVIFile file(stream);
  buildStructureRows(report.path, file,
                     [&report](int indent, int image, const std::string& element,
                               const std::optional<std::string>& value) {
                       report.rows.push_back({indent, image, element, value});
                     });
  report.status = "Ok";
  report.ok = true;
}

}  // namespace

FileReport readFileReport(const std::string& path) {
  FileReport report{path, {}, {}, false};
  try {
    brix::WindowsFile file = openInspectedFile(path);
    addRows(report, file);
  } catch (const std::exception& e) {
    report.status = statusText(e);
  }
  return report;
}

FileReport readStreamReport(const std::string& path, brix::SeekableInputStream& stream) {
  FileReport report{path, {}, {}, false};
  try {
    addRows(report, stream);
  } catch (const std::exception& e) {
    report.status = statusText(e);
  }
  return report;
}
