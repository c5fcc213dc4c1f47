#include "batch/downsize_file.h"

#include <gtest/gtest.h>

#include <algorithm>

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
    ASSERT_EQ(DownsizeFile(c.max_edge, source, dir_ / "out.jpg").outcome, imaging::Outcome::kDone);
    const JpegFacts facts = ReadJpegFacts(dir_ / "out.jpg");
    EXPECT_EQ(facts.width, c.out_width) << c.width << " x " << c.height << " at " << c.max_edge;
    EXPECT_EQ(facts.height, c.out_height) << c.width << " x " << c.height << " at " << c.max_edge;
    EXPECT_TRUE(facts.baseline_frame);
    EXPECT_EQ(facts.luma_quant_dc, 6) << "quality 80";
  }
}

TEST_F(DownsizeFileTest, APhotoThatFitsIsEncodedAgainNeverCopied) {
  const auto source = Source(64, 48);
  ASSERT_EQ(DownsizeFile(960, source, dir_ / "out.jpg").outcome, imaging::Outcome::kDone);
  EXPECT_NE(ReadBytes(dir_ / "out.jpg"), ReadBytes(source));
  EXPECT_EQ(ReadJpegFacts(dir_ / "out.jpg").width, 64);
}

TEST_F(DownsizeFileTest, AFlatColourStaysThatColour) {
  JpegRecipe recipe;
  recipe.width = 333;
  recipe.height = 250;
  recipe.sample = [](int, int, int c) { return static_cast<std::uint8_t>(c == 0 ? 200 : c == 1 ? 120 : 40); };
  WriteJpeg(dir_ / "flat.jpg", recipe);
  ASSERT_EQ(DownsizeFile(100, dir_ / "flat.jpg", dir_ / "out.jpg").outcome, imaging::Outcome::kDone);
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
    const imaging::Result result = DownsizeFile(96, source, destination);
    EXPECT_EQ(result.outcome, imaging::Outcome::kFolderRefuses) << destination;
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
  const imaging::Result result = DownsizeFile(96, dir_ / "broken.jpg", dir_ / "out.jpg");
  EXPECT_EQ(result.outcome, imaging::Outcome::kUnreadable);
  EXPECT_NE(result.reason.find("Not a JPEG file"), std::string::npos) << result.reason;
  EXPECT_EQ(boxes.shown(), std::vector<std::string>{"Error reading JPEG file"});
  EXPECT_EQ(ReadBytes(dir_ / "out.jpg"), (Bytes{'o', 'l', 'd'}));
}

TEST_F(DownsizeFileTest, AMissingSourceFailsWithoutAMessage) {
  const imaging::Result result = DownsizeFile(96, dir_ / "missing.jpg", dir_ / "out.jpg");
  EXPECT_EQ(result.outcome, imaging::Outcome::kCannotOpen);
  EXPECT_TRUE(dir_.Entries().empty());
}

TEST_F(DownsizeFileTest, AMissingDestinationFolderIsADestinationFailure) {
  RecordingErrorBox boxes;
  const auto source = Source(32, 32);
  testing::internal::CaptureStderr();
  const imaging::Result result = DownsizeFile(96, source, dir_ / "gone" / "out.jpg");
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(result.outcome, imaging::Outcome::kFolderRefuses);
  EXPECT_EQ(boxes.shown(), std::vector<std::string>{"Error writing JPEG file"});
}

// A stored picture in four quarters: red top left, green top right, blue bottom left, white bottom right.
enum Quarter { kRed, kGreen, kBlue, kWhite };

JpegRecipe Quarters(int width, int height) {
  JpegRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.sample = [=](int x, int y, int c) -> std::uint8_t {
    const Quarter quarter = static_cast<Quarter>((y >= height / 2) * 2 + (x >= width / 2));
    const bool lit[4][3] = {
        {true, false, false}, {false, true, false}, {false, false, true}, {true, true, true}};
    return lit[quarter][c] ? 255 : 0;
  };
  return recipe;
}

