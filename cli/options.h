// The command line of pixmeld-cli, parsed. Parsing never touches the file system.
#ifndef PIXMELD_CLI_OPTIONS_H_
#define PIXMELD_CLI_OPTIONS_H_

#include <optional>
#include <string>
#include <vector>

namespace cli {

inline constexpr char kProgramName[] = "pixmeld-cli";
inline constexpr int kDefaultMaxEdge = 960;
inline constexpr int kLargestMaxEdge = 65500;
// Far above any machine's core count, which bounds the photos at once anyway; a larger number is a typo.
inline constexpr int kLargestJobs = 1024;

struct Options {
  enum class Action { kRun, kHelp, kVersion };
  Action action = Action::kRun;
  int max_edge = kDefaultMaxEdge;
  std::optional<std::string> output;  // the default folder when absent
  std::optional<int> jobs;            // one per core when absent
  std::vector<std::string> files;
  std::vector<std::string> files_from;  // lists to read the files from; "-" is standard input
  bool null_separated = false;          // the lists separate paths by NUL rather than by newline
};

struct ParseResult {
  Options options;
  std::string error;  // a usage error when not empty
};

ParseResult ParseArguments(const std::vector<std::string>& arguments);

// The text of --help.
std::string UsageText();

}  // namespace cli

#endif  // PIXMELD_CLI_OPTIONS_H_
