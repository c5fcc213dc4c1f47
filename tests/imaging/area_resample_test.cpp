#include "imaging/area_resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "imaging/raster_image.h"
#include "tests/support/literal_resample.h"

namespace imaging {
namespace {

using testing_support::LiteralResample;
using Words = std::vector<std::uint32_t>;

struct Picture {
  int width = 0;
  int height = 0;
  Words words;  // bottom-up
};

Picture RandomPicture(int width, int height, std::mt19937& random) {
  Picture picture{width, height, Words(std::size_t(width) * height)};
  for (std::uint32_t& word : picture.words) word = static_cast<std::uint32_t>(random());
  return picture;
}

// Top row first, as pictures are written down.
Picture PictureOf(int width, int height, const Words& top_down) {
  Picture picture{width, height, Words(top_down.size())};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture.words[(height - 1 - y) * width + x] = top_down[y * width + x];
  }
  return picture;
}

RasterImage RasterOf(const Picture& picture) {
  RasterImage raster;
  raster.SetSize(picture.width, picture.height);
  raster.Lock();
  std::memcpy(raster.pixels(), picture.words.data(), picture.words.size() * 4);
  raster.Unlock();
  return raster;
}

Words WordsOf(RasterImage& raster) {
  raster.Lock();
  Words words;
  if (raster.pixels() != nullptr) {
    words.assign(raster.pixels(), raster.pixels() + std::size_t(raster.width()) * raster.height());
  }
  raster.Unlock();
  return words;
}

Words Resampled(const Picture& picture, int width, int height) {
  RasterImage raster = RasterOf(picture);
  raster.Resample(width, height);
  EXPECT_EQ(raster.width(), width);
  EXPECT_EQ(raster.height(), height);
  EXPECT_EQ(raster.header().biSizeImage, std::uint32_t(width) * height * 4);
  return WordsOf(raster);
}

Words FastResample(const Picture& picture, int width, int height, int threads, ResampleKernel kernel) {
  Words target(std::size_t(width) * height, 0xDEADBEEF);
  const AreaResampler resampler(picture.width, picture.height, width, height, kernel);
  resampler.ResampleWhole(picture.words.data(), target.data(), threads);
  return target;
}

// Every kernel, one thread and two, against the literal loop.
void ExpectEveryKernelMatchesTheLiteralLoop(const Picture& picture, int width, int height) {
  SCOPED_TRACE(std::to_string(picture.width) + "x" + std::to_string(picture.height) + " -> " +
               std::to_string(width) + "x" + std::to_string(height));
  const Words expected = LiteralResample(picture.words, picture.width, picture.height, width, height);
  EXPECT_EQ(Resampled(picture, width, height), expected) << "RasterImage::Resample";
  for (ResampleKernel kernel : AvailableResampleKernels()) {
    for (int threads : {1, 2}) {
      EXPECT_EQ(FastResample(picture, width, height, threads, kernel), expected)
          << "kernel " << int(kernel) << ", " << threads << " thread(s)";
    }
  }
}

TEST(AreaResampleTest, MatchesTheLiteralLoopAcrossShapesAndFactors) {
  struct Case {
    int source_width, source_height, width, height;
  };
  const Case cases[] = {
      {37, 29, 11, 7},    // shrink by non-integer factors both ways
      {64, 48, 10, 6},    // 6.4 and 8
      {40, 40, 13, 39},   // shrink a lot one way, a little the other
      {7, 5, 19, 23},     // grow both ways
      {9, 4, 9, 13},      // grow one axis only
      {31, 6, 8, 17},     // shrink one axis, grow the other
      {5, 33, 12, 4},     // and the other way round
      {1, 1, 5, 3},       // one pixel spread out
      {23, 17, 1, 1},     // everything into one pixel
      {1, 30, 1, 7},      // one column
      {30, 1, 7, 1},      // one row
      {1, 19, 6, 4},      // one column to a block
      {19, 1, 4, 6},      // one row to a block
      {12, 12, 1, 29},    // a block to one column
      {3, 100, 2, 3},     // very tall footprints
      {97, 89, 96, 88},   // one pixel smaller: footprints barely over one pixel
      {96, 88, 97, 89},   // one pixel larger
      {6000, 2, 960, 1},  // the picture's factor, on a thin strip
      {25, 7, 11, 25},    // 11 * (25 / 11.0) and 25 * (7 / 25.0) end a hair past the edge
  };
  std::mt19937 random(20240611);
  for (const Case& c : cases) {
    const Picture picture = RandomPicture(c.source_width, c.source_height, random);
    ExpectEveryKernelMatchesTheLiteralLoop(picture, c.width, c.height);
  }
}

TEST(AreaResampleTest, MatchesTheLiteralLoopOnRandomSizes) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> size(1, 24);
  for (int n = 0; n < 150; ++n) {
    const Picture picture = RandomPicture(size(random), size(random), random);
    ExpectEveryKernelMatchesTheLiteralLoop(picture, size(random), size(random));
  }
}

