// AreaResampler: the area-averaging filter. Each target pixel is the area-weighted mean of the source
// pixels its footprint covers, each byte of a word averaged alone. The tables are built once for a pair
// of sizes; after that the resampler is read only, so threads may compute different target rows at once.
// A target row needs only the source rows its footprint covers, so a caller can feed it a band of rows
// as they are decoded (see FirstRow and EndRow) instead of the whole picture.
#ifndef PIXMELD_IMAGING_AREA_RESAMPLE_H_
#define PIXMELD_IMAGING_AREA_RESAMPLE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

// The inner loops the resampler can run. All write the same bytes; they differ only in speed. One that
// this build or processor cannot run falls back to kPortable.
enum class ResampleKernel {
  kPortable,  // plain C++, every processor
  kSse2,      // x86-64 baseline
  kAvx2,      // when the processor reports AVX2 at run time
  kFastest,   // the last of AvailableResampleKernels()
};

// The kernels this build can run on this processor, slowest first.
std::vector<ResampleKernel> AvailableResampleKernels();

// Shared with the kernels in area_resample_simd.cpp; not for callers.
namespace area_resample_internal {

// Target columns come in groups of kLanes; lane p of group g is target column g * kLanes + p. Group g
// has taps[g] source columns per lane, stored from entry start[g] * kLanes on: entry (start[g] + t) *
// kLanes + p holds the t-th source column of lane p as a byte offset into a row, and its weight. A lane
// with fewer columns than its group (or past the last target column) is padded with weight 0 and offset
// 0; a zero-weight term adds exactly +0.0 to a sum of non-negative terms, so padding changes no bit.
inline constexpr int kLanes = 4;
struct ColumnTaps {
  int width = 0;  // target columns
  int groups = 0;
  const int* taps = nullptr;
  const int* start = nullptr;
  const std::int32_t* offset = nullptr;  // at most 4 * kMaxPixels
  const double* weight = nullptr;
};

// One target row: the source rows its footprint covers, top one first, and their weights. The rows lie
// in at most two runs (a ring of rows wraps once); within a run they are row_step bytes apart.
struct RowTask {
  struct Run {
    const unsigned char* first = nullptr;
    int rows = 0;
  };
  Run runs[2];
  std::ptrdiff_t row_step = 0;
  const double* weight = nullptr;   // one per row, over both runs
  unsigned char* target = nullptr;  // the target row, 4 bytes per column
};

using RowKernel = void (*)(const ColumnTaps& columns, const RowTask& row);
void ResampleRowPortable(const ColumnTaps& columns, const RowTask& row);
// Null when this build or processor cannot run the kernel.
RowKernel Sse2RowKernel();
RowKernel Avx2RowKernel();

}  // namespace area_resample_internal

class AreaResampler {
 public:
  // The source rows of one target row, top first: rows[0] rows from run[0] on, then rows[1] rows from
  // run[1] on (run[1] may be null when rows[1] is 0); consecutive rows of a run are `step` words apart.
  struct SourceRows {
    const std::uint32_t* run[2] = {nullptr, nullptr};
    int rows[2] = {0, 0};
    std::ptrdiff_t step = 0;
  };

  // Throws std::bad_alloc when the tables cannot be allocated.
  // REQUIRES: all four dimensions are positive.
  AreaResampler(int source_width, int source_height, int target_width, int target_height,
                ResampleKernel kernel = ResampleKernel::kFastest);

  int source_width() const { return source_width_; }
  int source_height() const { return source_height_; }
  int target_width() const { return columns_.width; }
  int target_height() const { return static_cast<int>(first_row_.size()); }

  // Target row i (counted from the top) covers source rows FirstRow(i) to EndRow(i) - 1. Both grow with i,
  // and the last target row ends at the last source row.
  int FirstRow(int i) const { return first_row_[i]; }
  int EndRow(int i) const { return first_row_[i] + row_taps_[i]; }
  // The most source rows any one target row covers.
  int TallestFootprint() const { return tallest_; }

  // Writes target row i (target_width words) from its source rows, EndRow(i) - FirstRow(i) in all.
  void ResampleRow(int i, const SourceRows& rows, std::uint32_t* target) const;

  // The whole picture: bottom-up rows of words without padding, as RasterImage keeps them. `threads`
  // threads share the target rows; 0 picks one per core, fewer for small pictures. The bytes never depend
  // on the thread count. REQUIRES: the blocks do not overlap.
  void ResampleWhole(const std::uint32_t* source, std::uint32_t* target, int threads = 0) const;

 private:
  int source_width_;
  int source_height_;
  area_resample_internal::RowKernel kernel_;
  // Columns, in the grouped layout ColumnTaps describes.
  std::vector<int> column_taps_, column_start_;
  std::vector<std::int32_t> column_offset_;
  std::vector<double> column_weight_;
  area_resample_internal::ColumnTaps columns_;
  // Rows: per target row, the first source row, how many, and their weights from row_weight_[row_start_].
  std::vector<int> first_row_, row_taps_, row_start_;
  std::vector<double> row_weight_;
  int tallest_ = 0;
  double terms_ = 0;  // multiply-adds for the whole picture, to choose a thread count
};

}  // namespace imaging

#endif  // PIXMELD_IMAGING_AREA_RESAMPLE_H_
