#include "imaging/photo_metadata.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

namespace imaging {
namespace {

using testing_support::ExifOrientationSegment;
using testing_support::ExifSegment;
using testing_support::IccChunk;
using testing_support::IccChunks;
using testing_support::IccProfile;
using testing_support::JpegRecipe;
using testing_support::ReadJpegFacts;
using testing_support::TempDir;
using testing_support::WriteJpeg;

using Bytes = std::vector<unsigned char>;
using Segments = std::vector<std::pair<int, Bytes>>;

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShort = 3;
constexpr int kApp1 = 0xE1;
constexpr int kApp2 = 0xE2;

// Parses a copy of exactly the given size, so that the sanitizers see any read past its end.
Orientation Parse(const Bytes& bytes) {
  const Bytes exact(bytes.begin(), bytes.end());
  return ExifOrientation(exact.data(), exact.size());
}

// `bytes` with `patch` written over it from `offset` on.
Bytes Patched(Bytes bytes, std::size_t offset, const Bytes& patch) {
  std::copy(patch.begin(), patch.end(), bytes.begin() + offset);
  return bytes;
}

std::vector<MarkerSegment> View(const Segments& segments) {
  std::vector<MarkerSegment> view;
  for (const auto& [marker, payload] : segments) view.push_back({marker, payload.data(), payload.size()});
  return view;
}

TEST(ExifOrientationTest, ReadsEveryValueInBothByteOrders) {
  for (bool big_endian : {false, true}) {
    for (int value = 1; value <= 8; ++value) {
      EXPECT_EQ(Parse(ExifOrientationSegment(value, big_endian)), static_cast<Orientation>(value))
          << value << (big_endian ? " MM" : " II");
    }
  }
  const Bytes among_others =
      ExifSegment(true, {{0x010F, 2, 6, 100}, {kOrientationTag, kShort, 1, 8}, {0x0131, 2, 10, 200}});
  EXPECT_EQ(Parse(among_others), Orientation::kRotate270);
}

TEST(ExifOrientationTest, MalformedDataCountsAsUpright) {
  // Offsets in a one-entry segment: identifier 0, byte order 6, 42 at 8, IFD0 offset 10, entry count 14,
  // entry 16 (tag 16, type 18, count 20, value 24), link to the next directory 28.
  const Bytes valid = ExifOrientationSegment(6);
  Bytes xmp = {'h', 't', 't', 'p', ':', '/', '/'};
  xmp.resize(valid.size());
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"nothing", {}},
      {"the identifier alone", Bytes(valid.begin(), valid.begin() + 6)},
      {"another identifier", Patched(valid, 5, {1})},
      {"another APP1 payload", xmp},
      {"an unknown byte order", Patched(valid, 6, {'I', 'M'})},
      {"43 for 42", Patched(valid, 8, {43})},
      {"a directory past the end", Patched(valid, 10, {32, 0, 0, 0})},
      {"a directory offset near 4 GiB", Patched(valid, 10, {0xFC, 0xFF, 0xFF, 0xFF})},
      {"a directory at the header, 0x4949 entries", Patched(valid, 10, {0, 0, 0, 0})},
      {"two entries where one fits", Patched(valid, 14, {2, 0})},
      {"65535 entries", Patched(valid, 14, {0xFF, 0xFF})},
      {"type LONG", Patched(valid, 18, {4, 0})},
      {"count 2", Patched(valid, 20, {2})},
      {"count 0", Patched(valid, 20, {0})},
      {"value 0", Patched(valid, 24, {0})},
      {"value 9", Patched(valid, 24, {9})},
      {"value 262", Patched(valid, 24, {6, 1})},
      {"the tag twice",
       ExifSegment(false, {{kOrientationTag, kShort, 1, 6}, {kOrientationTag, kShort, 1, 6}})},
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(c.bytes), Orientation::kUpright) << c.what;
}

TEST(ExifOrientationTest, ReadsOnlyTheFirstDirectory) {
  // IFD0 that links to itself: following links would never end.
  EXPECT_EQ(Parse(Patched(ExifOrientationSegment(6), 28, {8, 0, 0, 0})), Orientation::kRotate90);
  // The tag only in IFD1, which IFD0 links to (IFD1 follows at TIFF offset 26).
  Bytes second = Patched(ExifSegment(false, {{0x010F, 2, 6, 100}}), 28, {26, 0, 0, 0});
  const Bytes ifd1 = {1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};
  second.insert(second.end(), ifd1.begin(), ifd1.end());
  EXPECT_EQ(Parse(second), Orientation::kUpright);
}

TEST(ExifOrientationTest, ATruncatedSegmentGivesTheValueOnlyWhenTheWholeDirectoryIsThere) {
  const Bytes valid = ExifOrientationSegment(3, true);
  for (std::size_t size = 0; size <= valid.size(); ++size) {
    const Orientation expected = size >= 28 ? Orientation::kRotate180 : Orientation::kUpright;
    EXPECT_EQ(Parse(Bytes(valid.begin(), valid.begin() + size)), expected) << size << " bytes";
  }
}