// The quarter whose colour the pixel at (x, y from the top) of a decoded file shows.
int QuarterAt(const JpegFacts& facts, int x, int y) {
  const std::uint32_t word = facts.pixels[std::size_t(y) * facts.width + x];
  const bool red = (word >> 16 & 0xFF) > 128, green = (word >> 8 & 0xFF) > 128, blue = (word & 0xFF) > 128;
  return red && green && blue ? kWhite : red ? kRed : green ? kGreen : blue ? kBlue : -1;
}

TEST_F(DownsizeFileTest, EachOrientationComesOutUprightAtTheUprightSizeWithoutExif) {
  // The stored quarter that shows at each corner: top left, top right, bottom left, bottom right.
  const struct {
    int orientation;
    Quarter corners[4];
  } cases[] = {
      {1, {kRed, kGreen, kBlue, kWhite}}, {2, {kGreen, kRed, kWhite, kBlue}},
      {3, {kWhite, kBlue, kGreen, kRed}}, {4, {kBlue, kWhite, kRed, kGreen}},
      {5, {kRed, kBlue, kGreen, kWhite}}, {6, {kBlue, kRed, kWhite, kGreen}},
      {7, {kWhite, kGreen, kBlue, kRed}}, {8, {kGreen, kWhite, kRed, kBlue}},
  };
  for (bool big_endian : {false, true}) {
    for (const auto& c : cases) {
      JpegRecipe recipe = Quarters(160, 120);
      recipe.markers = {{JPEG_APP0 + 1, testing_support::ExifOrientationSegment(c.orientation, big_endian)}};
      WriteJpeg(dir_ / "in.jpg", recipe);
      ASSERT_EQ(DownsizeFile(96, dir_ / "in.jpg", dir_ / "out.jpg").outcome, imaging::Outcome::kDone);
      const JpegFacts facts = ReadJpegFacts(dir_ / "out.jpg");
      const bool sideways = c.orientation >= 5;
      ASSERT_EQ(facts.width, sideways ? 72 : 96) << c.orientation;
      ASSERT_EQ(facts.height, sideways ? 96 : 72) << c.orientation;
      const int right = facts.width - 5, bottom = facts.height - 5;
      EXPECT_EQ(QuarterAt(facts, 4, 4), c.corners[0]) << c.orientation;
      EXPECT_EQ(QuarterAt(facts, right, 4), c.corners[1]) << c.orientation;
      EXPECT_EQ(QuarterAt(facts, 4, bottom), c.corners[2]) << c.orientation;
      EXPECT_EQ(QuarterAt(facts, right, bottom), c.corners[3]) << c.orientation;
      EXPECT_EQ(std::count(facts.segments.begin(), facts.segments.end(), 0xE1), 0) << "no EXIF";
    }
  }
}

TEST_F(DownsizeFileTest, TheStoredPictureIsFittedThenTurned) {
  // 101 x 100 fits as 96 x 95 and turns to 95 x 96 (fitting the upright 100 x 101 would give 96 x 96); a
  // picture that needs no scaling is turned all the same.
  const struct {
    int width, height, orientation, out_width, out_height;
  } cases[] = {{101, 100, 6, 95, 96}, {60, 40, 8, 40, 60}};
  for (const auto& c : cases) {
    JpegRecipe recipe;
    recipe.width = c.width;
    recipe.height = c.height;
    recipe.markers = {{JPEG_APP0 + 1, testing_support::ExifOrientationSegment(c.orientation)}};
    WriteJpeg(dir_ / "in.jpg", recipe);
    ASSERT_EQ(DownsizeFile(96, dir_ / "in.jpg", dir_ / "out.jpg").outcome, imaging::Outcome::kDone);
    const JpegFacts facts = ReadJpegFacts(dir_ / "out.jpg");
    EXPECT_EQ(facts.width, c.out_width);
    EXPECT_EQ(facts.height, c.out_height);
  }
}

