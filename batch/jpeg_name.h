// Which dropped files join the queue: names ending in ".jpg" or ".jpeg", in any letter case. Thread-safe.
#ifndef PIXMELD_BATCH_JPEG_NAME_H_
#define PIXMELD_BATCH_JPEG_NAME_H_

#include <string_view>

namespace batch {

// True when the last component of `path` (UTF-8, either separator) ends in ".jpg" or ".jpeg", compared
// without regard to letter case.
bool HasJpegExtension(std::string_view path);

}  // namespace batch

#endif  // PIXMELD_BATCH_JPEG_NAME_H_
