// JPEG in and out: decoding and encoding pixel for pixel and byte for byte against the library's own
// reading and writing of the same data, the metadata parsers, and crafted hostile files. Random damage to the
// metadata is the fuzzer's; the other ways a write fails are the per-file step's and the replacing file's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/photo_metadata.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/result_printer.h"
#include "tests/support/temp_dir.h"

namespace imaging {
namespace {

using namespace testing_support;  // NOLINT(build/namespaces): the fixtures are this file's vocabulary
using Words = std::vector<std::uint32_t>;
using Segments = std::vector<std::pair<int, Bytes>>;
constexpr int kApp1 = JPEG_APP0 + 1, kApp2 = JPEG_APP0 + 2;

// `bytes` with `patch` written over it from `at` on.
Bytes Patched(Bytes bytes, std::size_t at, const Bytes& patch) {
  std::copy(patch.begin(), patch.end(), bytes.begin() + at);
  return bytes;
}

TEST(JpegDecoderTest, ColourGivesTheLibrarysOwnPixelsAndOtherSpacesTheirWords) {
  TempDir dir;
  WriteJpeg(dir / "in.jpg", JpegRecipe{40, 24});
  PackedDib colour = DecodeJpegFile(dir / "in.jpg");
  EXPECT_EQ(TopDownWords(colour), ReadJpegFacts(dir / "in.jpg").pixels) << "4:2:0 colour";
  // Flat samples at quality 100 come back exactly as this word (0xRRGGBB).
  const struct {
    const char* name;
    int components;
    std::uint8_t samples[4];
    std::uint32_t word;
  } kFlat[] = {{"gray", 1, {90}, 0x5A5A5A},
               {"CMYK without black: the inks", 4, {200, 100, 50, 255}, 0xC86432},
               {"CMYK: each ink times black / 255, truncated", 4, {200, 254, 10, 200}, 0x9CC707},
               {"two components: the first as gray", 2, {90, 250}, 0x5A5A5A}};
  for (const auto& f : kFlat) {
    JpegRecipe recipe;
    recipe.components = f.components, recipe.quality = 100;
    recipe.color_space = f.components == 4 ? JCS_CMYK : f.components == 1 ? JCS_GRAYSCALE : JCS_UNKNOWN;
    recipe.sample = [&f](int, int, int c) { return f.samples[c]; };
    WriteJpeg(dir / "in.jpg", recipe);
    PackedDib packed = DecodeJpegFile(dir / "in.jpg");
    EXPECT_EQ(TopDownWords(packed), Words(256, f.word)) << f.name;
  }
}

TEST(JpegEncoderTest, WritesWhatTheLibraryWritesAtQuality80WithTheProfileAfterJfif) {
  TempDir dir;
  const auto colour = [](int x, int y) { return std::uint32_t(x * 0x0C0000 + y * 0x1907 + (x ^ y)); };
  PackedDib picture = MakePacked(45, 30, colour);
  for (std::size_t size : {0u, 200u, 150000u}) {
    // The file the library itself writes from the same samples, the profile in chunks of at most 65519.
    JpegRecipe recipe;
    recipe.width = 45, recipe.height = 30, recipe.quality = 80;
    recipe.sample = [&](int x, int y, int c) { return std::uint8_t(colour(x, y) >> (16 - 8 * c)); };
    const Bytes profile = size == 0 ? Bytes() : IccProfile("RGB ", size);
    for (std::size_t at = 0, count = (size + 65518) / 65519; at < size; at += 65519) {
      const Bytes part(profile.begin() + at, profile.begin() + std::min(size, at + 65519));
      recipe.markers.emplace_back(JPEG_APP0 + 2, IccChunk(int(at / 65519) + 1, int(count), part));
    }
    ASSERT_EQ(EncodeJpegFile(dir / "out.jpg", picture, 8, profile).outcome, Outcome::kDone);
    EXPECT_EQ(ReadBytes(dir / "out.jpg"), MakeJpeg(recipe)) << size;
  }
}

// Parses a copy of exactly the given size, so that the sanitizers see any read past its end.
Orientation Parse(const Bytes& bytes) { return ExifOrientation(Bytes(bytes).data(), bytes.size()); }

TEST(PhotoMetadataTest, ExifOrientation) {
  for (int value = 1; value <= 8; ++value) {
    EXPECT_EQ(Parse(ExifOrientationSegment(value, false)), Orientation(value)) << value;
    EXPECT_EQ(Parse(ExifOrientationSegment(value, true)), Orientation(value)) << value;
  }
  EXPECT_EQ(Parse(ExifSegment(true, {{0x010F, 2, 6, 100}, {0x0112, 3, 1, 8}, {0x0131, 2, 10, 200}})),
            Orientation::kRotate270);
  // Only IFD0 counts: the tag in IFD1 (at 26, where IFD0 links) is not read.
  Bytes in_ifd1 = Patched(ExifSegment(false, {{0x010F, 2, 6, 100}}), 28, {26});
  for (int byte : {1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0})
    in_ifd1.push_back(Bytes::value_type(byte));
  const Bytes valid = ExifOrientationSegment(6);
  EXPECT_EQ(Parse(in_ifd1), Orientation::kUpright);
  EXPECT_EQ(Parse(ExifSegment(false, {{0x0112, 3, 1, 6}, {0x0112, 3, 1, 6}})), Orientation::kUpright)
      << "twice";
  // Another identifier, byte order, 42, two entries where one fits, type LONG, count 2, values 0, 9, 262.
  const std::pair<int, Bytes> damage[] = {{5, {1}},  {6, {'I', 'M'}}, {8, {43}}, {14, {2}},   {18, {4}},
                                          {20, {2}}, {24, {0}},       {24, {9}}, {24, {6, 1}}};
  for (const auto& [at, patch] : damage)
    EXPECT_EQ(Parse(Patched(valid, at, patch)), Orientation::kUpright) << at;
  for (std::size_t size = 0; size <= valid.size(); ++size) {  // cut anywhere: only a whole directory counts
    EXPECT_EQ(Parse(Bytes(valid.begin(), valid.begin() + size)),
              size >= 28 ? Orientation::kRotate90 : Orientation::kUpright);
  }
}

// Crafted hostile files: each ends in its outcome, no picture for a refused file, and the metadata a read
// file holds. Under the sanitizers this also proves that every way out releases what it took. Files the
// library itself refuses (12-bit, lossless, hierarchical) are its own business: "empty" stands for them.

Bytes Jpeg(const Segments& markers, bool progressive = false) {
  JpegRecipe recipe;
  recipe.markers = markers;
  recipe.progressive = progressive;
  return MakeJpeg(recipe);
}

// A gray 8 x 8 progressive file of exactly `total` scans (64 to 704): each coefficient in a scan of its
// own, refined bit by bit until the scans are used up.
Bytes Scans(int total) {
  JpegRecipe recipe;
  recipe.width = recipe.height = 8;
  recipe.color_space = JCS_GRAYSCALE, recipe.components = 1;
  for (int k = 0, extra = total - 64, bits; k < 64; ++k, extra -= bits) {
    bits = std::min(extra, 10);
    for (int al = bits; al >= 0; --al) recipe.scans.push_back({1, {0}, k, k, al == bits ? 0 : al + 1, al});
  }
  return MakeJpeg(recipe);
}

TEST(HostileFilesTest, EachEndsInItsOutcome) {
  const Bytes exif = ExifOrientationSegment(6), profile = IccProfile("RGB ", 3000);
  const std::vector<Bytes> part = IccChunks(profile, 3);
  const Bytes with_metadata = Jpeg({{kApp1, exif}, {kApp2, part[0]}, {kApp2, part[1]}, {kApp2, part[2]}});
  const Bytes whole = IccChunk(1, 1, profile), signature(part[0].begin(), part[0].begin() + 13);  // no chunk
  const Bytes header = IccProfile("RGB ", 128), short_header(header.begin(), header.end() - 1);
  const auto icc = [](const std::vector<Bytes>& chunks) {  // a file with these APP2 segments in this order
    Segments segments;
    for (const Bytes& chunk : chunks) segments.emplace_back(kApp2, chunk);
    return Jpeg(segments);
  };
  const auto bad = Outcome::kUnreadable, done = Outcome::kDone;
  const auto up = Orientation::kUpright, turned = Orientation::kRotate90;
  const struct {
    const char* name;
    Bytes bytes;
    Outcome outcome;
    const char* reason = "";  // part of the words the caller gets
    Orientation orientation = Orientation::kUpright;
    std::size_t rgb_profile_bytes = 0;
  } kFiles[] = {
      {"empty", {}, bad, "Empty input file"},
      {"65500 x 65500 progressive", Reframed(Jpeg({}, true), 65500, 65500), bad, "limit of 268435456 pixels"},
      {"16385 x 16384", Reframed(Jpeg({}), 16385, 16384), bad, "16385 x 16384 pixels"},
      {"16384 x 16384, at the limit", Reframed(Jpeg({}), 16384, 16384), Outcome::kNoMemory},
      {"500 scans", Scans(500), done},
      {"501 scans", Scans(501), bad, "more than 500 scans"},
      {"metadata", with_metadata, done, "", turned, 3000},
      {"ICC in 255 full chunks", icc(IccChunks(IccProfile("RGB ", kMaxIccProfileBytes), 255)), done, "", up,
       kMaxIccProfileBytes},
      {"ICC chunks out of order", icc({part[2], part[0], part[1]}), done, "", up, 3000},
      {"ICC after other APP2 segments", icc({{'M', 'P', 'F', 0}, signature, whole}), done, "", up, 3000},
      {"ICC chunk missing", icc({part[0], part[2]}), done},
      {"ICC chunk twice", icc({part[0], part[1], part[1], part[2]}), done},
      {"ICC chunk above the count", icc({part[0], part[1], part[2], IccChunk(4, 3, profile)}), done},
      {"ICC counts disagree", icc({part[0], part[1], IccChunk(3, 4, profile)}), done},
      {"ICC in APP1", Jpeg({{kApp1, whole}}), done},
      {"ICC signature damaged", icc({Patched(part[0], 10, {'X'}), part[1], part[2]}), done},
      {"ICC of a CMYK space", icc({IccChunk(1, 1, IccProfile("CMYK", 600))}), done},
      {"ICC header alone", icc({IccChunk(1, 1, header)}), done, "", up, 128},
      {"ICC of 127 bytes", icc({IccChunk(1, 1, short_header)}), done},
      {"ICC without 'acsp'", icc({IccChunk(1, 1, Patched(profile, 36, {'q'}))}), done},
      {"APP1 not EXIF, then EXIF, then broken EXIF: the first EXIF counts",
       Jpeg({{kApp1, {'h', 't', 't', 'p'}}, {kApp1, exif}, {kApp1, Patched(exif, 24, {0})}}), done, "",
       turned},
  };
  TempDir dir;
  platform::ScopedAllocationLimit no_giant_rasters(std::size_t{64} << 20);
  for (const auto& file : kFiles) {
    SCOPED_TRACE(file.name);
    WriteBytes(dir / "in.jpg", file.bytes);
    Result result;
    PhotoMetadata metadata;
    testing::internal::CaptureStderr();
    PackedDib packed = DecodeJpegFile(dir / "in.jpg", &result, &metadata);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(result.outcome, file.outcome) << result.reason;
    EXPECT_NE(result.reason.find(file.reason), std::string::npos) << "the reason names " << file.reason;
    EXPECT_EQ(packed.empty(), file.outcome != done) << "a picture only for a file read";
    EXPECT_EQ(int(metadata.orientation), int(file.orientation)) << "the EXIF orientation";
    EXPECT_EQ(metadata.rgb_profile.size(), file.rgb_profile_bytes) << "bytes of the RGB profile kept";
  }
}

}  // namespace
}  // namespace imaging
