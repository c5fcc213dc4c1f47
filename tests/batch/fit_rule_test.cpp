#include "batch/fit_rule.h"

#include <gtest/gtest.h>

TEST(FitRuleTest, TheLongerEdgeBecomesTheMaximumAndTheOtherRoundsDownToAtLeastOne) {
  const struct {
    const char* name;
    int width, height, max_edge, fitted_width, fitted_height;
  } kCases[] = {
      {"portrait: by its height", 900, 1600, 960, 540, 960},
      {"a pixel too wide: the height rounds down", 961, 400, 960, 960, 399},
      // 1001 * 960 / 1000 = 960: not "the longer edge" but the width's formula first decides.
      {"a pixel taller than wide", 1000, 1001, 960, 960, 960},
      {"a line across: at least one pixel high", 1000, 1, 24, 24, 1},
      {"a line down: at least one pixel wide", 1, 1000, 24, 1, 24},
      {"products past 32 bits", 4, 65000, 60000, 3, 60000},
      {"no width: kept", 0, 5000, 960, 0, 5000},
  };
  for (const auto& c : kCases) {
    const batch::PictureSize fitted = batch::FitToMaxEdge({c.width, c.height}, c.max_edge);
    EXPECT_EQ(fitted.width, c.fitted_width) << c.name;
    EXPECT_EQ(fitted.height, c.fitted_height) << c.name;
  }
}
