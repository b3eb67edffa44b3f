#include "page/JsonReport.h"

#include "page/JsonArrayWriter.h"
#include "page/Utf8Text.h"

nlohmann::ordered_json jsonFileReport(const FileReport& report) {
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (const StructureRowText& row : report.rows) {
    rows.push_back({{"indent", row.indent},
                    {"image", row.image},
                    {"element", toUtf8(row.element)},
                    {"value", row.value ? nlohmann::ordered_json(toUtf8(*row.value)) : nullptr}});
  }
  return {
      {"path", toUtf8(report.path)}, {"status", toUtf8(report.status)}, {"ok", report.ok}, {"rows", std::move(rows)}};
}

std::string jsonReport(const std::vector<FileReport>& reports) {
  JsonArrayWriter writer;
  std::string out;
  for (const FileReport& report : reports) out += writer.element(jsonFileReport(report));
  return out + writer.end();
}
