// The raster and everything that moves its pixels: the area resampler against the literal loop, byte for
// byte (every kernel, one thread or several, the whole picture at once or streamed row by row from a JPEG
// file), the hand-over blocks, and the turns upright.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <string>
#include <tuple>

#if defined(__GNUC__) && defined(__x86_64__)
#include <cpuid.h>
#endif

#include "imaging/area_resample.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/orientation.h"
#include "imaging/raster_image.h"
#include "imaging/shrinking_reader.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/literal_resample.h"
#include "tests/support/temp_dir.h"

namespace imaging {
namespace {

using namespace testing_support;  // NOLINT(build/namespaces): the fixtures are this file's vocabulary
using Words = std::vector<std::uint32_t>;  // W x H words, bottom-up

Words Random(int width, int height, std::mt19937& random) {
  Words words(std::size_t(width) * height);
  for (std::uint32_t& word : words) word = static_cast<std::uint32_t>(random());
  return words;
}

// Every kernel, with threads chosen by size, on one thread and on seven (often more than there are rows),
// gives the literal loop's bytes, which are returned.
Words ExpectAllMatchLiteral(const Words& source, int W, int H, int w, int h) {
  const Words expected = LiteralResample(source, W, H, w, h);
  for (ResampleKernel kernel : AvailableResampleKernels()) {
    for (int threads : {0, 1, 7}) {
      Words target(expected.size());
      AreaResampler(W, H, w, h, kernel).ResampleWhole(source.data(), target.data(), threads);
      EXPECT_EQ(target, expected) << W << "x" << H << " -> " << w << "x" << h << ", kernel " << int(kernel);
    }
  }
  return expected;
}

TEST(AreaResampleTest, FastEqualsLiteralAndAUniformPictureStaysUniform) {
  // clang-format off
  const int cases[][4] = {{37, 29, 11, 7}, {64, 48, 10, 6}, {7, 5, 19, 23}, {31, 6, 8, 17}, {1, 1, 5, 3},
                          {23, 17, 1, 1}, {1, 30, 1, 7}, {30, 1, 7, 1}, {3, 100, 2, 3}, {97, 89, 96, 88},
                          {96, 88, 97, 89}, {6000, 2, 960, 1}, {25, 7, 11, 25}};  // the last ends a hair past
  // clang-format on
  std::mt19937 random(7);
  for (const auto& c : cases) ExpectAllMatchLiteral(Random(c[0], c[1], random), c[0], c[1], c[2], c[3]);
  std::uniform_int_distribution<int> size(1, 24);
  for (std::uint32_t n = 0; n < 150; ++n) {
    const int W = size(random), H = size(random), w = size(random), h = size(random);
    ExpectAllMatchLiteral(Random(W, H, random), W, H, w, h);
    const std::uint32_t colour = n * 0x01D4C3B7u;
    EXPECT_EQ(ExpectAllMatchLiteral(Words(std::size_t(W) * H, colour), W, H, w, h),
              Words(std::size_t(w) * h, colour));
  }
}

TEST(AreaResampleTest, MeansAtTheRoundingStepFollowTheLiteralLoop) {
  // 10.5 gives 10 and 10.51 gives 11, in every byte, the fourth included.
  EXPECT_EQ(ExpectAllMatchLiteral({0x0A0A0A0A, 0x0B0B0B0B}, 2, 1, 1, 1), Words{0x0A0A0A0A});
  Words hundred(100, 0x0A0A0A0A);
  for (int x = 0; x < 51; ++x) hundred[x * 97 % 100] = 0x0B0B0B0B;
  EXPECT_EQ(ExpectAllMatchLiteral(hundred, 100, 1, 1, 1), Words{0x0B0B0B0B});
  EXPECT_EQ(ExpectAllMatchLiteral({0, 100, 200}, 3, 1, 2, 1), (Words{33, 167}));
  // Two neighbouring values n and n + 1 where some exact mean is n + 0.51, so that the order of the
  // additions decides the byte: rows outer, a total of (sum fx) * (sum fy), or each column summed first
  // each give another byte somewhere. (Seeds found by search.)
  const int cases[][6] = {{23915, 24, 25, 21, 23, 240},  {28059, 4, 25, 17, 17, 139},
                          {49522, 20, 25, 11, 18, 209},  {242606, 20, 10, 21, 14, 22},
                          {344426, 25, 12, 22, 19, 253}, {165172, 25, 24, 12, 14, 103}};
  for (const auto& c : cases) {
    std::mt19937 bits(c[0]);
    Words words(std::size_t(c[1]) * c[2]);
    for (std::uint32_t& word : words) word = (c[5] + (bits() & 1)) * 0x01010101u;
    ExpectAllMatchLiteral(words, c[1], c[2], c[3], c[4]);
  }
}

TEST(AreaResampleTest, SizesWithoutPixelsAndFailedAllocationsKeepTheRasterWhole) {
  // A zero dimension leaves no pixels; the same size, a negative one, no memory for the target or a size
  // beyond the limit change nothing.
  for (const auto& c :
       {std::array{0, 5, 0}, {5, 0, 0}, {8, 8, 8}, {-1, 4, 8}, {10, 10, 8}, {1 << 15, 1 << 15, 8}}) {
    RasterImage raster;
    raster.CreateWhite(8, 8);
    {
      platform::ScopedAllocationLimit limit(c[0] == 10 ? 10 * 10 * 4 + 39 : std::size_t{1} << 30);
      raster.Resample(c[0], c[1]);
    }
    PackedDib packed = raster.ExportPacked();
    EXPECT_EQ(raster.width() * 10 + raster.height(), c[2] == 0 ? c[0] * 10 + c[1] : 88);
    EXPECT_EQ(packed.empty() ? Words() : TopDownWords(packed), Words(c[2] * c[2], 0xFFFFFFFF)) << c[0];
  }
}

#if defined(__GNUC__) && defined(__x86_64__)
// The processor's own word on AVX2 (CPUID leaf 7) and the system's on saving its registers (XCR0), asked
// without the compiler's processor check that picks the kernel: a build whose check never ran, as a
// static Windows build's might, would quietly run a slower kernel and fail here.
bool ProcessorRunsAvx2() {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE)) return false;
  unsigned xcr0, high;
  __asm__("xgetbv" : "=a"(xcr0), "=d"(high) : "c"(0));
  return (xcr0 & 6) == 6 && __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_AVX2);
}

