// The replaceable services: the error box's fallback without a window, and the wait cursor's nesting.
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "platform/error_box.h"
#include "platform/wait_cursor.h"

namespace platform {
namespace {

TEST(ErrorBoxTest, WithoutABoxTheTextGoesToStandardErrorUnderItsCaptionAndTheDetailBelow) {
  ScopedErrorBox none(nullptr);
  testing::internal::CaptureStderr();
  ShowErrorBox("Error reading JPEG file");
  ShowErrorBox("Error writing JPEG file", "/in/a.jpg\nPermission denied");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error: Error reading JPEG file\nError: Error writing JPEG file\n/in/a.jpg\nPermission denied\n");
}

struct CountingCursor : WaitCursor {
  void Begin() override { ++depth, ++begins; }
  void End() override { --depth; }
  int depth = 0, begins = 0;
};

// Guards nest, end on every way out, and end on the cursor they began with when another is installed.
TEST(WaitCursorTest, GuardsNestAndEndWhereTheyBegan) {
  CountingCursor cursor, later;
  WaitCursor* previous = InstallWaitCursor(&cursor);
  try {
    ScopedWaitCursor outer;
    ScopedWaitCursor inner;
    EXPECT_EQ(cursor.depth, 2);
    InstallWaitCursor(&later);
    throw std::runtime_error("leave early");
  } catch (const std::runtime_error&) {
  }
  InstallWaitCursor(previous);
  EXPECT_EQ(std::pair(cursor.depth, cursor.begins), std::pair(0, 2));
  EXPECT_EQ(std::pair(later.depth, later.begins), std::pair(0, 0));
}

}  // namespace
}  // namespace platform
