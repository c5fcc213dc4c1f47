#include "batch/downsize_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "batch/fit_rule.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/orientation.h"
#include "imaging/raster_image.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/temp_dir.h"

namespace batch {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using Bytes = std::vector<unsigned char>;

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

testing_support::JpegRecipe Recipe(int width, int height, int orientation = 1) {
  testing_support::JpegRecipe recipe;
  recipe.width = width, recipe.height = height;
  recipe.sample = [](int x, int y, int c) {
    return static_cast<std::uint8_t>((x * x + y * 3 + c * 85) ^ (y * y));
  };
  if (orientation != 1)
    recipe.markers = {{JPEG_APP0 + 1, testing_support::ExifOrientationSegment(orientation)}};
  return recipe;
}

TEST(DownsizeFileTest, StreamingWritesTheBytesOfTheWholePictureStepAtTheFittedSize) {
  TempDir dir;
  Bytes profile(300, 7);  // an RGB colour profile: kept whole
  std::copy_n("RGB ", 4, profile.begin() + 16);
  std::copy_n("acsp", 4, profile.begin() + 36);
  Bytes icc_segment = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, 1, 1};
  icc_segment.insert(icc_segment.end(), profile.begin(), profile.end());
  struct Case {
    int width, height, max_edge, out_width, out_height, orientation = 1;
    J_COLOR_SPACE space = JCS_RGB;
    int components = 3;
    bool progressive = false, with_profile = false;
  };
  std::vector<Case> cases = {
      {150, 100, 96, 96, 64},
      {299, 201, 100, 100, 67},
      {80, 60, 96, 80, 60},  // fits: encoded again
      {16384, 1, 24, 24, 1},
      {1, 16384, 24, 1, 24},
      {160, 120, 96, 96, 72, 1, JCS_RGB, 3, false, true},
      {101, 100, 96, 95, 96, 6},  // fitted as stored (96 x 95), then turned
      {60, 40, 100, 40, 60, 8, JCS_RGB, 3, false, true},
      {333, 250, 100, 100, 75, 1, JCS_GRAYSCALE, 1},
      {333, 250, 100, 100, 75, 1, JCS_CMYK, 4, true},
  };
  std::mt19937 random(12);
  for (int n = 0; n < 8; ++n) {
    const int width = 1 + random() % 400, height = 1 + random() % 400;
    const int max_edge = 1 + int(random() % std::max(width, height)) + n % 2;
    const PictureSize out = FitToMaxEdge({width, height}, max_edge);
    cases.push_back({width, height, max_edge, out.width, out.height});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " +
                 std::to_string(c.max_edge));
    testing_support::JpegRecipe recipe = Recipe(c.width, c.height, c.orientation);
    recipe.color_space = c.space, recipe.components = c.components, recipe.progressive = c.progressive;
    if (c.with_profile) recipe.markers.push_back({JPEG_APP0 + 2, icc_segment});
    testing_support::WriteJpeg(dir / "in.jpg", recipe);
    ASSERT_TRUE(WholePictureStep(c.max_edge, dir / "in.jpg", dir / "whole.jpg").ok());
    for (int threads : {1, 2}) {
      ASSERT_TRUE(DownsizeFile(c.max_edge, dir / "in.jpg", dir / "out.jpg", threads).ok());
      EXPECT_EQ(ReadBytes(dir / "out.jpg"), ReadBytes(dir / "whole.jpg")) << threads << " thread(s)";
    }
    const testing_support::JpegFacts facts = testing_support::ReadJpegFacts(dir / "out.jpg");
    EXPECT_EQ(facts.width, c.out_width);
    EXPECT_EQ(facts.height, c.out_height);
    EXPECT_EQ(facts.icc_profile, c.with_profile ? profile : Bytes{});
  }
}

// The unreadable photo, the refusing folder and the source as destination: see batch_runner_test.cpp.
TEST(DownsizeFileTest, EachFailureHasItsOutcomeAndBoxAndLeavesNoFileBehind) {
  const Bytes photo = testing_support::MakeJpeg(Recipe(400, 300));
  const Bytes turned = testing_support::MakeJpeg(Recipe(400, 300, 6));
  const auto second_frame = [](Bytes bytes) {  // whole picture data, so found only at the end of the file
    const Bytes sof0 = {0xFF, 0xC0};
    const auto frame = std::search(bytes.begin(), bytes.end(), sof0.begin(), sof0.end());
    bytes.insert(bytes.end() - 2, frame, frame + 2 + (frame[2] << 8 | frame[3]));
    return bytes;
  };
  const struct {
    const char* what;
    Bytes source;
    int max_edge;
    imaging::Outcome outcome;
    const char* box;
    bool written;
  } cases[] = {
      {"missing", {}, 100, imaging::Outcome::kCannotOpen, nullptr, false},
      {"cut short", Bytes(photo.begin(), photo.begin() + photo.size() / 2), 100, imaging::Outcome::kDone,
       nullptr, true},
      {"cut short, turned", Bytes(turned.begin(), turned.begin() + turned.size() / 2), 100,
       imaging::Outcome::kDone, nullptr, true},
      {"a second frame", second_frame(photo), 100, imaging::Outcome::kUnreadable, "Error reading JPEG file",
       false},
      {"a second frame, fits", second_frame(photo), 500, imaging::Outcome::kUnreadable,
       "Error reading JPEG file", false},
      {"a second frame, turned", second_frame(turned), 100, imaging::Outcome::kUnreadable,
       "Error reading JPEG file", false},
      {"a folder in the way", photo, 100, imaging::Outcome::kWriteFailed, "Error writing JPEG file", false},
  };
  for (const auto& c : cases) {
    testing_support::RecordingErrorBox boxes;
    TempDir dir;
    if (!c.source.empty()) testing_support::WriteBytes(dir / "in.jpg", c.source);
    const bool folder_in_the_way = c.outcome == imaging::Outcome::kWriteFailed;
    if (folder_in_the_way) std::filesystem::create_directory(dir / "out.jpg");
    if (!folder_in_the_way) testing_support::WriteBytes(dir / "out.jpg", {'o', 'l', 'd'});
    testing::internal::CaptureStderr();
    const imaging::Result result = DownsizeFile(c.max_edge, dir / "in.jpg", dir / "out.jpg", 2);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(result.outcome, c.outcome) << c.what;
    EXPECT_EQ(result.damaged, c.written) << c.what;
    EXPECT_EQ(boxes.shown(), c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{}) << c.what;
    EXPECT_EQ(dir.Entries().size(), c.source.empty() ? 1u : 2u) << c.what << ": a temporary file was left";
    if (folder_in_the_way) continue;
    if (c.written) testing_support::ReadJpegFacts(dir / "out.jpg");  // fails the test unless a JPEG
    EXPECT_EQ(ReadBytes(dir / "out.jpg") == (Bytes{'o', 'l', 'd'}), !c.written) << c.what;
  }
}

}  // namespace
}  // namespace batch
