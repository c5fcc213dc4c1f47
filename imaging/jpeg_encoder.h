// EncodeJpegFile writes a PackedDib as a baseline JPEG with the library's default settings at the given
// quality. Each call owns everything it uses, so calls may run on several threads at once as long as the
// installed platform services are thread-safe.
#ifndef PIXMELD_IMAGING_JPEG_ENCODER_H_
#define PIXMELD_IMAGING_JPEG_ENCODER_H_

#include <filesystem>
#include <vector>

#include "imaging/packed_dib.h"

namespace imaging {

enum class EncodeOutcome {
  kWritten,
  // The destination could not be created or replaced: "can't open <path>" went to standard error and
  // "Error writing JPEG file" was shown. Every further file for the same folder would fail alike.
  kDestinationUnwritable,
  // The library or a write failed (an empty picture, a full disk): "Error writing JPEG file" was shown.
  kEncoderFailed,
};

// Writes `picture` (read only; it stays the caller's) to `path` at quality quality_tenths * 10. The file
// is written under a temporary name and replaces `path` only when complete, so on any failure `path`
// keeps what it held before and no partial file remains. A non-empty `icc_profile` of at most
// kMaxIccProfileBytes (photo_metadata.h) is embedded unchanged in the standard APP2 chunks, right after
// the JFIF marker; the file carries no other metadata. REQUIRES: the profile describes RGB.
EncodeOutcome EncodeJpegFile(const std::filesystem::path& path, PackedDib& picture, int quality_tenths,
                             const std::vector<unsigned char>& icc_profile = {});

}  // namespace imaging

#endif  // PIXMELD_IMAGING_JPEG_ENCODER_H_
