#include "imaging/raster_image.h"

#include <cassert>
#include <cstring>
#include <utility>

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
  if (bytes > 0) pixel_block_ = platform::MemoryBlock::Allocate(static_cast<std::size_t>(bytes));
}

void RasterImage::CreateWhite(int width, int height) {
  SetSize(width, height);
  if (void* bytes = pixel_block_.Lock()) {
    std::memset(bytes, 0xFF, pixel_block_.size());
    pixel_block_.Unlock();
  }
}

void RasterImage::Lock() {
  if (pixels_ == nullptr) pixels_ = static_cast<std::uint32_t*>(pixel_block_.Lock());
}

void RasterImage::Unlock() {
  if (pixels_ == nullptr) return;
  pixel_block_.Unlock();
  pixels_ = nullptr;
}

PackedDib RasterImage::ExportPacked() {
  if (!has_pixels()) return PackedDib();
  PackedDib packed = platform::MemoryBlock::Allocate(sizeof(BitmapInfoHeader) + header_.biSizeImage);
  void* target = packed.Lock();
  const void* source = pixel_block_.Lock();
  if (target == nullptr || source == nullptr) {
    packed.Free();
  } else {
    std::memcpy(target, &header_, sizeof header_);
    std::memcpy(static_cast<unsigned char*>(target) + sizeof header_, source, header_.biSizeImage);
    packed.Unlock();
  }
  if (source != nullptr) pixel_block_.Unlock();
  return packed;
}

void RasterImage::ImportPacked(PackedDib& packed) {
  if (packed.size() < sizeof(BitmapInfoHeader)) return;
  const auto* bytes = static_cast<const unsigned char*>(packed.Lock());
  BitmapInfoHeader incoming;
  std::memcpy(&incoming, bytes, sizeof incoming);
  const std::int64_t pixel_bytes = PixelBytes(incoming.biWidth, incoming.biHeight);
  const bool well_formed = incoming.biSize == sizeof(BitmapInfoHeader) && incoming.biBitCount == 32 &&
                           pixel_bytes >= 0 &&
                           static_cast<std::uint64_t>(pixel_bytes) <= packed.size() - sizeof incoming;
  if (well_formed) {
    SetSize(incoming.biWidth, incoming.biHeight);
    if (void* target = pixel_block_.Lock()) {
      std::memcpy(target, bytes + sizeof incoming, header_.biSizeImage);
      pixel_block_.Unlock();
    }
  }
  packed.Unlock();
}

}  // namespace imaging
