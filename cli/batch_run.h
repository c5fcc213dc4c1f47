// Runs the per-file step over a list of photos for pixmeld-cli, several at once, with results identical to
// processing them one after another in queue order.
#ifndef PIXMELD_CLI_BATCH_RUN_H_
#define PIXMELD_CLI_BATCH_RUN_H_

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "batch/downsize_file.h"

namespace cli {

struct FileResult {
  std::string source;
  std::filesystem::path destination;
  imaging::Result result;
};

// Sources in queue order: full paths compared without regard to letter case; a path given twice stays
// twice. Each gets the destination `output_folder` / its file name.
std::vector<FileResult> PlanFiles(std::vector<std::string> sources,
                                  const std::filesystem::path& output_folder);

// Processes `files` (from PlanFiles) with up to `jobs` photos at once, each on up to `threads_per_photo`
// threads. Files that share a destination run one
// after another in queue order on one thread, so the later one wins as in a sequential run. `on_done` is
// called once per file processed, from the thread that processed it, one call at a time; when it returns
// false, no further file is started (those under way finish and are reported).
void RunFiles(std::vector<FileResult>& files, int max_edge, int jobs, int threads_per_photo,
              const std::function<bool(const FileResult&)>& on_done);

}  // namespace cli

#endif  // PIXMELD_CLI_BATCH_RUN_H_
