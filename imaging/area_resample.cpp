// The area-averaging resampler. What every target byte is, to the last bit:
//
//   sx = W / w and sy = H / h in double. Target column j covers [x0, x1) = [j * sx, (j + 1) * sx) and
//   touches source columns l from max(0, floor(x0)) to min(W, ceil(x1)) - 1, each with the overlap
//   fx(l) = min(l + 1, x1) - max(l, x0); rows likewise with fy(m). For each byte k of the word:
//     sum = total = 0
//     for each column l (outer), for each row m (inner):  a = fx(l) * fy(m); sum += a * S; total += a
//     byte = total > 0 ? (int)(sum / total + 0.49) : 0
//   (0.49, not 0.5: a mean of n + 0.5 gives n and n + 0.51 gives n + 1.)
//
// Every product and sum rounds to double on its own: this file and the kernels are compiled with
// -ffp-contract=off and without -ffast-math, so no FMA and no reassociation. The speed comes from what
// leaves those sums alone: fx and fy are computed once per column and row (the product of the same two
// doubles is the same double), the four bytes of a word are summed in one pass in parallel lanes (each
// byte keeps its own order), several target pixels are summed side by side, and target rows are shared
// out to threads. Zero-weight padding terms add +0.0, which leaves a non-negative sum as it was. What it
// must not do: add up each column's rows first, or take the total as (sum of fx) * (sum of fy); both
// round differently, and the tests hold pictures where that changes a byte.
#include "imaging/area_resample.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <new>
#include <thread>
#include <utility>

#include "imaging/raster_image.h"

namespace imaging {
namespace {

using area_resample_internal::ColumnTaps;
using area_resample_internal::kLanes;
using area_resample_internal::RowKernel;
using area_resample_internal::RowTask;

// Below this many multiply-adds per thread, starting a thread costs more than it saves.
constexpr double kTermsPerThread = 1 << 18;

// The source pixels target index `d` covers along one axis, and how much of each.
struct Footprint {
  int first = 0;  // first source index
  int end = 0;    // one past the last
  double lo = 0;
  double hi = 0;

  Footprint(int d, double scale, int source_size) : lo(d * scale), hi((d + 1) * scale) {
    first = std::max(0, static_cast<int>(std::floor(lo)));
    end = std::min(source_size, static_cast<int>(std::ceil(hi)));
  }
  int count() const { return std::max(0, end - first); }
  double Overlap(int s) const { return std::min(s + 1.0, hi) - std::max(static_cast<double>(s), lo); }
};

// Per target row: the first source row, how many, and their weights from weight[start].
struct RowTable {
  std::vector<int> first, taps, start;
  std::vector<double> weight;
  double total_taps = 0;

  RowTable(int source_height, int target_height)
      : first(target_height), taps(target_height), start(target_height) {
    const double scale = static_cast<double>(source_height) / target_height;
    for (int i = 0; i < target_height; ++i) {
      const Footprint f(i, scale, source_height);
      first[i] = f.first;
      taps[i] = f.count();
      start[i] = static_cast<int>(weight.size());
      for (int m = f.first; m < f.end; ++m) weight.push_back(f.Overlap(m));
    }
    total_taps = static_cast<double>(weight.size());
  }
};

// The column tables in the grouped layout ColumnTaps describes.
struct ColumnTable {
  std::vector<int> taps, start;
  std::vector<std::int32_t> offset;
  std::vector<double> weight;
  double total_taps = 0;
  ColumnTaps view;

