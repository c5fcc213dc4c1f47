#include "batch/fit_rule.h"

#include <gtest/gtest.h>

#include <ostream>

namespace batch {

// For failure messages.
std::ostream& operator<<(std::ostream& out, PictureSize size) {
  return out << size.width << " x " << size.height;
}

namespace {

TEST(FitRuleTest, LongerEdgeBecomesTheMaximumAndTheOtherRoundsDown) {
  struct Case {
    PictureSize in;
    int max_edge;
    PictureSize out;
  };
  const Case cases[] = {
      {{1600, 1200}, 960, {960, 720}},
      {{1200, 1600}, 960, {720, 960}},
      {{1000, 1000}, 960, {960, 960}},
      {{960, 500}, 960, {960, 500}},   // fits: kept
      {{900, 1600}, 960, {540, 960}},  // only the height is too long
      {{1001, 1000}, 960, {960, 959}},
      {{1000, 1001}, 960, {960, 960}},  // the formulas, not "the longer edge": 1001 * 960 / 1000 = 960
      {{1000, 333}, 100, {100, 33}},
      {{1000, 1}, 24, {24, 1}},  // never below one pixel
      {{1, 1000}, 24, {1, 24}},
      {{4, 65000}, 60000, {3, 60000}},  // 65000 * 60000 needs 64 bits
      {{65500, 65500}, 65500, {65500, 65500}},
      {{65500, 3}, 1, {1, 1}},
      {{0, 5000}, 960, {0, 5000}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitToMaxEdge(c.in, c.max_edge), c.out) << c.in << " at " << c.max_edge;
  }
}

TEST(FitRuleTest, ResultAlwaysFitsAndKeepsTheLongerEdge) {
  for (int w = 1; w < 300; w += 7) {
    for (int h = 1; h < 300; h += 11) {
      for (int m : {1, 2, 17, 100, 299}) {
        const PictureSize out = FitToMaxEdge({w, h}, m);
        ASSERT_LE(out.width, m) << w << " x " << h << " at " << m;
        ASSERT_LE(out.height, m);
        ASSERT_GE(out.width, 1);
        ASSERT_GE(out.height, 1);
        if (w > m || h > m) {
          ASSERT_TRUE(out.width == m || out.height == m);
        }
      }
    }
  }
}

}  // namespace
}  // namespace batch
