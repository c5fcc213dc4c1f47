#include "platform/error_box.h"

#include <gtest/gtest.h>

#include "tests/support/recording_error_box.h"

namespace platform {
namespace {

using testing_support::RecordingErrorBox;

TEST(ErrorBoxTest, InstalledBoxSeesEveryTextInOrder) {
  RecordingErrorBox recorder;
  ShowErrorBox("first");
  ShowErrorBox("second");
  EXPECT_EQ(recorder.shown(), (std::vector<std::string>{"first", "second"}));
}

TEST(ErrorBoxTest, ScopesRestoreTheBoxTheyReplaced) {
  RecordingErrorBox outer;
  {
    RecordingErrorBox inner;
    ShowErrorBox("inner");
    EXPECT_EQ(inner.shown().size(), 1u);
  }
  ShowErrorBox("outer");
  EXPECT_EQ(outer.shown(), std::vector<std::string>{"outer"});
}

TEST(ErrorBoxTest, WithoutABoxTheTextGoesToStandardErrorUnderItsCaption) {
  ErrorBox* previous = InstallErrorBox(nullptr);
  testing::internal::CaptureStderr();
  ShowErrorBox("Error reading JPEG file");
  const std::string written = testing::internal::GetCapturedStderr();
  InstallErrorBox(previous);
  EXPECT_EQ(written, "Error: Error reading JPEG file\n");
}

}  // namespace
}  // namespace platform
