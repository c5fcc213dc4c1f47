// What pixmeld-cli tells the person at the terminal about a run: one line for each photo that failed, a
// progress line, the stop when the destination folder refuses new files, and the closing summary. Writes
// through `write` (standard error, or a test's string). Not thread-safe: RunFiles calls it one file at
// a time.
#ifndef PIXMELD_CLI_RUN_REPORT_H_
#define PIXMELD_CLI_RUN_REPORT_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "cli/batch_run.h"

namespace cli {

struct RunTally {
  int written = 0;  // damaged ones included
  int failed = 0;
  int damaged = 0;               // written, but the source could only partly be decoded
  int not_tried = 0;             // left when the run stopped
  std::uintmax_t bytes_in = 0;   // the sources of the photos written
  std::uintmax_t bytes_out = 0;  // the photos written
};

// "12 written, 1 failed, 1 damaged; 148.2 MB in, 9.1 MB out", with ", N not tried" after "damaged" when
// N > 0. A MB is 1,000,000 bytes, rounded to the nearest tenth.
std::string SummaryLine(const RunTally& tally);

class RunReport {
 public:
  RunReport(std::size_t total, bool show_progress, std::function<void(std::string_view)> write);

  // Counts and reports one processed file; false when the run must stop.
  bool Done(const FileResult& file);
  // Clears the progress line and writes the summary for a run of more than one photo or with a failure
  // or a damaged photo.
  void Finish();

  const RunTally& tally() const { return tally_; }
  int ExitStatus() const { return tally_.failed == 0 ? 0 : 1; }

 private:
  void Line(const std::string& text);

  std::size_t total_;
  std::size_t done_ = 0;
  bool show_progress_;
  bool stopped_ = false;
  std::function<void(std::string_view)> write_;
  RunTally tally_;
};

}  // namespace cli

#endif  // PIXMELD_CLI_RUN_REPORT_H_
