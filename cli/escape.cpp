#include "cli/escape.h"

#include <filesystem>

#include "platform/unicode.h"

namespace cli {
namespace {

void AppendHex(std::string& out, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += "\\x";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0xF];
}

// Where a backslash separates folders (Windows), no name holds one, nor a control character, so it stays
// as it is; elsewhere it is doubled, so that a name with "\n" in it differs from one with a newline.
constexpr bool kBackslashSeparatesFolders = std::filesystem::path::preferred_separator == '\\';

}  // namespace

std::string EscapeForTerminal(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const unsigned char byte = static_cast<unsigned char>(text[0]);
    const std::size_t length = platform::Utf8SequenceLength(text);
    if (byte == '\\' && !kBackslashSeparatesFolders) {
      out += "\\\\";
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      AppendHex(out, byte);
    } else if (length == 0 || (byte == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0)) {
      // Not UTF-8, or U+0080 to U+009F, which some terminals obey as C1 controls (CSI is U+009B).
      for (std::size_t i = 0; i < (length == 0 ? 1 : length); ++i) {
        AppendHex(out, static_cast<unsigned char>(text[i]));
      }
    } else {
      out.append(text.substr(0, length));
    }
    text.remove_prefix(length == 0 ? 1 : length);
  }
  return out;
}

}  // namespace cli
