// libFuzzer target: any byte string, read as an AVI file from memory, must
// give a report (rows and/or a status message) that keeps the rules of
// reportFault, in JSON and as text; read again for the header rows alone
// (without stream names and INFO tags), it must give the same status and
// the same header rows (headerRowsFault); verified whole, it must give a
// verification that keeps the rules of verificationFault. A crash, a
// sanitizer report, a hang, a leak, an oversized allocation, a broken rule
// or an exception escaping readStreamReport (only std::exception is caught
// there) or the verification fails the run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "avi/FileVerifier.h"
#include "page/FileReport.h"
#include "tests/support/MemoryStream.h"
#include "tests/support/ReportChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Over the fuzzer's own buffer, which is exactly size bytes long, so that
  // a read one byte too far is an AddressSanitizer report.
  testing_support::MemoryStream stream(data, size);
  const FileReport report = readStreamReport("fuzz.avi", stream);
  testing_support::MemoryStream again(data, size);
  const FileReport headers = readStreamReport("fuzz.avi", again, StructureRowSet::headers);
  testing_support::MemoryStream pass(data, size);
  testing_support::MemoryStream lookups(data, size);
  const Verification verification = FileVerifier(pass, lookups).run();
  std::string fault = testing_support::reportFault(report);
  if (fault.empty()) fault = testing_support::headerRowsFault(report, headers);
  if (fault.empty()) fault = testing_support::verificationFault(verification, size);
  if (!fault.empty()) {
    std::fprintf(stderr, "Broken report rule: %s (status '%s')\n", fault.c_str(), report.status.c_str());
    std::abort();
  }
  return 0;
}
