// The replaceable error box's fallback without a window. The wait cursor is the window's test.
#include <gtest/gtest.h>

#include "platform/error_box.h"

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

}  // namespace
}  // namespace platform