// Byte 0 of every target pixel with the additions done rows outer, columns inner: the same terms in
// another order, which can round differently.
std::vector<int> RowsOuterFirstBytes(const Picture& picture, int width, int height) {
  const int W = picture.width, H = picture.height;
  const auto* bytes = reinterpret_cast<const unsigned char*>(picture.words.data());
  const double sx = double(W) / width, sy = double(H) / height;
  std::vector<int> result;
  for (int i = 0; i < height; ++i) {
    for (int j = 0; j < width; ++j) {
      const double x0 = j * sx, x1 = (j + 1) * sx, y0 = i * sy, y1 = (i + 1) * sy;
      double sum = 0, total = 0;
      for (int m = std::max(0, int(std::floor(y0))); m < std::min(H, int(std::ceil(y1))); ++m) {
        for (int l = std::max(0, int(std::floor(x0))); l < std::min(W, int(std::ceil(x1))); ++l) {
          const double a = (std::min<double>(l + 1, x1) - std::max<double>(l, x0)) *
                           (std::min<double>(m + 1, y1) - std::max<double>(m, y0));
          sum += a * bytes[(std::size_t(H - m - 1) * W + l) * 4];
          total += a;
        }
      }
      result.push_back(int(sum / total + 0.49));
    }
  }
  return result;
}

TEST(AreaResampleTest, MeansAtTheRoundingStepFollowTheLiteralOrderOfAdditions) {
  // Pictures of two neighbouring values n and n + 1 in which some target pixel's exact mean is n + 0.51,
  // so that rounding error decides the byte: summing rows outer, taking the total as (sum of fx) * (sum
  // of fy), adding up each column first, or multiplying fx * (fy * S) each gives another byte somewhere.
  // (Found by searching seeds; random pictures hit such a mean about once in 85000 pixels.)
  struct Case {
    unsigned seed;
    int source_width, source_height, width, height, n;
  };
  const Case cases[] = {
      {23915, 24, 25, 21, 23, 240}, {28059, 4, 25, 17, 17, 139},   {49522, 20, 25, 11, 18, 209},
      {242606, 20, 10, 21, 14, 22}, {344426, 25, 12, 22, 19, 253}, {165172, 25, 24, 12, 14, 103},
  };
  for (const Case& c : cases) {
    std::mt19937 bits(c.seed);
    Picture picture{c.source_width, c.source_height, Words(std::size_t(c.source_width) * c.source_height)};
    for (std::uint32_t& word : picture.words) word = (c.n + (bits() & 1)) * 0x01010101u;
    const Words literal = LiteralResample(picture.words, c.source_width, c.source_height, c.width, c.height);
    std::vector<int> literal_first_bytes;
    for (std::uint32_t word : literal) literal_first_bytes.push_back(int(word & 0xFF));
    ASSERT_NE(RowsOuterFirstBytes(picture, c.width, c.height), literal_first_bytes)
        << "seed " << c.seed << " no longer puts a mean at the rounding step";
    ExpectEveryKernelMatchesTheLiteralLoop(picture, c.width, c.height);
  }
}

