// DecodeJpegFile turns one JPEG file into a PackedDib of 32-bit pixel words at the file's full size.
// Each call owns everything it uses, so calls may run on several threads at once as long as the
// installed platform services are thread-safe.
#ifndef PIXMELD_IMAGING_JPEG_DECODER_H_
#define PIXMELD_IMAGING_JPEG_DECODER_H_

#include <filesystem>

#include "imaging/jpeg_reader.h"
#include "imaging/packed_dib.h"
#include "imaging/photo_metadata.h"
#include "imaging/result.h"

namespace imaging {

// Returns the picture, words 0x00RRGGBB, or an empty block when nothing could be decoded; `result`, when
// given, says what happened and why: kUnreadable for files the library cannot read, for pictures larger
// than kMaxPixels and for more than kMaxScans scans (jpeg_reader.h). Shows nothing; the caller turns the
// Result into words. Rows without data in a damaged file come out as the library fills them, mid-gray.
// With `metadata`, the file's orientation and RGB colour profile are read too (see photo_metadata.h);
// malformed metadata counts as absent and never fails the decode. Without a picture, `metadata` is left
// at its defaults.
PackedDib DecodeJpegFile(const std::filesystem::path& path, Result* result = nullptr,
                         PhotoMetadata* metadata = nullptr);

}  // namespace imaging

#endif  // PIXMELD_IMAGING_JPEG_DECODER_H_
