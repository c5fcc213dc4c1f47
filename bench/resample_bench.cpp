// How fast the area resampler shrinks a photo-sized picture, against the literal loop it must match.
//
//   cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release && cmake --build build-bench -j2
//   build-bench/bench/resample_bench --benchmark_report_aggregates_only=true
//   build-bench/bench/resample_bench --write_ppm=picture.ppm   # the 24 MP picture, for a decode timing
//
// bench/decode_compare.sh times a bare djpeg decode of that picture as a quality-90 JPEG.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/photo_like.h"
#include "imaging/area_resample.h"
#include "tests/support/literal_resample.h"

namespace {

using imaging::AreaResampler;
using imaging::ResampleKernel;

using bench::PhotoLike;
using bench::Shape;

// 24, 12 and 48 megapixels, shrunk to about 960 pixels across as the batch does.
constexpr Shape kShapes[] = {{6000, 4000, 960, 640}, {4000, 3000, 960, 720}, {8000, 6000, 960, 720}};

// One picture at a time: the 48 MP one alone is 192 MB.
const std::vector<std::uint32_t>& Picture(const Shape& shape) {
  static std::vector<std::uint32_t> words;
  static int width = 0, height = 0;
  if (width != shape.width || height != shape.height) {
    words = PhotoLike(shape.width, shape.height);
    width = shape.width;
    height = shape.height;
  }
  return words;
}

void SetLabel(benchmark::State& state, const Shape& shape, const std::string& how) {
  state.SetLabel(std::to_string(shape.width) + "x" + std::to_string(shape.height) + " -> " +
                 std::to_string(shape.target_width) + "x" + std::to_string(shape.target_height) + ", " + how);
}

void BM_Literal(benchmark::State& state) {
  const Shape& shape = kShapes[state.range(0)];
  const std::vector<std::uint32_t>& source = Picture(shape);
  for (auto _ : state) {
    benchmark::DoNotOptimize(testing_support::LiteralResample(source, shape.width, shape.height,
                                                              shape.target_width, shape.target_height));
  }
  SetLabel(state, shape, "literal loop");
}

// range(1): threads (0 = one per core); range(2): the kernel.
void BM_Fast(benchmark::State& state) {
  const Shape& shape = kShapes[state.range(0)];
  const std::vector<std::uint32_t>& source = Picture(shape);
  const int threads = static_cast<int>(state.range(1));
  const auto kernel = static_cast<ResampleKernel>(state.range(2));
  std::vector<std::uint32_t> target(std::size_t(shape.target_width) * shape.target_height);
  for (auto _ : state) {
    const AreaResampler resampler(shape.width, shape.height, shape.target_width, shape.target_height, kernel);
    resampler.ResampleWhole(source.data(), target.data(), threads);
    benchmark::ClobberMemory();
  }
  const char* names[] = {"portable", "SSE2", "AVX2", "fastest"};
  SetLabel(state, shape,
           std::string(names[state.range(2)]) + ", " +
               (threads == 0 ? "all threads" : std::to_string(threads) + " thread(s)"));
}

constexpr int kFastest = static_cast<int>(ResampleKernel::kFastest);

// On a shared machine the quickest of several runs is the steadiest figure; it is reported as "_min".
double Quickest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

BENCHMARK(BM_Literal)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ComputeStatistics("min", Quickest);
// Every kernel on one thread at 24 MP, then the fastest kernel on one thread and on all at each size.
BENCHMARK(BM_Fast)
    ->Args({0, 1, static_cast<int>(ResampleKernel::kPortable)})
    ->Args({0, 1, static_cast<int>(ResampleKernel::kSse2)})
    ->Args({0, 1, static_cast<int>(ResampleKernel::kAvx2)})
    ->Args({0, 0, kFastest})
    ->Args({1, 1, kFastest})
    ->Args({1, 0, kFastest})
    ->Args({2, 1, kFastest})
    ->Args({2, 0, kFastest})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ComputeStatistics("min", Quickest);

// The 24 MP picture as a binary PPM, top row first.
bool WritePpm(const char* path) {
  const Shape& shape = kShapes[0];
  const std::vector<std::uint32_t>& words = Picture(shape);
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", shape.width, shape.height);
  std::vector<unsigned char> line(std::size_t(shape.width) * 3);
  for (int y = 0; y < shape.height; ++y) {
    const std::uint32_t* row = &words[std::size_t(shape.height - 1 - y) * shape.width];
    for (int x = 0; x < shape.width; ++x) {
      line[x * 3] = static_cast<unsigned char>(row[x] >> 16);
      line[x * 3 + 1] = static_cast<unsigned char>(row[x] >> 8);
      line[x * 3 + 2] = static_cast<unsigned char>(row[x]);
    }
    std::fwrite(line.data(), 1, line.size(), file);
  }
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string flag = "--write_ppm=";
  if (argc == 2 && std::strncmp(argv[1], flag.c_str(), flag.size()) == 0) {
    return WritePpm(argv[1] + flag.size()) ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
