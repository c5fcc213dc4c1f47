// AreaResample: the loop behind RasterImage::Resample, on raw pixel words. Each target pixel is the
// area-weighted mean of the source pixels its footprint covers, each byte of a word averaged alone.
// The caller owns both blocks; the function keeps no state, so calls on different blocks may overlap.
#ifndef PIXMELD_IMAGING_AREA_RESAMPLE_H_
#define PIXMELD_IMAGING_AREA_RESAMPLE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

// The inner loops AreaResample can run. All write the same bytes; they differ only in speed. One that
// this build or processor cannot run falls back to kPortable.
enum class ResampleKernel {
  kPortable,  // plain C++, every processor
  kSse2,      // x86-64 baseline
  kAvx2,      // when the processor reports AVX2 at run time
  kFastest,   // the last of AvailableResampleKernels()
};

// The kernels this build can run on this processor, slowest first.
std::vector<ResampleKernel> AvailableResampleKernels();

// Writes the target_width x target_height picture into `target` from the source_width x source_height
// picture in `source`; both are bottom-up rows of 32-bit words without padding. `threads` threads share
// the target rows; 0 picks one per core, fewer for small pictures. The bytes written never depend on the
// thread count or the kernel. Returns false, with `target` partly written, when the working tables cannot
// be allocated.
// REQUIRES: all four dimensions are positive and the blocks do not overlap.
bool AreaResample(const std::uint32_t* source, int source_width, int source_height, std::uint32_t* target,
                  int target_width, int target_height, int threads = 0,
                  ResampleKernel kernel = ResampleKernel::kFastest);

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

// One target row: the source rows its footprint covers, top one first, and their weights.
struct RowTask {
  const unsigned char* first_row = nullptr;  // the topmost source row the footprint touches
  std::ptrdiff_t row_step = 0;               // bytes from one source row to the row below it
  int taps = 0;
  const double* weight = nullptr;
  unsigned char* target = nullptr;  // the target row, 4 bytes per column
};

using RowKernel = void (*)(const ColumnTaps& columns, const RowTask& row);
void ResampleRowPortable(const ColumnTaps& columns, const RowTask& row);
// Null when this build or processor cannot run the kernel.
RowKernel Sse2RowKernel();
RowKernel Avx2RowKernel();

}  // namespace area_resample_internal
}  // namespace imaging

#endif  // PIXMELD_IMAGING_AREA_RESAMPLE_H_
