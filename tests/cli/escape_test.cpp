#include "cli/escape.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cli {
namespace {

TEST(EscapeTest, ControlCharactersAndBytesThatAreNotUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain photo.jpg", "plain photo.jpg"},
      {"a\nb\r\t", "a\\nb\\r\\t"},
      // So that "\n" in a name differs from a newline; where a backslash separates folders, no name has one.
      {"back\\slash", std::filesystem::path::preferred_separator == '\\' ? "back\\slash" : "back\\\\slash"},
      {"\x1b[31mred", "\\x1b[31mred"},  // ESC: a terminal command
      {std::string("nul\0x\x1f", 6), "nul\\x00x\\x1f"},
      {"\x7f\x01", "\\x7f\\x01"},  // DEL and C0
      {"\xC3\x9Cmlaut \xE2\x82\xAC \xF0\x9F\x93\xB7", "\xC3\x9Cmlaut \xE2\x82\xAC \xF0\x9F\x93\xB7"},
      {"\xC2\x9B[31m", "\\xc2\\x9b[31m"},                           // U+009B, the CSI of C1
      {"\xC2\x80\xC2\xA0", "\\xc2\\x80\xC2\xA0"},                   // U+0080 is a control, U+00A0 none
      {"\xDCmlaut", "\\xdcmlaut"},                                  // Latin-1, not UTF-8
      {"\x9b", "\\x9b"},                                            // a stray continuation byte
      {"\xC0\xAF\xE0\x9F\xBF", "\\xc0\\xaf\\xe0\\x9f\\xbf"},        // overlong forms
      {"\xED\xA0\x80\xED\x9F\xBF", "\\xed\\xa0\\x80\xED\x9F\xBF"},  // a surrogate; U+D7FF is none
      {"\xF4\x90\x80\x80\xF4\x8F\xBF\xBF", "\\xf4\\x90\\x80\\x80\xF4\x8F\xBF\xBF"},  // above U+10FFFF
      {"\xF0\x8F\xBF\xBF\xF5", "\\xf0\\x8f\\xbf\\xbf\\xf5"},  // overlong, and no lead byte
      {"\xE2\x82", "\\xe2\\x82"},                             // cut short at the end
      {"\xE2\x28\xA1", "\\xe2(\\xa1"},                        // a sequence broken by an ASCII byte
  };
  for (const auto& [name, shown] : cases) {
    EXPECT_EQ(EscapeForTerminal(name), shown) << testing::PrintToString(name);
  }
}

}  // namespace
}  // namespace cli
