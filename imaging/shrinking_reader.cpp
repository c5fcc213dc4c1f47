#include "imaging/shrinking_reader.h"

#include <algorithm>
#include <new>
#include <vector>

namespace imaging {

Result ShrinkingReader::Start(int target_width, int target_height, ResampleKernel kernel, int read_batch) {
  width_ = reader_.width();
  try {
    resampler_.emplace(width_, reader_.height(), target_width, target_height, kernel);
  } catch (const std::bad_alloc&) {
    return Result::Failure(Outcome::kNoMemory, "not enough memory to scale the picture");
  }
  batch_ = std::max(1, read_batch);
  capacity_ = std::min(resampler_->TallestFootprint() + batch_, reader_.height());
  ring_block_ = platform::MemoryBlock::Allocate(std::size_t(capacity_) * width_ * sizeof(std::uint32_t));
  ring_ = static_cast<std::uint32_t*>(ring_block_.Lock());  // locked for the reader's lifetime
  if (ring_ == nullptr) return Result::Failure(Outcome::kNoMemory, "not enough memory to scale the picture");
  return Result{};
}

Result ShrinkingReader::NextRow(std::uint32_t* row) {
  const int i = next_target_row_++;
  // Read until the footprint is complete. The rows read overwrite only rows that lie above this
  // footprint: it spans fewer than TallestFootprint() + 1 rows, and one batch fills the rest of the ring.
  std::uint32_t* slots[64];
  while (reader_.rows_read() < resampler_->EndRow(i)) {
    const int first = reader_.rows_read();
    const int count = std::min({batch_, reader_.height() - first, int(std::size(slots))});
    for (int r = 0; r < count; ++r) slots[r] = Slot(first + r);
    if (Result read = reader_.ReadRows(slots, count); !read.ok()) return read;
  }

  // The footprint's rows, top first: from its first row's slot to the end of the ring, then on from the
  // ring's start when it wraps.
  const int first = resampler_->FirstRow(i);
  const int rows = resampler_->EndRow(i) - first;
  const int before_wrap = std::min(rows, capacity_ - first % capacity_);
  AreaResampler::SourceRows source;
  source.run[0] = Slot(first);
  source.rows[0] = before_wrap;
  source.run[1] = ring_;
  source.rows[1] = rows - before_wrap;
  source.step = width_;
  resampler_->ResampleRow(i, source, row);
  return Result{};
}

}  // namespace imaging
