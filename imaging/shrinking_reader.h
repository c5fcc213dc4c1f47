// ShrinkingReader: a JPEG picture scaled down by the area-averaging filter while it is read, so that it
// is never held at full size. It keeps a ring of source rows, the band that the next target row's
// footprint covers plus one read batch: every row of a footprint must be present before that target row
// is summed (each sum runs over source columns, then rows), so a smaller ring could not make progress.
// For a photo shrunk to a 960-pixel edge the band is a few rows, a few hundred kilobytes; it grows only
// for pictures far taller than their target. Owns its ring; uses the caller's reader. One per thread.
#ifndef PIXMELD_IMAGING_SHRINKING_READER_H_
#define PIXMELD_IMAGING_SHRINKING_READER_H_

#include <cstdint>
#include <optional>

#include "imaging/area_resample.h"
#include "imaging/jpeg_reader.h"
#include "imaging/result.h"
#include "platform/memory_block.h"

namespace imaging {

class ShrinkingReader {
 public:
  // Source rows asked of the library at a time.
  static constexpr int kReadBatch = 8;

  // `reader` must outlive this object.
  explicit ShrinkingReader(JpegReader& reader) : reader_(reader) {}

  // Prepares the tables and the ring for target_width x target_height; kNoMemory when they cannot be had.
  // REQUIRES: the reader has started and not read a row; both target dimensions are positive.
  Result Start(int target_width, int target_height, ResampleKernel kernel = ResampleKernel::kFastest,
               int read_batch = kReadBatch);

  // Reads as many source rows as the next target row needs and writes that row (target_width words).
  // REQUIRES: Start succeeded, no call failed since, and not every target row was written.
  Result NextRow(std::uint32_t* row);

 private:
  std::uint32_t* Slot(int source_row) { return ring_ + std::size_t(source_row % capacity_) * width_; }

  JpegReader& reader_;
  std::optional<AreaResampler> resampler_;
  platform::MemoryBlock ring_block_;
  std::uint32_t* ring_ = nullptr;
  int width_ = 0;
  int capacity_ = 0;  // rows in the ring
  int batch_ = 0;
  int next_target_row_ = 0;
};

}  // namespace imaging

#endif  // PIXMELD_IMAGING_SHRINKING_READER_H_
