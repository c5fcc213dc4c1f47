#include "imaging/jpeg_encoder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "imaging/jpeg_decoder.h"
#include "imaging/raster_image.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/temp_dir.h"

namespace imaging {
namespace {

using testing_support::IccProfile;
using testing_support::JpegFacts;
using testing_support::JpegRecipe;
using testing_support::MakePacked;
using testing_support::ReadBytes;
using testing_support::ReadJpegFacts;
using testing_support::RecordingErrorBox;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteJpeg;

using Bytes = std::vector<unsigned char>;

bool NearlyEqual(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  }
  return true;
}

class JpegEncoderTest : public testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(JpegEncoderTest, OnePureRedPixelStaysNearlyPureRed) {
  PackedDib red = MakePacked(1, 1, [](int, int) { return 0xFF0000u; });
  ASSERT_EQ(EncodeJpegFile(dir_ / "red.jpg", red, 8).outcome, Outcome::kDone);
  const JpegFacts facts = ReadJpegFacts(dir_ / "red.jpg");
  ASSERT_EQ(facts.pixels.size(), 1u);
  EXPECT_TRUE(NearlyEqual(facts.pixels[0], 0xFF0000, 10)) << std::hex << facts.pixels[0];
  EXPECT_FALSE(red.empty()) << "the picture stays the caller's";
}

TEST_F(JpegEncoderTest, RoundTripGivesABaselineQuality80FileOfTheSameSize) {
  JpegRecipe recipe;
  recipe.width = 45;
  recipe.height = 30;
  recipe.progressive = true;
  WriteJpeg(dir_ / "in.jpg", recipe);

  PackedDib decoded = DecodeJpegFile(dir_ / "in.jpg");
  RasterImage raster;
  raster.ImportPacked(decoded);
  PackedDib exported = raster.ExportPacked();
  ASSERT_EQ(EncodeJpegFile(dir_ / "out.jpg", exported, 8).outcome, Outcome::kDone);

  const JpegFacts facts = ReadJpegFacts(dir_ / "out.jpg");
  EXPECT_EQ(facts.width, 45);
  EXPECT_EQ(facts.height, 30);
  EXPECT_EQ(facts.components, 3);
  EXPECT_EQ(facts.color_space, JCS_YCbCr);
  EXPECT_TRUE(facts.baseline_frame);
  EXPECT_FALSE(facts.progressive);
  EXPECT_FALSE(facts.arithmetic);
  EXPECT_TRUE(facts.jfif);
  EXPECT_EQ(facts.density_unit, 0);
  EXPECT_EQ(facts.x_density, 1);
  EXPECT_EQ(facts.y_density, 1);
  EXPECT_EQ(facts.luma_h, 2);
  EXPECT_EQ(facts.luma_v, 2);
  // The standard tables at quality 80 are scaled by 40%: 16 -> 6 and 17 -> 7.
  EXPECT_EQ(facts.luma_quant_dc, 6);
  EXPECT_EQ(facts.chroma_quant_dc, 7);
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"in.jpg", "out.jpg"}));
}

TEST_F(JpegEncoderTest, TopRowOfThePictureIsTheFirstRowOfTheFile) {
  PackedDib picture = MakePacked(16, 16, [](int, int y) { return y < 8 ? 0xFF0000u : 0x0000FFu; });
  ASSERT_EQ(EncodeJpegFile(dir_ / "out.jpg", picture, 8).outcome, Outcome::kDone);
  const JpegFacts facts = ReadJpegFacts(dir_ / "out.jpg");
  ASSERT_EQ(facts.pixels.size(), 256u);
  EXPECT_TRUE(NearlyEqual(facts.pixels[0], 0xFF0000, 12));
  EXPECT_TRUE(NearlyEqual(facts.pixels[255], 0x0000FF, 12));
}

TEST_F(JpegEncoderTest, ThePictureIsTheCallersUnchangedAfterwardsWhateverHappens) {
  PackedDib picture = MakePacked(9, 7, [](int x, int y) { return std::uint32_t(x * 0x10203 + y); });
  PackedDib copy = MakePacked(9, 7, [](int x, int y) { return std::uint32_t(x * 0x10203 + y); });
  RecordingErrorBox boxes;
  testing::internal::CaptureStderr();
  EncodeJpegFile(dir_ / "missing" / "out.jpg", picture, 8);
  testing::internal::GetCapturedStderr();
  EncodeJpegFile(dir_ / "out.jpg", picture, 8);
  ASSERT_EQ(picture.size(), copy.size());
  EXPECT_EQ(std::memcmp(picture.Lock(), copy.Lock(), copy.size()), 0);
  EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST_F(JpegEncoderTest, ExistingDestinationIsReplaced) {
  WriteBytes(dir_ / "out.jpg", Bytes(5000, 'x'));
  PackedDib picture = MakePacked(8, 8, [](int, int) { return 0x336699u; });
  ASSERT_EQ(EncodeJpegFile(dir_ / "out.jpg", picture, 8).outcome, Outcome::kDone);
  EXPECT_EQ(ReadJpegFacts(dir_ / "out.jpg").width, 8);
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"out.jpg"});
}

