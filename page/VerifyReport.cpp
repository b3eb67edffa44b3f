#include "page/VerifyReport.h"

#include <exception>
#include <utility>

#include "page/StatusText.h"
#include "page/StructureRows.h"
#include "page/ValueFormats.h"

FileReport verifyFileReport(const std::string& path, OnlineFiles online, const FileVerifier::Progress& progress) {
  Verification verification;
  try {
    brix::WindowsFile data = openInspectedFile(path, online);
    brix::WindowsFile lookups = openInspectedFile(path, online);
    verification = FileVerifier(data, lookups, progress).run();
  } catch (const std::exception& e) {
    verification = Verification{};
    verification.status = statusText(e);
  }
  return verificationReport(path, std::move(verification));
}

FileReport verificationReport(const std::string& path, Verification verification) {
  FileReport report{path, {{0, rowImageGroup, "Path", path}}, verification.status, verification.ok};
  for (std::size_t i = 0; i < verification.streams.size(); ++i) {
    const VerifiedStream& stream = verification.streams[i];
    report.rows.push_back({0, rowImageGroup, "Stream " + std::to_string(i), std::string()});
    report.rows.push_back({1, rowImageField, "Chunks", std::to_string(stream.chunks)});
    report.rows.push_back({1, rowImageField, "Bytes", std::to_string(stream.bytes)});
    report.rows.push_back({1, rowImageField, "Duration", durationText(stream.duration)});
  }
  if (!verification.ok && !verification.streams.empty()) {
    report.rows.push_back({0, rowImageField, "Sound up to",
                           durationText(verification.soundUpTo) + " of " + durationText(verification.length)});
  }
  report.verification = std::move(verification);
  return report;
}
