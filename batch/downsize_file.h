// DownsizeFile: what Pixmeld does to one photo. Decode the source, scale it down to the maximum edge when
// it is larger, turn it upright as its EXIF orientation says, and write it as a quality-80 JPEG to the
// destination, keeping only an RGB colour profile of the source's metadata. Each call owns everything it
// uses, so calls may run on several threads at once as long as the installed platform services are
// thread-safe.
#ifndef PIXMELD_BATCH_DOWNSIZE_FILE_H_
#define PIXMELD_BATCH_DOWNSIZE_FILE_H_

#include <filesystem>
#include <string>

namespace batch {

inline constexpr int kOutputQualityTenths = 8;

enum class DownsizeOutcome {
  kWritten,
  kSourceUnreadable,       // the source could not be opened or decoded; nothing was written
  kDestinationUnwritable,  // the destination folder refuses new files, or the destination is the source
  kEncoderFailed,          // the encoder failed for this photo; the destination is as it was
};

struct DownsizeResult {
  DownsizeOutcome outcome = DownsizeOutcome::kWritten;
  std::string reason;  // why it failed, for callers that explain it; empty when written
};

// The fit rule applies to the picture as stored, so a sideways photo is fitted by its stored width and
// height and then turned. A source without orientation or profile (or with malformed ones) gives the
// same bytes as one without any metadata.
// Shows the codec's error boxes as they happen (none for a source that cannot be opened). A destination
// that is the source file itself (by file identity, not by name) is refused with "Error writing JPEG
// file", so the original photo stays intact. `resample_threads` bounds the threads that scale the photo
// (0: one per core). REQUIRES: max_edge > 0.
DownsizeResult DownsizeFile(int max_edge, const std::filesystem::path& source,
                            const std::filesystem::path& destination, int resample_threads = 0);

// The message box text that belongs to an outcome; empty for kWritten.
const char* OutcomeMessage(DownsizeOutcome outcome);

}  // namespace batch

#endif  // PIXMELD_BATCH_DOWNSIZE_FILE_H_
