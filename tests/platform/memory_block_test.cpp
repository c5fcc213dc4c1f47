#include "platform/memory_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace platform {
namespace {

TEST(MemoryBlockTest, AllocatesZeroFilledMemoryOfTheAskedSize) {
  MemoryBlock block = MemoryBlock::Allocate(4096);
  ASSERT_FALSE(block.empty());
  EXPECT_EQ(block.size(), 4096u);
  const auto* bytes = static_cast<const unsigned char*>(block.Lock());
  ASSERT_NE(bytes, nullptr);
  EXPECT_TRUE(std::all_of(bytes, bytes + 4096, [](unsigned char b) { return b == 0; }));
  block.Unlock();
  EXPECT_FALSE(block.locked());
}

TEST(MemoryBlockTest, EmptyBlocksLockToNull) {
  MemoryBlock never_allocated;
  EXPECT_EQ(never_allocated.Lock(), nullptr);
  EXPECT_EQ(MemoryBlock::Allocate(0).Lock(), nullptr);

  MemoryBlock freed = MemoryBlock::Allocate(16);
  freed.Free();
  EXPECT_TRUE(freed.empty());
  EXPECT_EQ(freed.size(), 0u);
  EXPECT_EQ(freed.Lock(), nullptr);
}

TEST(MemoryBlockTest, FailedAllocationGivesAnEmptyBlock) {
  ScopedAllocationLimit limit(1000);
  EXPECT_TRUE(MemoryBlock::Allocate(1001).empty());
  EXPECT_FALSE(MemoryBlock::Allocate(1000).empty());
  // So does a request no machine can satisfy.
  EXPECT_TRUE(MemoryBlock::Allocate(~std::size_t{0} / 2).empty());
}

TEST(MemoryBlockTest, AllocationLimitsNestAndEnd) {
  {
    ScopedAllocationLimit outer(100);
    {
      ScopedAllocationLimit inner(10);
      EXPECT_TRUE(MemoryBlock::Allocate(50).empty());
    }
    EXPECT_FALSE(MemoryBlock::Allocate(50).empty());
    EXPECT_TRUE(MemoryBlock::Allocate(500).empty());
  }
  EXPECT_FALSE(MemoryBlock::Allocate(500).empty());
}

TEST(MemoryBlockTest, MovingHandsTheSameMemoryOver) {
  MemoryBlock giver = MemoryBlock::Allocate(64);
  static_cast<unsigned char*>(giver.Lock())[5] = 42;
  void* address = giver.Lock();
  giver.Unlock();
  giver.Unlock();

  MemoryBlock receiver = std::move(giver);
  EXPECT_TRUE(giver.empty());  // NOLINT(bugprone-use-after-move): the moved-from state is the point
  EXPECT_EQ(receiver.size(), 64u);
  EXPECT_EQ(receiver.Lock(), address);
  EXPECT_EQ(static_cast<unsigned char*>(address)[5], 42);
  receiver.Unlock();

  MemoryBlock other = MemoryBlock::Allocate(8);
  other = std::move(receiver);
  EXPECT_EQ(other.size(), 64u);
  EXPECT_TRUE(receiver.empty());  // NOLINT(bugprone-use-after-move)
}

TEST(MemoryBlockTest, LocksNest) {
  MemoryBlock block = MemoryBlock::Allocate(8);
  void* first = block.Lock();
  EXPECT_EQ(block.Lock(), first);
  block.Unlock();
  EXPECT_TRUE(block.locked());
  block.Unlock();
  EXPECT_FALSE(block.locked());
}

}  // namespace
}  // namespace platform