TEST(AreaResampleTest, TheFastestKernelTheProcessorRunsIsOffered) {
  const ResampleKernel fastest = ProcessorRunsAvx2() ? ResampleKernel::kAvx2 : ResampleKernel::kSse2;
  EXPECT_EQ(int(AvailableResampleKernels().back()), int(fastest)) << "1: SSE2, 2: AVX2";
}
#endif

TEST(ShrinkingReaderTest, StreamedRowsEqualTheWholePictureResampled) {
  TempDir dir;
  // Footprints of one row, of a few, and of far more rows than a read batch.
  for (const auto& c : {std::array{300, 200, 97, 65}, {200, 7, 100, 3}, {2, 3000, 1, 24}, {64, 64, 64, 63}}) {
    JpegRecipe recipe;
    recipe.width = c[0], recipe.height = c[1];
    WriteJpeg(dir / "in.jpg", recipe);
    PackedDib decoded = DecodeJpegFile(dir / "in.jpg");
    RasterImage whole;
    ASSERT_TRUE(whole.AdoptPacked(decoded));
    whole.Resample(c[2], c[3]);
    const Words expected = TopDownWords(decoded = whole.ExportPacked());
    for (ResampleKernel kernel : AvailableResampleKernels()) {
      for (int batch : {1, 5, 64}) {
        for (bool read_ahead : {false, true}) {
          JpegReader reader;
          ASSERT_TRUE(reader.Start(dir / "in.jpg").ok());
          ShrinkingReader shrinking(reader);
          ASSERT_TRUE(shrinking.Start(c[2], c[3], read_ahead, kernel, batch).ok());
          Words got(expected.size());
          for (int y = 0; y < c[3]; ++y) ASSERT_TRUE(shrinking.NextRow(&got[std::size_t(y) * c[2]]).ok());
          EXPECT_TRUE(reader.rows_read() == c[1] && reader.Finish().ok());
          for (std::uint32_t& word : got) word &= 0x00FFFFFF;
          EXPECT_EQ(got, expected) << c[0] << " " << batch << " " << int(kernel) << " " << read_ahead;
        }
      }
    }
  }
}

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
  PackedDib handed = raster.ReleasePacked();
  EXPECT_EQ(std::memcmp(handed.Lock(), packed.Lock(), packed.size()), 0) << "a whole PackedDib, header first";
  handed.Unlock(), packed.Unlock();
  EXPECT_TRUE(!raster.has_pixels() && raster.width() == 0);
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
  // clang-format off
  const std::tuple<Orientation, std::string, Orientation> cases[] = {
      {Orientation::kUpright, "abc def", Orientation::kUpright}, {Orientation::kMirror, "cba fed", Orientation::kMirror},
      {Orientation::kRotate180, "fed cba", Orientation::kRotate180}, {Orientation::kFlip, "def abc", Orientation::kFlip},
      {Orientation::kTranspose, "ad be cf", Orientation::kTranspose},
      {Orientation::kRotate90, "da eb fc", Orientation::kRotate270},
      {Orientation::kTransverse, "fc eb da", Orientation::kTransverse},
      {Orientation::kRotate270, "cf be ad", Orientation::kRotate90}};
  // clang-format on
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
      const Words words = Random(width, height, random);
      raster = RasterOf(width, height, words);
      ASSERT_TRUE(TurnUpright(raster, orientation) && TurnUpright(raster, undo));
      EXPECT_TRUE(WordsOf(raster) == words && raster.width() == width) << upright << " " << width;
    }
    // Only the quarter turns need a new raster; without memory they leave the raster as it was.
    raster = RasterOf(3, 2, {'a', 'b', 'c', 'd', 'e', 'f'});
    const bool turned = [&, o = orientation] {
      platform::ScopedAllocationLimit no_memory(16);
      return TurnUpright(raster, o);
    }();
    EXPECT_EQ(turned, !SwapsEdges(orientation));
    EXPECT_EQ(WordsOf(raster)[0], turned ? upright[0] : 'a') << upright;
  }
}

}  // namespace
}  // namespace imaging
