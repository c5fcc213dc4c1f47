#include "batch/fit_rule.h"

#include <gtest/gtest.h>

namespace batch {
namespace {

TEST(FitRuleTest, TheLongerEdgeBecomesTheMaximumAndTheOtherRoundsDown) {
  const struct {
    int width, height, max_edge, out_width, out_height;
  } cases[] = {
      {1600, 1200, 960, 960, 720}, {1200, 1600, 960, 720, 960}, {1000, 1000, 960, 960, 960},
      {960, 500, 960, 960, 500},   {961, 500, 960, 960, 499},   {500, 960, 960, 500, 960},
      {900, 1600, 960, 540, 960},  {1001, 1000, 960, 960, 959}, {1000, 333, 100, 100, 33},
      {1000, 1001, 960, 960, 960},  // the formulas, not "the longer edge": 1001 * 960 / 1000 = 960
      {1000, 1, 24, 24, 1},        {1, 1000, 24, 1, 24},        {65500, 3, 1, 1, 1},  // never below 1
      {4, 65000, 60000, 3, 60000},  // 65000 * 60000 needs 64 bits
      {0, 5000, 960, 0, 5000},
  };
  for (const auto& c : cases) {
    const PictureSize out = FitToMaxEdge({c.width, c.height}, c.max_edge);
    EXPECT_EQ(out.width, c.out_width) << c.width << " x " << c.height << " at " << c.max_edge;
    EXPECT_EQ(out.height, c.out_height) << c.width << " x " << c.height << " at " << c.max_edge;
  }
  // Whatever the size, the result fits, and a picture that did not fit gets the maximum on one edge.
  for (int w = 1; w < 300; w += 7) {
    for (int h = 1; h < 300; h += 11) {
      for (int m : {1, 2, 17, 100, 299}) {
        const PictureSize out = FitToMaxEdge({w, h}, m);
        ASSERT_TRUE(out.width >= 1 && out.width <= m && out.height >= 1 && out.height <= m) << w << " " << h;
        ASSERT_TRUE(!(w > m || h > m) || out.width == m || out.height == m) << w << " x " << h << " at " << m;
      }
    }
  }
}

}  // namespace
}  // namespace batch
