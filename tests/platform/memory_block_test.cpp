#include "platform/memory_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace platform {

TEST(MemoryBlockTest, ZeroFilledOfTheAskedSizeOrEmptyPastTheLimitAndHandedOverByAMove) {
  ScopedAllocationLimit limit(4096);
  MemoryBlock block = MemoryBlock::Allocate(4096), moved = MemoryBlock::Allocate(8);
  auto* bytes = static_cast<unsigned char*>(block.Lock());
  ASSERT_NE(bytes, nullptr) << "no block as large as the limit";
  EXPECT_TRUE(std::all_of(bytes, bytes + 4096, [](unsigned char b) { return b == 0; })) << "not zero-filled";
  moved = std::move(block);
  EXPECT_TRUE(block.empty() && block.size() == 0);  // NOLINT(bugprone-use-after-move): the point
  EXPECT_EQ(std::pair(moved.size(), moved.Lock()), std::pair(std::size_t{4096}, static_cast<void*>(bytes)));
  moved.Free();
  EXPECT_TRUE(moved.empty() && moved.Lock() == nullptr && MemoryBlock::Allocate(0).Lock() == nullptr);
  EXPECT_TRUE(MemoryBlock::Allocate(4097).empty()) << "a block past the limit";
}

}  // namespace platform
