// The soak: 1,000 files of which 100 are unreadable, first through the batch runner's tick logic (in
// this process, with the real DownsizeFile), then through pixmeld-cli. Each must give exactly 900
// outputs and 100 errors with the run never stopping, and memory must not creep: resident memory after
// file 1,000 at most 1 MiB above that after file 10. For the tick logic that is the resident set between
// ticks; for pixmeld-cli, which cannot be stopped between files, its peak resident set so far. Prints the
// figures; exits 1 when a promise is broken.
//
//   build/bench/soak build/pixmeld-cli        (`make reliability` runs it)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "batch/batch_runner.h"
#include "batch/downsize_file.h"
#include "platform/replacing_file.h"
#include "tests/support/fake_batch_window.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int kPhotos = 900;
constexpr int kUnreadable = 100;
constexpr int kFiles = kPhotos + kUnreadable;
constexpr int kEarly = 10;
constexpr long kAllowedGrowth = 1 << 20;

bool g_broken = false;

void Check(bool kept, const std::string& promise) {
  if (!kept) {
    std::printf("BROKEN: %s\n", promise.c_str());
    g_broken = true;
  }
}

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

double MiB(long bytes) { return bytes / 1048576.0; }

// Writes `good` photos of about 0.8 megapixels, one kind after another (baseline, progressive, arithmetic,
// grayscale, CMYK, 4:4:4 with restarts), and `bad` files no reader can turn into a picture, spread evenly
// through the queue order and named "file-0001.jpg" onwards.
void WriteMixedBatch(const std::filesystem::path& folder, int good, int bad) {
  std::vector<std::vector<unsigned char>> photos;
  for (int kind = 0; kind < 6; ++kind) {
    testing_support::JpegRecipe recipe;
    recipe.width = 1024;
    recipe.height = 768;
    recipe.quality = 90;
    recipe.progressive = kind == 1;
    recipe.arithmetic = kind == 2;
    if (kind == 3) recipe.color_space = JCS_GRAYSCALE, recipe.components = 1;
    if (kind == 4) recipe.color_space = JCS_CMYK, recipe.components = 4;
    if (kind == 5) recipe.subsample = false, recipe.restart_rows = 1;
    // A smooth picture with fine noise, as photos are.
    recipe.sample = [](int x, int y, int c) {
      const unsigned hash = (static_cast<unsigned>(x) * 73856093u) ^ (static_cast<unsigned>(y) * 19349663u);
      return static_cast<std::uint8_t>((x + 2 * y + 60 * c) / 8 % 200 + (hash >> 13) % 13);
    };
    photos.push_back(testing_support::MakeJpeg(recipe));
  }
  const std::string text = "This is a text file, not a photo.\n";
  std::vector<unsigned char> header_only(photos[0].begin(), photos[0].begin() + 300);
  const std::vector<std::vector<unsigned char>> unreadable = {
      {}, {0xFF, 0xD8}, std::vector<unsigned char>(text.begin(), text.end()), header_only};
  std::filesystem::create_directories(folder);
  int photo = 0;
  int broken = 0;
  for (int i = 0; i < good + bad; ++i) {
    // Position i is bad when the running share of bad files steps up there.
    const bool is_bad = (i + 1) * bad / (good + bad) > i * bad / (good + bad);
    char name[32];
    std::snprintf(name, sizeof name, "file-%04d.jpg", i + 1);
    testing_support::WriteBytes(
        folder / name, is_bad ? unreadable[broken++ % unreadable.size()] : photos[photo++ % photos.size()]);
  }
}

// Outputs in `folder`; false in `clean` when a temporary file is there too.
int Outputs(const std::filesystem::path& folder, bool* clean) {
  int outputs = 0;
  *clean = true;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind(platform::kTemporaryPrefix, 0) == 0) {
      *clean = false;
    } else {
      ++outputs;
    }
  }
  return outputs;
}

std::vector<std::string> Sources(const std::filesystem::path& folder) {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    paths.push_back(entry.path().string());
  std::sort(paths.begin(), paths.end());
  return paths;
}

// Standard error goes to /dev/null while it lives: the library's warnings about the bad files.
class QuietStandardError {
 public:
  QuietStandardError() : saved_(dup(2)) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 2);
    close(null);
  }
  ~QuietStandardError() {
    dup2(saved_, 2);
    close(saved_);
  }

 private:
  int saved_;
};

