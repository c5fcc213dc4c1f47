#include "cli/escape.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cli {
namespace {

TEST(EscapeTest, ControlCharactersAndBytesThatAreNotUtf8) {
  const struct {
    std::string name;
    std::string shown;
  } cases[] = {
      {"plain photo.jpg", "plain photo.jpg"},
      {"a\nb.jpg", "a\\nb.jpg"},
      {"\r\t", "\\r\\t"},
      // So that "\n" in a name differs from a newline; where a backslash separates folders, no name has one.
      {"back\\slash", std::filesystem::path::preferred_separator == '\\' ? "back\\slash" : "back\\\\slash"},
      {"\x1b[31mred", "\\x1b[31mred"},  // ESC: a terminal command
      {std::string("nul\0x", 5), "nul\\x00x"},
      {"\x7f\x01", "\\x7f\\x01"},  // DEL and C0
      {"\xC3\x9Cmlaut \xE2\x82\xAC \xF0\x9F\x93\xB7",
       "\xC3\x9Cmlaut \xE2\x82\xAC \xF0\x9F\x93\xB7"},  // UTF-8 stays
      {"\xC2\x9B[31m", "\\xc2\\x9b[31m"},               // U+009B, the CSI of C1
      {"\xC2\xA0", "\xC2\xA0"},                         // U+00A0 is no control
      {"\xDCmlaut", "\\xdcmlaut"},                      // Latin-1, not UTF-8
      {"\x9b", "\\x9b"},                                // a stray continuation byte
      {"\xC0\xAF", "\\xc0\\xaf"},                       // overlong "/"
      {"\xED\xA0\x80", "\\xed\\xa0\\x80"},              // a surrogate
      {"\xF4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},     // above U+10FFFF
      {"\xE2\x82", "\\xe2\\x82"},                       // cut short at the end
  };
  for (const auto& [name, shown] : cases) {
    EXPECT_EQ(EscapeForTerminal(name), shown) << testing::PrintToString(name);
  }
}

}  // namespace
}  // namespace cli
