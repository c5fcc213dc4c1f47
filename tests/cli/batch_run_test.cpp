#include "cli/batch_run.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/support/jpeg_fixtures.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/temp_dir.h"

namespace cli {
namespace {

using testing_support::JpegRecipe;
using testing_support::ReadBytes;
using testing_support::ReadJpegFacts;
using testing_support::TempDir;
using testing_support::WriteJpeg;

TEST(BatchRunTest, PlansTheQueueOrderWithOneDestinationEach) {
  const auto files = PlanFiles({"/b/z.jpg", "/a/C.jpg", "/a/b.jpg", "/a/b.jpg"}, "/out");
  std::vector<std::string> sources;
  for (const FileResult& file : files) sources.push_back(file.source);
  EXPECT_EQ(sources, (std::vector<std::string>{"/a/b.jpg", "/a/b.jpg", "/a/C.jpg", "/b/z.jpg"}));
  EXPECT_EQ(files[2].destination, std::filesystem::path("/out/C.jpg"));
}

TEST(BatchRunTest, ParallelRunsGiveTheOutputsOfASequentialRun) {
  TempDir dir;
  std::vector<std::string> sources;
  // Photos of different sizes that share names across folders: the later one in queue order must win.
  for (const char* folder : {"a", "B", "c"}) {
    std::filesystem::create_directory(dir / folder);
    for (int i = 0; i < 4; ++i) {
      JpegRecipe recipe;
      recipe.width = 40 + 10 * i + folder[0] % 7;
      recipe.height = 30 + folder[0] % 5;
      const auto path = dir / folder / ("photo" + std::to_string(i) + ".jpg");
      WriteJpeg(path, recipe);
      sources.push_back(path.string());
    }
  }
  std::vector<std::vector<unsigned char>> outputs[2];
  int calls[2] = {0, 0};
  for (int jobs : {1, 3}) {
    const auto out = dir / ("out" + std::to_string(jobs));
    std::filesystem::create_directory(out);
    auto files = PlanFiles(sources, out);
    RunFiles(files, 32, jobs, jobs == 1 ? 2 : 1, [&](const FileResult& file) {
      ++calls[jobs == 3];
      EXPECT_EQ(file.result.outcome, imaging::Outcome::kDone);
      return true;
    });
    for (int i = 0; i < 4; ++i)
      outputs[jobs == 3].push_back(ReadBytes(out / ("photo" + std::to_string(i) + ".jpg")));
    EXPECT_EQ(ReadJpegFacts(out / "photo0.jpg").width, 32);
    EXPECT_EQ(ReadJpegFacts(out / "photo0.jpg").height, 32 * (30 + 'c' % 5) / (40 + 'c' % 7));
  }
  EXPECT_EQ(calls[0], 12);
  EXPECT_EQ(calls[1], 12);
  EXPECT_EQ(outputs[0], outputs[1]);
}

TEST(BatchRunTest, AStopFromOnDoneStartsNoFurtherPhoto) {
  TempDir dir;
  std::vector<std::string> sources;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) {
    WriteJpeg(dir / name, JpegRecipe{});
    sources.push_back((dir / name).string());
  }
  std::filesystem::create_directory(dir / "out");
  auto files = PlanFiles(sources, dir / "out");
  int calls = 0;
  RunFiles(files, 8, 1, 1, [&](const FileResult&) { return ++calls < 2; });
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(TempDir::EntriesOf(dir / "out"), (std::vector<std::string>{"a.jpg", "b.jpg"}));
}

}  // namespace
}  // namespace cli