TEST_F(DownsizeFileTest, MetadataThatIsNotKeptLeavesTheBytesOfAPhotoWithoutAny) {
  using testing_support::IccChunk;
  using testing_support::IccProfile;
  const Bytes exif = testing_support::ExifOrientationSegment(6);
  const Bytes xmp = {'h', 't', 't', 'p', ':', '/', '/', 'n', 's', '.',
                     'a', 'd', 'o', 'b', 'e', '.', 'c', 'o', 'm'};
  const struct {
    const char* what;
    std::vector<std::pair<int, Bytes>> markers;
  } cases[] = {
      {"orientation 1", {{JPEG_APP0 + 1, testing_support::ExifOrientationSegment(1)}}},
      {"no orientation tag", {{JPEG_APP0 + 1, testing_support::ExifSegment(true, {{0x010F, 2, 6, 100}})}}},
      {"a broken EXIF segment", {{JPEG_APP0 + 1, Bytes(exif.begin(), exif.begin() + 20)}}},
      {"orientation 9", {{JPEG_APP0 + 1, testing_support::ExifOrientationSegment(9)}}},
      {"a gray profile", {{JPEG_APP0 + 2, IccChunk(1, 1, IccProfile("GRAY", 400))}}},
      {"a CMYK profile", {{JPEG_APP0 + 2, IccChunk(1, 1, IccProfile("CMYK", 400))}}},
      {"half an RGB profile", {{JPEG_APP0 + 2, testing_support::IccChunks(IccProfile("RGB ", 400), 2)[0]}}},
      {"XMP, a comment and a Photoshop segment",
       {{JPEG_APP0 + 1, xmp}, {JPEG_COM, {'h', 'i'}}, {JPEG_APP0 + 13, {'P', 'h', 'o', 't', 'o'}}}},
  };
  for (const auto& [width, height] : {std::pair{160, 120}, std::pair{60, 40}}) {
    JpegRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    WriteJpeg(dir_ / "plain.jpg", recipe);
    ASSERT_EQ(DownsizeFile(96, dir_ / "plain.jpg", dir_ / "plain-out.jpg").outcome, imaging::Outcome::kDone);
    for (const auto& c : cases) {
      recipe.markers = c.markers;
      WriteJpeg(dir_ / "in.jpg", recipe);
      ASSERT_EQ(DownsizeFile(96, dir_ / "in.jpg", dir_ / "out.jpg").outcome, imaging::Outcome::kDone);
      EXPECT_EQ(ReadBytes(dir_ / "out.jpg"), ReadBytes(dir_ / "plain-out.jpg")) << c.what;
    }
  }
}

TEST_F(DownsizeFileTest, AnRgbProfileArrivesWholeBesideTheSamePixels) {
  JpegRecipe recipe;
  recipe.width = 160;
  recipe.height = 120;
  WriteJpeg(dir_ / "plain.jpg", recipe);
  ASSERT_EQ(DownsizeFile(96, dir_ / "plain.jpg", dir_ / "plain-out.jpg").outcome, imaging::Outcome::kDone);
  const JpegFacts plain = ReadJpegFacts(dir_ / "plain-out.jpg");

  for (std::size_t size : {3000, 150000}) {
    const Bytes profile = testing_support::IccProfile("RGB ", size);
    const auto chunks = testing_support::IccChunks(profile, 3);
    recipe.markers = {{JPEG_APP0 + 2, chunks[1]}, {JPEG_APP0 + 2, chunks[2]}, {JPEG_APP0 + 2, chunks[0]}};
    WriteJpeg(dir_ / "in.jpg", recipe);
    ASSERT_EQ(DownsizeFile(96, dir_ / "in.jpg", dir_ / "out.jpg").outcome, imaging::Outcome::kDone);
    const JpegFacts facts = ReadJpegFacts(dir_ / "out.jpg");
    EXPECT_EQ(facts.icc_profile, profile) << size;
    EXPECT_EQ(facts.pixels, plain.pixels) << size;
  }
}

}  // namespace
}  // namespace batch
