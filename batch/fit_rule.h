// The fit rule: the size a photo gets for a chosen maximum edge. Thread-safe.
#ifndef PIXMELD_BATCH_FIT_RULE_H_
#define PIXMELD_BATCH_FIT_RULE_H_

namespace batch {

struct PictureSize {
  int width = 0;
  int height = 0;
  friend bool operator==(PictureSize a, PictureSize b) { return a.width == b.width && a.height == b.height; }
};

// A picture whose width or height exceeds `max_edge` is scaled so that its longer edge becomes max_edge:
// width max_edge and height H * max_edge / W, or, when that height still exceeds max_edge, width
// W * max_edge / H and height max_edge, rounding down, but never below 1 pixel. Other pictures keep their
// size. REQUIRES: max_edge > 0, width and height >= 0.
PictureSize FitToMaxEdge(PictureSize size, int max_edge);

}  // namespace batch

#endif  // PIXMELD_BATCH_FIT_RULE_H_
