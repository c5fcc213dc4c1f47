#include "batch/batch_runner.h"

#include <gtest/gtest.h>

#include <map>

#include "batch/size_table.h"
#include "batch/work_queue.h"
#include "tests/support/fake_batch_window.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/temp_dir.h"

namespace batch {
namespace {

using testing_support::JpegRecipe;
using testing_support::kPathSeparator;
using testing_support::ReadJpegFacts;
using testing_support::RecordingErrorBox;
using testing_support::TempDir;
using testing_support::WriteJpeg;

using FakeWindow = testing_support::FakeBatchWindow;

struct StepCall {
  int max_edge;
  std::string source;
  std::string destination;
};

class BatchRunnerTest : public testing::Test {
 protected:
  BatchRunnerTest()
      : runner_(window_, [this](int max_edge, const std::filesystem::path& source,
                                const std::filesystem::path& destination) {
          calls_.push_back({max_edge, source.string(), destination.string()});
          if (during_step_) during_step_();
          const auto outcome = outcomes_.find(source.string());
          return imaging::Result{outcome == outcomes_.end() ? imaging::Outcome::kDone : outcome->second, ""};
        }) {}

  std::vector<std::string> Sources() const {
    std::vector<std::string> sources;
    for (const StepCall& call : calls_) sources.push_back(call.source);
    return sources;
  }

