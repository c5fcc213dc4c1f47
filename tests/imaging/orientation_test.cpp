#include "imaging/orientation.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/memory_block.h"
#include "tests/support/jpeg_fixtures.h"

namespace imaging {
namespace {

using testing_support::HeightOf;
using testing_support::MakePacked;
using testing_support::PixelAt;
using testing_support::WidthOf;

// A picture as a plain grid, row y from the top at y * width.
struct Grid {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> words;
  std::uint32_t at(int x, int y) const { return words[std::size_t(y) * width + x]; }
  friend bool operator==(const Grid& a, const Grid& b) {
    return a.width == b.width && a.height == b.height && a.words == b.words;
  }
};

// The two steps every EXIF orientation is made of, pixel by pixel.
Grid QuarterTurnClockwise(const Grid& in) {
  Grid out{in.height, in.width, {}};
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) out.words.push_back(in.at(y, in.height - 1 - x));
  }
  return out;
}

Grid Mirror(const Grid& in) {
  Grid out{in.width, in.height, {}};
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) out.words.push_back(in.at(in.width - 1 - x, y));
  }
  return out;
}

// What orientation n means: so many quarter turns, then a mirror or not.
Grid Upright(Grid grid, int orientation) {
  const int turns[] = {0, 0, 0, 2, 2, 1, 1, 3, 3};
  const bool mirrored[] = {false, false, true, false, true, true, false, true, false};
  for (int t = 0; t < turns[orientation]; ++t) grid = QuarterTurnClockwise(grid);
  return mirrored[orientation] ? Mirror(grid) : grid;
}

RasterImage RasterOf(const Grid& grid) {
  PackedDib packed = MakePacked(grid.width, grid.height, [&](int x, int y) { return grid.at(x, y); });
  RasterImage raster;
  raster.AdoptPacked(packed);
  return raster;
}

Grid GridOf(RasterImage& raster) {
  PackedDib packed = raster.ExportPacked();
  Grid grid{WidthOf(packed), HeightOf(packed), {}};
  for (int y = 0; y < grid.height; ++y) {
    for (int x = 0; x < grid.width; ++x) grid.words.push_back(PixelAt(packed, x, y));
  }
  return grid;
}

Grid RandomGrid(int width, int height, std::mt19937& random) {
  Grid grid{width, height, {}};
  for (int i = 0; i < width * height; ++i) grid.words.push_back(random());
  return grid;
}

TEST(OrientationTest, EachOrientationMovesEveryPixelAsItsDefinitionSays) {
  // Single rows and columns, sizes within one tile, and sizes that end inside a partial tile.
  const int sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {2, 3}, {5, 4}, {33, 70}, {70, 33}, {64, 64}, {100, 31}};
  std::mt19937 random(7);
  for (const auto& size : sizes) {
    const Grid stored = RandomGrid(size[0], size[1], random);
    for (int orientation = 1; orientation <= 8; ++orientation) {
      RasterImage raster = RasterOf(stored);
      ASSERT_TRUE(TurnUpright(raster, static_cast<Orientation>(orientation)));
      const Grid expected = Upright(stored, orientation);
      EXPECT_TRUE(GridOf(raster) == expected)
          << "orientation " << orientation << " of " << size[0] << " x " << size[1];
      EXPECT_EQ(SwapsEdges(static_cast<Orientation>(orientation)), orientation >= 5);
    }
  }
}

TEST(OrientationTest, OnlyTheQuarterTurnsNeedMemoryAndTheyFailCleanly) {
  std::mt19937 random(11);
  const Grid stored = RandomGrid(10, 7, random);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    RasterImage raster = RasterOf(stored);
    bool turned;
    {
      platform::ScopedAllocationLimit no_memory(16);
      turned = TurnUpright(raster, static_cast<Orientation>(orientation));
    }
    EXPECT_EQ(turned, orientation <= 4) << "orientation " << orientation;
    EXPECT_TRUE(GridOf(raster) == (turned ? Upright(stored, orientation) : stored))
        << "orientation " << orientation;
  }
}

TEST(OrientationTest, ARasterWithoutPixelsStaysAsItIs) {
  RasterImage raster;
  raster.SetSize(0, 5);
  EXPECT_TRUE(TurnUpright(raster, Orientation::kRotate90));
  EXPECT_EQ(raster.width(), 0);
  EXPECT_EQ(raster.height(), 5);
  EXPECT_FALSE(raster.has_pixels());
}

}  // namespace
}  // namespace imaging
