#include "page/JsonReport.h"

#include <nlohmann/json.hpp>

#include "page/Utf8Text.h"

std::string jsonReport(const std::vector<FileReport>& reports) {
  nlohmann::ordered_json files = nlohmann::ordered_json::array();
  for (const FileReport& report : reports) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const StructureRowText& row : report.rows) {
      rows.push_back({{"indent", row.indent},
                      {"image", row.image},
                      {"element", toUtf8(row.element)},
                      {"value", row.value ? nlohmann::ordered_json(toUtf8(*row.value)) : nullptr}});
    }
    files.push_back({{"path", toUtf8(report.path)},
                     {"status", toUtf8(report.status)},
                     {"ok", report.ok},
                     {"rows", std::move(rows)}});
  }
  return files.dump(2) + "\n";
}
