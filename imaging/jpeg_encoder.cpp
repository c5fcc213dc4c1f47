#include "imaging/jpeg_encoder.h"

#include "imaging/jpeg_writer.h"
#include "platform/wait_cursor.h"

namespace imaging {

Result EncodeRaster(const std::filesystem::path& path, RasterImage& raster, int quality_tenths,
                    const std::vector<unsigned char>& icc_profile) {
  platform::ScopedWaitCursor busy;
  raster.Lock();
  const std::uint32_t* pixels = raster.pixels();
  const int width = pixels != nullptr ? raster.width() : 0;
  const int height = pixels != nullptr ? raster.height() : 0;

  JpegWriter writer;
  Result result = writer.Start(path, width, height, quality_tenths, icc_profile);
  // Rows top first; the top row is the last one in memory.
  for (int y = 0; result.ok() && y < height; ++y) {
    result = writer.WriteRow(pixels + std::size_t(height - 1 - y) * width);
  }
  if (result.ok()) result = writer.Finish();
  if (result.ok()) result = writer.Commit();
  raster.Unlock();
  return result;
}

Result EncodeJpegFile(const std::filesystem::path& path, PackedDib& picture, int quality_tenths,
                      const std::vector<unsigned char>& icc_profile) {
  RasterImage raster;
  raster.ImportPacked(picture);
  return EncodeRaster(path, raster, quality_tenths, icc_profile);
}

}  // namespace imaging
