// The per-file step's own rules: the fit rule, and streaming that writes what the whole-picture way
// writes. How each failure comes out in a batch: batch_runner_test.cpp.
#include "batch/downsize_file.h"

#include <gtest/gtest.h>

#include <random>

#include "batch/fit_rule.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/orientation.h"
#include "imaging/raster_image.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

namespace batch {
namespace {

TEST(FitRuleTest, TheLongerEdgeBecomesTheMaximumAndTheOtherRoundsDownToAtLeastOne) {
  const int cases[][5] = {
      // width, height, maximum edge: width, height
      {1600, 1200, 960, 960, 720}, {1200, 1600, 960, 720, 960}, {1000, 1000, 960, 960, 960},
      {960, 500, 960, 960, 500},   {961, 500, 960, 960, 499},   {500, 960, 960, 500, 960},
      {900, 1600, 960, 540, 960},  {1001, 1000, 960, 960, 959}, {1000, 333, 100, 100, 33},
      {1000, 1001, 960, 960, 960},  // by the formulas, not "the longer edge": 1001 * 960 / 1000 = 960
      {1000, 1, 24, 24, 1},        {1, 1000, 24, 1, 24},        {65500, 3, 1, 1, 1},
      {4, 65000, 60000, 3, 60000},  // 65000 * 60000 needs 64 bits
      {0, 5000, 960, 0, 5000},
  };
  for (const auto& c : cases) {
    const PictureSize out = FitToMaxEdge({c[0], c[1]}, c[2]);
    EXPECT_EQ(std::pair(out.width, out.height), std::pair(c[3], c[4]))
        << c[0] << " x " << c[1] << " at " << c[2];
  }
}

// The step the plain way: the whole picture decoded, resampled, turned upright and encoded.
imaging::Result WholePictureStep(int max_edge, const std::filesystem::path& source,
                                 const std::filesystem::path& destination) {
  imaging::Result result;
  imaging::PhotoMetadata metadata;
  imaging::PackedDib decoded = imaging::DecodeJpegFile(source, &result, &metadata);
  imaging::RasterImage raster;
  if (!raster.AdoptPacked(decoded)) return result;
  const PictureSize fitted = FitToMaxEdge({raster.width(), raster.height()}, max_edge);
  raster.Resample(fitted.width, fitted.height);
  EXPECT_TRUE(imaging::TurnUpright(raster, metadata.orientation));
  return imaging::EncodeRaster(destination, raster, kOutputQualityTenths, metadata.rgb_profile);
}

TEST(DownsizeFileTest, StreamingWritesTheBytesOfTheWholePictureWayOnOneThreadOrTwo) {
  testing_support::TempDir dir;
  const int cases[][5] = {
      // width, height, maximum edge, orientation, components (4: CMYK, progressive)
      {150, 100, 96, 1, 3}, {299, 201, 100, 1, 3}, {80, 60, 96, 1, 3},
      {16384, 1, 24, 1, 3}, {1, 16384, 24, 1, 3},  {333, 250, 100, 6, 3},
      {60, 40, 100, 8, 3},  {333, 250, 100, 1, 1}, {333, 250, 100, 3, 4},
  };
  std::mt19937 random(12);
  std::vector<std::array<int, 5>> all;
  for (const auto& c : cases) all.push_back({c[0], c[1], c[2], c[3], c[4]});
  for (int n = 0; n < 8; ++n) {
    const int width = 1 + random() % 400, height = 1 + random() % 400;
    all.push_back({width, height, 1 + int(random() % std::max(width, height)) + n % 2, 1 + n % 8, 3});
  }
  for (const auto& [width, height, max_edge, orientation, components] : all) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + " at " + std::to_string(max_edge));
    testing_support::JpegRecipe recipe;
    recipe.width = width, recipe.height = height, recipe.components = components,
    recipe.progressive = components == 4;
    recipe.color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
    recipe.sample = [](int x, int y, int c) {
      return static_cast<std::uint8_t>((x * x + y * 3 + c * 85) ^ (y * y));
    };
    recipe.markers = {{JPEG_APP0 + 1, testing_support::ExifOrientationSegment(orientation)}};
    testing_support::WriteJpeg(dir / "in.jpg", recipe);
    ASSERT_TRUE(WholePictureStep(max_edge, dir / "in.jpg", dir / "whole.jpg").ok());
    for (int threads : {1, 2}) {
      ASSERT_TRUE(DownsizeFile(max_edge, dir / "in.jpg", dir / "out.jpg", threads).ok());
      EXPECT_EQ(testing_support::ReadBytes(dir / "out.jpg"), testing_support::ReadBytes(dir / "whole.jpg"))
          << threads;
    }
  }
}

}  // namespace
}  // namespace batch
