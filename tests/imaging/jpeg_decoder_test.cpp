#include "imaging/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "imaging/jpeg_abort.h"
#include "platform/file.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/temp_dir.h"

namespace imaging {
namespace {

using testing_support::ExifOrientationSegment;
using testing_support::HeightOf;
using testing_support::IccChunks;
using testing_support::IccProfile;
using testing_support::JpegRecipe;
using testing_support::MakeJpeg;
using testing_support::PixelAt;
using testing_support::RecordingErrorBox;
using testing_support::TempDir;
using testing_support::WidthOf;
using testing_support::WriteBytes;
using testing_support::WriteJpeg;

using Bytes = std::vector<unsigned char>;

int Channel(std::uint32_t word, int shift) { return (word >> shift) & 0xFF; }

// True when red, green and blue of `word` are each within `tolerance` of the given values.
::testing::AssertionResult Near(std::uint32_t word, int red, int green, int blue, int tolerance) {
  if (std::abs(Channel(word, 16) - red) <= tolerance && std::abs(Channel(word, 8) - green) <= tolerance &&
      std::abs(Channel(word, 0) - blue) <= tolerance && (word >> 24) == 0) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << std::hex << "0x" << word << " is not near " << std::dec << red << "," << green << "," << blue;
}

// Position of the start-of-frame marker of a file made by MakeJpeg.
std::size_t FrameMarker(const Bytes& jpeg) {
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i;
  }
  ADD_FAILURE() << "no frame marker";
  return 0;
}

class JpegDecoderTest : public testing::Test {
 protected:
  // Writes `bytes` to a file and decodes it.
  PackedDib Decode(const Bytes& bytes, Result* report = nullptr) {
    WriteBytes(dir_ / "in.jpg", bytes);
    return DecodeJpegFile(dir_ / "in.jpg", report);
  }

  TempDir dir_;
};

TEST_F(JpegDecoderTest, RgbFilesGiveTheirColoursWithTheTopRowLast) {
  // Top half red, bottom half blue, in whole 16-pixel blocks so that chroma does not bleed.
  JpegRecipe recipe;
  recipe.width = 32;
  recipe.height = 32;
  recipe.sample = [](int, int y, int c) -> std::uint8_t {
    const bool top = y < 16;
    return c == 0 ? (top ? 255 : 0) : c == 2 ? (top ? 0 : 255) : 0;
  };
  for (bool subsample : {true, false}) {
    recipe.subsample = subsample;
    PackedDib packed = Decode(MakeJpeg(recipe));
    ASSERT_FALSE(packed.empty());
    EXPECT_EQ(WidthOf(packed), 32);
    EXPECT_EQ(HeightOf(packed), 32);
    EXPECT_TRUE(Near(PixelAt(packed, 5, 0), 255, 0, 0, 3)) << "subsample " << subsample;
    EXPECT_TRUE(Near(PixelAt(packed, 5, 31), 0, 0, 255, 3)) << "subsample " << subsample;
    // The first memory row holds the bottom of the picture.
    const auto* words =
        reinterpret_cast<const std::uint32_t*>(static_cast<const unsigned char*>(packed.Lock()) + 40);
    EXPECT_TRUE(Near(words[0], 0, 0, 255, 3));
    packed.Unlock();
  }
}

TEST_F(JpegDecoderTest, GrayscaleGivesEqualColourBytes) {
  JpegRecipe recipe;
  recipe.color_space = JCS_GRAYSCALE;
  recipe.components = 1;
  recipe.sample = [](int x, int y, int) { return static_cast<std::uint8_t>(x * 8 + y); };
  PackedDib packed = Decode(MakeJpeg(recipe));
  ASSERT_FALSE(packed.empty());
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const std::uint32_t word = PixelAt(packed, x, y);
      EXPECT_EQ(Channel(word, 16), Channel(word, 8));
      EXPECT_EQ(Channel(word, 8), Channel(word, 0));
      EXPECT_TRUE(Near(word, x * 8 + y, x * 8 + y, x * 8 + y, 4));
    }
  }
}