  FakeWindow window_;
  std::vector<StepCall> calls_;
  std::map<std::string, imaging::Outcome> outcomes_;
  std::function<void()> during_step_;
  BatchRunner runner_;
};

TEST_F(BatchRunnerTest, StartIsEnabledExactlyWhileTheQueueHasEntries) {
  runner_.Tick();
  EXPECT_FALSE(window_.start_enabled);
  window_.queue.Add("/p/a.jpg");
  runner_.Tick();
  EXPECT_TRUE(window_.start_enabled);
  EXPECT_EQ(window_.shown_count, 1u);
  EXPECT_TRUE(calls_.empty()) << "nothing runs before Start";
  window_.queue.Clear();
  runner_.Tick();
  EXPECT_FALSE(window_.start_enabled);
  EXPECT_EQ(window_.shown_count, 0u);
}

TEST_F(BatchRunnerTest, ThreePhotosTakeThreeTicksInOrderAndOpenTheFolderOnce) {
  for (const char* path : {"/p/c.jpg", "/p/A.jpg", "/p/b.jpg"}) window_.queue.Add(path);
  runner_.Tick();
  runner_.StartStop();
  EXPECT_EQ(window_.caption, "Stop");
  runner_.Tick();
  runner_.Tick();
  EXPECT_EQ(window_.open_commands, 0);
  runner_.Tick();
  EXPECT_EQ(window_.open_commands, 1);
  EXPECT_EQ(Sources(), (std::vector<std::string>{"/p/A.jpg", "/p/b.jpg", "/p/c.jpg"}));
  EXPECT_EQ(calls_[1].destination, "/out" + kPathSeparator + "b.jpg");
  EXPECT_EQ(calls_[1].max_edge, 960);
  EXPECT_EQ(window_.shown_count, 0u);
  // The tick that ran the last photo leaves the run on; the next one ends it.
  EXPECT_TRUE(runner_.running());
  runner_.Tick();
  EXPECT_FALSE(runner_.running());
  EXPECT_EQ(window_.caption, "Start");
  EXPECT_FALSE(window_.start_enabled);
  EXPECT_EQ(window_.open_commands, 1);
}

TEST_F(BatchRunnerTest, StopLeavesTheRestAndStartResumesWithTheFirstInOrder) {
  for (const char* path : {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"}) window_.queue.Add(path);
  runner_.StartStop();
  runner_.Tick();
  runner_.StartStop();
  EXPECT_EQ(window_.caption, "Start");
  runner_.Tick();
  EXPECT_EQ(calls_.size(), 1u);
  window_.queue.Add("/p/a2.jpg");  // sorts before b.jpg
  runner_.StartStop();
  runner_.Tick();
  EXPECT_EQ(Sources(), (std::vector<std::string>{"/p/a.jpg", "/p/a2.jpg"}));
}

TEST_F(BatchRunnerTest, SizeAndFolderAreReadAfreshOnEveryTick) {
  for (const char* path : {"/p/a.jpg", "/p/b.jpg"}) window_.queue.Add(path);
  runner_.StartStop();
  window_.selection = 0;
  runner_.Tick();
  window_.selection = 38;
  window_.folder = "/elsewhere/with space";
  runner_.Tick();
  EXPECT_EQ(calls_[0].max_edge, 24);
  EXPECT_EQ(calls_[0].destination, "/out" + kPathSeparator + "a.jpg");
  EXPECT_EQ(calls_[1].max_edge, 2000);
  EXPECT_EQ(calls_[1].destination, "/elsewhere/with space" + kPathSeparator + "b.jpg");
}

TEST_F(BatchRunnerTest, ClearDuringARunStopsItOnTheNextTick) {
  for (const char* path : {"/p/a.jpg", "/p/b.jpg"}) window_.queue.Add(path);
  runner_.StartStop();
  runner_.Tick();
  window_.queue.Clear();
  runner_.Tick();
  EXPECT_FALSE(runner_.running());
  EXPECT_EQ(window_.caption, "Start");
  EXPECT_EQ(calls_.size(), 1u);
}

TEST_F(BatchRunnerTest, AFailingPhotoLeavesTheQueueAndTheRunGoesOn) {
  for (const char* path : {"/p/a.jpg", "/p/b.jpg"}) window_.queue.Add(path);
  outcomes_["/p/a.jpg"] = imaging::Outcome::kUnreadable;
  outcomes_["/p/b.jpg"] = imaging::Outcome::kWriteFailed;
  runner_.StartStop();
  runner_.Tick();
  runner_.Tick();
  EXPECT_EQ(Sources(), (std::vector<std::string>{"/p/a.jpg", "/p/b.jpg"}));
  EXPECT_EQ(window_.queue.count(), 0u);
  EXPECT_EQ(window_.open_commands, 1);
}

TEST_F(BatchRunnerTest, AnUnwritableDestinationStopsTheRunAndKeepsThePhoto) {
  for (const char* path : {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"}) window_.queue.Add(path);
  outcomes_["/p/b.jpg"] = imaging::Outcome::kFolderRefuses;
  runner_.StartStop();
  runner_.Tick();
  runner_.Tick();
  EXPECT_FALSE(runner_.running());
  EXPECT_EQ(window_.caption, "Start");
  EXPECT_EQ(window_.queue.count(), 2u);
  EXPECT_EQ(window_.queue.entry(0), "/p/b.jpg");
  runner_.Tick();
  EXPECT_EQ(calls_.size(), 2u) << "no further photo is tried";
  EXPECT_TRUE(window_.start_enabled);
  EXPECT_EQ(window_.open_commands, 0);

  outcomes_.clear();  // the user picks another folder and starts again
  runner_.StartStop();
  runner_.Tick();
  runner_.Tick();
  EXPECT_EQ(Sources(), (std::vector<std::string>{"/p/a.jpg", "/p/b.jpg", "/p/b.jpg", "/p/c.jpg"}));
}

TEST_F(BatchRunnerTest, APhotoDroppedDuringTheStepThatSortsFirstIsNotLost) {
  // An error box keeps the event loop running during the step; a drop then inserts before the photo
  // being processed, and a timer tick may fire.
  for (const char* path : {"/p/m.jpg", "/p/z.jpg"}) window_.queue.Add(path);
  during_step_ = [this] {
    if (calls_.size() == 1) {
      window_.queue.Add("/p/a.jpg");
      runner_.Tick();  // nested: must do nothing
    }
  };
  runner_.StartStop();
  for (int i = 0; i < 4; ++i) runner_.Tick();
  EXPECT_EQ(Sources(), (std::vector<std::string>{"/p/m.jpg", "/p/a.jpg", "/p/z.jpg"}));
  EXPECT_EQ(window_.open_commands, 1);
}

TEST_F(BatchRunnerTest, NoSelectionUsesTheDefaultSize) {
  window_.queue.Add("/p/a.jpg");
  window_.selection = -1;
  runner_.StartStop();
  runner_.Tick();
  EXPECT_EQ(calls_[0].max_edge, 960);
}

TEST(BatchRunnerEndToEndTest, PhotosAreWrittenOnePerTickAndTheSameNameKeepsTheLaterOne) {
  RecordingErrorBox boxes;
  TempDir dir;
  std::filesystem::create_directories(dir / "in" / "a");
  std::filesystem::create_directories(dir / "in" / "b");
  std::filesystem::create_directory(dir / "out");
  FakeWindow window;
  window.folder = (dir / "out").string();
  window.selection = 9;  // 100 pixels
  const auto photo = [&](const std::string& name, int width, int height) {
    JpegRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    WriteJpeg(dir / "in" / name, recipe);
    window.queue.Add((dir / "in" / name).string());
  };
  photo("a/wide.jpg", 300, 200);
  photo("a/same.jpg", 50, 50);
  photo("b/same.jpg", 120, 60);
  testing_support::WriteBytes(dir / "in" / "b" / "broken.jpg", {'x'});
  window.queue.Add((dir / "in" / "b" / "broken.jpg").string());

  BatchRunner runner(window);
  runner.Tick();
  runner.StartStop();
  for (int tick = 0; tick < 4; ++tick) runner.Tick();
  EXPECT_EQ(window.queue.count(), 0u);
  EXPECT_EQ(window.open_commands, 1);
  EXPECT_EQ(boxes.shown(), std::vector<std::string>{"Error reading JPEG file"});
  EXPECT_EQ(dir.EntriesOf(dir / "out"), (std::vector<std::string>{"same.jpg", "wide.jpg"}));
  EXPECT_EQ(ReadJpegFacts(dir / "out" / "wide.jpg").width, 100);
  EXPECT_EQ(ReadJpegFacts(dir / "out" / "same.jpg").width, 100) << "b/same.jpg sorts after a/same.jpg";
  EXPECT_EQ(ReadJpegFacts(dir / "out" / "same.jpg").height, 50);
}

}  // namespace
}  // namespace batch
