// pixmeld-cli: Pixmeld's per-file step for scripts and servers.
#include <algorithm>
#include <cstdio>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "batch/downsize_file.h"
#include "cli/batch_run.h"
#include "cli/options.h"
#include "platform/default_folder.h"
#include "platform/error_box.h"
#include "platform/file.h"
#include "platform/standard_error.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace {

constexpr char kProgram[] = "pixmeld-cli";

// Every failure is reported with its file's path instead, so the boxes stay silent.
class SilentErrorBox final : public platform::ErrorBox {
 public:
  void Show(const std::string&) override {}
};

void Error(const std::string& text) {
  platform::WriteStandardError(std::string(kProgram) + ": " + text + "\n");
}

int Run(const cli::Options& options) {
  const std::filesystem::path output =
      options.output ? platform::PathFromUtf8(*options.output) : platform::DefaultDestinationFolder();
  std::error_code error;
  std::filesystem::create_directories(output, error);
  if (!std::filesystem::is_directory(output, error)) {
    Error("cannot create the output folder " + platform::PathToUtf8(output));
    return 1;
  }

  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  // Photos in parallel never outnumber the cores; each photo takes one.
  std::vector<cli::FileResult> files = cli::PlanFiles(options.files, output);
  const int jobs = std::clamp(std::min(options.jobs.value_or(cores), cores), 1,
                              static_cast<int>(std::max<std::size_t>(files.size(), 1)));
  const bool show_progress = isatty(2) != 0;

  std::size_t done = 0;
  int failed = 0;
  cli::RunFiles(files, options.max_edge, jobs, [&](const cli::FileResult& file) {
    ++done;
    if (show_progress) std::fputs("\r\033[K", stderr);
    if (!file.result.ok()) {
      ++failed;
      Error(file.source + ": " + imaging::OutcomeMessage(file.result.outcome) + " (" + file.result.reason +
            ")");
    }
    if (show_progress) {
      std::fprintf(stderr, "[%zu/%zu] %s", done, files.size(), file.source.c_str());
      if (done == files.size()) std::fputs("\r\033[K", stderr);
      std::fflush(stderr);
    }
  });
  return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const cli::ParseResult parsed = cli::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    Error(parsed.error);
    platform::WriteStandardError(std::string("Try '") + kProgram + " --help'.\n");
    return 2;
  }
  switch (parsed.options.action) {
    case cli::Options::Action::kHelp:
      std::fputs(cli::UsageText().c_str(), stdout);
      return 0;
    case cli::Options::Action::kVersion:
      std::printf("%s %s\n", kProgram, PIXMELD_VERSION);
      return 0;
    case cli::Options::Action::kRun:
      break;
  }
  SilentErrorBox silent;
  platform::InstallErrorBox(&silent);
  const int status = Run(parsed.options);
  platform::InstallErrorBox(nullptr);
  return status;
}
