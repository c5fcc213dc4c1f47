// The per-file step without memory for a photo that must be turned: the words the user sees, and nothing
// written, not even a temporary file. Without memory to scale an upright photo is the batch runner's test.
#include <gtest/gtest.h>

#include "batch/downsize_file.h"
#include "platform/memory_block.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/result_printer.h"
#include "tests/support/temp_dir.h"

namespace ts = testing_support;

TEST(DownsizeFileTest, NoMemoryForATurnedPhotoWritesNothing) {
  ts::TempDir dir;
  ts::JpegRecipe recipe;
  recipe.width = 200, recipe.height = 100;
  recipe.markers = {{JPEG_APP0 + 1, ts::ExifOrientationSegment(6)}};
  ts::WriteJpeg(dir / "in.jpg", recipe);
  std::filesystem::create_directory(dir / "out");
  // Room for the rows that scale it to 100 x 50 on one thread, not for the 100 x 50 picture to turn.
  platform::ScopedAllocationLimit limit(16 * 200 * 4);
  const imaging::Result result = batch::DownsizeFile(100, dir / "in.jpg", dir / "out" / "in.jpg", 1);
  EXPECT_EQ(result.outcome, imaging::Outcome::kNoMemory);
  EXPECT_EQ(result.reason, "not enough memory for the picture");
  EXPECT_EQ(ts::TempDir::EntriesOf(dir / "out"), std::vector<std::string>{}) << "written to the folder";
}
