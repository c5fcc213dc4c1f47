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
                           Args{"-m", "24", "--output", "out dir", "--jobs", "3", "a.jpg", "b.jpg"}}) {
    const ParseResult parsed = ParseArguments(args);
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.max_edge, 24);
    EXPECT_EQ(parsed.options.output, "out dir");
    EXPECT_EQ(parsed.options.jobs, 3);
    EXPECT_EQ(parsed.options.files, (Args{"a.jpg", "b.jpg"}));
  }
}

TEST(OptionsTest, EdgesAcrossTheWholeRange) {
  EXPECT_EQ(ParseArguments({"-m", "1", "a"}).options.max_edge, 1);
  EXPECT_EQ(ParseArguments({"-m", "65500", "a"}).options.max_edge, 65500);
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
