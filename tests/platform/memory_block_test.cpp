#include "platform/memory_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "platform/error_box.h"
#include "tests/support/recording_error_box.h"

namespace platform {
namespace {

TEST(MemoryBlockTest, ZeroFilledOfTheAskedSizeLocksNestAMoveHandsItOver) {
  MemoryBlock block = MemoryBlock::Allocate(4096);
  ASSERT_EQ(block.size(), 4096u);
  auto* bytes = static_cast<unsigned char*>(block.Lock());
  EXPECT_TRUE(bytes != nullptr && std::all_of(bytes, bytes + 4096, [](unsigned char b) { return b == 0; }));
  EXPECT_EQ(block.Lock(), bytes);
  block.Unlock();
  EXPECT_TRUE(block.locked());
  block.Unlock();
  EXPECT_FALSE(block.locked());
  MemoryBlock moved = MemoryBlock::Allocate(8);
  moved = std::move(block);
  EXPECT_TRUE(block.empty() && block.size() == 0);  // NOLINT(bugprone-use-after-move): the point
  EXPECT_EQ(std::pair(moved.size(), moved.Lock()), std::pair(std::size_t{4096}, static_cast<void*>(bytes)));
  moved.Free();
  EXPECT_TRUE(moved.empty() && moved.size() == 0 && moved.Lock() == nullptr &&
              MemoryBlock().Lock() == nullptr);
  EXPECT_TRUE(MemoryBlock::Allocate(0).empty());
  {
    ScopedAllocationLimit outer(1000);
    EXPECT_EQ(MemoryBlock::Allocate(1000).size(), 1000u);
    EXPECT_TRUE(MemoryBlock::Allocate(1001).empty());
    {
      ScopedAllocationLimit inner(10);
      EXPECT_TRUE(MemoryBlock::Allocate(50).empty());
    }
    EXPECT_FALSE(MemoryBlock::Allocate(50).empty());
  }
  EXPECT_FALSE(MemoryBlock::Allocate(5000).empty());
}

// The other service every test leans on: the error box a scope installs, and the one without a window.
TEST(ErrorBoxTest, ScopesRestoreTheBoxTheyReplacedAndWithoutOneTheTextGoesToStandardError) {
  {
    testing_support::RecordingErrorBox outer;
    { testing_support::RecordingErrorBox inner; }
    ShowErrorBox("shown");
    EXPECT_EQ(outer.shown(), std::vector<std::string>{"shown"});
  }
  ErrorBox* previous = InstallErrorBox(nullptr);
  testing::internal::CaptureStderr();
  ShowErrorBox("Error reading JPEG file");
  const std::string written = testing::internal::GetCapturedStderr();
  InstallErrorBox(previous);
  EXPECT_EQ(written, "Error: Error reading JPEG file\n");
}

}  // namespace
}  // namespace platform
