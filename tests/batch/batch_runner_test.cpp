// One batch from the first tick to the opened folder, with the real per-file step and every way a photo
// can fail in a batch: unreadable, out of memory, a folder in its way, a source that is its own destination,
// the destination folder removed before a photo and during one (found only when the copy would take the
// photo's place); a drop during a photo, a tick during a failure's box. A missing photo is the window's test
// (main_dialog_test.cpp), a photo cut short is written as far as it goes (pixmeld_cli_test.cpp), and a folder
// made read-only by the commit is the replacing file's test.
#include "batch/batch_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

#include "imaging/jpeg_writer.h"
#include "platform/memory_block.h"
#include "tests/support/fake_batch_window.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
namespace ts = testing_support;
using Bytes = std::vector<unsigned char>;
using Strings = std::vector<std::string>;

TEST(BatchRunnerTest, AFolderOfPhotosFromStartToTheOpenedFolder) {
  ts::TempDir dir;
  // The destination holds a queued photo, x.jpg, which sorts among the others.
  const fs::path in = dir / "in", out = in / "m";
  // An RGB colour profile, which the output keeps.
  const Bytes profile = ts::IccProfile("RGB ", 300), icc = ts::IccChunk(1, 1, profile);
  const auto photo = [&](const fs::path& path, int w, int h, int turn = 1) {
    ts::JpegRecipe recipe;
    recipe.width = w, recipe.height = h;
    // Black in the quarter that shows at the top left, white elsewhere.
    recipe.sample = [=](int x, int y, int) { return 2 * x < w && (2 * y < h) == (turn == 1) ? 0 : 255; };
    recipe.markers = {{JPEG_APP0 + 1, ts::ExifOrientationSegment(turn)}, {JPEG_APP0 + 2, icc}};
    ts::WriteJpeg(path, recipe);
    return ts::MakeJpeg(recipe);
  };
  const auto make_out = [&] { fs::create_directories(out / "f.jpg"), photo(out / "x.jpg", 30, 20); };
  fs::create_directories(in), make_out();
  Bytes two = photo(in / "two.jpg", 200, 100);
  // A second frame after whole picture data: found only at the end.
  two.insert(two.end() - 2, {0xFF, 0xC0, 0, 11, 8, 0, 1, 0, 1, 1, 1, 0x11, 0});
  ts::WriteBytes(in / "two.jpg", two), ts::WriteBytes(in / "bad.jpg", {'x'});
  // Fitted as stored (100 x 99), then turned; fitting the upright 200 x 201 would give 100 x 100.
  photo(in / "c.jpg", 201, 200, 6), photo(in / "a.jpg", 300, 200), photo(in / "B.jpg", 60, 40);
  photo(in / "D.jpg", 1000, 10), photo(in / "e.jpg", 1200, 100), photo(in / "f.jpg", 50, 50);
  photo(in / "0.jpg", 20, 20);
  ts::FakeBatchWindow window;
  // The destination by another name: x.jpg is its own destination by identity, not by name.
  window.folder = (out / "f.jpg" / "..").string(), window.selection = 9;  // 100 pixels
  for (const char* name :
       {"two.jpg", "f.jpg", "m/x.jpg", "e.jpg", "D.jpg", "c.jpg", "bad.jpg", "B.jpg", "a.jpg"}) {
    window.queue.Add((in / name).string());  // byte order would run B, D, a, bad, ...
  }
  std::function<void()> during_next_photo;
  bool folder_goes_during_next_photo = false;
  // e.jpg meets a machine without memory to spare for scaling it.
  batch::BatchRunner runner(window, [&](int max_edge, const fs::path& source, const fs::path& destination) {
    std::optional<platform::ScopedAllocationLimit> limit;
    if (source.filename() == "e.jpg") limit.emplace(4096);
    if (during_next_photo) std::exchange(during_next_photo, nullptr)();
    if (!std::exchange(folder_goes_during_next_photo, false))
      return batch::DownsizeFile(max_edge, source, destination);
    // The real writer, slow to write its one row: the folder is found gone only when the copy would take
    // its place.
    imaging::JpegWriter writer;
    const std::uint32_t row = 0;
    EXPECT_TRUE(writer.Start(destination, 1, 1, batch::kOutputQualityTenths).ok());
    fs::remove_all(out);
    EXPECT_TRUE(writer.WriteRow(&row).ok() && writer.Finish().ok());
    return writer.Commit();
  });
  const auto written = [&] { return fs::exists(out) ? ts::TempDir::EntriesOf(out) : Strings{}; };
  struct Output {
    std::string name;  // none: ""
    int width, height;
  };
  // One tick, labelled with what it checks: the file it adds to the destination, which shows black at the
  // top left and white at the bottom right (once turned), at quality 80 with the profile; the entries that
  // leave the queue, and the boxes it shows.
  const auto step = [&](const char* label, const Output& output, Strings leave, Strings boxes = {}) {
    SCOPED_TRACE(label);
    Strings files = written();
    if (!output.name.empty())
      files.insert(std::upper_bound(files.begin(), files.end(), output.name), output.name);
    window.removed.clear(), window.reports.clear();
    runner.Tick();
    EXPECT_EQ(written(), files) << "in the destination";
    EXPECT_EQ(window.removed, leave) << "left the queue";
    EXPECT_EQ(window.shown_count, window.queue.count()) << "the count shown";
    EXPECT_EQ(window.reports, boxes) << "the boxes";
    if (output.name.empty()) return;
    const ts::JpegFacts facts = ts::ReadJpegFacts(out / output.name);
    EXPECT_EQ(std::pair(facts.width, facts.height), std::pair(output.width, output.height));
    EXPECT_TRUE(facts.luma_quant_dc == 6 && facts.icc_profile == profile) << "quality 80, the profile kept";
    const auto& pixels = facts.pixels;
    EXPECT_TRUE(pixels.size() > 1 && pixels[0] < 0x808080 && pixels.back() > 0x808080) << "black, white";
  };
  const std::string read = ": Error reading JPEG file (", write = ": Error writing JPEG file (";
  step("before Start nothing runs, but Start is enabled", {}, {});
  EXPECT_TRUE(window.start_enabled);
  runner.StartStop();
  step("a.jpg written: it sorts first, letter case aside", {"a.jpg", 100, 66}, {"a.jpg"});
  fs::remove_all(out);
  step("the destination vanished: the run stops and B.jpg stays", {}, {},
       {"B.jpg" + write + "can't open " + window.folder + ts::kPathSeparator +
        "B.jpg: No such file or directory)"});
  ASSERT_FALSE(runner.running()) << "the run went on without a destination";
#ifndef _WIN32  // Windows cannot remove a folder that holds an open file
  const std::string folder = std::exchange(window.folder, out.string());  // an empty one, by its own name
  fs::create_directory(out), runner.StartStop(), folder_goes_during_next_photo = true;
  step("the destination gone during B.jpg: the run stops and B.jpg stays, with the system's words", {}, {},
       {"B.jpg" + write + "No such file or directory)"});
  ASSERT_FALSE(runner.running()) << "the run went on without a destination";
  window.folder = folder;
#endif
  make_out(), runner.StartStop();
  step("B.jpg written once the destination is back", {"B.jpg", 60, 40}, {"B.jpg"});
  window.during_next_report = [&] { runner.Tick(); };  // a box keeps the timer going
  step("bad.jpg unreadable: its box, once", {}, {"bad.jpg"},
       {"bad.jpg" + read + "Not a JPEG file: starts with 0x78 0xff)"});
  during_next_photo = [&] { window.queue.Add((in / "0.jpg").string()); };
  step("c.jpg written: it leaves, not 0.jpg dropped meanwhile, which sorts first", {"c.jpg", 99, 100},
       {"c.jpg"});
  step("0.jpg written", {"0.jpg", 20, 20}, {"0.jpg"});
  window.selection = -1;  // none: the default, 960
  step("D.jpg written at 960 with no size selected", {"D.jpg", 960, 9}, {"D.jpg"});
  step("e.jpg: no memory to scale it", {}, {"e.jpg"},
       {"e.jpg" + write + "not enough memory to scale the picture)"});
  step("f.jpg: a folder in its way fails it alone", {}, {"f.jpg"}, {"f.jpg" + write + "Is a directory)"});
  step("x.jpg: its own destination, untouched", {}, {"x.jpg"},
       {"x.jpg" + write + "the destination is the source file itself)"});
  step("two.jpg: a second frame at the end", {}, {"two.jpg"},
       {"two.jpg" + read + "Invalid JPEG file structure: two SOF markers)"});
  EXPECT_TRUE(window.open_commands == 1 && runner.running()) << "the list ran empty: the folder opens once";
  step("the run ends on the next tick", {}, {});
  EXPECT_FALSE(runner.running() || window.start_enabled || window.caption != "Start" ||
               window.open_commands > 1);
}