TEST_F(JpegDecoderTest, CmykScalesEachInkByBlack) {
  struct Case {
    int c, m, y, k;
    int red, green, blue;
  };
  const Case cases[] = {
      {200, 100, 50, 255, 200, 100, 50},  // k = 255 gives c, m, y
      {200, 100, 50, 0, 0, 0, 0},         // k = 0 gives black
      {255, 128, 0, 128, 128, 64, 0},     // c * k / 255, truncated
  };
  for (const Case& t : cases) {
    JpegRecipe recipe;
    recipe.color_space = JCS_CMYK;
    recipe.components = 4;
    recipe.quality = 100;
    recipe.sample = [&t](int, int, int c) {
      return static_cast<std::uint8_t>(c == 0 ? t.c : c == 1 ? t.m : c == 2 ? t.y : t.k);
    };
    PackedDib packed = Decode(MakeJpeg(recipe));
    ASSERT_FALSE(packed.empty());
    EXPECT_TRUE(Near(PixelAt(packed, 3, 3), t.red, t.green, t.blue, 2)) << t.c << " " << t.k;
  }
}

TEST_F(JpegDecoderTest, ProgressiveArithmeticAndRestartFilesDecodeLikeBaseline) {
  JpegRecipe recipe;
  recipe.width = 40;
  recipe.height = 24;
  PackedDib baseline = Decode(MakeJpeg(recipe));

  JpegRecipe progressive = recipe;
  progressive.progressive = true;
  JpegRecipe arithmetic = recipe;
  arithmetic.arithmetic = true;
  JpegRecipe restarts = recipe;
  restarts.restart_rows = 1;
  for (const JpegRecipe& variant : {progressive, arithmetic, restarts}) {
    PackedDib packed = Decode(MakeJpeg(variant));
    ASSERT_EQ(packed.size(), baseline.size());
    // The same coefficients, coded differently: the same pixels.
    EXPECT_EQ(std::memcmp(packed.Lock(), baseline.Lock(), packed.size()), 0);
  }
}

TEST_F(JpegDecoderTest, TruncatedBaselineFileIsMidGrayBelowTheCutWithoutAMessage) {
  JpegRecipe recipe;
  recipe.width = 128;
  recipe.height = 128;
  recipe.sample = [](int x, int y, int c) {
    return static_cast<std::uint8_t>((x * 37) ^ (y * 91) ^ (c * 55));
  };
  Bytes jpeg = MakeJpeg(recipe);
  PackedDib whole = Decode(jpeg);
  jpeg.resize(jpeg.size() / 2);

  testing::internal::CaptureStderr();
  PackedDib cut = Decode(jpeg);
  const std::string warnings = testing::internal::GetCapturedStderr();
  ASSERT_FALSE(cut.empty());
  EXPECT_NE(warnings.find("Premature end"), std::string::npos)
      << "the library's warning goes to standard error";
  for (int x = 0; x < 128; ++x) {
    EXPECT_EQ(PixelAt(cut, x, 0), PixelAt(whole, x, 0));
    EXPECT_EQ(PixelAt(cut, x, 127), 0x808080u);
  }
}

TEST_F(JpegDecoderTest, TruncatedProgressiveFileKeepsItsEarlierScans) {
  JpegRecipe recipe;
  recipe.width = 64;
  recipe.height = 64;
  recipe.progressive = true;
  recipe.sample = [](int, int, int c) { return static_cast<std::uint8_t>(c == 1 ? 200 : 30); };
  Bytes jpeg = MakeJpeg(recipe);
  jpeg.resize(jpeg.size() * 3 / 4);

  testing::internal::CaptureStderr();
  PackedDib packed = Decode(jpeg);
  testing::internal::GetCapturedStderr();
  ASSERT_FALSE(packed.empty());
  // The DC scan alone already gives the flat colour everywhere, bottom row included.
  EXPECT_TRUE(Near(PixelAt(packed, 10, 63), 30, 200, 30, 12));
}

TEST_F(JpegDecoderTest, FilesWithTwoComponentsShowTheFirstAsGray) {
  JpegRecipe recipe;
  recipe.color_space = JCS_UNKNOWN;
  recipe.components = 2;
  recipe.quality = 100;
  recipe.sample = [](int, int, int c) { return static_cast<std::uint8_t>(c == 0 ? 90 : 250); };
  PackedDib packed = Decode(MakeJpeg(recipe));
  ASSERT_FALSE(packed.empty());
  EXPECT_TRUE(Near(PixelAt(packed, 1, 1), 90, 90, 90, 1));
}

