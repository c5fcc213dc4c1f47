#include "cli/options.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

using Args = std::vector<std::string>;

TEST(OptionsTest, DefaultsAndBothSpellingsOfEachOption) {
  ParseResult plain = ParseArguments({"a.jpg"});
  ASSERT_EQ(plain.error, "");
  EXPECT_EQ(plain.options.max_edge, 960);
  EXPECT_FALSE(plain.options.output.has_value());
  EXPECT_FALSE(plain.options.jobs.has_value());

  for (const Args& args : {Args{"--max-edge", "24", "-o", "out dir", "-j", "3", "a.jpg", "b.jpg"},
                           Args{"a.jpg", "--max-edge=24", "--output=out dir", "b.jpg", "--jobs=3"},
                           Args{"-m", "24", "--output", "out dir", "--jobs", "3", "a.jpg", "b.jpg"},
                           Args{"-m24", "-oout dir", "a.jpg", "-j3", "b.jpg"}}) {
    const ParseResult parsed = ParseArguments(args);
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.max_edge, 24);
    EXPECT_EQ(parsed.options.output, "out dir");
    EXPECT_EQ(parsed.options.jobs, 3);
    EXPECT_EQ(parsed.options.files, (Args{"a.jpg", "b.jpg"}));
  }
}

TEST(OptionsTest, NumbersAcrossTheWholeRange) {
  EXPECT_EQ(ParseArguments({"-m", "1", "a"}).options.max_edge, 1);
  EXPECT_EQ(ParseArguments({"-m", "65500", "a"}).options.max_edge, 65500);
  EXPECT_EQ(ParseArguments({"-j1", "a"}).options.jobs, 1);
  EXPECT_EQ(ParseArguments({"--jobs=1024", "a"}).options.jobs, 1024);
  EXPECT_EQ(ParseArguments({"--jobs=1025", "a"}).error, "--jobs needs a whole number from 1 to 1024");
}

TEST(OptionsTest, FileListsNeedNoFilesOnTheCommandLine) {
  const ParseResult piped = ParseArguments({"-0", "--files-from", "-", "-o", "out"});
  ASSERT_EQ(piped.error, "");
  EXPECT_EQ(piped.options.files_from, Args{"-"});
  EXPECT_TRUE(piped.options.null_separated);
  EXPECT_TRUE(piped.options.files.empty());

  const ParseResult both = ParseArguments({"a.jpg", "--files-from=one.txt", "--files-from", "two.txt"});
  ASSERT_EQ(both.error, "");
  EXPECT_EQ(both.options.files_from, (Args{"one.txt", "two.txt"}));
  EXPECT_EQ(both.options.files, Args{"a.jpg"});
  EXPECT_FALSE(both.options.null_separated);
}

TEST(OptionsTest, UsageErrors) {
  const Args bad[] = {
      {},                             // no files
      {"--max-edge", "0", "a.jpg"},   // not positive
      {"--max-edge", "-5", "a.jpg"},  //
      {"--max-edge", "65501", "a.jpg"},
      {"--max-edge", "12px", "a.jpg"},  // not a number
      {"--max-edge", "", "a.jpg"},
      {"a.jpg", "--max-edge"},  // missing value
      {"--jobs", "0", "a.jpg"},
      {"--output", "", "a.jpg"},
      {"--frobnicate", "a.jpg"},
      {"-x", "a.jpg"},
      {"--jobs", "1025", "a.jpg"},  // above the limit
      {"-j", "a.jpg"},
      {"--files-from"},
      {"--files-from="},
      {"--help=yes"},  // a value for an option that takes none
      {"-0x", "a.jpg"},
      {"-0"},  // no files and no list
  };
  for (const Args& args : bad) {
    EXPECT_NE(ParseArguments(args).error, "") << testing::PrintToString(args);
  }
}

TEST(OptionsTest, FilesThatLookLikeOptionsAfterTheDoubleDash) {
  const ParseResult parsed = ParseArguments({"--", "-photo.jpg", "--help"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.action, Options::Action::kRun);
  EXPECT_EQ(parsed.options.files, (Args{"-photo.jpg", "--help"}));
}

TEST(OptionsTest, HelpAndVersionNeedNoFiles) {
  EXPECT_EQ(ParseArguments({"--help"}).options.action, Options::Action::kHelp);
  EXPECT_EQ(ParseArguments({"--help"}).error, "");
  EXPECT_EQ(ParseArguments({"-V"}).options.action, Options::Action::kVersion);
}

}  // namespace
}  // namespace cli
