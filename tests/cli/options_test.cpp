#include "cli/options.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

using Args = std::vector<std::string>;

// What the parse came to, in one line: "error: ..." or the action, the numbers, the folder, the files and
// the lists ("@").
std::string Parsed(const Args& arguments) {
  const ParseResult parsed = ParseArguments(arguments);
  if (!parsed.error.empty()) return "error: " + parsed.error;
  const Options& o = parsed.options;
  const char* const actions[] = {"run", "help", "version"};
  std::string text = std::string(actions[static_cast<int>(o.action)]) + " m" + std::to_string(o.max_edge) +
                     " o" + o.output.value_or("-") + " j" + (o.jobs ? std::to_string(*o.jobs) : "-") +
                     (o.null_separated ? " 0" : "");
  for (const std::string& file : o.files) text += " " + file;
  for (const std::string& list : o.files_from) text += " @" + list;
  return text;
}

TEST(OptionsTest, ArgumentsByTable) {
  const std::string edge = "error: --max-edge needs a whole number from 1 to 65500";
  const std::string jobs = "error: --jobs needs a whole number from 1 to 1024";
  const std::string list = "error: --files-from needs a file (\"-\" for standard input)";
  const std::pair<Args, std::string> cases[] = {
      {{"a.jpg"}, "run m960 o- j- a.jpg"},
      {{"--max-edge", "24", "-o", "out dir", "-j", "3", "a", "b"}, "run m24 oout dir j3 a b"},
      {{"a", "--max-edge=24", "--output=out dir", "b", "--jobs=3"}, "run m24 oout dir j3 a b"},
      {{"-m24", "-oout dir", "a", "-j3", "b"}, "run m24 oout dir j3 a b"},
      {{"-m", "1", "-j1", "a"}, "run m1 o- j1 a"},
      {{"-m", "65500", "--jobs=1024", "a"}, "run m65500 o- j1024 a"},
      {{"-0", "--files-from", "-", "-o", "out"}, "run m960 oout j- 0 @-"},
      {{"a", "--files-from=one", "--files-from", "two", "--null"}, "run m960 o- j- 0 a @one @two"},
      {{"--", "-photo.jpg", "--help"}, "run m960 o- j- -photo.jpg --help"},
      {{"-", "a"}, "run m960 o- j- - a"},
      {{"--help"}, "help m960 o- j-"},
      {{"-V"}, "version m960 o- j-"},
      {{}, "error: no files given"},
      {{"-m", "0", "a"}, edge},
      {{"-m", "65501", "a"}, edge},
      {{"-m", "12px", "a"}, edge},
      {{"--max-edge=", "a"}, edge},
      {{"a", "--max-edge"}, edge},
      {{"-j", "0", "a"}, jobs},
      {{"--jobs=1025", "a"}, jobs},
      {{"-j", "a"}, jobs},
      {{"--output", "", "a"}, "error: --output needs a folder"},
      {{"--files-from"}, list},
      {{"--frobnicate", "a"}, "error: unknown option --frobnicate"},
      {{"-x", "a"}, "error: unknown option -x"},
      {{"--help=yes"}, "error: unknown option --help=yes"},
      {{"-0x", "a"}, "error: unknown option -0x"},
      {{"--\x1b[2J", "a"}, "error: unknown option --\\x1b[2J"},
  };
  for (const auto& [arguments, parsed] : cases) {
    EXPECT_EQ(Parsed(arguments), parsed) << testing::PrintToString(arguments);
  }
}

}  // namespace
}  // namespace cli
