#include "imaging/raster_image.h"

#include <cassert>
#include <cstring>
#include <new>
#include <utility>

#include "imaging/area_resample.h"

namespace imaging {
namespace {

// Bytes of pixel data for a size, computed in 64 bits so that no header can wrap it; -1 when the size
// is negative or beyond kMaxPixels.
std::int64_t PixelBytes(std::int64_t width, std::int64_t height) {
  if (width < 0 || height < 0 || width * height > kMaxPixels) return -1;
  return width * height * 4;
}

}  // namespace

RasterImage::RasterImage(RasterImage&& other) noexcept
    : pixel_block_(std::move(other.pixel_block_)),
      header_(std::exchange(other.header_, BitmapInfoHeader{})),
      pixels_(std::exchange(other.pixels_, nullptr)) {}

RasterImage& RasterImage::operator=(RasterImage&& other) noexcept {
  if (this != &other) {
    pixel_block_ = std::move(other.pixel_block_);
    header_ = std::exchange(other.header_, BitmapInfoHeader{});
    pixels_ = std::exchange(other.pixels_, nullptr);
  }
  return *this;
}

void RasterImage::SetSize(int width, int height) {
  if (width == header_.biWidth && height == header_.biHeight) return;
  assert(pixels_ == nullptr);
  pixel_block_.Free();
  header_.biWidth = width;
  header_.biHeight = height;
  const std::int64_t bytes = PixelBytes(width, height);
  header_.biSizeImage = bytes > 0 ? static_cast<std::uint32_t>(bytes) : 0;
  if (bytes > 0)
    pixel_block_ = platform::MemoryBlock::Allocate(kHeaderRoom + static_cast<std::size_t>(bytes));
}

void RasterImage::CreateWhite(int width, int height) {
  SetSize(width, height);
  if (std::uint32_t* words = PixelsOf(pixel_block_.Lock())) {
    std::memset(words, 0xFF, header_.biSizeImage);
    pixel_block_.Unlock();
  }
}

void RasterImage::Lock() {
  if (pixels_ == nullptr) pixels_ = PixelsOf(pixel_block_.Lock());
}

void RasterImage::Unlock() {
  if (pixels_ == nullptr) return;
  pixel_block_.Unlock();
  pixels_ = nullptr;
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
    try {
      const AreaResampler resampler(old_header.biWidth, old_header.biHeight, new_width, new_height);
      resampler.ResampleWhole(PixelsOf(old_block.Lock()), PixelsOf(pixel_block_.Lock()), threads);
      done = true;
    } catch (const std::bad_alloc&) {
      // No memory for the tables: the raster stays as it was.
    }
    pixel_block_.Unlock();
    old_block.Unlock();
  }
  if (!done) {
    pixel_block_ = std::move(old_block);
    header_ = old_header;
  }
}

PackedDib RasterImage::ExportPacked() {
  if (!has_pixels()) return PackedDib();
  PackedDib packed = platform::MemoryBlock::Allocate(pixel_block_.size());
  if (void* target = packed.Lock()) {
    std::memcpy(target, &header_, kHeaderRoom);
    std::memcpy(PixelsOf(target), PixelsOf(pixel_block_.Lock()), header_.biSizeImage);
    pixel_block_.Unlock();
    packed.Unlock();
  }
  return packed;
}

PackedDib RasterImage::ReleasePacked() {
  assert(pixels_ == nullptr);
  if (!has_pixels()) return PackedDib();
  std::memcpy(pixel_block_.Lock(), &header_, kHeaderRoom);
  pixel_block_.Unlock();
  header_ = BitmapInfoHeader{};
  return std::move(pixel_block_);
}

namespace {

// The header of `packed` when it is a whole 32-bit picture as RasterImage makes them.
bool ReadWholePicture(PackedDib& packed, BitmapInfoHeader* header) {
  if (packed.size() < sizeof(BitmapInfoHeader)) return false;
  std::memcpy(header, packed.Lock(), sizeof *header);
  packed.Unlock();
  const std::int64_t pixel_bytes = PixelBytes(header->biWidth, header->biHeight);
  return header->biSize == sizeof(BitmapInfoHeader) && header->biBitCount == 32 && pixel_bytes >= 0 &&
         header->biSizeImage == pixel_bytes &&
         static_cast<std::uint64_t>(pixel_bytes) <= packed.size() - sizeof *header;
}

}  // namespace

void RasterImage::ImportPacked(PackedDib& packed) {
  BitmapInfoHeader incoming;
  if (!ReadWholePicture(packed, &incoming)) return;
  SetSize(incoming.biWidth, incoming.biHeight);
  if (std::uint32_t* target = PixelsOf(pixel_block_.Lock())) {
    std::memcpy(target, PixelsOf(packed.Lock()), header_.biSizeImage);
    packed.Unlock();
    pixel_block_.Unlock();
  }
}

bool RasterImage::AdoptPacked(PackedDib& packed) {
  assert(pixels_ == nullptr);
  BitmapInfoHeader incoming;
  if (!ReadWholePicture(packed, &incoming) || incoming.biSizeImage == 0) return false;
  header_.biWidth = incoming.biWidth;
  header_.biHeight = incoming.biHeight;
  header_.biSizeImage = incoming.biSizeImage;
  pixel_block_ = std::move(packed);
  return true;
}

}  // namespace imaging