TEST(AreaResampleTest, WorkedExamples) {
  // The top-left 2x2 block of a 4x4 picture holds 10, 11, 10, 11: a mean of 10.5 gives 10.
  const Picture block = PictureOf(4, 4,
                                  {10, 11, 50, 50,    //
                                   10, 11, 50, 50,    //
                                   90, 90, 200, 200,  //
                                   90, 90, 200, 200});
  EXPECT_EQ(Resampled(block, 2, 2), PictureOf(2, 2, {10, 50, 90, 200}).words);

  // 0, 100, 200 into two: (0 + 100 / 2) / 1.5 = 33.3 and (100 / 2 + 200) / 1.5 = 166.7.
  EXPECT_EQ(Resampled(PictureOf(3, 1, {0, 100, 200}), 2, 1), Words({33, 167}));

  // A mean of n + 0.51 gives n + 1: 51 elevens and 49 tens, in each byte.
  Words hundred(100, 0x0A0A0A0A);
  for (int x = 0; x < 51; ++x) hundred[x * 97 % 100] = 0x0B0B0B0B;
  EXPECT_EQ(Resampled(PictureOf(100, 1, hundred), 1, 1), Words({0x0B0B0B0B}));
}

TEST(AreaResampleTest, AUniformPictureStaysUniformAtAnySize) {
  std::mt19937 random(3);
  std::uniform_int_distribution<int> size(1, 60);
  for (std::uint32_t colour : {0x00000000u, 0xFFFFFFFFu, 0x00FF8001u, 0x7F7F7F7Fu, 0x12345678u}) {
    for (int n = 0; n < 8; ++n) {
      const int width = size(random), height = size(random);
      const Picture picture{width, height, Words(std::size_t(width) * height, colour)};
      const int target_width = size(random), target_height = size(random);
      EXPECT_EQ(Resampled(picture, target_width, target_height),
                Words(std::size_t(target_width) * target_height, colour))
          << std::hex << colour << std::dec << ", " << width << "x" << height << " -> " << target_width << "x"
          << target_height;
    }
  }
}

TEST(AreaResampleTest, TheFourthByteIsAveragedLikeTheOthers) {
  std::mt19937 random(5);
  Picture opaque = RandomPicture(33, 21, random);
  for (std::uint32_t& word : opaque.words) word &= 0x00FFFFFF;
  for (std::uint32_t word : Resampled(opaque, 10, 9)) EXPECT_EQ(word >> 24, 0u);

  EXPECT_EQ(Resampled(PictureOf(2, 1, {0x00000000, 0xFE000000}), 1, 1), Words({0x7F000000}));
}

TEST(AreaResampleTest, TheFourthByteNeverReachesTheOtherThree) {
  std::mt19937 random(6);
  Picture picture = RandomPicture(57, 43, random);
  Picture other = picture;
  for (std::uint32_t& word : other.words) word = (word & 0x00FFFFFF) | (random() & 0xFF000000);
  Words expected = Resampled(picture, 19, 14), got = Resampled(other, 19, 14);
  for (std::size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i] & 0x00FFFFFF, expected[i] & 0x00FFFFFF) << i;
}

TEST(AreaResampleTest, RowsInTwoRunsGiveTheBytesOfOneRun) {
  // A ring of rows wraps, so a footprint's rows may come in two runs; every split, every kernel.
  std::mt19937 random(8);
  const Picture picture = RandomPicture(45, 40, random);  // bottom-up
  for (ResampleKernel kernel : AvailableResampleKernels()) {
    const AreaResampler resampler(45, 40, 13, 4, kernel);
    Words whole(13 * 4);
    resampler.ResampleWhole(picture.words.data(), whole.data(), 1);
    for (int i = 0; i < 4; ++i) {
      const int rows = resampler.EndRow(i) - resampler.FirstRow(i);
      // The footprint's rows top first, copied apart so that each run sits somewhere else.
      Words top_down;
      for (int m = resampler.FirstRow(i); m < resampler.EndRow(i); ++m) {
        const std::uint32_t* row = picture.words.data() + std::size_t(39 - m) * 45;
        top_down.insert(top_down.end(), row, row + 45);
      }
      for (int split = 0; split <= rows; ++split) {
        const Words first(top_down.begin(), top_down.begin() + split * 45);
        const Words second(top_down.begin() + split * 45, top_down.end());
        AreaResampler::SourceRows source;
        source.run[0] = first.data();
        source.rows[0] = split;
        source.run[1] = second.data();
        source.rows[1] = rows - split;
        source.step = 45;
        Words row(13);
        resampler.ResampleRow(i, source, row.data());
        ASSERT_EQ(row, Words(whole.begin() + (3 - i) * 13, whole.begin() + (4 - i) * 13))
            << "row " << i << ", split " << split << ", kernel " << int(kernel);
      }
    }
  }
}

