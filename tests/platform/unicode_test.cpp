// The conversions at the edges where Windows speaks UTF-16: every text converts without throwing, and what
// is not well-formed UTF-8 (which EscapeTest tells apart in detail) is marked; the round trip is
// ProgramNamesTest's, through UTF-16 lists. And the Windows console, which shows every name as it is.
#include "platform/unicode.h"

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/standard_error.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

TEST(UnicodeTest, Utf8AndUtf16ByTable) {
  const struct {
    const char* name;
    std::string utf8;
    std::u16string utf16;  // what Utf16FromUtf8 gives
    bool well_formed;
  } kCases[] = {
      {"an emoji, a UTF-16 pair", "\xF0\x9F\x93\xB7.jpg", u"\U0001F4F7.jpg", true},
      {"Latin-1, not UTF-8", "Zo\xEB.jpg", u"Zo\uFFFD.jpg", false},
      {"cut short", "\xE5\x86", u"\uFFFD\uFFFD", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::u16string utf16;
    EXPECT_EQ(platform::Utf16FromUtf8(c.utf8, &utf16), c.well_formed);
    EXPECT_EQ(utf16, c.utf16);
  }
  // A Windows name may hold half of a UTF-16 pair: it keeps bytes of its own, which convert back to nothing.
  EXPECT_EQ(platform::Utf8FromUtf16(u"x\xD83Dy\xDC37"), "x\xED\xA0\xBDy\xED\xB0\xB7");
#ifdef _WIN32
  EXPECT_FALSE(platform::ExactPathFromUtf8(platform::PathToUtf8(std::filesystem::path(L"a\xD83D"))));
#endif
}

#ifdef _WIN32
// Whatever the console's code page: the text reaches it as UTF-16. (Wine gives a console a screen buffer
// only on a display, which scripts/test-windows provides.)
TEST(StandardErrorTest, AConsoleShowsEveryLetter) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  ShowWindow(GetConsoleWindow(), SW_HIDE);
  const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  SetStdHandle(STD_ERROR_HANDLE, console);
  platform::WriteStandardError("Zo\xC3\xAB \xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x93\xB7\n");
  std::wstring shown(9, L'\0');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(console, shown.data(), 9, {0, 0}, &read);
  EXPECT_EQ(shown, L"Zo\u00EB \u5199\u771F \U0001F4F7");
}
#endif

}  // namespace