TEST_F(JpegDecoderTest, NonAsciiFileNamesDecode) {
  const auto path = dir_.path() / platform::PathFromUtf8(
                                      "\xC3\x9C"
                                      "berlingen \xE5\x86\x99\xE7\x9C\x9F.jpg");
  WriteJpeg(path, JpegRecipe());
  EXPECT_FALSE(DecodeJpegFile(path).empty());
}

TEST_F(JpegDecoderTest, MetadataIsReadBesideTheSamePixels) {
  JpegRecipe recipe;
  recipe.width = 40;
  recipe.height = 24;
  const Bytes profile = IccProfile("RGB ", 1000);
  const std::vector<Bytes> chunks = IccChunks(profile, 2);
  recipe.markers = {{JPEG_APP0 + 1, ExifOrientationSegment(6, true)},
                    {JPEG_APP0 + 2, chunks[1]},
                    {JPEG_APP0 + 2, chunks[0]}};
  WriteBytes(dir_ / "in.jpg", MakeJpeg(recipe));
  PackedDib plain = DecodeJpegFile(dir_ / "in.jpg");
  PhotoMetadata metadata;
  PackedDib with_metadata = DecodeJpegFile(dir_ / "in.jpg", nullptr, &metadata);
  EXPECT_EQ(metadata.orientation, Orientation::kRotate90);
  EXPECT_EQ(metadata.rgb_profile, profile);
  ASSERT_EQ(plain.size(), with_metadata.size());
  EXPECT_EQ(std::memcmp(plain.Lock(), with_metadata.Lock(), plain.size()), 0);
  plain.Unlock();
  with_metadata.Unlock();

  // A file that ends before its frame has its metadata but no picture, and so gives neither.
  RecordingErrorBox boxes;
  const Bytes whole = MakeJpeg(recipe);
  WriteBytes(dir_ / "in.jpg", Bytes(whole.begin(), whole.begin() + FrameMarker(whole)));
  testing::internal::CaptureStderr();
  EXPECT_TRUE(DecodeJpegFile(dir_ / "in.jpg", nullptr, &metadata).empty());
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(metadata.orientation, Orientation::kUpright);
  EXPECT_TRUE(metadata.rgb_profile.empty());
}

TEST_F(JpegDecoderTest, MissingFileGivesNothingAndNoMessage) {
  Result report;
  EXPECT_TRUE(DecodeJpegFile(dir_ / "missing.jpg", &report).empty());
  EXPECT_EQ(report.outcome, Outcome::kCannotOpen);
}

// Every way the library can refuse a file ends in exactly one message and no picture, and releases
// everything on the way out (the sanitizer build proves the last part).
struct Unreadable {
  const char* name;
  Bytes (*make)();
  const char* reason;  // part of the explanation the caller gets
};

Bytes NotAJpeg() { return Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}; }
Bytes Empty() { return Bytes(); }
Bytes StartOfImageOnly() { return Bytes{0xFF, 0xD8}; }
Bytes WithFrame(int marker, int precision, int width, int height) {
  Bytes jpeg = MakeJpeg(JpegRecipe());
  const std::size_t at = FrameMarker(jpeg);
  if (marker >= 0) jpeg[at + 1] = static_cast<unsigned char>(marker);
  if (precision >= 0) jpeg[at + 4] = static_cast<unsigned char>(precision);
  if (width >= 0) jpeg[at + 5] = height >> 8, jpeg[at + 6] = height & 0xFF;
  if (width >= 0) jpeg[at + 7] = width >> 8, jpeg[at + 8] = width & 0xFF;
  return jpeg;
}
Bytes TwelveBit() { return WithFrame(-1, 12, -1, -1); }
Bytes Lossless() { return WithFrame(0xC3, -1, -1, -1); }
Bytes Hierarchical() { return WithFrame(0xC5, -1, -1, -1); }
// 32769 x 32768 x 4 bytes wraps to 131072 in 32 bits; the header alone must not cost gigabytes.
Bytes WrappingDimensions() { return WithFrame(-1, -1, 32769, 32768); }
Bytes GiantDimensions() { return WithFrame(-1, -1, 65500, 65500); }
Bytes JustAboveTheLimit() { return WithFrame(-1, -1, 16385, 16384); }
Bytes GiantProgressive() {
  Bytes jpeg = MakeJpeg([] {
    JpegRecipe recipe;
    recipe.progressive = true;
    return recipe;
  }());
  const std::size_t at = FrameMarker(jpeg);
  jpeg[at + 5] = 0xFF, jpeg[at + 6] = 0xDC, jpeg[at + 7] = 0xFF, jpeg[at + 8] = 0xDC;
  return jpeg;
}

