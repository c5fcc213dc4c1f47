// The 40-byte picture header that leads every hand-over block: the layout of a Windows
// BITMAPINFOHEADER, field for field, little-endian in memory.
#ifndef PIXMELD_IMAGING_BITMAP_INFO_HEADER_H_
#define PIXMELD_IMAGING_BITMAP_INFO_HEADER_H_

#include <cstddef>
#include <cstdint>

namespace imaging {

struct BitmapInfoHeader {
  std::uint32_t biSize = sizeof(BitmapInfoHeader);
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;  // positive: rows are stored bottom-up
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 32;
  std::uint32_t biCompression = 0;  // BI_RGB
  std::uint32_t biSizeImage = 0;    // biWidth * biHeight * 4
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

static_assert(sizeof(BitmapInfoHeader) == 40, "the header must be exactly 40 bytes");
static_assert(offsetof(BitmapInfoHeader, biWidth) == 4 && offsetof(BitmapInfoHeader, biPlanes) == 12 &&
                  offsetof(BitmapInfoHeader, biBitCount) == 14 &&
                  offsetof(BitmapInfoHeader, biSizeImage) == 20 &&
                  offsetof(BitmapInfoHeader, biClrImportant) == 36,
              "the header fields must sit where BITMAPINFOHEADER has them");

}  // namespace imaging

#endif  // PIXMELD_IMAGING_BITMAP_INFO_HEADER_H_
