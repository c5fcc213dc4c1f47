// One batch from the first tick to the opened folder, with the real per-file step and every way a photo
// can go wrong in a batch: an unreadable photo, a drop during its error box, the source folder as the
// destination, the destination folder removed mid-batch, a user's Stop.
#include "batch/batch_runner.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

#include "platform/wait_cursor.h"
#include "tests/support/fake_batch_window.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/temp_dir.h"

namespace batch {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::ReadJpegFacts;
using testing_support::TempDir;

// The box a photo's failure shows keeps the event loop going: whatever `during_next_box` does happens then.
struct BoxWithEventLoop : testing_support::RecordingErrorBox {
  void Show(const std::string& text) override {
    RecordingErrorBox::Show(text);
    if (during_next_box) std::exchange(during_next_box, nullptr)();
  }
  std::function<void()> during_next_box;
};

struct CountingCursor : platform::WaitCursor {
  void Begin() override { ++depth, ++begins; }
  void End() override { --depth; }
  int depth = 0, begins = 0;
};

TEST(BatchRunnerTest, AFolderOfPhotosFromStartToTheOpenedFolder) {
  BoxWithEventLoop boxes;
  CountingCursor cursor;
  platform::InstallWaitCursor(&cursor);
  TempDir dir;
  const fs::path in = dir / "in", out = dir / "out";
  fs::create_directories(in / "sub");
  fs::create_directory(out);
  const auto photo = [&](const char* name, int width, int height) {
    testing_support::JpegRecipe recipe;
    recipe.width = width, recipe.height = height;
    testing_support::WriteJpeg(in / name, recipe);
    return (in / name).string();
  };
  testing_support::FakeBatchWindow window;
  window.folder = out.string();
  window.selection = 9;  // 100 pixels
  // Added in reverse; byte order would run B, D, a, bad, c, e.
  for (const std::string& path : {photo("e.jpg", 40, 40), photo("D.jpg", 1000, 10), photo("c.jpg", 150, 300),
                                  photo("B.jpg", 60, 40), photo("a.jpg", 300, 200)}) {
    window.queue.Add(path);
  }
  testing_support::WriteBytes(in / "bad.jpg", {'x'});
  window.queue.Add((in / "bad.jpg").string());
  const std::string dropped = photo("0.jpg", 20, 20);

  BatchRunner runner(window);
  std::set<std::string> written;
  const auto tick = [&](const char* new_output, std::size_t left) {
    runner.Tick();
    if (*new_output != '\0') written.insert(new_output);
    const auto now = fs::exists(out) ? TempDir::EntriesOf(out) : std::vector<std::string>{};
    EXPECT_EQ(std::set<std::string>(now.begin(), now.end()), written) << "after " << new_output;
    EXPECT_EQ(window.queue.count(), left);
    EXPECT_EQ(window.shown_count, left);
  };
  const auto expect_size = [&](const char* name, int width, int height) {
    const testing_support::JpegFacts facts = ReadJpegFacts(out / name);
    EXPECT_EQ(facts.width, width) << name;
    EXPECT_EQ(facts.height, height) << name;
    EXPECT_TRUE(facts.baseline_frame);
    EXPECT_EQ(facts.luma_quant_dc, 6) << "quality 80";
  };
  tick("", 6);
  EXPECT_TRUE(window.start_enabled) << "nothing runs before Start";
  runner.StartStop();
  EXPECT_EQ(window.caption, "Stop");
  tick("a.jpg", 5);
  expect_size("a.jpg", 100, 66);
  runner.StartStop();  // the user's Stop takes effect before the next photo
  EXPECT_EQ(window.caption, "Start");
  tick("", 5);
  runner.StartStop();
  tick("B.jpg", 4);
  expect_size("B.jpg", 60, 40);  // fits: kept

  // While the unreadable photo's box is open, a photo that sorts first is dropped and the timer ticks.
  boxes.during_next_box = [&] { window.queue.Add(dropped), runner.Tick(); };
  tick("", 4);
  EXPECT_EQ(window.queue.entry(0), dropped);
  tick("0.jpg", 3);

  // The source folder, by another name, as the destination: refused, the run stops, the photo stays.
  const std::vector<unsigned char> original = ReadBytes(in / "c.jpg");
  window.folder = (in / "sub" / "..").string();
  tick("", 3);
  EXPECT_FALSE(runner.running());
  EXPECT_EQ(window.caption, "Start");
  EXPECT_EQ(ReadBytes(in / "c.jpg"), original);
  window.folder = out.string();
  runner.StartStop();
  tick("c.jpg", 2);
  expect_size("c.jpg", 50, 100);

  fs::remove_all(out);  // the destination vanishes: the run stops, the photo stays, nothing remakes it
  written.clear();
  tick("", 2);
  EXPECT_FALSE(runner.running());
  EXPECT_EQ(window.queue.entry(0), (in / "D.jpg").string());
  fs::create_directory(out);
  runner.StartStop();
  window.selection = -1;  // no selection: the default size, 960
  tick("D.jpg", 1);
  expect_size("D.jpg", 960, 9);
  EXPECT_EQ(window.open_commands, 0);
  tick("e.jpg", 0);
  EXPECT_EQ(window.open_commands, 1);
  EXPECT_TRUE(runner.running()) << "the run ends on the tick after the last photo";
  tick("", 0);
  EXPECT_FALSE(runner.running());
  EXPECT_EQ(window.caption, "Start");
  EXPECT_FALSE(window.start_enabled);
  EXPECT_EQ(window.open_commands, 1);
  EXPECT_EQ(boxes.shown(), (std::vector<std::string>{"Error reading JPEG file", "Error writing JPEG file",
                                                     "Error writing JPEG file"}));
  EXPECT_EQ(cursor.depth, 0);
  EXPECT_GT(cursor.begins, 0);
  platform::InstallWaitCursor(nullptr);
}

}  // namespace
}  // namespace batch
