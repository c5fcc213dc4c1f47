#include "batch/work_queue.h"

#include <gtest/gtest.h>

namespace batch {
namespace {

std::vector<std::string> Entries(const WorkQueue& queue) {
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < queue.count(); ++i) entries.push_back(queue.entry(i));
  return entries;
}

TEST(WorkQueueTest, EntriesTakeTheirSortedPlaceAndAddReturnsIt) {
  WorkQueue queue;
  EXPECT_EQ(queue.Add("/p/c.jpg"), 0u);
  EXPECT_EQ(queue.Add("/p/A.jpg"), 0u);
  EXPECT_EQ(queue.Add("/p/b.jpg"), 1u);
  EXPECT_EQ(queue.Add("/o/z.jpg"), 0u) << "whole paths: the folder counts first";
  EXPECT_EQ(Entries(queue), (std::vector<std::string>{"/o/z.jpg", "/p/A.jpg", "/p/b.jpg", "/p/c.jpg"}));
}

// A path is listed once; one that differs only in letter case is another file and stands beside it.
TEST(WorkQueueTest, APathIsListedOnceAndEqualPathsStandSideBySideTheNewOneLast) {
  WorkQueue queue;
  queue.Add("/p/b.jpg");
  queue.Add("/p/a.jpg");
  EXPECT_EQ(queue.Add("/p/A.jpg"), 1u);
  EXPECT_EQ(queue.Add("/p/a.JPG"), 2u);
  EXPECT_FALSE(queue.Add("/p/A.jpg").has_value());
  EXPECT_FALSE(queue.Add("/p/a.jpg").has_value());
  EXPECT_FALSE(queue.Add("/p/b.jpg").has_value());
  EXPECT_EQ(Entries(queue), (std::vector<std::string>{"/p/a.jpg", "/p/A.jpg", "/p/a.JPG", "/p/b.jpg"}));
  EXPECT_EQ(queue.Find("/p/A.jpg"), 1u);
  EXPECT_EQ(queue.Find("/p/a.jpg"), 0u);
  EXPECT_FALSE(queue.Find("/p/c.jpg").has_value());
}

TEST(WorkQueueTest, RemoveAndClear) {
  WorkQueue queue;
  queue.Add("/a");
  queue.Add("/b");
  queue.Add("/c");
  queue.Remove(1);
  EXPECT_EQ(Entries(queue), (std::vector<std::string>{"/a", "/c"}));
  queue.Clear();
  EXPECT_TRUE(queue.empty());
  EXPECT_EQ(queue.Add("/b"), 0u);
}

}  // namespace
}  // namespace batch