void SoakTheTicks(const std::filesystem::path& in, const std::filesystem::path& out) {
  std::filesystem::create_directories(out);
  testing_support::FakeBatchWindow window;
  window.folder = out.string();
  for (const std::string& path : Sources(in)) window.queue.Add(path);
  int written = 0;
  int failed = 0;
  batch::BatchRunner runner(window, [&](int max_edge, const std::filesystem::path& source,
                                        const std::filesystem::path& destination) {
    const imaging::Result result = batch::DownsizeFile(max_edge, source, destination);
    ++(result.ok() ? written : failed);
    return result;
  });

  long early = 0;
  bool kept_running = true;
  const auto start = std::chrono::steady_clock::now();
  {
    QuietStandardError quiet;
    runner.StartStop();
    for (int file = 1; window.queue.count() > 0; ++file) {
      runner.Tick();
      kept_running = kept_running && (runner.running() || window.queue.count() == 0);
      if (file == kEarly) early = ResidentBytes();
    }
  }
  const long late = ResidentBytes();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  bool clean = false;
  const int outputs = Outputs(out, &clean);

  std::printf(
      "Tick logic:  %d files in %.1f s; %d outputs, %d errors (%d error boxes); resident %.2f MiB after "
      "file %d, %.2f MiB after file %d (%+.2f MiB)\n",
      written + failed, seconds, outputs, failed, static_cast<int>(window.reports.size()), MiB(early), kEarly,
      MiB(late), kFiles, MiB(late - early));
  Check(written + failed == kFiles, "every file is processed");
  Check(outputs == kPhotos && written == kPhotos, "900 outputs");
  Check(failed == kUnreadable && static_cast<int>(window.reports.size()) == kUnreadable,
        "100 errors, one box each");
  Check(kept_running, "the run never stops");
  Check(window.open_commands == 1, "the folder is opened once, at the end");
  Check(clean, "no temporary file remains");
  Check(late - early <= kAllowedGrowth, "resident memory grows by at most 1 MiB from file 10 to file 1,000");
}

// The peak resident set of process `pid` so far, from /proc.
long PeakResidentBytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6) * 1024L;
  }
  return 0;
}

int ErrorLines(const std::filesystem::path& errors) {
  std::ifstream lines(errors);
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.rfind("pixmeld-cli: ", 0) == 0;
  return count;
}

// One pixmeld-cli run over all files, one photo at a time so that the peaks compare like with like. Its
// peak resident set is read from /proc once 10 files are done, and again at the end.
void SoakTheCli(const std::string& cli, const std::filesystem::path& in, const std::filesystem::path& work) {
  const std::filesystem::path out = work / "cli";
  const std::filesystem::path errors = work / "cli-errors.txt";
  std::filesystem::create_directories(out);
  std::vector<std::string> arguments = {cli, "--jobs", "1", "--output", out.string()};
  for (const std::string& source : Sources(in)) arguments.push_back(source);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int null = open("/dev/null", O_WRONLY);
    dup2(err, 2);
    dup2(null, 1);
    execv(cli.c_str(), argv.data());
    _exit(127);
  }
  long early = 0;
  int early_files = 0;
  bool clean = false;
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, WNOHANG, &usage) == 0) {
    if (early == 0) {
      const int done = Outputs(out, &clean) + ErrorLines(errors);
      if (done >= kEarly) early = PeakResidentBytes(child), early_files = done;
    }
    usleep(1000);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long late = usage.ru_maxrss * 1024L;
  const int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const int outputs = Outputs(out, &clean);
  const int failed = ErrorLines(errors);

  std::printf(
      "pixmeld-cli: %d files in %.1f s; %d outputs, %d errors, exit status %d; peak resident %.2f MiB "
      "after file %d, %.2f MiB after file %d (%+.2f MiB)\n",
      outputs + failed, seconds, outputs, failed, exit_status, MiB(early), early_files, MiB(late), kFiles,
      MiB(late - early));
  Check(outputs == kPhotos, "900 outputs");
  Check(failed == kUnreadable, "100 errors, one line each");
  Check(exit_status == 1, "exit status 1: some files failed, none stopped the run");
  Check(clean, "no temporary file remains");
  Check(early > 0 && late - early <= kAllowedGrowth,
        "peak memory grows by at most 1 MiB from file 10 to file 1,000");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s PATH-TO-pixmeld-cli\n", argv[0]);
    return 2;
  }
  std::string pattern = (std::filesystem::temp_directory_path() / "pixmeld-soak-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::filesystem::path work = pattern;
  WriteMixedBatch(work / "in", kPhotos, kUnreadable);
  SoakTheTicks(work / "in", work / "ticks");
  SoakTheCli(argv[1], work / "in", work);
  std::filesystem::remove_all(work);
  std::printf(g_broken ? "Soak FAILED\n" : "Soak passed\n");
  return g_broken ? 1 : 0;
}
