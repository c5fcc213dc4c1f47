#include "imaging/jpeg_encoder.h"

#include <vector>

#include "imaging/jpeg_abort.h"
#include "imaging/photo_metadata.h"
#include "imaging/raster_image.h"
#include "platform/error_box.h"
#include "platform/file.h"
#include "platform/replacing_file.h"
#include "platform/standard_error.h"
#include "platform/wait_cursor.h"

namespace imaging {
namespace {

// The compression object with its error manager; destroyed on every way out.
class Compressor {
 public:
  Compressor() { cinfo_.err = UseJpegAbort(&err_); }
  ~Compressor() { jpeg_destroy_compress(&cinfo_); }
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;

  jpeg_compress_struct* get() { return &cinfo_; }

 private:
  jpeg_error_mgr err_{};
  jpeg_compress_struct cinfo_{};
};

// Writes the raster's rows top first; the compression must have started.
void WriteScanlines(jpeg_compress_struct* cinfo, const std::uint32_t* pixels) {
  const JDIMENSION width = cinfo->image_width;
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
  JSAMPROW rows[] = {row.data()};
  while (cinfo->next_scanline < cinfo->image_height) {
    const std::size_t memory_row = cinfo->image_height - 1 - cinfo->next_scanline;
    const std::uint32_t* words = pixels + memory_row * width;
    for (JDIMENSION x = 0; x < width; ++x) {
      row[3 * x] = static_cast<JSAMPLE>(words[x] >> 16);
      row[3 * x + 1] = static_cast<JSAMPLE>(words[x] >> 8);
      row[3 * x + 2] = static_cast<JSAMPLE>(words[x]);
    }
    jpeg_write_scanlines(cinfo, rows, 1);
  }
}

// Lends the caller's picture to a raster for the length of the encode and gives it back on every way out,
// so that reading it costs no copy.
class BorrowedRaster {
 public:
  explicit BorrowedRaster(PackedDib& picture) : picture_(picture) {
    raster_.AdoptPacked(picture_);
    raster_.Lock();
  }
  ~BorrowedRaster() {
    raster_.Unlock();
    if (raster_.has_pixels()) picture_ = raster_.ReleasePacked();
  }
  BorrowedRaster(const BorrowedRaster&) = delete;
  BorrowedRaster& operator=(const BorrowedRaster&) = delete;

  const RasterImage& raster() const { return raster_; }

 private:
  PackedDib& picture_;
  RasterImage raster_;
};

EncodeOutcome DestinationUnwritable(const std::filesystem::path& path) {
  platform::WriteStandardError("can't open " + platform::PathToUtf8(path) + "\n");
  platform::ShowErrorBox(kWriteErrorMessage);
  return EncodeOutcome::kDestinationUnwritable;
}

}  // namespace

EncodeOutcome EncodeJpegFile(const std::filesystem::path& path, PackedDib& picture, int quality_tenths,
                             const std::vector<unsigned char>& icc_profile) {
  platform::ScopedWaitCursor busy;

  platform::ReplacingFile output(path);
  if (!output.is_open()) return DestinationUnwritable(path);

  {
    Compressor jpeg;
    jpeg_compress_struct* cinfo = jpeg.get();
    BorrowedRaster borrowed(picture);
    const RasterImage& raster = borrowed.raster();
    try {
      // Create and attach the destination.
      jpeg_create_compress(cinfo);
      jpeg_stdio_dest(cinfo, output.stream());

      // Parameters, in this order. A picture without pixels is described as 0 x 0, which the library
      // refuses when the compression starts.
      const bool has_pixels = raster.pixels() != nullptr;
      cinfo->image_width = has_pixels ? static_cast<JDIMENSION>(raster.width()) : 0;
      cinfo->image_height = has_pixels ? static_cast<JDIMENSION>(raster.height()) : 0;
      cinfo->input_components = 3;
      cinfo->in_color_space = JCS_RGB;
      jpeg_set_defaults(cinfo);
      jpeg_set_quality(cinfo, quality_tenths * 10, TRUE);

      // Start (which writes the JFIF marker), add the profile's chunks, write the scanlines, finish.
      jpeg_start_compress(cinfo, TRUE);
      if (!icc_profile.empty() && icc_profile.size() <= kMaxIccProfileBytes) {
        jpeg_write_icc_profile(cinfo, icc_profile.data(), static_cast<unsigned>(icc_profile.size()));
      }
      WriteScanlines(cinfo, raster.pixels());
      jpeg_finish_compress(cinfo);
    } catch (const char*) {
      platform::ShowErrorBox(kWriteErrorMessage);
      return EncodeOutcome::kEncoderFailed;
    }
  }

  // The library object is gone; now the file is closed and takes the destination's place.
  switch (output.Commit()) {
    case platform::ReplacingFile::CommitResult::kReplaced:
      return EncodeOutcome::kWritten;
    case platform::ReplacingFile::CommitResult::kWriteFailed:
      platform::ShowErrorBox(kWriteErrorMessage);
      return EncodeOutcome::kEncoderFailed;
    case platform::ReplacingFile::CommitResult::kMoveFailed:
      break;
  }
  return DestinationUnwritable(path);
}

}  // namespace imaging
