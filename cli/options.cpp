#include "cli/options.h"

#include <charconv>

namespace cli {
namespace {

// A whole decimal number in [minimum, maximum], or nothing.
std::optional<int> ParseNumber(const std::string& text, int minimum, int maximum) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < minimum || value > maximum) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::string UsageText() {
  return "Usage: pixmeld-cli [--max-edge N] [--output DIR] [--jobs N] FILE...\n"
         "Shrinks JPEG photos so that their longer edge is at most N pixels and writes them as quality-80\n"
         "JPEG files of the same name into DIR.\n"
         "\n"
         "  -m, --max-edge N  the longest edge in pixels, 1 to 65500 (default 960)\n"
         "  -o, --output DIR  the destination folder, created if missing (default: the folder\n"
         "                    Pixmeld's window uses, under the temporary directory)\n"
         "  -j, --jobs N      photos processed at once (default: one per core)\n"
         "  -h, --help        show this text\n"
         "  -V, --version     show the version\n"
         "\n"
         "Files are processed in the order of their full paths, ignoring letter case. When two files share\n"
         "a name, the later one in that order is the one that remains.\n"
         "Exit status: 0 when every file was written, 1 when any failed, 2 for a usage error.\n";
}

ParseResult ParseArguments(const std::vector<std::string>& arguments) {
  ParseResult result;
  Options& options = result.options;
  bool only_files = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (only_files || argument.empty() || argument[0] != '-' || argument == "-") {
      options.files.push_back(argument);
      continue;
    }
    if (argument == "--") {
      only_files = true;
      continue;
    }
    // "--name value" and "--name=value" alike.
    std::string name = argument;
    std::optional<std::string> value;
    if (const auto equals = argument.find('='); argument.rfind("--", 0) == 0 && equals != std::string::npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
    }
    const auto take_value = [&]() -> std::optional<std::string> {
      if (value) return value;
      if (i + 1 < arguments.size()) return arguments[++i];
      return std::nullopt;
    };

    if (name == "-h" || name == "--help") {
      options.action = Options::Action::kHelp;
    } else if (name == "-V" || name == "--version") {
      options.action = Options::Action::kVersion;
    } else if (name == "-m" || name == "--max-edge") {
      const auto text = take_value();
      const auto number = text ? ParseNumber(*text, 1, kLargestMaxEdge) : std::nullopt;
      if (!number) {
        result.error = "--max-edge needs a whole number from 1 to " + std::to_string(kLargestMaxEdge);
        return result;
      }
      options.max_edge = *number;
    } else if (name == "-o" || name == "--output") {
      const auto text = take_value();
      if (!text || text->empty()) {
        result.error = "--output needs a folder";
        return result;
      }
      options.output = *text;
    } else if (name == "-j" || name == "--jobs") {
      const auto text = take_value();
      const auto number = text ? ParseNumber(*text, 1, 1 << 16) : std::nullopt;
      if (!number) {
        result.error = "--jobs needs a positive whole number";
        return result;
      }
      options.jobs = *number;
    } else {
      result.error = "unknown option " + argument;
      return result;
    }
  }
  if (options.action == Options::Action::kRun && options.files.empty()) result.error = "no files given";
  return result;
}

}  // namespace cli
