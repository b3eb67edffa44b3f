#include "tests/support/ReportChecks.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "page/JsonReport.h"
#include "page/StructureRows.h"
#include "page/TextReport.h"
#include "page/Utf8Text.h"

bool operator==(const StructureRowText& a, const StructureRowText& b) {
  return a.indent == b.indent && a.image == b.image && a.element == b.element && a.value == b.value;
}

void PrintTo(const StructureRowText& row, std::ostream* out) {
  *out << row.indent << "/" << row.image << " " << row.element << " = " << (row.value ? *row.value : "(none)");
}

namespace testing_support {
namespace {

std::string rowFault(const FileReport& report) {
  if (!report.ok) {
    // The parse either completes before the first row or fails with none;
    // only running out of memory can stop the rows part-way.
    if (!report.rows.empty() && report.status != "bad allocation") return "rows after a failed parse";
    return {};
  }
  if (report.rows.size() > maxStructureRows) return "more rows than any file can give";
  if (report.rows.empty() || report.rows.front().element != "Path" || report.rows.front().value != report.path) {
    return "the first row is not the path";
  }
  std::int64_t streamHeaders = 0;
  std::optional<std::int64_t> declaredStreams;
  for (const StructureRowText& row : report.rows) {
    if (row.indent < 0 || row.indent > 3) return "indent out of range: " + std::to_string(row.indent);
    if (row.image != rowImageGroup && row.image != rowImageStructure && row.image != rowImageField) {
      return "unknown row image " + std::to_string(row.image);
    }
    if (row.element == "AVISTREAMHEADER") ++streamHeaders;
    if (row.indent == 1 && row.element == "dwStreams" && row.value) {
      // Shown as a signed 32-bit number; the count is the unsigned field.
      declaredStreams = static_cast<std::uint32_t>(std::stol(*row.value));
    }
  }
  if (!declaredStreams) return "no dwStreams row";
  if (*declaredStreams != streamHeaders) {
    return "dwStreams " + std::to_string(*declaredStreams) + " but " + std::to_string(streamHeaders) +
           " stream headers shown";
  }
  return {};
}

// Parsing the document back costs more than the rest of a run together. Past
// a few streams the rows repeat the same code, so a larger report is only
// checked to be valid JSON, which needs no document built.
constexpr std::size_t maxRowsComparedInJson = 256;

std::string jsonFault(const FileReport& report) {
  const std::string text = jsonReport({report});
  if (!isUtf8(text)) return "the JSON document is not UTF-8";
  if (report.rows.size() > maxRowsComparedInJson) {
    return nlohmann::json::accept(text) ? std::string() : "the JSON document does not parse";
  }
  const nlohmann::json document = nlohmann::json::parse(text, nullptr, false);
  if (document.is_discarded()) return "the JSON document does not parse";
  if (!document.is_array() || document.size() != 1) return "the JSON document is not an array of one file";
  const nlohmann::json& file = document[0];
  if (!file.is_object()) return "the JSON file entry is not an object";
  if (file.value("path", std::string()) != toUtf8(report.path)) return "JSON path differs";
  if (file.value("status", std::string()) != toUtf8(report.status)) return "JSON status differs";
  if (!file.contains("ok") || file["ok"] != report.ok) return "JSON ok differs";
  if (!file.contains("rows")) return "JSON rows missing";
  const nlohmann::json& rows = file["rows"];
  if (!rows.is_array() || rows.size() != report.rows.size()) return "JSON rows differ in number";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const StructureRowText& row = report.rows[i];
    const nlohmann::json& jsonRow = rows[i];
    if (!jsonRow.is_object() || !jsonRow.contains("indent") || !jsonRow.contains("image") ||
        !jsonRow.contains("element") || !jsonRow.contains("value")) {
      return "JSON row " + std::to_string(i) + " lacks a field";
    }
    const nlohmann::json& value = jsonRow["value"];
    const bool sameValue = row.value ? value == toUtf8(*row.value) : value.is_null();
    if (jsonRow["indent"] != row.indent || jsonRow["image"] != row.image || jsonRow["element"] != toUtf8(row.element) ||
        !sameValue) {
      return "JSON row " + std::to_string(i) + " differs";
    }
  }
  return {};
}

std::string textFault(const FileReport& report) {
  const std::string text = textReport(report);
  if (!isUtf8(text)) return "the text report is not UTF-8";
  if (text.empty() || text.back() != '\n') return "the text report does not end its last line";
  const std::size_t lastLine = text.rfind("\nStatus: ");
  const std::size_t statusLine = lastLine == std::string::npos ? 0 : lastLine + 1;
  if (text.compare(statusLine, 8, "Status: ") != 0) return "the text report has no status line";
  if (report.ok && text.compare(statusLine, std::string::npos, "Status: Ok\n") != 0) {
    return "the text report of a good file does not end in Status: Ok";
  }
  return {};
}

// The header rows of a report, found by their place alone: everything up to
// "Streams"; then, of each stream, its number and its AVISTREAMHEADER block;
// nothing of a group at the top level after the streams.
std::vector<StructureRowText> headerRowsOf(const std::vector<StructureRowText>& rows) {
  std::vector<StructureRowText> headers;
  bool inStreams = false;
  bool inStreamHeader = false;
  for (const StructureRowText& row : rows) {
    if (!inStreams) {
      inStreams = row.indent == 0 && row.element == "Streams";
    } else if (row.indent == 0) {
      break;
    } else if (row.indent == 2) {
      inStreamHeader = row.element == "AVISTREAMHEADER";
      if (!inStreamHeader) continue;
    } else if (row.indent == 3 && !inStreamHeader) {
      continue;
    }
    headers.push_back(row);
  }
  return headers;
}

}  // namespace

std::string headerRowsFault(const FileReport& all, const FileReport& headers) {
  if (all.status != headers.status) {
    return "the status is '" + all.status + "' with all rows and '" + headers.status + "' with the header rows";
  }
  if (all.ok != headers.ok) return "ok differs between all rows and the header rows";
  if (headerRowsOf(headers.rows) != headers.rows) return "the header report has rows beyond the headers";
  if (headerRowsOf(all.rows) != headers.rows) return "the header rows differ within all rows";
  return {};
}

std::string reportFault(const FileReport& report) {
  if (report.status.empty()) return "empty status";
  if (report.ok != (report.status == "Ok")) {
    return std::string(report.ok ? "ok" : "not ok") + " with status '" + report.status + "'";
  }
  for (const auto check : {rowFault, jsonFault, textFault}) {
    std::string fault = check(report);
    if (!fault.empty()) return fault;
  }
  return {};
}

std::string verificationFault(const Verification& verification, std::uint64_t size) {
  if (verification.ok != (verification.status == "Ok") || verification.ok == verification.position.has_value()) {
    return "the status, the ok flag and the position disagree";
  }
  for (const char c : verification.status) {
    if (c < 0x20 || c > 0x7E) return "the status holds a byte that is not printable ASCII";
  }
  if (verification.streams.size() > 100) return "more streams than chunk ids can name";
  std::uint64_t held = 0;
  for (const VerifiedStream& stream : verification.streams) held += 8 * stream.chunks + stream.bytes;
  if (held > size) return "more chunks and bytes counted than the file holds";
  if (verification.soundUpTo > verification.length) return "sound for longer than the file lasts";
  return std::string();
}

}  // namespace testing_support
