// Orientation: what a stored photo needs in order to show as it was taken, in the terms of the EXIF
// orientation tag, and TurnUpright, which moves a raster's pixels accordingly. A call touches only the
// raster it is given, so different rasters may be turned on several threads at once.
#ifndef PIXMELD_IMAGING_ORIENTATION_H_
#define PIXMELD_IMAGING_ORIENTATION_H_

#include "imaging/raster_image.h"

namespace imaging {

// The eight values of the EXIF orientation tag, named by what the stored picture needs to be upright.
// A quarter turn is clockwise; "mirror" swaps left and right.
enum class Orientation {
  kUpright = 1,     // nothing
  kMirror = 2,      // mirror
  kRotate180 = 3,   // two quarter turns
  kFlip = 4,        // swap top and bottom: two quarter turns, then mirror
  kTranspose = 5,   // one quarter turn, then mirror
  kRotate90 = 6,    // one quarter turn
  kTransverse = 7,  // three quarter turns, then mirror
  kRotate270 = 8,   // three quarter turns
};

// True for the orientations that swap width and height.
bool SwapsEdges(Orientation orientation);

// Moves the pixels so that the picture shows upright; for 5 to 8 the width and height swap. Mirroring and
// the half turn work in place; the others write one new raster of the same size in tiles that stay in
// the cache, then give up the old one. Returns false, leaving the raster as it was, when that new raster
// cannot be allocated. A raster without pixels is left as it is. REQUIRES: the raster is not locked.
bool TurnUpright(RasterImage& raster, Orientation orientation);

}  // namespace imaging

#endif  // PIXMELD_IMAGING_ORIENTATION_H_