TEST(AreaResampleTest, ThreadCountDoesNotChangeTheBytes) {
  std::mt19937 random(11);
  const Picture picture = RandomPicture(301, 203, random);
  const Words expected = LiteralResample(picture.words, 301, 203, 77, 53);
  for (int threads : {1, 2, 3, 7, 0}) {
    EXPECT_EQ(FastResample(picture, 77, 53, threads, ResampleKernel::kFastest), expected) << threads;
  }
  // More threads than target rows.
  EXPECT_EQ(FastResample(picture, 50, 2, 7, ResampleKernel::kFastest),
            LiteralResample(picture.words, 301, 203, 50, 2));
}

TEST(AreaResampleTest, EveryKernelWritesWhatThePortableOneWrites) {
  std::mt19937 random(13);
  const Picture picture = RandomPicture(257, 131, random);
  for (const auto& [width, height] : {std::pair{40, 21}, {255, 130}, {300, 140}, {3, 500}}) {
    const Words portable = FastResample(picture, width, height, 1, ResampleKernel::kPortable);
    for (ResampleKernel kernel : AvailableResampleKernels()) {
      EXPECT_EQ(FastResample(picture, width, height, 1, kernel), portable)
          << "kernel " << int(kernel) << " at " << width << "x" << height;
    }
  }
}

TEST(AreaResampleTest, ZeroTargetSizeLeavesTheRasterWithoutPixels) {
  std::mt19937 random(17);
  for (const auto& [width, height] : {std::pair{0, 5}, {5, 0}, {0, 0}}) {
    RasterImage raster = RasterOf(RandomPicture(6, 4, random));
    raster.Resample(width, height);
    EXPECT_EQ(raster.width(), width);
    EXPECT_EQ(raster.height(), height);
    EXPECT_FALSE(raster.has_pixels());
    EXPECT_EQ(raster.header().biSizeImage, 0u);
  }
}

TEST(AreaResampleTest, NothingHappensForTheSameSizeANegativeSizeOrNoPixels) {
  std::mt19937 random(19);
  const Picture picture = RandomPicture(6, 4, random);
  for (const auto& [width, height] : {std::pair{6, 4}, {-1, 4}, {6, -2}, {-3, -3}}) {
    RasterImage raster = RasterOf(picture);
    raster.Resample(width, height);
    EXPECT_EQ(raster.width(), 6);
    EXPECT_EQ(raster.height(), 4);
    EXPECT_EQ(WordsOf(raster), picture.words) << width << "x" << height;
  }

  RasterImage empty;
  empty.Resample(3, 3);
  EXPECT_EQ(empty.width(), 0);
  EXPECT_FALSE(empty.has_pixels());

  RasterImage sized_but_empty;
  sized_but_empty.SetSize(0, 4);
  sized_but_empty.Resample(3, 3);
  EXPECT_EQ(sized_but_empty.width(), 0);
  EXPECT_EQ(sized_but_empty.height(), 4);
  EXPECT_FALSE(sized_but_empty.has_pixels());
}

TEST(AreaResampleTest, AFailedAllocationKeepsTheOldSizeAndPixels) {
  std::mt19937 random(23);
  const Picture picture = RandomPicture(8, 8, random);
  const BitmapInfoHeader before = RasterOf(picture).header();
  {
    RasterImage raster = RasterOf(picture);
    platform::ScopedAllocationLimit limit(10 * 10 * 4 - 1);
    raster.Resample(10, 10);
    EXPECT_EQ(std::memcmp(&raster.header(), &before, sizeof before), 0);
    EXPECT_EQ(WordsOf(raster), picture.words);
  }
  {
    // Beyond the largest picture the program handles: refused without allocating.
    RasterImage raster = RasterOf(picture);
    raster.Resample(1 << 15, 1 << 15);
    EXPECT_EQ(std::memcmp(&raster.header(), &before, sizeof before), 0);
    EXPECT_EQ(WordsOf(raster), picture.words);
  }
}

}  // namespace
}  // namespace imaging
