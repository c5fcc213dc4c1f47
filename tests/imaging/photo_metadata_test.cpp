// The metadata parsers on their own. Damaged directories, offsets and chunk sets that come in whole
// files are rows of HostileFilesTest; random damage is the fuzzer's.
#include "imaging/photo_metadata.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

namespace imaging {
namespace {

using namespace testing_support;  // NOLINT(build/namespaces): the fixtures are this file's vocabulary
using Segments = std::vector<std::pair<int, Bytes>>;
constexpr int kApp1 = 0xE1, kApp2 = 0xE2;

// Parses a copy of exactly the given size, so that the sanitizers see any read past its end.
Orientation Parse(const Bytes& bytes) { return ExifOrientation(Bytes(bytes).data(), bytes.size()); }

Bytes Patched(Bytes bytes, std::size_t offset, const Bytes& patch) {
  std::copy(patch.begin(), patch.end(), bytes.begin() + offset);
  return bytes;
}

std::vector<MarkerSegment> View(const Segments& segments) {
  std::vector<MarkerSegment> view;
  for (const auto& [marker, payload] : segments) view.push_back({marker, payload.data(), payload.size()});
  return view;
}

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

TEST(PhotoMetadataTest, IccChunksAreJoinedAsTheLibrarysOwnReaderJoinsThem) {
  const Bytes profile = IccProfile("RGB ", 300);
  const std::vector<Bytes> part = IccChunks(profile, 3);
  const Bytes cut(part[0].begin(), part[0].begin() + 13);  // the signature, but too short for a chunk
  const std::pair<Segments, bool> cases[] = {
      {{{kApp2, IccChunk(1, 1, profile)}}, true},
      {{{kApp2, part[2]}, {kApp2, part[0]}, {kApp2, part[1]}}, true},
      {{{kApp2, {'M', 'P', 'F', 0}}, {kApp2, cut}, {kApp2, IccChunk(1, 1, profile)}}, true},
      {{{kApp2, part[0]}, {kApp2, part[2]}}, false},
      {{{kApp2, part[0]}, {kApp2, part[1]}, {kApp2, part[1]}, {kApp2, part[2]}}, false},
      {{{kApp2, IccChunk(0, 1, profile)}}, false},
      {{{kApp2, IccChunk(1, 0, profile)}}, false},
      {{{kApp1, IccChunk(1, 1, profile)}}, false},
      {{{kApp2, Patched(part[0], 10, {'X'})}, {kApp2, part[1]}, {kApp2, part[2]}}, false},
  };
  TempDir dir;
  for (const auto& [segments, joined] : cases) {
    const Bytes expected = joined ? profile : Bytes();
    EXPECT_EQ(ReassembleIccProfile(View(segments)), expected) << segments.size();
    JpegRecipe recipe;
    recipe.markers = segments;
    WriteJpeg(dir / "icc.jpg", recipe);
    testing::internal::CaptureStderr();  // the library warns about the sets it refuses
    EXPECT_EQ(ReadJpegFacts(dir / "icc.jpg").icc_profile, expected) << segments.size();
    testing::internal::GetCapturedStderr();
  }
}

TEST(PhotoMetadataTest, TheFirstExifSegmentAndOnlyAWholeRgbProfile) {
  Bytes short_header = IccProfile("RGB ", 128);
  short_header.pop_back();
  const Bytes gray = IccProfile("GRAY", 500), not_acsp = Patched(IccProfile("RGB ", 500), 36, {'q'});
  const std::pair<Bytes, bool> profiles[] = {
      {IccProfile("RGB ", 128), true}, {gray, false}, {short_header, false}, {not_acsp, false}};
  for (const auto& [profile, rgb] : profiles) {
    Segments segments = {{kApp1, {'h', 't', 't', 'p'}},
                         {kApp1, ExifOrientationSegment(6)},
                         {kApp1, ExifOrientationSegment(3)},
                         {kApp2, IccChunk(1, 1, profile)}};
    const PhotoMetadata metadata = ReadPhotoMetadata(View(segments));
    EXPECT_EQ(metadata.orientation, Orientation::kRotate90);
    EXPECT_EQ(metadata.rgb_profile, rgb ? profile : Bytes());
    segments[1].second[24] = 0;  // the first EXIF segment is broken: no orientation at all
    EXPECT_EQ(ReadPhotoMetadata(View(segments)).orientation, Orientation::kUpright);
  }
}

}  // namespace
}  // namespace imaging
