#include "cli/options.h"

#include <charconv>
#include <utility>

#include "cli/escape.h"

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

std::string NumberError(const char* option, int maximum) {
  return std::string(option) + " needs a whole number from 1 to " + std::to_string(maximum);
}

}  // namespace

std::string UsageText() {
  return "Usage: pixmeld-cli [-m N] [-o DIR] [-j N] [--files-from LIST [-0]] [--] [FILE...]\n"
         "Shrinks JPEG photos so that their longer edge is at most N pixels and writes them as quality-80\n"
         "JPEG files of the same name into DIR.\n"
         "\n"
         "  -m, --max-edge N       the longest edge in pixels, 1 to 65500 (default 960)\n"
         "  -o, --output DIR       the destination folder, created if missing (default: the folder\n"
         "                         Pixmeld's window uses, under the temporary directory)\n"
         "  -j, --jobs N           photos processed at once, 1 to 1024 (default: one per core)\n"
         "      --files-from LIST  also the files listed in LIST, one a line (\"-\": standard input)\n"
         "  -0, --null             the lists separate files by NUL bytes instead of newlines\n"
         "  -h, --help             show this text\n"
         "  -V, --version          show the version\n"
         "\n"
         "A value may also follow its option directly: -m960, -oDIR, --max-edge=960, --output=DIR.\n"
         "Files are processed in the order of their full paths, ignoring letter case. When two files share\n"
         "a name, the later one in that order is the one that remains.\n"
         "Exit status: 0 when every file was written, 1 when any failed, 2 for a usage error; 128 + the\n"
         "signal's number when interrupted.\n";
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
    // "--name value", "--name=value", "-x value" and "-xvalue" alike.
    std::string name = argument;
    std::optional<std::string> value;
    if (argument.rfind("--", 0) == 0) {
      if (const auto equals = argument.find('='); equals != std::string::npos) {
        name = argument.substr(0, equals);
        value = argument.substr(equals + 1);
      }
    } else if (argument.size() > 2) {
      name = argument.substr(0, 2);
      value = argument.substr(2);
    }
    const auto take_value = [&]() -> std::optional<std::string> {
      if (value) return std::exchange(value, std::nullopt);
      if (i + 1 < arguments.size()) return arguments[++i];
      return std::nullopt;
    };

    if (name == "-h" || name == "--help") {
      options.action = Options::Action::kHelp;
    } else if (name == "-V" || name == "--version") {
      options.action = Options::Action::kVersion;
    } else if (name == "-0" || name == "--null") {
      options.null_separated = true;
    } else if (name == "-m" || name == "--max-edge") {
      const auto text = take_value();
      const auto number = text ? ParseNumber(*text, 1, kLargestMaxEdge) : std::nullopt;
      if (!number) {
        result.error = NumberError("--max-edge", kLargestMaxEdge);
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
      const auto number = text ? ParseNumber(*text, 1, kLargestJobs) : std::nullopt;
      if (!number) {
        result.error = NumberError("--jobs", kLargestJobs);
        return result;
      }
      options.jobs = *number;
    } else if (name == "--files-from") {
      const auto text = take_value();
      if (!text || text->empty()) {
        result.error = "--files-from needs a file (\"-\" for standard input)";
        return result;
      }
      options.files_from.push_back(*text);
    } else {
      result.error = "unknown option " + EscapeForTerminal(argument);
      return result;
    }
    if (value) {  // a value given to an option that takes none: "--help=x", "-0x"
      result.error = "unknown option " + EscapeForTerminal(argument);
      return result;
    }
  }
  if (options.action == Options::Action::kRun && options.files.empty() && options.files_from.empty()) {
    result.error = "no files given";
  }
  return result;
}

}  // namespace cli
