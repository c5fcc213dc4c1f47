#include "imaging/raster_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/support/jpeg_fixtures.h"

namespace imaging {
namespace {

using testing_support::HeightOf;
using testing_support::MakePacked;
using testing_support::PixelAt;
using testing_support::WidthOf;

std::vector<std::uint32_t> Words(RasterImage& raster) {
  raster.Lock();
  std::vector<std::uint32_t> words;
  if (raster.pixels() != nullptr) {
    words.assign(raster.pixels(), raster.pixels() + std::size_t(raster.width()) * raster.height());
  }
  raster.Unlock();
  return words;
}

TEST(RasterImageTest, FreshRasterHasTheFixedHeaderAndNoPixels) {
  RasterImage raster;
  const BitmapInfoHeader& h = raster.header();
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 0);
  EXPECT_EQ(h.biHeight, 0);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 32);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(h.biClrImportant, 0u);
  EXPECT_FALSE(raster.has_pixels());
  raster.Lock();
  EXPECT_EQ(raster.pixels(), nullptr);
  EXPECT_TRUE(raster.ExportPacked().empty());
}

TEST(RasterImageTest, SetSizeGivesBlackPixelsAndKeepsThemForTheSameSize) {
  RasterImage raster;
  raster.SetSize(3, 2);
  EXPECT_EQ(raster.header().biSizeImage, 24u);
  EXPECT_EQ(Words(raster), std::vector<std::uint32_t>(6, 0));

  raster.Lock();
  raster.pixels()[4] = 0x123456;
  raster.Unlock();
  raster.SetSize(3, 2);
  EXPECT_EQ(Words(raster)[4], 0x123456u);

  raster.SetSize(2, 3);  // same area, new size: contents never carry over
  EXPECT_EQ(Words(raster), std::vector<std::uint32_t>(6, 0));

  raster.SetSize(0, 5);
  EXPECT_FALSE(raster.has_pixels());
  EXPECT_EQ(raster.header().biSizeImage, 0u);
  EXPECT_TRUE(raster.ExportPacked().empty());
}

TEST(RasterImageTest, CreateWhiteFillsEveryByteEvenAtTheSameSize) {
  RasterImage raster;
  raster.CreateWhite(4, 4);
  EXPECT_EQ(Words(raster), std::vector<std::uint32_t>(16, 0xFFFFFFFF));
  raster.Lock();
  raster.pixels()[0] = 0;
  raster.Unlock();
  raster.CreateWhite(4, 4);
  EXPECT_EQ(Words(raster), std::vector<std::uint32_t>(16, 0xFFFFFFFF));
}

TEST(RasterImageTest, SizesThatWouldWrapThirtyTwoBitsAreRefusedWithoutAllocating) {
  // 32769 x 32768 x 4 wraps to 131072 in 32 bits.
  platform::ScopedAllocationLimit no_big_blocks(1 << 20);
  RasterImage raster;
  raster.SetSize(32769, 32768);
  EXPECT_FALSE(raster.has_pixels());
  EXPECT_EQ(raster.header().biSizeImage, 0u);
  raster.SetSize(-4, 4);
  EXPECT_FALSE(raster.has_pixels());
}

TEST(RasterImageTest, FailedAllocationLeavesNoPixels) {
  RasterImage raster;
  platform::ScopedAllocationLimit limit(100);
  raster.CreateWhite(10, 10);
  EXPECT_FALSE(raster.has_pixels());
  raster.Lock();
  EXPECT_EQ(raster.pixels(), nullptr);
  EXPECT_TRUE(raster.ExportPacked().empty());
}

TEST(RasterImageTest, ExportFailsWholeWhenTheBlockCannotBeHad) {
  RasterImage raster;
  raster.SetSize(5, 5);  // 100 bytes of pixels; the packed block needs 140
  platform::ScopedAllocationLimit limit(139);
  EXPECT_TRUE(raster.ExportPacked().empty());
}

TEST(RasterImageTest, ExportCopiesTheHeaderByteForByteAndTheRowsBottomUp) {
  RasterImage raster;
  raster.SetSize(2, 3);
  raster.Lock();
  for (int i = 0; i < 6; ++i) raster.pixels()[i] = 0x010000u * i + 7;
  raster.Unlock();

  PackedDib packed = raster.ExportPacked();
  ASSERT_EQ(packed.size(), 40u + 24u);
  const auto* bytes = static_cast<const unsigned char*>(packed.Lock());
  EXPECT_EQ(std::memcmp(bytes, &raster.header(), 40), 0);
  const unsigned char expected_start[] = {40, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 1, 0, 32, 0};
  EXPECT_EQ(std::memcmp(bytes, expected_start, sizeof expected_start), 0);
  packed.Unlock();
  // The top-left pixel is the first word of the last memory row.
  EXPECT_EQ(PixelAt(packed, 0, 0), 0x040007u);
  EXPECT_EQ(PixelAt(packed, 1, 2), 0x010007u);
  EXPECT_TRUE(raster.has_pixels()) << "export is a copy";
}

