// ShrinkingReader: a JPEG picture scaled down by the area-averaging filter while it is read, so that it
// is never held at full size. It keeps a ring of source rows, the band that the next target row's
// footprint covers plus room for read batches: every row of a footprint must be present before that
// target row is summed (each sum runs over source columns, then rows), so a ring smaller than the
// tallest footprint plus one batch could not make progress. For a photo shrunk to a 960-pixel edge the
// ring is some tens of rows, a few megabytes at most; it grows only for pictures far taller than their
// target. With read-ahead, a thread of its own decodes the next rows while the caller's thread scales and
// writes; the rows are the same either way. Owns its ring and that thread; uses the caller's reader,
// which it alone touches while the thread runs. NextRow is for one thread.
#ifndef PIXMELD_IMAGING_SHRINKING_READER_H_
#define PIXMELD_IMAGING_SHRINKING_READER_H_

#include <climits>
#include <cstdint>
#include <optional>
#include <thread>

#include "imaging/area_resample.h"
#include "imaging/jpeg_reader.h"
#include "imaging/result.h"
#include "platform/memory_block.h"
#include "platform/wait_lock.h"

namespace imaging {

class ShrinkingReader {
 public:
  // Source rows asked of the library at a time, and the batches a read-ahead thread may be in front.
  static constexpr int kReadBatch = 8;
  static constexpr int kBatchesAhead = 4;

  // `reader` must outlive this object.
  explicit ShrinkingReader(JpegReader& reader) : reader_(reader) {}
  ~ShrinkingReader();
  ShrinkingReader(const ShrinkingReader&) = delete;
  ShrinkingReader& operator=(const ShrinkingReader&) = delete;

  // Prepares the tables and the ring for target_width x target_height, and with `read_ahead` starts the
  // decoding thread (without one to be had, reads on the caller's thread). kNoMemory when the tables or
  // the ring cannot be had. REQUIRES: the reader has started and not read a row; both target dimensions
  // are positive.
  Result Start(int target_width, int target_height, bool read_ahead = false,
               ResampleKernel kernel = ResampleKernel::kFastest, int read_batch = kReadBatch);

  // Waits for (or reads) the source rows the next target row needs and writes that row (target_width
  // words). After the last row the reader is the caller's again. A read failure on the read-ahead thread
  // is returned here. REQUIRES: Start succeeded, no call failed since, and not every row was written.
  Result NextRow(std::uint32_t* row);

 private:
  std::uint32_t* Slot(int source_row) { return ring_ + std::size_t(source_row % capacity_) * width_; }
  Result ReadBatch(int first, int count);
  void ReadAhead();
  void StopReadingAhead();

  JpegReader& reader_;
  std::optional<AreaResampler> resampler_;
  platform::MemoryBlock ring_block_;
  std::uint32_t* ring_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int capacity_ = 0;  // rows in the ring
  int batch_ = 0;
  int next_target_row_ = 0;

  // Read-ahead: rows below `ready_` are in the ring; rows from `released_` on are still needed; the
  // caller's thread waits until `ready_` reaches `wanted_`.
  static constexpr int kNobodyWaits = INT_MAX;
  std::thread thread_;
  platform::Mutex mutex_;
  platform::CondVar rows_ready_;
  platform::CondVar room_;
  int ready_ = 0;
  int released_ = 0;
  int wanted_ = kNobodyWaits;
  bool stop_ = false;
  std::optional<Result> failure_;
};

}  // namespace imaging

#endif  // PIXMELD_IMAGING_SHRINKING_READER_H_
