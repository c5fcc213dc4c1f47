// DownsizeFile: what Pixmeld does to one photo. Decode the source, scale it down to the maximum edge when
// it is larger, turn it upright as its EXIF orientation says, and write it as a quality-80 JPEG to the
// destination, keeping only an RGB colour profile of the source's metadata. Each call owns everything it
// uses, so calls may run on several threads at once as long as the installed platform services are
// thread-safe.
#ifndef PIXMELD_BATCH_DOWNSIZE_FILE_H_
#define PIXMELD_BATCH_DOWNSIZE_FILE_H_

#include <filesystem>

#include "imaging/result.h"

namespace batch {

inline constexpr int kOutputQualityTenths = 8;

// The photo streams through: rows are decoded a band at a time, scaled as soon as a target row's band is
// complete and written as soon as they are scaled, so a photo being shrunk is never held at full size.
// Only a photo that must be turned is held whole, at its output size. The fit rule applies to the picture
// as stored, so a sideways photo is fitted by its stored width and height and then turned. A source
// without orientation or profile (or with malformed ones) gives the same bytes as one without metadata.
// Shows nothing: what happened is the Result. A destination that is the source file itself (by file
// identity, not by name) fails that photo (kWriteFailed), so the original stays intact; only a folder that
// takes no new file gives kFolderRefuses. The output takes the destination's place only once the
// source has been read to its end without error. With `threads` of 2 or more (0: one per core), a photo
// being shrunk is decoded on a second thread while the calling thread scales and writes; the bytes are
// the same either way. REQUIRES: max_edge > 0.
imaging::Result DownsizeFile(int max_edge, const std::filesystem::path& source,
                             const std::filesystem::path& destination, int threads = 0);

}  // namespace batch

#endif  // PIXMELD_BATCH_DOWNSIZE_FILE_H_
