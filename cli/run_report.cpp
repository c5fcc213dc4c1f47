#include "cli/run_report.h"

#include <system_error>
#include <utility>

#include "batch/failure_message.h"
#include "cli/escape.h"
#include "cli/options.h"
#include "platform/file.h"

namespace cli {
namespace {

constexpr char kClearLine[] = "\r\033[K";

// The destination folder takes no new files at all, so every further photo would fail the same way.
bool DestinationRefuses(const FileResult& file) {
  return file.result.outcome == imaging::Outcome::kFolderRefuses;
}

std::uintmax_t SizeOf(const std::filesystem::path& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

std::string Megabytes(std::uintmax_t bytes) {
  const std::uintmax_t tenths = (bytes + 50'000) / 100'000;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

}  // namespace

std::string SummaryLine(const RunTally& tally) {
  std::string line = std::to_string(tally.written) + " written, " + std::to_string(tally.failed) +
                     " failed, " + std::to_string(tally.damaged) + " damaged";
  if (tally.not_tried > 0) line += ", " + std::to_string(tally.not_tried) + " not tried";
  return line + "; " + Megabytes(tally.bytes_in) + " in, " + Megabytes(tally.bytes_out) + " out";
}

RunReport::RunReport(std::size_t total, bool show_progress, std::function<void(std::string_view)> write)
    : total_(total), show_progress_(show_progress), write_(std::move(write)) {}

bool RunReport::Done(const FileResult& file) {
  ++done_;
  if (file.result.ok()) {
    ++tally_.written;
    tally_.bytes_in += SizeOf(platform::PathFromUtf8(file.source));
    tally_.bytes_out += SizeOf(file.destination);
    if (file.result.damaged) {
      ++tally_.damaged;
      Line(EscapeForTerminal(file.source) + ": written, but the photo is damaged (" +
           EscapeForTerminal(file.result.reason) + ")");
    }
  } else {
    ++tally_.failed;
    // Photos under way when the run stopped fail the same way; the first one said it all.
    if (!(stopped_ && DestinationRefuses(file))) {
      Line(EscapeForTerminal(file.source) + ": " + batch::FailureMessage(file.result.outcome) + " (" +
           EscapeForTerminal(file.result.reason) + ")");
    }
    if (DestinationRefuses(file)) stopped_ = true;
  }
  if (show_progress_) {
    write_(std::string(kClearLine) + "[" + std::to_string(done_) + "/" + std::to_string(total_) +
           "] done: " + EscapeForTerminal(file.source));
  }
  return !stopped_;
}

void RunReport::Finish() {
  tally_.not_tried = static_cast<int>(total_ - done_);
  if (total_ > 1 || tally_.failed > 0 || tally_.damaged > 0) {
    write_((show_progress_ ? kClearLine : "") + SummaryLine(tally_) + "\n");
  } else if (show_progress_ && done_ > 0) {
    write_(kClearLine);
  }
}

void RunReport::Line(const std::string& text) {
  write_((show_progress_ ? kClearLine : "") + std::string(kProgramName) + ": " + text + "\n");
}

}  // namespace cli
