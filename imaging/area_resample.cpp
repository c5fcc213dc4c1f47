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
#include <thread>

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
      const double* fy = row.weight;
      for (const RowTask::Run& run : row.runs) {
        const unsigned char* line = run.first;
        for (int r = 0; r < run.rows; ++r, line += row.row_step, ++fy) {
          for (int p = 0; p < kLanes; ++p) {
            const double a = fx[p] * *fy;
            const unsigned char* source = line + offset[p];
            for (int k = 0; k < 4; ++k) sum[p][k] += a * source[k];
            total[p] += a;
          }
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

AreaResampler::AreaResampler(int source_width, int source_height, int target_width, int target_height,
                             ResampleKernel kernel)
    : source_width_(source_width), source_height_(source_height), kernel_(KernelFor(kernel)) {
  // Columns, grouped kLanes target columns at a time.
  const double x_scale = static_cast<double>(source_width) / target_width;
  const int groups = (target_width + kLanes - 1) / kLanes;
  column_taps_.resize(groups);
  column_start_.resize(groups);
  double column_terms = 0;
  for (int g = 0; g < groups; ++g) {
    const int lanes = std::min(kLanes, target_width - g * kLanes);
    int group_taps = 0;
    for (int p = 0; p < lanes; ++p) {
      const Footprint f(g * kLanes + p, x_scale, source_width);
      group_taps = std::max(group_taps, f.count());
      column_terms += f.count();
    }
    column_taps_[g] = group_taps;
    column_start_[g] = static_cast<int>(column_offset_.size() / kLanes);
    column_offset_.resize(column_offset_.size() + std::size_t(group_taps) * kLanes, 0);
    column_weight_.resize(column_offset_.size(), 0.0);
    for (int p = 0; p < lanes; ++p) {
      const Footprint f(g * kLanes + p, x_scale, source_width);
      for (int l = f.first; l < f.end; ++l) {
        const std::size_t entry = std::size_t(column_start_[g] + l - f.first) * kLanes + p;
        column_offset_[entry] = l * 4;
        column_weight_[entry] = f.Overlap(l);
      }
    }
  }
  columns_ = ColumnTaps{target_width,          groups,
                        column_taps_.data(),   column_start_.data(),
                        column_offset_.data(), column_weight_.data()};

  // Rows, one target row at a time.
  const double y_scale = static_cast<double>(source_height) / target_height;
  first_row_.resize(target_height);
  row_taps_.resize(target_height);
  row_start_.resize(target_height);
  for (int i = 0; i < target_height; ++i) {
    const Footprint f(i, y_scale, source_height);
    first_row_[i] = f.first;
    row_taps_[i] = f.count();
    row_start_[i] = static_cast<int>(row_weight_.size());
    for (int m = f.first; m < f.end; ++m) row_weight_.push_back(f.Overlap(m));
    tallest_ = std::max(tallest_, f.count());
  }
  terms_ = column_terms * static_cast<double>(row_weight_.size());
}

void AreaResampler::ResampleRow(int i, const SourceRows& rows, std::uint32_t* target) const {
  RowTask task;
  for (int r = 0; r < 2; ++r) {
    task.runs[r] = {reinterpret_cast<const unsigned char*>(rows.run[r]), rows.rows[r]};
  }
  task.row_step = rows.step * std::ptrdiff_t{4};
  task.weight = row_weight_.data() + row_start_[i];
  task.target = reinterpret_cast<unsigned char*>(target);
  kernel_(columns_, task);
}

void AreaResampler::ResampleWhole(const std::uint32_t* source, std::uint32_t* target, int threads) const {
  const int height = target_height();
  if (threads <= 0) {
    threads = static_cast<int>(std::clamp(terms_ / kTermsPerThread, 1.0, double(HardwareThreads())));
  }
  threads = std::min(threads, height);

  const std::ptrdiff_t source_row = source_width_;
  const std::ptrdiff_t target_row = target_width();
  // Target rows are handed out one at a time; each is computed whole by one thread, so the bytes do not
  // depend on who computes them. Rows are bottom-up, so the row below is one row back in memory.
  std::atomic<int> next_row{0};
  auto work = [&] {
    for (int i; (i = next_row.fetch_add(1, std::memory_order_relaxed)) < height;) {
      SourceRows rows;
      rows.run[0] = source + (source_height_ - 1 - first_row_[i]) * source_row;
      rows.rows[0] = row_taps_[i];
      rows.step = -source_row;
      ResampleRow(i, rows, target + (height - 1 - i) * target_row);
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
}

}  // namespace imaging
