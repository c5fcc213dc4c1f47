// The raster, its hand-over blocks, and the turns that move its pixels upright.
#include "imaging/raster_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <tuple>

#include "imaging/orientation.h"
#include "tests/support/jpeg_fixtures.h"

namespace imaging {
namespace {

using testing_support::MakePacked;
using testing_support::TopDownWords;
using Words = std::vector<std::uint32_t>;

Words WordsOf(RasterImage& raster) {
  PackedDib packed = raster.ExportPacked();
  return packed.empty() ? Words() : TopDownWords(packed);
}

TEST(RasterImageTest, SizesFillsAndLimits) {
  RasterImage raster;
  raster.SetSize(3, 2);
  EXPECT_EQ(WordsOf(raster), Words(6, 0));
  raster.CreateWhite(3, 2);  // every byte, even at the same size
  raster.SetSize(3, 2);      // the same size keeps the pixels
  EXPECT_EQ(WordsOf(raster), Words(6, 0xFFFFFFFF));
  raster.SetSize(2, 3);  // the same area in another shape does not
  EXPECT_EQ(WordsOf(raster), Words(6, 0));
  // 32769 x 32768 x 4 wraps to 131072 in 32 bits: refused without allocating, like a failed allocation.
  platform::ScopedAllocationLimit limit(1 << 20);
  for (const auto& [width, height] : {std::pair{32769, 32768}, {-4, 4}, {0, 5}, {1024, 1024}}) {
    raster.SetSize(width, height);
    EXPECT_FALSE(raster.has_pixels()) << width;
  }
}

TEST(RasterImageTest, PackedPicturesInAndOut) {
  PackedDib packed = MakePacked(7, 5, [](int x, int y) { return std::uint32_t(x * 1000 + y); });
  RasterImage raster;
  raster.ImportPacked(packed);
  raster.Lock();
  EXPECT_EQ(raster.pixels()[0], 4u) << "the first word is the bottom-left pixel";
  raster.Unlock();
  PackedDib handed = raster.ReleasePacked();
  EXPECT_EQ(std::memcmp(handed.Lock(), packed.Lock(), packed.size()), 0) << "a whole PackedDib, header first";
  handed.Unlock(), packed.Unlock();
  EXPECT_TRUE(!raster.has_pixels() && raster.width() == 0);
  ASSERT_TRUE(raster.AdoptPacked(handed));
  EXPECT_TRUE(handed.empty());
  EXPECT_EQ(WordsOf(raster), TopDownWords(packed));
  // More rows than the block holds, a size that disagrees, 24 bits a pixel, one byte short, half a header:
  // such blocks stay with the caller.
  for (const auto& [at, value, missing] :
       {std::tuple{8, 400, 0}, {20, 12, 0}, {14, 24, 0}, {8, 5, 1}, {0, 40, 160}}) {
    PackedDib block = platform::MemoryBlock::Allocate(packed.size() - missing);
    auto* bytes = static_cast<unsigned char*>(block.Lock());
    std::memcpy(bytes, packed.Lock(), block.size());
    bytes[at] = static_cast<unsigned char>(value), bytes[at + 1] = static_cast<unsigned char>(value >> 8);
    block.Unlock(), packed.Unlock();
    RasterImage other;
    other.ImportPacked(block);
    EXPECT_TRUE(!other.AdoptPacked(block) && !other.has_pixels() && !block.empty()) << at << " " << value;
  }
  platform::ScopedAllocationLimit limit(packed.size() - 1);  // room for the pixels, not the header
  EXPECT_TRUE(raster.ExportPacked().empty());
}

RasterImage RasterOf(int width, int height, const Words& top_down) {
  PackedDib packed = MakePacked(width, height, [&](int x, int y) { return top_down[y * width + x]; });
  RasterImage raster;
  raster.AdoptPacked(packed);
  return raster;
}

TEST(OrientationTest, EachOrientationTurnsAsTheTagMeans) {
  // The stored picture "abc" over "def", how each orientation shows it upright, and the turn that undoes it.
  const std::tuple<Orientation, std::string, Orientation> cases[] = {
      {Orientation::kUpright, "abc def", Orientation::kUpright},
      {Orientation::kMirror, "cba fed", Orientation::kMirror},
      {Orientation::kRotate180, "fed cba", Orientation::kRotate180},
      {Orientation::kFlip, "def abc", Orientation::kFlip},
      {Orientation::kTranspose, "ad be cf", Orientation::kTranspose},
      {Orientation::kRotate90, "da eb fc", Orientation::kRotate270},
      {Orientation::kTransverse, "fc eb da", Orientation::kTransverse},
      {Orientation::kRotate270, "cf be ad", Orientation::kRotate90}};
  std::mt19937 random(7);
  for (const auto& [orientation, upright, undo] : cases) {
    RasterImage raster = RasterOf(3, 2, {'a', 'b', 'c', 'd', 'e', 'f'});
    ASSERT_TRUE(TurnUpright(raster, orientation));
    std::string text;
    for (std::uint32_t word : WordsOf(raster))
      text += (text.size() + 1) % (raster.width() + 1) ? "" : " ", text += char(word);
    EXPECT_EQ(text, upright);
    EXPECT_EQ(SwapsEdges(orientation), raster.width() == 2);
    // Larger pictures, across and inside the tiles, come back after the turn that undoes this one.
    for (const auto& [width, height] : {std::pair{1, 9}, {33, 70}, {64, 64}, {100, 31}}) {
      Words words(std::size_t(width) * height);
      for (std::uint32_t& word : words) word = static_cast<std::uint32_t>(random());
      raster = RasterOf(width, height, words);
      ASSERT_TRUE(TurnUpright(raster, orientation) && TurnUpright(raster, undo));
      EXPECT_TRUE(WordsOf(raster) == words && raster.width() == width) << upright << " " << width;
    }
    // Only the quarter turns need a new raster; without memory they leave the raster as it was.
    raster = RasterOf(3, 2, {'a', 'b', 'c', 'd', 'e', 'f'});
    bool turned;
    {
      platform::ScopedAllocationLimit no_memory(16);
      turned = TurnUpright(raster, orientation);
    }
    EXPECT_EQ(turned, !SwapsEdges(orientation));
    EXPECT_EQ(WordsOf(raster)[0], turned ? upright[0] : 'a') << upright;
  }
}

}  // namespace
}  // namespace imaging