TEST(RasterImageTest, ImportOfAnExportGivesTheSamePicture) {
  PackedDib packed = MakePacked(7, 5, [](int x, int y) { return std::uint32_t(x * 1000 + y); });
  RasterImage raster;
  raster.ImportPacked(packed);
  EXPECT_EQ(raster.width(), 7);
  EXPECT_EQ(raster.height(), 5);
  PackedDib again = raster.ExportPacked();
  ASSERT_EQ(again.size(), packed.size());
  EXPECT_EQ(std::memcmp(again.Lock(), packed.Lock(), packed.size()), 0);
  EXPECT_FALSE(packed.empty()) << "the imported block stays the caller's";
}

TEST(RasterImageTest, ImportIgnoresBlocksThatAreNotWholePictures) {
  RasterImage raster;
  raster.SetSize(1, 1);
  PackedDib none;
  raster.ImportPacked(none);
  EXPECT_EQ(raster.width(), 1);

  // A header that claims more pixels than the block holds.
  PackedDib packed = MakePacked(4, 4, [](int, int) { return 1u; });
  auto* header = static_cast<BitmapInfoHeader*>(packed.Lock());
  header->biHeight = 400;
  packed.Unlock();
  raster.ImportPacked(packed);
  EXPECT_EQ(raster.height(), 1);

  PackedDib too_short = platform::MemoryBlock::Allocate(20);
  raster.ImportPacked(too_short);
  EXPECT_EQ(raster.width(), 1);
}

TEST(RasterImageTest, ReleaseAndAdoptHandTheSameMemoryOverWithoutACopy) {
  PackedDib packed = MakePacked(6, 4, [](int x, int y) { return std::uint32_t(x * 16 + y); });
  RasterImage giver;
  giver.ImportPacked(packed);
  giver.Lock();
  const std::uint32_t* address = giver.pixels();
  giver.Unlock();

  PackedDib handed = giver.ReleasePacked();
  EXPECT_FALSE(giver.has_pixels());
  EXPECT_EQ(giver.width(), 0);
  ASSERT_EQ(handed.size(), packed.size());
  EXPECT_EQ(std::memcmp(handed.Lock(), packed.Lock(), packed.size()), 0) << "a whole PackedDib, header first";

  RasterImage receiver;
  ASSERT_TRUE(receiver.AdoptPacked(handed));
  EXPECT_TRUE(handed.empty());
  receiver.Lock();
  EXPECT_EQ(receiver.pixels(), address);
  receiver.Unlock();
  EXPECT_EQ(receiver.width(), 6);
  EXPECT_EQ(receiver.height(), 4);
  EXPECT_TRUE(RasterImage().ReleasePacked().empty());
}

TEST(RasterImageTest, AdoptLeavesBlocksThatAreNotWholePicturesWithTheCaller) {
  PackedDib packed = MakePacked(4, 4, [](int, int) { return 1u; });
  static_cast<BitmapInfoHeader*>(packed.Lock())->biSizeImage = 12;  // disagrees with 4 x 4 x 4
  packed.Unlock();
  RasterImage raster;
  EXPECT_FALSE(raster.AdoptPacked(packed));
  EXPECT_FALSE(packed.empty());
  EXPECT_FALSE(raster.has_pixels());

  PackedDib none;
  EXPECT_FALSE(raster.AdoptPacked(none));
}

TEST(RasterImageTest, MovingARasterMovesItsPixels) {
  PackedDib packed = MakePacked(3, 3, [](int x, int y) { return std::uint32_t(x + 3 * y); });
  RasterImage first;
  first.ImportPacked(packed);
  RasterImage second = std::move(first);
  EXPECT_FALSE(first.has_pixels());  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(first.width(), 0);       // NOLINT(bugprone-use-after-move)
  PackedDib out = second.ExportPacked();
  EXPECT_EQ(PixelAt(out, 2, 2), 8u);
  EXPECT_EQ(WidthOf(out), 3);
  EXPECT_EQ(HeightOf(out), 3);
}

}  // namespace
}  // namespace imaging
