// The queue's order, the queue itself, and which names join it.
#include "batch/path_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <tuple>

#include "batch/jpeg_name.h"
#include "batch/work_queue.h"

namespace fs = std::filesystem;

// Every letter whose case folds, by range: capitals `first` to `last` in steps of `step`, each with the
// small letter as far from `small` as the capital is from `first`.
static constexpr struct {
  std::uint32_t first, last, small, step;
} kFolds[] = {
    {'A', 'Z', 'a', 1},          {0xC0, 0xD6, 0xE0, 1},       {0xD8, 0xDE, 0xF8, 1},     // ASCII, Latin-1
    {0x100, 0x12E, 0x101, 2},    {0x130, 0x130, 'i', 1},      {0x132, 0x136, 0x133, 2},  // Latin Extended-A
    {0x139, 0x147, 0x13A, 2},    {0x14A, 0x176, 0x14B, 2},    {0x178, 0x178, 0xFF, 1},
    {0x179, 0x17D, 0x17A, 2},    {0x386, 0x386, 0x3AC, 1},    {0x388, 0x38A, 0x3AD, 1},  // accented Greek
    {0x38C, 0x38C, 0x3CC, 1},    {0x38E, 0x38F, 0x3CD, 1},    {0x391, 0x3A1, 0x3B1, 1},  // Greek
    {0x3A3, 0x3AB, 0x3C3, 1},    {0x400, 0x40F, 0x450, 1},    {0x410, 0x42F, 0x430, 1},  // Cyrillic
    {0x460, 0x480, 0x461, 2},    {0x48A, 0x4BE, 0x48B, 2},    {0x4C0, 0x4C0, 0x4CF, 1},
    {0x4C1, 0x4CD, 0x4C2, 2},    {0x4D0, 0x52E, 0x4D1, 2},    {0x531, 0x556, 0x561, 1},     // Armenian
    {0x1E00, 0x1E94, 0x1E01, 2}, {0x1EA0, 0x1EFE, 0x1EA1, 2}, {0xFF21, 0xFF3A, 0xFF41, 1},  // full width
};

// One-character paths over every folded range and around it sort in code point order after folding, a
// capital and its small letter side by side in the order they came.
TEST(PathOrderTest, CaseFoldsOverEveryRangeAndNothingElseFolds) {
  std::map<std::uint32_t, std::uint32_t> fold;
  for (const auto& r : kFolds)
    for (std::uint32_t c = r.first; c <= r.last; c += r.step) fold[c] = r.small + (c - r.first);
  std::vector<std::tuple<std::uint32_t, std::uint32_t, std::string>> expected;  // folded, code point, UTF-8
  for (auto [from, to] : {std::pair{0x20u, 0x600u}, {0x1DF0u, 0x1F10u}, {0xFF00u, 0xFF60u}}) {
    for (std::uint32_t c = from; c < to; ++c)
      expected.emplace_back(fold.count(c) ? fold[c] : c, c,
                            fs::path(std::u32string(1, char32_t(c))).u8string());
  }
  auto sorted = expected;
  std::sort(expected.begin(), expected.end());  // by the folded code point, equal ones as they came
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](auto& a, auto& b) { return batch::PathLess(std::get<2>(a), std::get<2>(b)); });
  const auto wrong = std::mismatch(sorted.begin(), sorted.end(), expected.begin());
  EXPECT_TRUE(wrong.first == sorted.end())
      << std::hex << "U+" << std::get<1>(*wrong.first) << " where U+" << std::get<1>(*wrong.second);
}

// Whole paths, the folder part included; after U+10FFFF, by byte value: a sequence cut short, an overlong
// form, a Latin-1 byte and a surrogate.
TEST(PathOrderTest, WholePathsThenInvalidBytesByValue) {
  const char* order[] = {"",      "/a-2/0",        "/a/b",  "/p/a",         "/P/A.jpg", "/\xF4\x8F\xBF\xBF",
                         "/\xC3", "/\xE0\x80\x80", "/\xE4", "/\xED\xA0\x80"};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    EXPECT_TRUE(batch::PathLess(order[i], order[i + 1]) && !batch::PathLess(order[i + 1], order[i])) << i;
  }
}

TEST(WorkQueueTest, EachPathOnceAtItsSortedPlaceEqualOnesInTheOrderTheyCame) {
  batch::WorkQueue queue;
  const std::pair<const char*, int> adds[] = {{"/p/c", 0},  {"/p/a", 0}, {"/p/B", 1}, {"/p/A", 1},
                                              {"/p/a", -1}, {"/o/z", 0}, {"/p/c", -1}};  // -1: queued already
  for (auto [path, index] : adds) EXPECT_EQ(queue.Add(path).value_or(-1), std::size_t(index)) << path;
  EXPECT_TRUE(queue.Find("/p/A") == 2u && !queue.Find("/p/b"));
  queue.Remove(2);
  EXPECT_EQ(std::pair(queue.count(), queue.entry(2)), std::pair(std::size_t{4}, std::string("/p/B")));
}

// Which names join the queue: the ending, in any letter case. (The ending has no separator, so the last
// component's ending is the path's.)
TEST(JpegNameTest, JpgOrJpegEndingOfTheLastComponent) {
  const std::pair<const char*, bool> names[] = {{"a.jpg", true}, {"B.JPEG", true},       {"c.JpG", true},
                                                {".jpg", true},  {"a.png", false},       {"a.jpgx", false},
                                                {"jpg", false},  {"a.j\xC3\xA9g", false}};
  for (auto [name, joins] : names) EXPECT_EQ(batch::HasJpegExtension(name), joins) << name;
}
