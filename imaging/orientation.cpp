#include "imaging/orientation.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace imaging {
namespace {

// Target tiles of kTile x kTile words. A tile reads kTile source rows of kTile words each: 32 x 128 bytes
// = 4 KiB of source and as much of target, so every source cache line fetched for the first target row
// of the tile is still there for the other rows.
constexpr int kTile = 32;

// The quarter-turn orientations in memory terms. Rows are stored bottom-up, so with W x H the stored size,
// target memory row R, column X (R < W, X < H) takes source memory row r(X) and column c(R), where
// r(X) = X or H - 1 - X and c(R) = R or W - 1 - R. Worked out from the top-down definitions:
//   5 transpose   target (X, Y) = source (Y, X)                  c = W - 1 - R   r = H - 1 - X
//   6 rotate 90   target (X, Y) = source (Y, H - 1 - X)          c = W - 1 - R   r = X
//   7 transverse  target (X, Y) = source (W - 1 - Y, H - 1 - X)  c = R           r = X
//   8 rotate 270  target (X, Y) = source (W - 1 - Y, X)          c = R           r = H - 1 - X
// (In memory, 7 is the plain transpose.)
void TurnQuarter(const std::uint32_t* source, int width, int height, Orientation orientation,
                 std::uint32_t* target) {
  const bool columns_reversed =
      orientation == Orientation::kTranspose || orientation == Orientation::kRotate90;
  const bool rows_reversed = orientation == Orientation::kTranspose || orientation == Orientation::kRotate270;
  // Source word of (R, X) = origin + R * column_step + X * row_step, all in words.
  const std::ptrdiff_t row_step = rows_reversed ? -std::ptrdiff_t{width} : width;
  const std::ptrdiff_t column_step = columns_reversed ? -1 : 1;
  const std::ptrdiff_t origin =
      (rows_reversed ? std::ptrdiff_t{height - 1} * width : 0) + (columns_reversed ? width - 1 : 0);

  const int target_width = height;
  const int target_height = width;
  for (int r0 = 0; r0 < target_height; r0 += kTile) {
    const int r1 = std::min(r0 + kTile, target_height);
    for (int x0 = 0; x0 < target_width; x0 += kTile) {
      const int x1 = std::min(x0 + kTile, target_width);
      for (int r = r0; r < r1; ++r) {
        std::uint32_t* to = target + std::ptrdiff_t{r} * target_width;
        std::ptrdiff_t from = origin + r * column_step + x0 * row_step;
        for (int x = x0; x < x1; ++x, from += row_step) to[x] = source[from];
      }
    }
  }
}

// The orientations that keep the size, in place.
void TurnInPlace(std::uint32_t* words, int width, int height, Orientation orientation) {
  const std::ptrdiff_t w = width;
  switch (orientation) {
    case Orientation::kMirror:
      for (int r = 0; r < height; ++r) std::reverse(words + r * w, words + (r + 1) * w);
      return;
    case Orientation::kRotate180:
      std::reverse(words, words + height * w);
      return;
    case Orientation::kFlip:
      for (int r = 0; r < height / 2; ++r) {
        std::swap_ranges(words + r * w, words + (r + 1) * w, words + (height - 1 - r) * w);
      }
      return;
    default:
      return;
  }
}

}  // namespace

bool SwapsEdges(Orientation orientation) {
  return orientation == Orientation::kTranspose || orientation == Orientation::kRotate90 ||
         orientation == Orientation::kTransverse || orientation == Orientation::kRotate270;
}

bool TurnUpright(RasterImage& raster, Orientation orientation) {
  assert(raster.pixels() == nullptr);
  if (!raster.has_pixels() || orientation == Orientation::kUpright) return true;
  const int width = raster.width();
  const int height = raster.height();

  if (!SwapsEdges(orientation)) {
    raster.Lock();
    TurnInPlace(raster.pixels(), width, height, orientation);
    raster.Unlock();
    return true;
  }

  RasterImage turned;
  turned.SetSize(height, width);
  if (!turned.has_pixels()) return false;
  raster.Lock();
  turned.Lock();
  TurnQuarter(raster.pixels(), width, height, orientation, turned.pixels());
  turned.Unlock();
  raster.Unlock();
  raster = std::move(turned);
  return true;
}

}  // namespace imaging
