// pixmeld-cli: Pixmeld's per-file step for scripts and servers.
#include <algorithm>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/batch_run.h"
#include "cli/escape.h"
#include "cli/file_list.h"
#include "cli/options.h"
#include "cli/run_report.h"
#include "imaging/jpeg_abort.h"
#include "platform/arguments.h"
#include "platform/default_folder.h"
#include "platform/file.h"
#include "platform/interrupt.h"
#include "platform/standard_error.h"
#include "platform/terminal.h"

namespace {

void Error(const std::string& text) {
  platform::WriteStandardError(std::string(cli::kProgramName) + ": " + text + "\n");
}

int Run(cli::Options options) {
  const char separator = options.null_separated ? '\0' : '\n';
  for (const std::string& list : options.files_from) {
    std::string error;
    if (!cli::ReadFileList(list, separator, &options.files, &error)) {
      Error(error);
      return 1;
    }
  }
  if (options.files.empty()) return 0;  // an empty list, as `find` gives when nothing matches

  const std::optional<std::filesystem::path> output =
      options.output ? platform::ExactPathFromUtf8(*options.output) : platform::DefaultDestinationFolder();
  if (!output) {
    Error("cannot create the output folder " + cli::EscapeForTerminal(*options.output) + " (" +
          platform::kNameNotUnicode + ")");
    return 1;
  }
  std::error_code error;
  std::filesystem::create_directories(*output, error);
  if (!std::filesystem::is_directory(*output, error)) {
    Error("cannot create the output folder " + cli::EscapeForTerminal(platform::PathToUtf8(*output)));
    return 1;
  }

  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  // Photos in parallel and the threads of each together never outnumber the cores.
  std::vector<cli::FileResult> files = cli::PlanFiles(std::move(options.files), *output);
  const int jobs = std::clamp(std::min(options.jobs.value_or(cores), cores), 1,
                              static_cast<int>(std::max<std::size_t>(files.size(), 1)));

  cli::RunReport report(files.size(), platform::StandardErrorIsTerminal(),
                        [](std::string_view text) { platform::WriteStandardError(text); });
  cli::RunFiles(files, options.max_edge, jobs, std::max(1, cores / jobs),
                [&](const cli::FileResult& file) { return report.Done(file); });
  report.Finish();
  return report.ExitStatus();
}

}  // namespace

int main(int argc, char** argv) {
  // First of all, before any thread starts: the threads that follow inherit the blocked signals.
  platform::RemoveTemporaryFilesOnInterrupt();

  cli::ParseResult parsed = cli::ParseArguments(platform::ProgramArguments(argc, argv));
  if (!parsed.error.empty()) {
    Error(parsed.error);
    platform::WriteStandardError(std::string("Try '") + cli::kProgramName + " --help'.\n");
    return 2;
  }
  switch (parsed.options.action) {
    case cli::Options::Action::kHelp:
      platform::WriteStandardOutput(cli::UsageText());
      return 0;
    case cli::Options::Action::kVersion:
      platform::WriteStandardOutput(std::string(cli::kProgramName) + " " + PIXMELD_VERSION + "\n");
      return 0;
    case cli::Options::Action::kRun:
      break;
  }
  // Every failure and every damaged photo gets a line with its path, so the codec's own lines (the
  // library's warnings, "can't open") stay silent.
  imaging::PrintCodecMessages(false);
  return Run(std::move(parsed.options));
}
