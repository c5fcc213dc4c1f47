// One batch from the first tick to the opened folder, with the real per-file step and every way a photo
// can fail in a batch: unreadable, cut short, missing, a folder in its way, the source folder as the
// destination, the destination folder removed mid-batch; a drop during an error box; a user's Stop.
#include "batch/batch_runner.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

#include "tests/support/fake_batch_window.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
namespace ts = testing_support;
using Bytes = std::vector<unsigned char>;

// An error box keeps the event loop going: what `during_next_box` does happens while it shows.
struct BoxWithEventLoop : ts::RecordingErrorBox {
  void Show(const std::string& text) override {
    RecordingErrorBox::Show(text);
    if (during_next_box) std::exchange(during_next_box, nullptr)();
  }
  std::function<void()> during_next_box;
};

TEST(BatchRunnerTest, AFolderOfPhotosFromStartToTheOpenedFolder) {
  BoxWithEventLoop boxes;
  ts::TempDir dir;
  const fs::path in = dir / "in", out = dir / "out";
  fs::create_directories(in / "sub"), fs::create_directories(out / "f.jpg");
  Bytes icc(314, 7), profile;  // the segment of an RGB colour profile, which the output keeps
  std::copy_n("ICC_PROFILE\0\1\1", 14, icc.begin()), std::copy_n("RGB ", 4, icc.begin() + 30);
  std::copy_n("acsp", 4, icc.begin() + 50), profile.assign(icc.begin() + 14, icc.end());
  const auto photo = [&](const char* name, int w, int h, int turn = 1) {
    ts::JpegRecipe recipe;
    recipe.width = w, recipe.height = h;
    // Black in the quarter that shows at the top left, white elsewhere.
    recipe.sample = [=](int x, int y, int) { return 2 * x < w && (2 * y < h) == (turn == 1) ? 0 : 255; };
    recipe.markers = {{JPEG_APP0 + 1, ts::ExifOrientationSegment(turn)}, {JPEG_APP0 + 2, icc}};
    ts::WriteJpeg(in / name, recipe);
    return ts::MakeJpeg(recipe);
  };
  Bytes two = photo("two.jpg", 200, 100), cut = photo("cut.jpg", 300, 200);
  // A second frame after whole picture data: found only at the end.
  two.insert(two.end() - 2, {0xFF, 0xC0, 0, 11, 8, 0, 1, 0, 1, 1, 1, 0x11, 0});
  ts::WriteBytes(in / "two.jpg", two), ts::WriteBytes(in / "bad.jpg", {'x'});
  ts::WriteBytes(in / "cut.jpg", Bytes(cut.begin(), cut.begin() + cut.size() / 2));
  // Fitted as stored (100 x 99), then turned; fitting the upright 200 x 201 would give 100 x 100.
  photo("c.jpg", 201, 200, 6), photo("a.jpg", 300, 200), photo("B.jpg", 60, 40), photo("D.jpg", 1000, 10);
  photo("f.jpg", 50, 50), photo("0.jpg", 20, 20);
  ts::FakeBatchWindow window;
  window.folder = out.string(), window.selection = 9;  // 100 pixels
  for (const char* name :
       {"no.jpg", "two.jpg", "f.jpg", "D.jpg", "cut.jpg", "c.jpg", "bad.jpg", "B.jpg", "a.jpg"}) {
    window.queue.Add((in / name).string());  // byte order would run B, D, a, bad, ...
  }
  batch::BatchRunner runner(window);
  std::set<std::string> written = {"f.jpg"};
  const auto tick = [&](const char* new_output, std::size_t left) {
    runner.Tick();
    if (*new_output != '\0') written.insert(new_output);
    const auto now = fs::exists(out) ? ts::TempDir::EntriesOf(out) : std::vector<std::string>{};
    EXPECT_EQ(std::set<std::string>(now.begin(), now.end()), written) << "after " << new_output;
    EXPECT_EQ(std::pair(window.queue.count(), window.shown_count), std::pair(left, left)) << new_output;
  };
  tick("", 9);
  runner.StartStop();
  tick("a.jpg", 8);
  runner.StartStop();  // the user's Stop takes effect before the next photo
  tick("", 8);
  runner.StartStop();
  fs::remove_all(out), written = {};  // the destination vanishes: the run stops, the photo stays
  tick("", 8);
  fs::create_directories(out / "f.jpg"), written = {"f.jpg"};
  runner.StartStop();
  tick("B.jpg", 7);
  // While the unreadable photo's box shows, a photo that sorts first is dropped and the timer ticks.
  boxes.during_next_box = [&] { window.queue.Add((in / "0.jpg").string()), runner.Tick(); };
  tick("", 7);
  tick("0.jpg", 6);
  window.folder = (in / "sub" / "..").string();  // the source folder by another name: refused, and stops
  tick("", 6);
  window.folder = out.string(), runner.StartStop();
  tick("c.jpg", 5);
  tick("cut.jpg", 4);     // written as far as it goes
  window.selection = -1;  // none: the default, 960
  tick("D.jpg", 3);
  tick("", 2);  // the folder in the way of f.jpg fails this photo alone
  tick("", 1);  // no.jpg is missing: no box
  tick("", 0);  // two.jpg
  EXPECT_TRUE(window.open_commands == 1 && runner.running()) << "the run ends on the next tick";
  tick("", 0);
  EXPECT_FALSE(runner.running() || window.start_enabled || window.caption != "Start" ||
               window.open_commands > 1);
  const std::string read = "Error reading JPEG file", write = "Error writing JPEG file";
  EXPECT_EQ(boxes.shown(), (std::vector<std::string>{write, read, write, write, read}));
  // Each shows black at the top left and white at the bottom right, c.jpg once turned.
  for (auto [name, width, height] : {std::tuple{"B.jpg", 60, 40}, {"c.jpg", 99, 100}, {"D.jpg", 960, 9}}) {
    const ts::JpegFacts facts = ts::ReadJpegFacts(out / name);
    EXPECT_EQ(std::pair(facts.width, facts.height), std::pair(width, height)) << name;
    EXPECT_TRUE(facts.luma_quant_dc == 6 && facts.icc_profile == profile) << name << ": quality 80, profile";
    const auto& pixels = facts.pixels;
    EXPECT_TRUE(pixels.size() > 1 && pixels[0] < 0x808080 && pixels.back() > 0x808080) << name;
  }
}
