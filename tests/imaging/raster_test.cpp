// The raster and everything that moves its pixels: the area resampler against the literal loop, byte for
// byte (every kernel, one thread or several, the whole picture at once or streamed row by row from a JPEG
// file), the turns upright, and the per-file step without memory to turn a photo.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

#if defined(__GNUC__) && defined(__x86_64__)
#include <cpuid.h>
#endif

#include "batch/downsize_file.h"
#include "imaging/area_resample.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/orientation.h"
#include "imaging/raster_image.h"
#include "imaging/shrinking_reader.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/literal_resample.h"
#include "tests/support/result_printer.h"
#include "tests/support/temp_dir.h"

namespace imaging {
namespace {

using namespace testing_support;  // NOLINT(build/namespaces): the fixtures are this file's vocabulary
using Words = std::vector<std::uint32_t>;  // W x H words, bottom-up
using testing::ElementsAreArray;

Words Random(int width, int height, std::mt19937& random) {
  Words words(std::size_t(width) * height);
  for (std::uint32_t& word : words) word = static_cast<std::uint32_t>(random());
  return words;
}

struct Resize {
  const char* name;
  int width, height, target_width, target_height;
};

// Every kernel, with threads chosen by size, on one thread and on seven (often more than there are rows),
// gives the literal loop's bytes, which are returned.
Words ExpectAllMatchLiteral(const Words& source, int W, int H, int w, int h) {
  const Words expected = LiteralResample(source, W, H, w, h);
  for (ResampleKernel kernel : AvailableResampleKernels()) {
    for (int threads : {0, 1, 7}) {
      Words target(expected.size());
      AreaResampler(W, H, w, h, kernel).ResampleWhole(source.data(), target.data(), threads);
      EXPECT_THAT(target, ElementsAreArray(expected))
          << "as the literal loop: " << W << "x" << H << " -> " << w << "x" << h << ", kernel " << int(kernel)
          << ", threads " << threads;
    }
  }
  return expected;
}

TEST(AreaResampleTest, FastEqualsLiteralAndAUniformPictureStaysUniform) {
  // Sizes past the random ones below; each failure names its sizes and kernel.
  const Resize kCases[] = {
      {"down by uneven steps", 37, 29, 11, 7},
      {"down by whole steps", 64, 48, 10, 6},
      {"down across, up along", 31, 6, 8, 17},
      {"one column", 1, 30, 1, 7},
      {"one row", 30, 1, 7, 1},
      {"down by a hair", 97, 89, 96, 88},
      {"a wide photo's band to 960", 6000, 2, 960, 1},
      {"the last footprint ends a hair past the edge", 25, 7, 11, 25},
  };
  std::mt19937 random(7);
  for (const Resize& c : kCases) {
    SCOPED_TRACE(c.name);
    const int W = c.width, H = c.height;
    ExpectAllMatchLiteral(Random(W, H, random), W, H, c.target_width, c.target_height);
  }
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
  const struct {
    unsigned seed;  // picks n or n + 1 for each pixel
    int n, width, height, target_width, target_height;
  } kCases[] = {{23915, 240, 24, 25, 21, 23}, {28059, 139, 4, 25, 17, 17},   {49522, 209, 20, 25, 11, 18},
                {242606, 22, 20, 10, 21, 14}, {344426, 253, 25, 12, 22, 19}, {165172, 103, 25, 24, 12, 14}};
  for (const auto& c : kCases) {
    std::mt19937 bits(c.seed);
    Words words(std::size_t(c.width) * c.height);
    for (std::uint32_t& word : words) word = (c.n + (bits() & 1)) * 0x01010101u;
    ExpectAllMatchLiteral(words, c.width, c.height, c.target_width, c.target_height);
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
  const Resize kCases[] = {
      {"footprints of three or four rows", 300, 200, 97, 65},
      {"a short picture", 200, 7, 100, 3},
      {"footprints of far more rows than a read batch", 2, 3000, 1, 24},
      {"footprints of one or two rows", 64, 64, 64, 63},
  };
  for (const Resize& c : kCases) {
    WriteJpeg(dir / "in.jpg", JpegRecipe{c.width, c.height});
    PackedDib decoded = DecodeJpegFile(dir / "in.jpg");
    RasterImage whole;
    ASSERT_TRUE(whole.AdoptPacked(decoded));
    whole.Resample(c.target_width, c.target_height);
    const Words expected = TopDownWords(decoded = whole.ExportPacked());
    for (ResampleKernel kernel : AvailableResampleKernels()) {
      for (int batch : {1, 5, 64}) {
        for (bool read_ahead : {false, true}) {
          JpegReader reader;
          ASSERT_TRUE(reader.Start(dir / "in.jpg").ok());
          ShrinkingReader shrinking(reader);
          SCOPED_TRACE(std::string(c.name) + ", kernel " + std::to_string(int(kernel)) + ", batches of " +
                       std::to_string(batch) + (read_ahead ? " read ahead" : ""));
          ASSERT_TRUE(shrinking.Start(c.target_width, c.target_height, read_ahead, kernel, batch).ok());
          Words got(expected.size());
          for (int y = 0; y < c.target_height; ++y)
            ASSERT_TRUE(shrinking.NextRow(&got[std::size_t(y) * c.target_width]).ok());
          EXPECT_EQ(reader.rows_read(), c.height) << "every source row read";
          EXPECT_TRUE(reader.Finish().ok());
          for (std::uint32_t& word : got) word &= 0x00FFFFFF;
          EXPECT_THAT(got, ElementsAreArray(expected)) << "the whole picture resampled";
        }
      }
    }
  }
}

// A photo is scaled in a band of rows, never held whole: the ring holds one footprint (H / h rows,
// rounded up, and one more where it straddles) and the read batches in flight. With every allocation
// past that many rows' bytes failing the ring is still had; with room for a single row it is not.
TEST(ShrinkingReaderTest, HoldsAFootprintAndTheReadBatchesNotThePicture) {
  const Resize kCases[] = {
      {"a 24-megapixel photo to 960", 6000, 4000, 960, 640},
      {"the same photo upright", 4000, 6000, 640, 960},
      {"a strip 125 rows a target row", 2, 3000, 1, 24},
  };
  TempDir dir;
  for (const Resize& c : kCases) {
    WriteBytes(dir / "in.jpg", Reframed(MakeJpeg({}), c.width, c.height));
    const int footprint = (c.height + c.target_height - 1) / c.target_height + 1;
    const int band = footprint + ShrinkingReader::kReadBatch * ShrinkingReader::kBatchesAhead;
    for (bool read_ahead : {false, true}) {
      for (auto [rows, outcome] : {std::pair{band, Outcome::kDone}, {1, Outcome::kNoMemory}}) {
        SCOPED_TRACE(std::string(c.name) + (read_ahead ? ", read ahead" : "") + ", memory for " +
                     std::to_string(rows) + " of its " + std::to_string(c.height) + " rows");
        testing::internal::CaptureStderr();  // a read-ahead thread soon finds the data short
        {
          JpegReader reader;
          ASSERT_TRUE(reader.Start(dir / "in.jpg").ok());
          ShrinkingReader shrinking(reader);
          platform::ScopedAllocationLimit limit(std::size_t(rows) * c.width * 4);
          EXPECT_EQ(shrinking.Start(c.target_width, c.target_height, read_ahead).outcome, outcome);
        }
        testing::internal::GetCapturedStderr();
      }
    }
  }
}

Words WordsOf(RasterImage& raster) {
  PackedDib packed = raster.ExportPacked();
  return TopDownWords(packed);
}

RasterImage RasterOf(int width, int height, const Words& top_down) {
  PackedDib packed = MakePacked(width, height, [&](int x, int y) { return top_down[y * width + x]; });
  RasterImage raster;
  raster.AdoptPacked(packed);
  return raster;
}

TEST(OrientationTest, EachOrientationTurnsAsTheTagMeans) {
  // The stored picture "abc" over "def", how each orientation shows it upright, and the turn that undoes it.
  using O = Orientation;
  const struct {
    const char* name;
    Orientation orientation, undo;
    std::string upright;
  } kCases[] = {
      {"1 kUpright", O::kUpright, O::kUpright, "abc def"},
      {"2 kMirror", O::kMirror, O::kMirror, "cba fed"},
      {"3 kRotate180", O::kRotate180, O::kRotate180, "fed cba"},
      {"4 kFlip", O::kFlip, O::kFlip, "def abc"},
      {"5 kTranspose", O::kTranspose, O::kTranspose, "ad be cf"},
      {"6 kRotate90", O::kRotate90, O::kRotate270, "da eb fc"},
      {"7 kTransverse", O::kTransverse, O::kTransverse, "fc eb da"},
      {"8 kRotate270", O::kRotate270, O::kRotate90, "cf be ad"},
  };
  std::mt19937 random(7);
  for (const auto& [name, orientation, undo, upright] : kCases) {
    SCOPED_TRACE(name);
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
      EXPECT_TRUE(WordsOf(raster) == words && raster.width() == width) << width << " x " << height;
    }
    // Only the quarter turns need a new raster; without memory for it they fail, touching nothing.
    raster = RasterOf(3, 2, {'a', 'b', 'c', 'd', 'e', 'f'});
    platform::ScopedAllocationLimit no_memory(16);
    EXPECT_EQ(TurnUpright(raster, orientation), !SwapsEdges(orientation)) << "without memory";
  }
}

// The per-file step without memory for a photo that must be turned: the words the user sees, and nothing
// written, not even a temporary file. Without memory to scale an upright photo is the batch runner's test.
TEST(DownsizeFileTest, NoMemoryForATurnedPhotoWritesNothing) {
  TempDir dir;
  JpegRecipe recipe{200, 100};
  recipe.markers = {{JPEG_APP0 + 1, ExifOrientationSegment(6)}};
  WriteJpeg(dir / "in.jpg", recipe);
  std::filesystem::create_directory(dir / "out");
  // Room for the rows that scale it to 100 x 50 on one thread, not for the 100 x 50 picture to turn.
  platform::ScopedAllocationLimit limit(16 * 200 * 4);
  const Result result = batch::DownsizeFile(100, dir / "in.jpg", dir / "out" / "in.jpg", 1);
  EXPECT_EQ(result.outcome, Outcome::kNoMemory);
  EXPECT_EQ(result.reason, "not enough memory for the picture");
  EXPECT_EQ(TempDir::EntriesOf(dir / "out"), std::vector<std::string>{}) << "written to the folder";
}

}  // namespace
}  // namespace imaging
