#include "cli/CollectionCheck.h"

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include "cli/FileCounter.h"
#include "cli/OrderedReader.h"
#include "cli/ProgressLine.h"
#include "cli/ReportPrinter.h"
#include "cli/Tally.h"
#include "cli/TreeWalker.h"
#include "page/VerifyReport.h"

namespace {

using Clock = std::chrono::steady_clock;

// Short runs finish before the line would be worth reading.
constexpr std::chrono::milliseconds progressDelay(250);
constexpr std::chrono::milliseconds progressInterval(100);

unsigned threadCount(const CommandLine& line) {
  if (line.jobs != 0) return line.jobs;
  const unsigned cpus = std::thread::hardware_concurrency();
  return cpus == 0 ? 1 : cpus;
}

// A run reads the headers of its files, or verifies them whole; a verify
// run reports a folder it can't read in the form of a verification too.
// With brief lines only the status is shown: the rows would be made for
// nothing.
FileReport readItem(const WalkItem& item, const CommandLine& line, const std::function<bool()>& interrupted) {
  const OnlineFiles online = line.readOnline ? OnlineFiles::read : OnlineFiles::skip;
  if (item.folderError) {
    if (!line.verify) return FileReport{item.path, {}, *item.folderError, false};
    Verification unread;
    unread.status = *item.folderError;
    return verificationReport(item.path, std::move(unread));
  }
  // A file of many gigabytes takes a while: Ctrl+C stops it, not only the
  // files after it.
  if (line.verify) {
    return verifyFileReport(item.path, online, [&interrupted](std::uint64_t, std::uint64_t) { return !interrupted(); });
  }
  return line.brief ? readFileStatus(item.path, online) : readFileReport(item.path, nullptr, online);
}

// The progress line of a run, redrawn at most every interval.
class Progress {
 public:
  Progress(const CommandLine& line, const Console& console)
      : console_(console), start_(Clock::now()), next_(start_ + progressDelay) {
    if (console.progress && (line.paths.size() > 1 || line.recursive)) {
      counter_ = std::make_unique<FileCounter>(line.paths, line.recursive);
    }
  }

  void update(const Tally& tally, bool force = false) {
    if (!counter_) return;
    const Clock::time_point now = Clock::now();
    if (now < next_ && !force) return;
    next_ = now + progressInterval;
    const std::chrono::duration<double> elapsed = now - start_;
    console_.error(line_.show(tally.progress(counter_->total(), elapsed.count())));
  }

  // Before output to the same terminal: the output starts on a clean line.
  // Returns whether the line was taken away.
  bool makeRoomForOutput() {
    if (!console_.outputOnTerminal || !line_.shown()) return false;
    console_.error(line_.clear());
    return true;
  }

  void remove() {
    if (line_.shown()) console_.error(line_.clear());
    counter_.reset();
  }

 private:
  const Console& console_;
  Clock::time_point start_;
  Clock::time_point next_;
  std::unique_ptr<FileCounter> counter_;
  ProgressLine line_;
};

}  // namespace

int checkCollection(const CommandLine& line, const Console& console, const std::function<bool()>& interrupted) {
  ReportPrinter printer(line.json ? OutputForm::json : OutputForm::text, line.brief, line.failedOnly);
  Tally tally;
  Progress progress(line, console);
  TreeWalker walker(line.paths, line.recursive);
  OrderedReader reader(threadCount(line),
                       [&line, &interrupted](const WalkItem& item) { return readItem(item, line, interrupted); });

  const bool complete = reader.run([&walker] { return walker.next(); },
                                   [&](const WalkItem& item, FileReport& report) {
                                     if (item.folderError) {
                                       tally.addUnreadableFolder();
                                     } else {
                                       tally.addFile(report.ok);
                                     }
                                     const std::string text = printer.add(report);
                                     if (!text.empty()) {
                                       const bool redraw = progress.makeRoomForOutput();
                                       console.output(text);
                                       progress.update(tally, redraw);
                                     } else {
                                       progress.update(tally);
                                     }
                                   },
                                   [&] {
                                     progress.update(tally);
                                     return interrupted();
                                   });

  progress.remove();
  const std::string end = printer.end();
  if (!end.empty()) console.output(end);
  if (tally.reported() != 1) console.error(tally.summary() + "\n");
  if (!complete) {
    console.error("quarnel-avi: interrupted\n");
    return exitInterrupted;
  }
  return tally.allOk() ? exitOk : exitFailed;
}
