#include "batch/downsize_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

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

using testing_support::JpegFacts;
using testing_support::JpegRecipe;
using testing_support::ReadBytes;
using testing_support::ReadJpegFacts;
using testing_support::RecordingErrorBox;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteJpeg;

using Bytes = std::vector<unsigned char>;

const Bytes kSof0 = {0xFF, 0xC0};

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

// The step without streaming: the whole picture decoded, resampled, turned upright and encoded.
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

TEST_F(DownsizeFileTest, StreamingWritesTheBytesOfTheWholePictureStep) {
  struct Case {
    const char* what;
    int width, height, max_edge;
    J_COLOR_SPACE color_space = JCS_RGB;
    int components = 3;
    bool subsample = true, progressive = false;
    int restart_rows = 0, orientation = 1;
  };
  std::vector<Case> cases = {
      {"shrunk by less than 2", 150, 100, 96},
      {"a non-integer factor", 299, 201, 100},
      {"fits, streamed unscaled", 80, 60, 96},
      {"1-pixel edges", 1000, 1, 24},
      {"a wide strip", 16384, 1, 24},
      {"a footprint far taller than a read batch", 1, 16384, 24},
      {"tall and thin", 3, 2000, 100},
      {"gray", 333, 250, 100, JCS_GRAYSCALE, 1},
      {"CMYK", 333, 250, 100, JCS_CMYK, 4},
      {"two components", 333, 250, 100, JCS_UNKNOWN, 2},
      {"4:4:4", 333, 250, 100, JCS_RGB, 3, false},
      {"progressive", 333, 250, 100, JCS_RGB, 3, true, true},
      {"restart markers", 333, 250, 100, JCS_RGB, 3, true, false, 2},
      {"shrunk and turned", 333, 250, 100, JCS_RGB, 3, true, false, 0, 6},
      {"fits and turned", 60, 40, 100, JCS_RGB, 3, true, false, 0, 7},
  };
  std::mt19937 random(12);
  for (int n = 0; n < 12; ++n) {
    const int width = 1 + random() % 400, height = 1 + random() % 400;
    cases.push_back({"random", width, height, 1 + int(random() % std::max(width, height)) + n % 2});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.what) + ": " + std::to_string(c.width) + " x " + std::to_string(c.height) +
                 " at " + std::to_string(c.max_edge));
    JpegRecipe recipe;
    recipe.width = c.width;
    recipe.height = c.height;
    recipe.color_space = c.color_space;
    recipe.components = c.components;
    recipe.subsample = c.subsample;
    recipe.progressive = c.progressive;
    recipe.restart_rows = c.restart_rows;
    recipe.sample = [](int x, int y, int c) {
      return static_cast<std::uint8_t>((x * x + y * 3 + c * 85) ^ (y * y));
    };
    if (c.orientation != 1) {
      recipe.markers = {{JPEG_APP0 + 1, testing_support::ExifOrientationSegment(c.orientation)}};
    }
    WriteJpeg(dir_ / "in.jpg", recipe);
    ASSERT_TRUE(WholePictureStep(c.max_edge, dir_ / "in.jpg", dir_ / "whole.jpg").ok());
    for (int threads : {1, 2}) {
      ASSERT_TRUE(DownsizeFile(c.max_edge, dir_ / "in.jpg", dir_ / "streamed.jpg", threads).ok());
      EXPECT_EQ(ReadBytes(dir_ / "streamed.jpg"), ReadBytes(dir_ / "whole.jpg")) << threads << " thread(s)";
    }
  }
}

TEST_F(DownsizeFileTest, ATruncatedPhotoIsWrittenAsTheLibraryFillsItAndReportedDamaged) {
  RecordingErrorBox boxes;
  for (int orientation : {1, 6}) {
    JpegRecipe recipe;
    recipe.width = 400;
    recipe.height = 300;
    if (orientation != 1) {
      recipe.markers = {{JPEG_APP0 + 1, testing_support::ExifOrientationSegment(orientation)}};
    }
    Bytes bytes = testing_support::MakeJpeg(recipe);
    bytes.resize(bytes.size() / 2);
    WriteBytes(dir_ / "cut.jpg", bytes);
    testing::internal::CaptureStderr();
    const imaging::Result result = DownsizeFile(100, dir_ / "cut.jpg", dir_ / "out.jpg", 2);
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(result.ok()) << orientation;
    EXPECT_TRUE(result.damaged);
    EXPECT_EQ(result.reason, "Premature end of JPEG file");
    ASSERT_TRUE(WholePictureStep(100, dir_ / "cut.jpg", dir_ / "whole.jpg").ok());
    EXPECT_EQ(ReadBytes(dir_ / "out.jpg"), ReadBytes(dir_ / "whole.jpg")) << orientation;
  }
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(DownsizeFileTest, ASecondFrameAfterTheDataFailsThePhotoAndLeavesNothing) {
  // The picture data is whole, so the failure comes only when the file is read to its end.
  for (const auto& [width, max_edge, orientation] : {std::tuple{200, 100, 1}, {60, 100, 1}, {200, 100, 6}}) {
    RecordingErrorBox boxes;
    JpegRecipe recipe;
    recipe.width = width;
    recipe.height = 50;
    if (orientation != 1) {
      recipe.markers = {{JPEG_APP0 + 1, testing_support::ExifOrientationSegment(orientation)}};
    }
    Bytes bytes = testing_support::MakeJpeg(recipe);
    const auto frame = std::search(bytes.begin(), bytes.end(), kSof0.begin(), kSof0.end());
    ASSERT_NE(frame, bytes.end());
    const Bytes frame_header(frame, frame + 2 + (frame[2] << 8 | frame[3]));
    bytes.insert(bytes.end() - 2, frame_header.begin(), frame_header.end());
    WriteBytes(dir_ / "two-frames.jpg", bytes);
    const imaging::Result result = DownsizeFile(max_edge, dir_ / "two-frames.jpg", dir_ / "out.jpg", 2);
    EXPECT_EQ(result.outcome, imaging::Outcome::kUnreadable) << width << " " << orientation;
    EXPECT_EQ(boxes.shown(), std::vector<std::string>{"Error reading JPEG file"});
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"two-frames.jpg"});
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
