#pragma once
#include <string>

#include "page/FileReport.h"
#include "page/JsonArrayWriter.h"

enum class OutputForm { text, json };

// What the tool writes to standard output for each report, in order: the
// full text or JSON report of every file, or with brief one line or one
// object per file ({"path", "ok", "status"}), and with failedOnly only the
// files that could not be read.
class ReportPrinter {
 public:
  ReportPrinter(OutputForm form, bool brief, bool failedOnly);

  // The text for one more report; empty for a report left out.
  std::string add(const FileReport& report);
  // What ends the output: the end of the JSON document.
  std::string end() const;

 private:
  OutputForm form_;
  bool brief_;
  bool failedOnly_;
  bool first_ = true;
  JsonArrayWriter json_;
};

// "path: status", the status on one line.
std::string briefText(const FileReport& report);