TEST(ExifOrientationTest, RandomDamageNeverReadsOutsideTheSegment) {
  const Bytes seeds[] = {
      ExifOrientationSegment(6, false),
      ExifSegment(true, {{0x010F, 2, 6, 100}, {kOrientationTag, kShort, 1, 8}, {0x0131, 2, 10, 200}}),
  };
  std::mt19937 random(2024);
  for (int round = 0; round < 20000; ++round) {
    Bytes bytes = seeds[round % 2];
    const int damage = 1 + static_cast<int>(random() % 4);
    for (int d = 0; d < damage; ++d)
      bytes[6 + random() % (bytes.size() - 6)] = static_cast<unsigned char>(random());
    bytes.resize(random() % 4 == 0 ? random() % (bytes.size() + 8) : bytes.size());
    const int value = static_cast<int>(Parse(bytes));
    ASSERT_TRUE(value >= 1 && value <= 8) << value;
  }
}

TEST(IccProfileTest, ChunksAreJoinedAsTheLibrarysOwnReaderJoinsThem) {
  const Bytes profile = IccProfile("RGB ", 300);
  const std::vector<Bytes> part = IccChunks(profile, 3);
  const Bytes tail(profile.begin() + 200, profile.end());
  const Bytes mpf = {'M', 'P', 'F', 0, 'I', 'I', '*', 0};
  Bytes unsigned_chunk = part[0];
  unsigned_chunk[10] = 'X';
  const struct {
    const char* what;
    Segments segments;
    bool joined;
  } cases[] = {
      {"one chunk", {{kApp2, IccChunk(1, 1, profile)}}, true},
      {"in order", {{kApp2, part[0]}, {kApp2, part[1]}, {kApp2, part[2]}}, true},
      {"out of order", {{kApp2, part[2]}, {kApp2, part[0]}, {kApp2, part[1]}}, true},
      {"among other APP2 segments",
       {{kApp2, mpf},
        {kApp2, part[1]},
        {kApp2, Bytes(part[0].begin(), part[0].begin() + 13)},
        {kApp2, part[0]},
        {kApp2, part[2]}},
       true},
      {"one missing", {{kApp2, part[0]}, {kApp2, part[2]}}, false},
      {"one twice", {{kApp2, part[0]}, {kApp2, part[1]}, {kApp2, part[1]}, {kApp2, part[2]}}, false},
      {"counts disagree", {{kApp2, part[0]}, {kApp2, part[1]}, {kApp2, IccChunk(3, 4, tail)}}, false},
      {"number 0", {{kApp2, IccChunk(0, 1, profile)}}, false},
      {"number above the count", {{kApp2, part[0]}, {kApp2, part[1]}, {kApp2, IccChunk(4, 3, tail)}}, false},
      {"count 0", {{kApp2, IccChunk(1, 0, profile)}}, false},
      {"no data", {{kApp2, IccChunk(1, 2, {})}, {kApp2, IccChunk(2, 2, {})}}, false},
      {"in APP1", {{kApp1, IccChunk(1, 1, profile)}}, false},
      {"another signature", {{kApp2, unsigned_chunk}, {kApp2, part[1]}, {kApp2, part[2]}}, false},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const Bytes joined = ReassembleIccProfile(View(c.segments));
    EXPECT_EQ(joined, c.joined ? profile : Bytes()) << c.what;
    JpegRecipe recipe;
    recipe.markers = c.segments;
    WriteJpeg(dir / "icc.jpg", recipe);
    testing::internal::CaptureStderr();  // the library warns about the sets it refuses
    EXPECT_EQ(joined, ReadJpegFacts(dir / "icc.jpg").icc_profile) << c.what;
    testing::internal::GetCapturedStderr();
  }
}

TEST(IccProfileTest, OnlyWholeRgbProfilesCount) {
  EXPECT_TRUE(IsRgbIccProfile(IccProfile("RGB ", 128)));
  EXPECT_TRUE(IsRgbIccProfile(IccProfile("RGB ", 3000)));
  EXPECT_FALSE(IsRgbIccProfile(IccProfile("GRAY", 3000)));
  EXPECT_FALSE(IsRgbIccProfile(IccProfile("CMYK", 3000)));
  EXPECT_FALSE(IsRgbIccProfile(IccProfile("Lab ", 3000)));
  Bytes short_header = IccProfile("RGB ", 128);
  short_header.pop_back();
  EXPECT_FALSE(IsRgbIccProfile(short_header));
  EXPECT_FALSE(IsRgbIccProfile(Patched(IccProfile("RGB ", 3000), 36, {'a', 'c', 's', 'q'})));
}

TEST(PhotoMetadataTest, TakesTheFirstExifSegmentAndOnlyAnRgbProfile) {
  const Bytes rgb = IccProfile("RGB ", 500);
  Segments segments = {{kApp1, {'h', 't', 't', 'p', ':'}},
                       {kApp1, ExifOrientationSegment(6)},
                       {kApp1, ExifOrientationSegment(3)},
                       {kApp2, IccChunk(1, 1, rgb)}};
  PhotoMetadata metadata = ReadPhotoMetadata(View(segments));
  EXPECT_EQ(metadata.orientation, Orientation::kRotate90);
  EXPECT_EQ(metadata.rgb_profile, rgb);

  segments[1].second = Patched(segments[1].second, 24, {0});  // the first Exif segment is broken
  segments[3].second = IccChunk(1, 1, IccProfile("CMYK", 500));
  metadata = ReadPhotoMetadata(View(segments));
  EXPECT_EQ(metadata.orientation, Orientation::kUpright);
  EXPECT_TRUE(metadata.rgb_profile.empty());
}

}  // namespace
}  // namespace imaging
