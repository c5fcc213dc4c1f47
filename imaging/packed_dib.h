// PackedDib: a picture handed from one stage to the next as one memory block, the 40-byte
// BitmapInfoHeader followed by the pixel words in bottom-up order. An empty block means "no picture".
// Whoever receives a PackedDib owns it; it is released when its last owner lets go.
#ifndef PIXMELD_IMAGING_PACKED_DIB_H_
#define PIXMELD_IMAGING_PACKED_DIB_H_

#include "platform/memory_block.h"

namespace imaging {

using PackedDib = platform::MemoryBlock;

}  // namespace imaging

#endif  // PIXMELD_IMAGING_PACKED_DIB_H_
