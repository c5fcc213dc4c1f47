// The conversions at the edges where Windows speaks UTF-16: every text converts without throwing,
// well-formed UTF-8 goes there and back unchanged, and what is not well-formed is told apart.
#include "platform/unicode.h"

#include <gtest/gtest.h>

#include "platform/file.h"

namespace {

TEST(UnicodeTest, Utf8AndUtf16ByTable) {
  const struct {
    const char* name;
    std::string utf8;
    std::u16string utf16;  // what Utf16FromUtf8 gives
    bool well_formed;
  } kCases[] = {
      {"accents and a space", "Zo\xC3\xAB \xC3\x9C", u"Zo\u00EB \u00DC", true},
      {"CJK", "\xE5\x86\x99\xE7\x9C\x9F", u"\u5199\u771F", true},
      {"an emoji, a UTF-16 pair", "\xF0\x9F\x93\xB7.jpg", u"\U0001F4F7.jpg", true},
      {"the largest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF", true},
      {"Latin-1, not UTF-8", "Zo\xEB.jpg", u"Zo\uFFFD.jpg", false},
      {"an overlong slash", "a\xC0\xAF", u"a\uFFFD\uFFFD", false},
      {"an encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false},
      {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", false},
      {"cut short", "\xE5\x86", u"\uFFFD\uFFFD", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::u16string utf16;
    EXPECT_EQ(platform::Utf16FromUtf8(c.utf8, &utf16), c.well_formed);
    EXPECT_EQ(utf16, c.utf16);
    EXPECT_EQ(platform::Utf8FromUtf16(utf16), c.well_formed ? c.utf8 : platform::Utf8FromUtf16(c.utf16));
    // Linux names are bytes, every one of them a name; Windows takes only what converts exactly.
#ifdef _WIN32
    EXPECT_EQ(platform::ExactPathFromUtf8(c.utf8).has_value(), c.well_formed);
    EXPECT_EQ(platform::PathFromUtf8(c.utf8).native(), std::wstring(c.utf16.begin(), c.utf16.end()));
#else
    EXPECT_EQ(platform::ExactPathFromUtf8(c.utf8), platform::PathFromUtf8(c.utf8));
    EXPECT_EQ(platform::PathToUtf8(platform::PathFromUtf8(c.utf8)), c.utf8);
#endif
  }
}

// A Windows name may hold half of a UTF-16 pair: it keeps bytes of its own, which convert back to nothing.
TEST(UnicodeTest, AHalfPairBecomesBytesThatAreNotUtf8) {
  EXPECT_EQ(platform::Utf8FromUtf16(u"a\xD83D"
                                    u"b\xDC37"),
            "a\xED\xA0\xBD"
            "b\xED\xB0\xB7");
#ifdef _WIN32
  EXPECT_FALSE(platform::ExactPathFromUtf8(platform::PathToUtf8(std::filesystem::path(L"a\xD83D"))));
#endif
}

}  // namespace
