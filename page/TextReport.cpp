#include "page/TextReport.h"

#include <algorithm>

#include "page/StatusText.h"
#include "page/Utf8Text.h"

namespace {

constexpr std::size_t indentWidth = 2;
constexpr std::size_t columnGap = 2;

// Characters as a terminal counts them: UTF-8 continuation bytes take no room.
std::size_t displayWidth(const std::string& utf8) {
  return static_cast<std::size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

std::string textRows(const std::vector<StructureRowText>& rows) {
  std::size_t valueColumn = 0;
  for (const StructureRowText& row : rows) {
    if (row.value) valueColumn = std::max(valueColumn, row.indent * indentWidth + displayWidth(toUtf8(row.element)));
  }
  valueColumn += columnGap;

  std::string out;
  for (const StructureRowText& row : rows) {
    std::string line(row.indent * indentWidth, ' ');
    line += toUtf8(row.element);
    if (row.value && !row.value->empty()) {
      line.append(valueColumn - displayWidth(line), ' ');
      line += toUtf8(*row.value);
    }
    out += line + "\n";
  }
  return out;
}

std::string textReport(const FileReport& report) {
  // A file that was not read has no rows, yet a report without its name
  // cannot be told from the next one: it gets the "Path" row it would have had.
  const std::vector<StructureRowText> pathOnly = {{0, 0, "Path", report.path}};
  return textRows(report.rows.empty() ? pathOnly : report.rows) + "Status: " + toUtf8(statusLine(report.status)) +
         "\n";
}
