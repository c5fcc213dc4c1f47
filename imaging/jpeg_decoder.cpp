#include "imaging/jpeg_decoder.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "imaging/raster_image.h"
#include "platform/wait_cursor.h"

namespace imaging {
namespace {

PackedDib Fail(Result* result, Result failure) {
  if (result != nullptr) *result = std::move(failure);
  return PackedDib();
}

}  // namespace

PackedDib DecodeJpegFile(const std::filesystem::path& path, Result* result, PhotoMetadata* metadata) {
  platform::ScopedWaitCursor busy;
  if (metadata != nullptr) *metadata = PhotoMetadata();
  PhotoMetadata found;
  JpegReader reader;
  if (Result started = reader.Start(path, &found); !started.ok()) return Fail(result, std::move(started));

  const int width = reader.width();
  const int height = reader.height();
  RasterImage raster;
  raster.SetSize(width, height);
  raster.Lock();
  if (raster.pixels() == nullptr) {
    return Fail(result, Result::Failure(Outcome::kNoMemory, "not enough memory for the pixels"));
  }

  // The first row read is the top row, the last memory row; rows are read a batch at a time.
  constexpr int kBatch = 16;
  std::uint32_t* rows[kBatch];
  while (reader.rows_read() < height) {
    const int top = reader.rows_read();
    const int count = std::min(kBatch, height - top);
    for (int r = 0; r < count; ++r) rows[r] = raster.pixels() + std::size_t(height - 1 - top - r) * width;
    if (Result read = reader.ReadRows(rows, count); !read.ok()) return Fail(result, std::move(read));
  }
  Result finished = reader.Finish();
  if (!finished.ok()) return Fail(result, std::move(finished));

  // The reader leaves the fourth byte of a word unspecified; a decoded picture has 0 there.
  std::uint32_t* words = raster.pixels();
  for (std::size_t i = 0, n = std::size_t(width) * height; i < n; ++i) words[i] &= 0x00FFFFFF;
  raster.Unlock();
  if (result != nullptr) *result = std::move(finished);
  if (metadata != nullptr) *metadata = std::move(found);
  // The raster is of no further use here: its block is handed over, not copied.
  return raster.ReleasePacked();
}

}  // namespace imaging
