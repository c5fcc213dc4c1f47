// How long the whole per-file step takes on photo-sized JPEG files, against a decode of the same file
// alone. The benchmark makes its own quality-90 photos of 12, 24 and 48 megapixels in a temporary folder.
//
//   cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release && cmake --build build-bench -j2
//   build-bench/bench/downsize_bench --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "batch/downsize_file.h"
#include "bench/photo_like.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/jpeg_reader.h"
#include "imaging/raster_image.h"

namespace {

constexpr bench::Shape kShapes[] = {{4000, 3000, 960, 720}, {6000, 4000, 960, 640}, {8000, 6000, 960, 720}};

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / "pixmeld-downsize-bench";
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

// The photo of `shape`, written once per run.
std::filesystem::path Photo(const bench::Shape& shape) {
  static std::map<int, std::filesystem::path> made;
  const auto path =
      Folder() / ("photo-" + std::to_string(shape.width) + "x" + std::to_string(shape.height) + ".jpg");
  if (made.count(shape.width) == 0) {
    const std::vector<std::uint32_t> words = bench::PhotoLike(shape.width, shape.height);
    imaging::RasterImage raster;
    raster.SetSize(shape.width, shape.height);
    raster.Lock();
    std::memcpy(raster.pixels(), words.data(), words.size() * 4);
    raster.Unlock();
    imaging::PackedDib picture = raster.ReleasePacked();
    imaging::EncodeJpegFile(path, picture, 9);
    made[shape.width] = path;
  }
  return path;
}

double Quickest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

void SetLabel(benchmark::State& state, const bench::Shape& shape, const std::string& what) {
  state.SetLabel(std::to_string(shape.width) + "x" + std::to_string(shape.height) + ", " + what);
}

void BM_DecodeOnly(benchmark::State& state) {
  const bench::Shape& shape = kShapes[state.range(0)];
  const auto photo = Photo(shape);
  for (auto _ : state) benchmark::DoNotOptimize(imaging::DecodeJpegFile(photo));
  SetLabel(state, shape, "DecodeJpegFile");
}

// The step's own decode alone: rows read a batch at a time into a band, nothing scaled or written. What
// the whole step takes beyond this is the most a second thread could take off a single photo.
void BM_ReadRowsOnly(benchmark::State& state) {
  const bench::Shape& shape = kShapes[state.range(0)];
  const auto photo = Photo(shape);
  std::vector<std::uint32_t> band(std::size_t(shape.width) * 8);
  for (auto _ : state) {
    imaging::JpegReader reader;
    reader.Start(photo);
    std::uint32_t* rows[8];
    for (int r = 0; r < 8; ++r) rows[r] = band.data() + std::size_t(r) * shape.width;
    while (reader.rows_read() < reader.height()) {
      reader.ReadRows(rows, std::min(8, reader.height() - reader.rows_read()));
    }
    reader.Finish();
  }
  SetLabel(state, shape, "JpegReader rows only");
}

void BM_WholeStep(benchmark::State& state) {
  const bench::Shape& shape = kShapes[state.range(0)];
  const auto photo = Photo(shape);
  const auto output = Folder() / "out.jpg";
  const int threads = static_cast<int>(state.range(1));
  for (auto _ : state) batch::DownsizeFile(960, photo, output, threads);
  SetLabel(state, shape, "DownsizeFile to 960, " + std::to_string(threads) + " thread(s)");
}

BENCHMARK(BM_DecodeOnly)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ComputeStatistics("min", Quickest);
BENCHMARK(BM_ReadRowsOnly)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ComputeStatistics("min", Quickest);
BENCHMARK(BM_WholeStep)
    ->ArgsProduct({{0, 1, 2}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ComputeStatistics("min", Quickest);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());
  return 0;
}
