#include "batch/path_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace batch {
namespace {

using Paths = std::vector<std::string>;

Paths Sorted(Paths paths) {
  std::stable_sort(paths.begin(), paths.end(),
                   [](const std::string& a, const std::string& b) { return PathLess(a, b); });
  return paths;
}

TEST(PathOrderTest, LetterCaseIsIgnoredWhateverTheOrderOfAdding) {
  const Paths expected = {"/p/a.jpg", "/p/B.jpg", "/p/c.jpg"};
  // A plain byte comparison would put "B" first.
  EXPECT_EQ(Sorted({"/p/c.jpg", "/p/B.jpg", "/p/a.jpg"}), expected);
  EXPECT_EQ(Sorted({"/p/B.jpg", "/p/a.jpg", "/p/c.jpg"}), expected);
  EXPECT_EQ(Sorted({"/p/c.jpg", "/p/A.jpg", "/p/b.jpg"}), (Paths{"/p/A.jpg", "/p/b.jpg", "/p/c.jpg"}));
}

TEST(PathOrderTest, WholePathsCountFolderPartIncluded) {
  // Locale collation ignores punctuation and would interleave the two folders.
  EXPECT_EQ(Sorted({"/photos-2/a.jpg", "/photos/z.jpg", "/photos/b.jpg", "/photos-2/0.jpg"}),
            (Paths{"/photos-2/0.jpg", "/photos-2/a.jpg", "/photos/b.jpg", "/photos/z.jpg"}));
  EXPECT_EQ(Sorted({"/b/a.jpg", "/a/z.jpg"}), (Paths{"/a/z.jpg", "/b/a.jpg"}));
}

TEST(PathOrderTest, EqualPathsKeepTheirOrderOfAdding) {
  EXPECT_EQ(ComparePaths("/p/A.jpg", "/p/a.jpg"), 0);
  EXPECT_EQ(Sorted({"/p/b.jpg", "/p/A.jpg", "/p/c.jpg", "/p/a.jpg", "/p/A.jpg"}),
            (Paths{"/p/A.jpg", "/p/a.jpg", "/p/A.jpg", "/p/b.jpg", "/p/c.jpg"}));
}

TEST(PathOrderTest, NonAsciiLettersFoldInAnyLocale) {
  // "Ä" with "ä", "Ω" with "ω", "Ж" with "ж", "Ł" with "ł"; the test program runs in the C locale.
  EXPECT_EQ(ComparePaths("/\xC3\x84pfel.jpg", "/\xC3\xA4pfel.jpg"), 0);
  EXPECT_EQ(ComparePaths("/\xCE\xA9.jpg", "/\xCF\x89.jpg"), 0);
  EXPECT_EQ(ComparePaths("/\xD0\x96.jpg", "/\xD0\xB6.jpg"), 0);
  EXPECT_EQ(ComparePaths("/\xC5\x81\xC3\xB3"
                         "d\xC5\xBA.jpg",
                         "/\xC5\x82\xC3\xB3"
                         "D\xC5\xBA.jpg"),
            0);
  // Code point order after folding: "ä" (U+00E4) after "z", "Ä" likewise.
  EXPECT_EQ(Sorted({"/\xC3\x84.jpg", "/z.jpg", "/a.jpg"}), (Paths{"/a.jpg", "/z.jpg", "/\xC3\x84.jpg"}));
  EXPECT_LT(ComparePaths("/\xC3\xA4", "/\xC3\xB6"), 0);  // ä before ö
}

TEST(PathOrderTest, BytesThatAreNotUtf8CompareByValueAfterEveryCharacter) {
  const std::string latin1 = "/\xE4pfel.jpg";  // "äpfel" in Latin-1: not valid UTF-8
  EXPECT_GT(ComparePaths(latin1, "/\xF4\x8F\xBF\xBF.jpg"), 0) << "after U+10FFFF";
  EXPECT_LT(ComparePaths("/\xC3", "/\xC4"), 0) << "truncated sequences compare by their bytes";
  EXPECT_EQ(ComparePaths("/\xE4", "/\xE4"), 0);
  EXPECT_NE(ComparePaths("/\xC0\x80", "/"), 0) << "an overlong form is not a character";
  EXPECT_NE(ComparePaths("/\xED\xA0\x80", "/\xEF\xBF\xBD"), 0) << "nor is a surrogate";
  EXPECT_EQ(Sorted({latin1, "/b.jpg", "/A.jpg"}), (Paths{"/A.jpg", "/b.jpg", latin1}));
}

TEST(PathOrderTest, AShorterPathThatIsAPrefixComesFirst) {
  EXPECT_LT(ComparePaths("/p/a", "/p/a.jpg"), 0);
  EXPECT_GT(ComparePaths("/p/A.JPG", "/p/a"), 0);
  EXPECT_EQ(ComparePaths("", ""), 0);
}

}  // namespace
}  // namespace batch