  ColumnTable(int source_width, int target_width) {
    const double scale = static_cast<double>(source_width) / target_width;
    const int groups = (target_width + kLanes - 1) / kLanes;
    taps.resize(groups);
    start.resize(groups);
    for (int g = 0; g < groups; ++g) {
      const int lanes = std::min(kLanes, target_width - g * kLanes);
      int group_taps = 0;
      for (int p = 0; p < lanes; ++p) {
        const Footprint f(g * kLanes + p, scale, source_width);
        group_taps = std::max(group_taps, f.count());
        total_taps += f.count();
      }
      taps[g] = group_taps;
      start[g] = static_cast<int>(offset.size() / kLanes);
      offset.resize(offset.size() + std::size_t(group_taps) * kLanes, 0);
      weight.resize(offset.size(), 0.0);
      for (int p = 0; p < lanes; ++p) {
        const Footprint f(g * kLanes + p, scale, source_width);
        for (int l = f.first; l < f.end; ++l) {
          const std::size_t entry = std::size_t(start[g] + l - f.first) * kLanes + p;
          offset[entry] = l * 4;
          weight[entry] = f.Overlap(l);
        }
      }
    }
    view = ColumnTaps{target_width, groups, taps.data(), start.data(), offset.data(), weight.data()};
  }
};

int HardwareThreads() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

RowKernel KernelFor(ResampleKernel kernel) {
  if (kernel == ResampleKernel::kFastest) kernel = AvailableResampleKernels().back();
  RowKernel chosen = nullptr;
  if (kernel == ResampleKernel::kAvx2) chosen = area_resample_internal::Avx2RowKernel();
  if (kernel == ResampleKernel::kSse2) chosen = area_resample_internal::Sse2RowKernel();
  return chosen != nullptr ? chosen : area_resample_internal::ResampleRowPortable;
}

}  // namespace

namespace area_resample_internal {

// The plain kernel: the four pixels of a group side by side, each with four sums and a total, so that
// the running sums do not wait on each other.
void ResampleRowPortable(const ColumnTaps& columns, const RowTask& row) {
  for (int g = 0; g < columns.groups; ++g) {
    double sum[kLanes][4] = {}, total[kLanes] = {};
    const std::size_t first = std::size_t(columns.start[g]) * kLanes;
    for (int t = 0; t < columns.taps[g]; ++t) {
      const double* fx = columns.weight + first + std::size_t(t) * kLanes;
      const std::int32_t* offset = columns.offset + first + std::size_t(t) * kLanes;
      const unsigned char* line = row.first_row;
      for (int r = 0; r < row.taps; ++r, line += row.row_step) {
        const double fy = row.weight[r];
        for (int p = 0; p < kLanes; ++p) {
          const double a = fx[p] * fy;
          const unsigned char* source = line + offset[p];
          for (int k = 0; k < 4; ++k) sum[p][k] += a * source[k];
          total[p] += a;
        }
      }
    }
    for (int p = 0; p < kLanes && g * kLanes + p < columns.width; ++p) {
      unsigned char* target = row.target + (g * kLanes + p) * 4;
      for (int k = 0; k < 4; ++k) {
        target[k] =
            static_cast<unsigned char>(total[p] > 0 ? static_cast<int>(sum[p][k] / total[p] + 0.49) : 0);
      }
    }
  }
}

}  // namespace area_resample_internal

std::vector<ResampleKernel> AvailableResampleKernels() {
  std::vector<ResampleKernel> kernels{ResampleKernel::kPortable};
  if (area_resample_internal::Sse2RowKernel() != nullptr) kernels.push_back(ResampleKernel::kSse2);
  if (area_resample_internal::Avx2RowKernel() != nullptr) kernels.push_back(ResampleKernel::kAvx2);
  return kernels;
}

bool AreaResample(const std::uint32_t* source, int source_width, int source_height, std::uint32_t* target,
                  int target_width, int target_height, int threads, ResampleKernel kernel) {
  const RowKernel run_row = KernelFor(kernel);
  try {
    const ColumnTable columns(source_width, target_width);
    const RowTable rows(source_height, target_height);
    if (threads <= 0) {
      const double terms = columns.total_taps * rows.total_taps;
      threads = static_cast<int>(std::clamp(terms / kTermsPerThread, 1.0, double(HardwareThreads())));
    }
    threads = std::min(threads, target_height);

    const auto* source_bytes = reinterpret_cast<const unsigned char*>(source);
    auto* target_bytes = reinterpret_cast<unsigned char*>(target);
    const std::ptrdiff_t source_row_bytes = std::ptrdiff_t{source_width} * 4;
    const std::ptrdiff_t target_row_bytes = std::ptrdiff_t{target_width} * 4;
    // Target rows are handed out one at a time; each is computed whole by one thread, so the bytes do
    // not depend on who computes them.
    std::atomic<int> next_row{0};
    auto work = [&] {
      for (int i; (i = next_row.fetch_add(1, std::memory_order_relaxed)) < target_height;) {
        RowTask task;
        task.first_row = source_bytes + (source_height - 1 - rows.first[i]) * source_row_bytes;
        task.row_step = -source_row_bytes;
        task.taps = rows.taps[i];
        task.weight = rows.weight.data() + rows.start[i];
        task.target = target_bytes + (target_height - 1 - i) * target_row_bytes;
        run_row(columns.view, task);
      }
    };
    std::vector<std::thread> helpers;
    try {
      helpers.reserve(threads - 1);
      for (int n = 1; n < threads; ++n) helpers.emplace_back(work);
    } catch (const std::exception&) {
      // No more threads to be had: the ones running share all the rows.
    }
    work();
    for (std::thread& helper : helpers) helper.join();
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void RasterImage::Resample(int new_width, int new_height, int threads) {
  if (!has_pixels() || new_width < 0 || new_height < 0) return;
  if (new_width == width() && new_height == height()) return;
  platform::MemoryBlock old_block = std::move(pixel_block_);
  const BitmapInfoHeader old_header = header_;
  SetSize(new_width, new_height);
  if (new_width == 0 || new_height == 0) return;  // no pixels at that size; the old block goes
  bool done = false;
  if (has_pixels()) {
    const std::uint32_t* source = PixelsOf(old_block.Lock());
    std::uint32_t* target = PixelsOf(pixel_block_.Lock());
    done =
        AreaResample(source, old_header.biWidth, old_header.biHeight, target, new_width, new_height, threads);
    pixel_block_.Unlock();
    old_block.Unlock();
  }
  if (!done) {
    pixel_block_ = std::move(old_block);
    header_ = old_header;
  }
}

}  // namespace imaging
