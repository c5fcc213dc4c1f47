// EncodeJpegFile writes a PackedDib as a baseline JPEG with the library's default settings at the given
// quality. Each call owns everything it uses, so calls may run on several threads at once as long as the
// installed platform services are thread-safe.
#ifndef PIXMELD_IMAGING_JPEG_ENCODER_H_
#define PIXMELD_IMAGING_JPEG_ENCODER_H_

#include <filesystem>
#include <vector>

#include "imaging/packed_dib.h"
#include "imaging/raster_image.h"
#include "imaging/result.h"

namespace imaging {

// Writes `picture` (read only; it stays the caller's) to `path` at quality quality_tenths * 10, as
// JpegWriter does (jpeg_writer.h): under a temporary name that replaces `path` only when complete, with
// the profile embedded when one is given. A picture without pixels fails (kWriteFailed). Shows nothing;
// the caller turns the Result into words.
Result EncodeJpegFile(const std::filesystem::path& path, PackedDib& picture, int quality_tenths,
                      const std::vector<unsigned char>& icc_profile = {});

// The same for a raster, read in place. REQUIRES: the raster is not locked.
Result EncodeRaster(const std::filesystem::path& path, RasterImage& raster, int quality_tenths,
                    const std::vector<unsigned char>& icc_profile = {});

}  // namespace imaging

#endif  // PIXMELD_IMAGING_JPEG_ENCODER_H_
