// DecodeJpegFile turns one JPEG file into a PackedDib of 32-bit pixel words at the file's full size.
// Each call owns everything it uses, so calls may run on several threads at once as long as the
// installed platform services are thread-safe.
#ifndef PIXMELD_IMAGING_JPEG_DECODER_H_
#define PIXMELD_IMAGING_JPEG_DECODER_H_

#include <cstdint>
#include <filesystem>
#include <string>

#include "imaging/packed_dib.h"
#include "imaging/photo_metadata.h"

namespace imaging {

// What hostile files may cost: more scans than real encoders ever write (about 10), and a cap on the
// library's own working memory.
inline constexpr int kMaxScans = 500;
inline constexpr std::int64_t kMaxLibraryMemory = std::int64_t{2} << 30;

enum class DecodeOutcome {
  kDecoded,
  kCannotOpen,  // the file could not be opened; nothing is shown
  kNoMemory,    // no memory for the pixels; nothing is shown
  kUnreadable,  // not a JPEG, broken, or beyond the limits; "Error reading JPEG file" was shown
};

// Why a decode failed, for callers that explain it (the command-line tool); the user sees only the
// fixed message.
struct DecodeReport {
  DecodeOutcome outcome = DecodeOutcome::kDecoded;
  std::string reason;
};

// Returns the picture, or an empty block when nothing could be decoded. Shows "Error reading JPEG file"
// for files the library cannot read, for pictures larger than kMaxPixels and for more than kMaxScans
// scans. Library warnings (a truncated file, say) go to standard error and do not stop the decode: rows
// without data come out as the library fills them, mid-gray.
// With `metadata`, the file's orientation and RGB colour profile are read too (see photo_metadata.h);
// malformed metadata counts as absent and never fails the decode, and the pixels are the same either way.
// Without a picture, `metadata` is left at its defaults.
PackedDib DecodeJpegFile(const std::filesystem::path& path, DecodeReport* report = nullptr,
                         PhotoMetadata* metadata = nullptr);

}  // namespace imaging

#endif  // PIXMELD_IMAGING_JPEG_DECODER_H_
