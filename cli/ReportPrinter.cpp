#include "cli/ReportPrinter.h"

#include "page/JsonReport.h"
#include "page/StatusText.h"
#include "page/TextReport.h"
#include "page/Utf8Text.h"

std::string briefText(const FileReport& report) {
  return toUtf8(report.path) + ": " + toUtf8(statusLine(report.status)) + "\n";
}

ReportPrinter::ReportPrinter(OutputForm form, bool brief, bool failedOnly)
    : form_(form), brief_(brief), failedOnly_(failedOnly) {}

std::string ReportPrinter::add(const FileReport& report) {
  if (failedOnly_ && report.ok) return {};
  if (form_ == OutputForm::json) {
    // The status as in the full report, so both forms agree on it.
    return json_.element(brief_ ? nlohmann::ordered_json{{"path", toUtf8(report.path)},
                                                         {"ok", report.ok},
                                                         {"status", toUtf8(report.status)}}
                                : jsonFileReport(report));
  }
  if (brief_) return briefText(report);
  // A blank line between files.
  const std::string separator = first_ ? "" : "\n";
  first_ = false;
  return separator + textReport(report);
}

std::string ReportPrinter::end() const {
  return form_ == OutputForm::json ? json_.end() : std::string();
}
