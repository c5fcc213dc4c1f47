#include "batch/fit_rule.h"

#include <gtest/gtest.h>

#include <utility>

TEST(FitRuleTest, TheLongerEdgeBecomesTheMaximumAndTheOtherRoundsDownToAtLeastOne) {
  // width, height, maximum edge: width, height. 1000 x 1001 at 960 keeps 960 x 960 by the formulas, not
  // "the longer edge" (1001 * 960 / 1000 = 960); 65000 * 60000 needs 64 bits.
  const int cases[][5] = {
      {1600, 1200, 960, 960, 720}, {1200, 1600, 960, 720, 960}, {1000, 1000, 960, 960, 960},
      {960, 500, 960, 960, 500},   {961, 500, 960, 960, 499},   {500, 960, 960, 500, 960},
      {900, 1600, 960, 540, 960},  {1001, 1000, 960, 960, 959}, {1000, 333, 100, 100, 33},
      {1000, 1001, 960, 960, 960}, {1000, 1, 24, 24, 1},        {1, 1000, 24, 1, 24},
      {65500, 3, 1, 1, 1},         {4, 65000, 60000, 3, 60000}, {0, 5000, 960, 0, 5000}};
  for (const auto& c : cases) {
    const batch::PictureSize out = batch::FitToMaxEdge({c[0], c[1]}, c[2]);
    EXPECT_EQ(std::pair(out.width, out.height), std::pair(c[3], c[4]))
        << c[0] << " x " << c[1] << " at " << c[2];
  }
}
