#include "platform/wait_cursor.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace platform {
namespace {

class CountingCursor : public WaitCursor {
 public:
  void Begin() override { ++depth_, ++begins_; }
  void End() override { --depth_; }
  int depth_ = 0;
  int begins_ = 0;
};

class WaitCursorTest : public testing::Test {
 protected:
  WaitCursorTest() : previous_(InstallWaitCursor(&cursor_)) {}
  ~WaitCursorTest() override { InstallWaitCursor(previous_); }
  CountingCursor cursor_;
  WaitCursor* previous_;
};

TEST_F(WaitCursorTest, GuardsNestAndEndOnEveryWayOut) {
  try {
    ScopedWaitCursor outer;
    {
      ScopedWaitCursor inner;
      EXPECT_EQ(cursor_.depth_, 2);
    }
    EXPECT_EQ(cursor_.depth_, 1);
    throw std::runtime_error("leave early");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(cursor_.depth_, 0);
  EXPECT_EQ(cursor_.begins_, 2);
}

TEST_F(WaitCursorTest, GuardEndsOnTheCursorItBeganWith) {
  CountingCursor later;
  {
    ScopedWaitCursor busy;
    InstallWaitCursor(&later);
  }
  InstallWaitCursor(&cursor_);
  EXPECT_EQ(cursor_.depth_, 0);
  EXPECT_EQ(later.begins_, 0);
  EXPECT_EQ(later.depth_, 0);
}

}  // namespace
}  // namespace platform
