#include "platform/unicode.h"

#include <utility>

namespace platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The code point of the well-formed sequence at the start of `text` and its length, or a length of 0.
// Well-formed as Unicode's table 3-7 says: no overlong forms, no surrogates, nothing past U+10FFFF.
std::pair<char32_t, std::size_t> DecodeOne(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t value = 0, minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return {0, 0};
  }
  if (text.size() < length) return {0, 0};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {0, 0};
    value = (value << 6) | (byte(i) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {0, 0};
  return {value, length};
}

void AppendUtf8(char32_t value, std::string* utf8) {
  const auto put = [&](unsigned bits) { utf8->push_back(static_cast<char>(bits)); };
  if (value < 0x80) {
    put(value);
  } else if (value < 0x800) {
    put(0xC0 | (value >> 6)), put(0x80 | (value & 0x3F));
  } else if (value < 0x10000) {
    put(0xE0 | (value >> 12)), put(0x80 | ((value >> 6) & 0x3F)), put(0x80 | (value & 0x3F));
  } else {
    put(0xF0 | (value >> 18)), put(0x80 | ((value >> 12) & 0x3F)), put(0x80 | ((value >> 6) & 0x3F));
    put(0x80 | (value & 0x3F));
  }
}

}  // namespace

bool Utf16FromUtf8(std::string_view utf8, std::u16string* utf16) {
  utf16->clear();
  utf16->reserve(utf8.size());
  bool well_formed = true;
  while (!utf8.empty()) {
    const auto [value, length] = DecodeOne(utf8);
    if (length == 0) {
      well_formed = false;
      utf16->push_back(kReplacement);
      utf8.remove_prefix(1);
      continue;
    }
    if (value < 0x10000) {
      utf16->push_back(static_cast<char16_t>(value));
    } else {
      utf16->push_back(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
      utf16->push_back(static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
    }
    utf8.remove_prefix(length);
  }
  return well_formed;
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
  std::string utf8;
  utf8.reserve(utf16.size() * 3);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t value = utf16[i];
    if (value >= 0xD800 && value <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      value = 0x10000 + ((value - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    }
    AppendUtf8(value, &utf8);
  }
  return utf8;
}

}  // namespace platform
