#include "imaging/shrinking_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imaging/jpeg_decoder.h"
#include "imaging/raster_image.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

namespace imaging {
namespace {

using Words = std::vector<std::uint32_t>;

// The picture decoded whole and resampled whole, top row first, fourth bytes cleared.
Words ResampledWhole(const std::filesystem::path& path, int width, int height) {
  PackedDib decoded = DecodeJpegFile(path);
  RasterImage raster;
  EXPECT_TRUE(raster.AdoptPacked(decoded));
  raster.Resample(width, height);
  raster.Lock();
  Words top_down;
  for (int y = height - 1; y >= 0; --y) {
    top_down.insert(top_down.end(), raster.pixels() + std::size_t(y) * width,
                    raster.pixels() + std::size_t(y + 1) * width);
  }
  raster.Unlock();
  for (std::uint32_t& word : top_down) word &= 0x00FFFFFF;
  return top_down;
}

TEST(ShrinkingReaderTest, RowsDoNotDependOnTheReadBatchTheKernelOrAThreadReadingAhead) {
  testing_support::TempDir dir;
  struct Case {
    int width, height, target_width, target_height;
  };
  // Footprints of one row, of a few, and of far more rows than a read batch.
  for (const Case& c :
       {Case{300, 200, 97, 65}, Case{200, 7, 100, 3}, Case{2, 3000, 1, 24}, Case{64, 64, 64, 63}}) {
    testing_support::JpegRecipe recipe;
    recipe.width = c.width;
    recipe.height = c.height;
    testing_support::WriteJpeg(dir / "in.jpg", recipe);
    const Words expected = ResampledWhole(dir / "in.jpg", c.target_width, c.target_height);
    for (ResampleKernel kernel : AvailableResampleKernels()) {
      for (int batch : {1, 2, 5, 8, 64}) {
        for (bool read_ahead : {false, true}) {
          JpegReader reader;
          ASSERT_TRUE(reader.Start(dir / "in.jpg").ok());
          ShrinkingReader shrinking(reader);
          ASSERT_TRUE(shrinking.Start(c.target_width, c.target_height, read_ahead, kernel, batch).ok());
          Words got(expected.size());
          for (int y = 0; y < c.target_height; ++y) {
            ASSERT_TRUE(shrinking.NextRow(got.data() + std::size_t(y) * c.target_width).ok());
          }
          EXPECT_EQ(reader.rows_read(), c.height);
          EXPECT_TRUE(reader.Finish().ok());
          for (std::uint32_t& word : got) word &= 0x00FFFFFF;
          EXPECT_EQ(got, expected) << c.width << "x" << c.height << ", batch " << batch << ", kernel "
                                   << int(kernel) << ", read ahead " << read_ahead;
        }
      }
    }
  }
}

}  // namespace
}  // namespace imaging
