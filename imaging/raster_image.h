// RasterImage: the one in-memory picture. One 32-bit word per pixel, 0x00RRGGBB (in memory blue, green,
// red, then a fourth byte), rows bottom-up without padding: the pixel at column x and row y counted from
// the top is word (height - 1 - y) * width + x. The raster owns its pixel block, which keeps 40 bytes of
// room before the pixels so that it can be handed on as a PackedDib without a copy. Not thread-safe.
#ifndef PIXMELD_IMAGING_RASTER_IMAGE_H_
#define PIXMELD_IMAGING_RASTER_IMAGE_H_

#include <cstddef>
#include <cstdint>

#include "imaging/bitmap_info_header.h"
#include "imaging/packed_dib.h"
#include "platform/memory_block.h"

namespace imaging {

// The largest picture the program handles: 16384 x 16384 pixels in area, a 1 GiB raster.
inline constexpr std::int64_t kMaxPixels = std::int64_t{16384} * 16384;

class RasterImage {
 public:
  // 0 x 0, no pixel block, not locked.
  RasterImage() = default;
  virtual ~RasterImage() = default;

  RasterImage(RasterImage&& other) noexcept;
  RasterImage& operator=(RasterImage&& other) noexcept;
  RasterImage(const RasterImage&) = delete;
  RasterImage& operator=(const RasterImage&) = delete;

  const BitmapInfoHeader& header() const { return header_; }
  int width() const { return header_.biWidth; }
  int height() const { return header_.biHeight; }
  bool has_pixels() const { return !pixel_block_.empty(); }

  // Gives the raster a new size with zero-filled (black) pixels; the same size keeps the pixels as they
  // are. A size of 0 pixels, a negative dimension, more than kMaxPixels pixels or a failed allocation
  // leave the raster without a pixel block. REQUIRES: the raster is not locked.
  void SetSize(int width, int height);

  // SetSize, then every byte of the pixel block set to 0xFF, even when the size did not change.
  void CreateWhite(int width, int height);

  // Lock() makes pixels() point at the pixel words (null without a pixel block); Unlock() clears it.
  void Lock();
  void Unlock();
  std::uint32_t* pixels() const { return pixels_; }

  // Replaces the pixels by a picture of new_width x new_height in which every pixel is the area-weighted
  // mean of the source pixels its footprint covers, each of the four bytes of a word averaged alone.
  // Nothing happens without pixels, for a negative size or for the current size; a zero dimension leaves
  // the raster of that size without pixels; a failed allocation leaves the raster as it was. `threads`
  // bounds the threads that share the work (0: one per core); the result never depends on it.
  // REQUIRES: the raster is not locked.
  void Resample(int new_width, int new_height, int threads = 0);

  // A new block holding a copy of the header and the pixels; empty when the raster has no pixels or the
  // block cannot be allocated. The raster keeps its own pixels.
  PackedDib ExportPacked();

  // Takes the size and a copy of the pixels from `packed`, which stays the caller's. An empty block, or
  // one that is not a 32-bit picture as ExportPacked makes them, changes nothing.
  void ImportPacked(PackedDib& packed);

  // The moving forms, for a hand-over whose giving side has no further use for the picture. The raster
  // gives up its own block as a PackedDib and is left 0 x 0 without pixels (empty without pixels); or it
  // takes `packed` over as its own block and returns true. A block that does not hold a whole 32-bit
  // picture with pixels stays the caller's and changes nothing. REQUIRES: the raster is not locked.
  PackedDib ReleasePacked();
  bool AdoptPacked(PackedDib& packed);

 private:
  static constexpr std::size_t kHeaderRoom = sizeof(BitmapInfoHeader);

  // The first pixel word of a block laid out as this raster keeps them.
  static std::uint32_t* PixelsOf(void* block) {
    return block == nullptr
               ? nullptr
               : reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(block) + kHeaderRoom);
  }

  platform::MemoryBlock pixel_block_;
  BitmapInfoHeader header_;
  std::uint32_t* pixels_ = nullptr;
};

}  // namespace imaging

#endif  // PIXMELD_IMAGING_RASTER_IMAGE_H_
