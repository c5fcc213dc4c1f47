#include "cli/batch_run.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include "batch/path_order.h"
#include "platform/file.h"

namespace cli {

std::vector<FileResult> PlanFiles(std::vector<std::string> sources,
                                  const std::filesystem::path& output_folder) {
  std::stable_sort(sources.begin(), sources.end(),
                   [](const std::string& a, const std::string& b) { return batch::PathLess(a, b); });
  std::vector<FileResult> files;
  files.reserve(sources.size());
  for (std::string& source : sources) {
    const std::filesystem::path name = platform::PathFromUtf8(source).filename();
    files.push_back(FileResult{std::move(source), output_folder / name, {}});
  }
  return files;
}

void RunFiles(std::vector<FileResult>& files, int max_edge, int jobs, int threads_per_photo,
              const std::function<bool(const FileResult&)>& on_done) {
  // Group the files by destination, in queue order. Names that differ only in letter case are grouped
  // too: on some file systems they are the same file.
  const auto path_less = [](const std::string& a, const std::string& b) { return batch::PathLess(a, b); };
  std::map<std::string, std::size_t, decltype(path_less)> group_of(path_less);
  std::vector<std::vector<std::size_t>> groups;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const auto [entry, is_new] = group_of.emplace(platform::PathToUtf8(files[i].destination), groups.size());
    if (is_new) groups.emplace_back();
    groups[entry->second].push_back(i);
  }

  std::atomic<std::size_t> next_group{0};
  std::atomic<bool> stopped{false};
  std::mutex report_mutex;
  const auto work = [&] {
    for (std::size_t g = next_group++; g < groups.size(); g = next_group++) {
      for (std::size_t index : groups[g]) {
        if (stopped) return;
        FileResult& file = files[index];
        const std::optional<std::filesystem::path> source = platform::ExactPathFromUtf8(file.source);
        file.result =
            source ? batch::DownsizeFile(max_edge, *source, file.destination, threads_per_photo)
                   : imaging::Result::Failure(imaging::Outcome::kCannotOpen, platform::kNameNotUnicode);
        std::lock_guard<std::mutex> lock(report_mutex);
        if (!on_done(file)) stopped = true;
      }
    }
  };

  const int threads = std::clamp<int>(jobs, 1, static_cast<int>(std::max<std::size_t>(groups.size(), 1)));
  std::vector<std::thread> workers;
  for (int t = 1; t < threads; ++t) workers.emplace_back(work);
  work();
  for (std::thread& worker : workers) worker.join();
}

}  // namespace cli
