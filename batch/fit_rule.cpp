#include "batch/fit_rule.h"

#include <algorithm>
#include <cstdint>

namespace batch {

PictureSize FitToMaxEdge(PictureSize size, int max_edge) {
  if ((size.width <= max_edge && size.height <= max_edge) || size.width == 0 || size.height == 0) return size;
  // 64-bit products: 65000 x 60000 overflows 32 bits. Where 32 bits do not overflow, the results are the
  // same as with them.
  const std::int64_t w = size.width;
  const std::int64_t h = size.height;
  const std::int64_t m = max_edge;
  std::int64_t new_width = m;
  std::int64_t new_height = h * m / w;
  if (new_height > m) {
    new_width = w * m / h;
    new_height = m;
  }
  return PictureSize{static_cast<int>(std::max<std::int64_t>(new_width, 1)),
                     static_cast<int>(std::max<std::int64_t>(new_height, 1))};
}

}  // namespace batch
