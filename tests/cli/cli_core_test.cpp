// The pieces of pixmeld-cli that need no process: the command line and the escaping of names for the
// terminal. The run's report is seen in the words of the program itself (pixmeld_cli_test.cpp).
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/escape.h"
#include "cli/options.h"

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
  const std::pair<Args, std::string> cases[] = {
      // "--name value", "-xvalue", "--name=value"; "-x value" in the rows below.
      {{"a", "--max-edge", "24", "-oout dir", "--jobs=3", "b"}, "run m24 oout dir j3 a b"},
      {{"-m1", "--jobs=1024", "-", "a"}, "run m1 o- j1024 - a"},
      {{"a", "--files-from=one", "--files-from", "two", "--null"}, "run m960 o- j- 0 a @one @two"},
      {{"--", "-photo.jpg", "--help"}, "run m960 o- j- -photo.jpg --help"},
      {{"-V"}, "version m960 o- j-"},
      {{}, "error: no files given"},
      {{"-m", "65501", "a"}, "error: --max-edge needs a whole number from 1 to 65500"},
      {{"-m", "12px", "a"}, "error: --max-edge needs a whole number from 1 to 65500"},
      {{"--jobs=1025", "a"}, "error: --jobs needs a whole number from 1 to 1024"},
      {{"--output", "", "a"}, "error: --output needs a folder"},
      {{"--files-from"}, "error: --files-from needs a file (\"-\" for standard input)"},
      {{"-0x", "a"}, "error: unknown option -0x"},
      {{"--\x1b[2J", "a"}, "error: unknown option --\\x1b[2J"},
  };
  for (const auto& [arguments, parsed] : cases)
    EXPECT_EQ(Parsed(arguments), parsed) << testing::PrintToString(arguments);
}

TEST(EscapeTest, ControlCharactersAndBytesThatAreNotUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      // clang-format off
      {"\xC3\x9Cmlaut \xE2\x82\xAC \xF0\x9F\x93\xB7", "\xC3\x9Cmlaut \xE2\x82\xAC \xF0\x9F\x93\xB7"},
      // So that "\n" in a name differs from a newline; where a backslash separates folders, no name has one.
      {"back\\slash", std::filesystem::path::preferred_separator == '\\' ? "back\\slash" : "back\\\\slash"},
      // DEL; U+0080 and U+009B (the CSI of C1) are controls, U+00A0 none.
      {"\x7f\xC2\x80\xC2\x9B[31m\xC2\xA0", "\\x7f\\xc2\\x80\\xc2\\x9b[31m\xC2\xA0"},
      // Overlong forms.
      {"\xC0\xAF\xE0\x9F\xBF\xF0\x8F\xBF\xBF", "\\xc0\\xaf\\xe0\\x9f\\xbf\\xf0\\x8f\\xbf\\xbf"},
      {"\xED\xA0\x80\xED\x9F\xBF", "\\xed\\xa0\\x80\xED\x9F\xBF"},  // a surrogate; U+D7FF is none
      // Above U+10FFFF, U+10FFFF itself, and no lead byte.
      {"\xF4\x90\x80\x80\xF4\x8F\xBF\xBF\xF5", "\\xf4\\x90\\x80\\x80\xF4\x8F\xBF\xBF\\xf5"},
      {"\xE2\x28\xA1\xE2\x82", "\\xe2(\\xa1\\xe2\\x82"},  // a sequence broken by an ASCII byte; one cut short
      // clang-format on
  };
  for (const auto& [name, shown] : cases)
    EXPECT_EQ(EscapeForTerminal(name), shown) << testing::PrintToString(name);
}

}  // namespace
}  // namespace cli
