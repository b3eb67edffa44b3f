#include "page/JsonReport.h"

#include <cmath>

#include "page/JsonArrayWriter.h"
#include "page/Utf8Text.h"

namespace {

// Seconds to the millisecond, as the text shows them.
double seconds(double value) {
  return std::round(value * 1000) / 1000;
}

nlohmann::ordered_json jsonVerification(const FileReport& report) {
  const Verification& verification = *report.verification;
  nlohmann::ordered_json streams = nlohmann::ordered_json::array();
  for (const VerifiedStream& stream : verification.streams) {
    streams.push_back({{"chunks", stream.chunks}, {"bytes", stream.bytes}, {"duration", seconds(stream.duration)}});
  }
  return {{"path", toUtf8(report.path)},
          {"ok", report.ok},
          {"status", toUtf8(report.status)},
          {"position", verification.position ? nlohmann::ordered_json(*verification.position) : nullptr},
          {"streams", std::move(streams)},
          {"soundUpTo", seconds(verification.soundUpTo)},
          {"length", seconds(verification.length)}};
}

}  // namespace

nlohmann::ordered_json jsonFileReport(const FileReport& report) {
  if (report.verification) return jsonVerification(report);
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
