#include "platform/unicode.h"

namespace platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The code point of a well-formed sequence of `length` bytes.
char32_t CodePoint(std::string_view text, std::size_t length) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t value = static_cast<unsigned char>(text[0]) & kLeadBits[length];
  for (std::size_t i = 1; i < length; ++i)
    value = (value << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  return value;
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

std::size_t Utf8SequenceLength(std::string_view text) {
  if (text.empty()) return 0;
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

bool Utf16FromUtf8(std::string_view utf8, std::u16string* utf16) {
  utf16->clear();
  utf16->reserve(utf8.size());
  bool well_formed = true;
  while (!utf8.empty()) {
    const std::size_t length = Utf8SequenceLength(utf8);
    if (length == 0) {
      well_formed = false;
      utf16->push_back(kReplacement);
      utf8.remove_prefix(1);
      continue;
    }
    const char32_t value = CodePoint(utf8, length);
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
