#include "cli/escape.h"

#include <filesystem>

namespace cli {
namespace {

// The length of the well-formed UTF-8 sequence at the start of `text`: 0 for none (a stray
// continuation byte, an overlong form, a surrogate, a code point above U+10FFFF, a cut sequence).
std::size_t Utf8Length(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

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
    const std::size_t length = Utf8Length(text);
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
