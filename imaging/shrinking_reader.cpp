#include "imaging/shrinking_reader.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

namespace imaging {

ShrinkingReader::~ShrinkingReader() { StopReadingAhead(); }

Result ShrinkingReader::Start(int target_width, int target_height, bool read_ahead, ResampleKernel kernel,
                              int read_batch) {
  width_ = reader_.width();
  height_ = reader_.height();
  try {
    resampler_.emplace(width_, height_, target_width, target_height, kernel);
  } catch (const std::bad_alloc&) {
    return Result::Failure(Outcome::kNoMemory, "not enough memory to scale the picture");
  }
  batch_ = std::clamp(read_batch, 1, 64);
  const int room = read_ahead ? batch_ * kBatchesAhead : batch_;
  capacity_ = std::min(resampler_->TallestFootprint() + room, height_);
  ring_block_ = platform::MemoryBlock::Allocate(std::size_t(capacity_) * width_ * sizeof(std::uint32_t));
  ring_ = static_cast<std::uint32_t*>(ring_block_.Lock());  // locked for the reader's lifetime
  if (ring_ == nullptr) return Result::Failure(Outcome::kNoMemory, "not enough memory to scale the picture");
  if (read_ahead) {
    try {
      thread_ = std::thread(&ShrinkingReader::ReadAhead, this);
    } catch (const std::system_error&) {
      // No thread to be had: the caller's thread reads as it goes.
    }
  }
  return Result{};
}

Result ShrinkingReader::ReadBatch(int first, int count) {
  std::uint32_t* slots[64];
  for (int r = 0; r < count; ++r) slots[r] = Slot(first + r);
  return reader_.ReadRows(slots, count);
}

// The thread's loop: read a batch whenever the ring has room for it, that is when it overwrites only
// rows above every footprint still to come, until every row is read, a read fails or the owner stops it.
void ShrinkingReader::ReadAhead() {
  for (int first = 0; first < height_;) {
    const int count = std::min(batch_, height_ - first);
    {
      std::unique_lock<platform::Mutex> lock(mutex_);
      room_.wait(lock, [&] { return stop_ || first + count - released_ <= capacity_; });
      if (stop_) return;
    }
    Result read = ReadBatch(first, count);
    bool wake;
    {
      std::lock_guard<platform::Mutex> lock(mutex_);
      if (read.ok()) {
        ready_ = first += count;
      } else {
        failure_ = std::move(read);
      }
      wake = ready_ >= wanted_ || failure_;
    }
    if (wake) rows_ready_.notify_one();
    if (failure_) return;
  }
}

void ShrinkingReader::StopReadingAhead() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<platform::Mutex> lock(mutex_);
    stop_ = true;
  }
  room_.notify_one();
  thread_.join();
}

Result ShrinkingReader::NextRow(std::uint32_t* row) {
  const int i = next_target_row_++;
  const int end = resampler_->EndRow(i);
  if (thread_.joinable()) {
    std::unique_lock<platform::Mutex> lock(mutex_);
    if (ready_ < end && !failure_) {
      // Wait for half the read-ahead room past this footprint, not for the next batch alone: one wake
      // then serves several target rows, while the thread still has room to read on. The ring holds
      // those rows beside the footprint's: the footprint spans at most TallestFootprint() rows, and a
      // batch that ends past the wanted row still fits in the other half of the room.
      wanted_ = std::min(height_, end + batch_ * kBatchesAhead / 2);
      rows_ready_.wait(lock, [&] { return ready_ >= wanted_ || failure_; });
      wanted_ = kNobodyWaits;
    }
    if (ready_ < end) {
      lock.unlock();
      StopReadingAhead();
      return *failure_;
    }
  } else {
    // Read until the footprint is complete. The rows read overwrite only rows that lie above this
    // footprint: it spans at most TallestFootprint() rows, and one batch fills the rest of the ring.
    while (reader_.rows_read() < end) {
      const int first = reader_.rows_read();
      if (Result read = ReadBatch(first, std::min(batch_, height_ - first)); !read.ok()) return read;
    }
  }

  // The footprint's rows, top first: from its first row's slot to the end of the ring, then on from the
  // ring's start when it wraps. No thread writes to them until they are released below.
  const int first = resampler_->FirstRow(i);
  const int rows = end - first;
  const int before_wrap = std::min(rows, capacity_ - first % capacity_);
  AreaResampler::SourceRows source;
  source.run[0] = Slot(first);
  source.rows[0] = before_wrap;
  source.run[1] = ring_;
  source.rows[1] = rows - before_wrap;
  source.step = width_;
  resampler_->ResampleRow(i, source, row);

  if (thread_.joinable()) {
    const bool last = next_target_row_ == resampler_->target_height();
    {
      std::lock_guard<platform::Mutex> lock(mutex_);
      released_ = last ? height_ : resampler_->FirstRow(next_target_row_);
    }
    room_.notify_one();
    if (last) thread_.join();  // every row is read: the thread has ended, and the reader is the caller's
  }
  return Result{};
}

}  // namespace imaging
