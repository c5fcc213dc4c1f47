#include "batch/downsize_file.h"

#include <gtest/gtest.h>

#include "tests/support/jpeg_fixtures.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/temp_dir.h"

namespace batch {
namespace {

using testing_support::JpegFacts;
using testing_support::JpegRecipe;
using testing_support::ReadBytes;
using testing_support::ReadJpegFacts;
using testing_support::RecordingErrorBox;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteJpeg;

using Bytes = std::vector<unsigned char>;

class DownsizeFileTest : public testing::Test {
 protected:
  std::filesystem::path Source(int width, int height, const std::string& name = "in.jpg") {
    JpegRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    WriteJpeg(dir_ / name, recipe);
    return dir_ / name;
  }

  TempDir dir_;
};

TEST_F(DownsizeFileTest, PhotosComeOutAtTheFittedSizeAsQuality80Baseline) {
  struct Case {
    int width, height, max_edge, out_width, out_height;
  };
  const Case cases[] = {
      {160, 120, 96, 96, 72}, {120, 160, 96, 72, 96}, {100, 100, 96, 96, 96},  {96, 50, 96, 96, 50},
      {90, 160, 96, 54, 96},  {1000, 1, 24, 24, 1},   {100, 33, 100, 100, 33},
  };
  for (const Case& c : cases) {
    const auto source = Source(c.width, c.height);
    ASSERT_EQ(DownsizeFile(c.max_edge, source, dir_ / "out.jpg").outcome, DownsizeOutcome::kWritten);
    const JpegFacts facts = ReadJpegFacts(dir_ / "out.jpg");
    EXPECT_EQ(facts.width, c.out_width) << c.width << " x " << c.height << " at " << c.max_edge;
    EXPECT_EQ(facts.height, c.out_height) << c.width << " x " << c.height << " at " << c.max_edge;
    EXPECT_TRUE(facts.baseline_frame);
    EXPECT_EQ(facts.luma_quant_dc, 6) << "quality 80";
  }
}

TEST_F(DownsizeFileTest, APhotoThatFitsIsEncodedAgainNeverCopied) {
  const auto source = Source(64, 48);
  ASSERT_EQ(DownsizeFile(960, source, dir_ / "out.jpg").outcome, DownsizeOutcome::kWritten);
  EXPECT_NE(ReadBytes(dir_ / "out.jpg"), ReadBytes(source));
  EXPECT_EQ(ReadJpegFacts(dir_ / "out.jpg").width, 64);
}

TEST_F(DownsizeFileTest, AFlatColourStaysThatColour) {
  JpegRecipe recipe;
  recipe.width = 333;
  recipe.height = 250;
  recipe.sample = [](int, int, int c) { return static_cast<std::uint8_t>(c == 0 ? 200 : c == 1 ? 120 : 40); };
  WriteJpeg(dir_ / "flat.jpg", recipe);
  ASSERT_EQ(DownsizeFile(100, dir_ / "flat.jpg", dir_ / "out.jpg").outcome, DownsizeOutcome::kWritten);
  const JpegFacts facts = ReadJpegFacts(dir_ / "out.jpg");
  ASSERT_EQ(facts.width, 100);
  for (std::uint32_t word : facts.pixels) {
    ASSERT_NEAR(int(word >> 16 & 0xFF), 200, 4);
    ASSERT_NEAR(int(word >> 8 & 0xFF), 120, 4);
    ASSERT_NEAR(int(word & 0xFF), 40, 4);
  }
}

TEST_F(DownsizeFileTest, TheSourceItselfIsNeverTheDestination) {
  RecordingErrorBox boxes;
  const auto source = Source(200, 100);
  const Bytes original = ReadBytes(source);
  std::filesystem::create_directory(dir_ / "sub");
  const std::filesystem::path same_file[] = {source, dir_ / "." / "in.jpg", dir_ / "sub" / ".." / "in.jpg"};
  for (const auto& destination : same_file) {
    const DownsizeResult result = DownsizeFile(96, source, destination);
    EXPECT_EQ(result.outcome, DownsizeOutcome::kDestinationUnwritable) << destination;
    EXPECT_FALSE(result.reason.empty());
  }
  EXPECT_EQ(boxes.shown(), std::vector<std::string>(3, "Error writing JPEG file"));
  EXPECT_EQ(ReadBytes(source), original);
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"in.jpg", "sub"}));
}

TEST_F(DownsizeFileTest, AnUnreadableSourceWritesNothingAndKeepsAnOldOutput) {
  RecordingErrorBox boxes;
  WriteBytes(dir_ / "broken.jpg", Bytes{'n', 'o', 'p', 'e'});
  WriteBytes(dir_ / "out.jpg", Bytes{'o', 'l', 'd'});
  const DownsizeResult result = DownsizeFile(96, dir_ / "broken.jpg", dir_ / "out.jpg");
  EXPECT_EQ(result.outcome, DownsizeOutcome::kSourceUnreadable);
  EXPECT_NE(result.reason.find("Not a JPEG file"), std::string::npos) << result.reason;
  EXPECT_EQ(boxes.shown(), std::vector<std::string>{"Error reading JPEG file"});
  EXPECT_EQ(ReadBytes(dir_ / "out.jpg"), (Bytes{'o', 'l', 'd'}));
}

TEST_F(DownsizeFileTest, AMissingSourceFailsWithoutAMessage) {
  const DownsizeResult result = DownsizeFile(96, dir_ / "missing.jpg", dir_ / "out.jpg");
  EXPECT_EQ(result.outcome, DownsizeOutcome::kSourceUnreadable);
  EXPECT_TRUE(dir_.Entries().empty());
}

TEST_F(DownsizeFileTest, AMissingDestinationFolderIsADestinationFailure) {
  RecordingErrorBox boxes;
  const auto source = Source(32, 32);
  testing::internal::CaptureStderr();
  const DownsizeResult result = DownsizeFile(96, source, dir_ / "gone" / "out.jpg");
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(result.outcome, DownsizeOutcome::kDestinationUnwritable);
  EXPECT_EQ(boxes.shown(), std::vector<std::string>{"Error writing JPEG file"});
}

TEST(DownsizeOutcomeTest, EachFailureHasTheTextOfItsMessageBox) {
  EXPECT_STREQ(OutcomeMessage(DownsizeOutcome::kWritten), "");
  EXPECT_STREQ(OutcomeMessage(DownsizeOutcome::kSourceUnreadable), "Error reading JPEG file");
  EXPECT_STREQ(OutcomeMessage(DownsizeOutcome::kDestinationUnwritable), "Error writing JPEG file");
  EXPECT_STREQ(OutcomeMessage(DownsizeOutcome::kEncoderFailed), "Error writing JPEG file");
}

}  // namespace
}  // namespace batch