// A gray progressive file whose every coefficient is refined bit by bit: `ac_coefficients` + 1
// coefficients in 11 scans each.
Bytes ManyScans(int ac_coefficients) {
  std::vector<jpeg_scan_info> scans;
  for (int k = 0; k <= ac_coefficients; ++k) {
    for (int al = 10; al >= 0; --al) {
      jpeg_scan_info scan{};
      scan.comps_in_scan = 1;
      scan.component_index[0] = 0;
      scan.Ss = k;
      scan.Se = k;
      scan.Ah = al == 10 ? 0 : al + 1;
      scan.Al = al;
      scans.push_back(scan);
    }
  }
  JpegRecipe recipe;
  recipe.width = 8;
  recipe.height = 8;
  recipe.color_space = JCS_GRAYSCALE;
  recipe.components = 1;
  recipe.scans = scans;
  return MakeJpeg(recipe);
}
Bytes TooManyScans() { return ManyScans(63); }  // 704 scans
// The library reads at most four components; a fifth cannot be matched to its scan.
Bytes FiveComponents() {
  JpegRecipe recipe;
  recipe.color_space = JCS_UNKNOWN;
  recipe.components = 5;
  recipe.scans = {jpeg_scan_info{4, {0, 1, 2, 3}, 0, 63, 0, 0}, jpeg_scan_info{1, {4}, 0, 63, 0, 0}};
  return MakeJpeg(recipe);
}

void PrintTo(const Unreadable& kind, std::ostream* out) { *out << kind.name; }

class UnreadableFileTest : public JpegDecoderTest, public testing::WithParamInterface<Unreadable> {};

TEST_P(UnreadableFileTest, ShowsOneMessageAndGivesNothing) {
  platform::ScopedAllocationLimit no_giant_rasters(std::size_t{64} << 20);
  RecordingErrorBox boxes;
  Result report;
  testing::internal::CaptureStderr();
  EXPECT_TRUE(Decode(GetParam().make(), &report).empty());
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(boxes.shown(), std::vector<std::string>{"Error reading JPEG file"});
  EXPECT_EQ(report.outcome, Outcome::kUnreadable);
  EXPECT_NE(report.reason.find(GetParam().reason), std::string::npos) << report.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnreadableFileTest,
    testing::Values(Unreadable{"NotAJpeg", NotAJpeg, "Not a JPEG file"},
                    Unreadable{"Empty", Empty, "Empty input file"},
                    Unreadable{"StartOfImageOnly", StartOfImageOnly, ""},
                    Unreadable{"TwelveBit", TwelveBit, "precision 12"},
                    Unreadable{"Lossless", Lossless, "SOF type"},
                    Unreadable{"Hierarchical", Hierarchical, "SOF type"},
                    Unreadable{"WrappingDimensions", WrappingDimensions, "32769 x 32768 pixels"},
                    Unreadable{"GiantDimensions", GiantDimensions, "limit of 268435456 pixels"},
                    Unreadable{"JustAboveTheLimit", JustAboveTheLimit, "limit"},
                    Unreadable{"GiantProgressive", GiantProgressive, "limit"},
                    Unreadable{"TooManyScans", TooManyScans, "more than 500 scans"},
                    Unreadable{"FiveComponents", FiveComponents, "component ID"}),
    [](const testing::TestParamInfo<Unreadable>& info) { return std::string(info.param.name); });

TEST_F(JpegDecoderTest, AFileJustUnderTheScanLimitDecodes) {
  // 11 scans for each of 45 coefficients: 495 scans.
  RecordingErrorBox boxes;
  EXPECT_FALSE(Decode(ManyScans(44)).empty());
  EXPECT_TRUE(boxes.shown().empty());
}

}  // namespace
}  // namespace imaging