TEST_F(JpegEncoderTest, PictureWithoutPixelsFailsAndKeepsTheOldDestination) {
  RecordingErrorBox boxes;
  WriteBytes(dir_ / "old.jpg", Bytes{'o', 'l', 'd'});
  PackedDib none;
  EXPECT_EQ(EncodeJpegFile(dir_ / "old.jpg", none, 8).outcome, Outcome::kWriteFailed);
  EXPECT_EQ(EncodeJpegFile(dir_ / "new.jpg", none, 8).outcome, Outcome::kWriteFailed);
  EXPECT_EQ(boxes.shown(), (std::vector<std::string>{"Error writing JPEG file", "Error writing JPEG file"}));
  EXPECT_EQ(ReadBytes(dir_ / "old.jpg"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"old.jpg"}) << "no file or temporary file remains";
}

TEST_F(JpegEncoderTest, AProfileGoesRightAfterTheJfifMarkerAndChangesNothingElse) {
  PackedDib picture = MakePacked(20, 10, [](int x, int y) { return std::uint32_t(x * 12 << 16 | y * 25); });
  ASSERT_EQ(EncodeJpegFile(dir_ / "plain.jpg", picture, 8).outcome, Outcome::kDone);
  ASSERT_EQ(EncodeJpegFile(dir_ / "empty.jpg", picture, 8, {}).outcome, Outcome::kDone);
  EXPECT_EQ(ReadBytes(dir_ / "empty.jpg"), ReadBytes(dir_ / "plain.jpg"));
  const JpegFacts plain = ReadJpegFacts(dir_ / "plain.jpg");
  EXPECT_EQ(plain.segments.front(), 0xE0);

  // A profile above 65519 bytes takes more than one chunk.
  for (const auto& [size, chunks] : {std::pair{200, 1}, std::pair{150000, 3}}) {
    const Bytes profile = IccProfile("RGB ", size);
    ASSERT_EQ(EncodeJpegFile(dir_ / "icc.jpg", picture, 8, profile).outcome, Outcome::kDone);
    const JpegFacts facts = ReadJpegFacts(dir_ / "icc.jpg");
    EXPECT_EQ(facts.icc_profile, profile) << size;
    std::vector<int> expected = {0xE0};
    expected.insert(expected.end(), chunks, 0xE2);
    expected.insert(expected.end(), plain.segments.begin() + 1, plain.segments.end());
    EXPECT_EQ(facts.segments, expected) << size;
    EXPECT_EQ(facts.pixels, plain.pixels);
  }
}

TEST_F(JpegEncoderTest, UnwritableDestinationIsReportedOnStandardErrorAndInABox) {
  RecordingErrorBox boxes;
  PackedDib picture = MakePacked(4, 4, [](int, int) { return 0u; });
  const auto path = dir_ / "missing" / "out.jpg";
  testing::internal::CaptureStderr();
  EXPECT_EQ(EncodeJpegFile(path, picture, 8).outcome, Outcome::kFolderRefuses);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "can't open " + path.string() + "\n");
  EXPECT_EQ(boxes.shown(), std::vector<std::string>{"Error writing JPEG file"});
}

#ifndef _WIN32
// A disk that refuses the data, as a full one does: here a limit on the size of files this process writes.
TEST_F(JpegEncoderTest, AWriteTheDiskRefusesFailsThisPhotoAndLeavesNothing) {
  RecordingErrorBox boxes;
  testing_support::WriteBytes(dir_ / "out.jpg", Bytes{'o', 'l', 'd'});
  PackedDib noise =
      MakePacked(256, 256, [](int x, int y) { return std::uint32_t(x * 7919 ^ y * 104729) * 2654435761u; });
  struct rlimit old_limit {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old_limit;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const Outcome outcome = EncodeJpegFile(dir_ / "out.jpg", noise, 8).outcome;
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(outcome, Outcome::kWriteFailed) << "a smaller photo may still fit";
  EXPECT_EQ(boxes.shown(), std::vector<std::string>{"Error writing JPEG file"});
  EXPECT_EQ(ReadBytes(dir_ / "out.jpg"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"out.jpg"});
}
#endif

TEST_F(JpegEncoderTest, AFolderInTheDestinationsPlaceFailsThatPhotoAlone) {
  RecordingErrorBox boxes;
  std::filesystem::create_directory(dir_ / "out.jpg");
  PackedDib picture = MakePacked(4, 4, [](int, int) { return 0u; });
  testing::internal::CaptureStderr();
  const Result result = EncodeJpegFile(dir_ / "out.jpg", picture, 8);
  EXPECT_EQ(result.outcome, Outcome::kWriteFailed) << "the folder itself takes new files";
  EXPECT_EQ(result.reason, "Is a directory");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"out.jpg"});
}

}  // namespace
}  // namespace imaging
