#include "batch/path_order.h"

#include <cstdint>

namespace batch {
namespace {

// Bytes that do not start a valid UTF-8 sequence become keys above every code point.
constexpr std::uint32_t kInvalidByteBase = 0x110000;

// Decodes the character at `text[*at]` and advances past it; strict UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF). An invalid byte is returned as kInvalidByteBase + its value.
std::uint32_t NextKey(std::string_view text, std::size_t* at) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(*at);
  int length = 0;
  std::uint32_t code = 0;
  std::uint32_t minimum = 0;
  if (lead < 0x80) {
    ++*at;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07, minimum = 0x10000;
  }
  if (length == 0 || *at + length > text.size()) {
    ++*at;
    return kInvalidByteBase + lead;
  }
  for (int i = 1; i < length; ++i) {
    const std::uint8_t next = byte(*at + i);
    if ((next & 0xC0) != 0x80) {
      ++*at;
      return kInvalidByteBase + lead;
    }
    code = code << 6 | (next & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++*at;
    return kInvalidByteBase + lead;
  }
  *at += length;
  return code;
}

bool Between(std::uint32_t c, std::uint32_t first, std::uint32_t last) { return c >= first && c <= last; }

// Simple lower-case mapping for the scripts that file names mostly use. A table of our own, so that the
// order never depends on the locale the program runs in.
std::uint32_t FoldCase(std::uint32_t c) {
  if (c < 0x80) return Between(c, 'A', 'Z') ? c + 32 : c;
  if (c < 0x100) return Between(c, 0xC0, 0xDE) && c != 0xD7 ? c + 32 : c;
  if (c < 0x180) {  // Latin Extended-A: pairs of capital and small letter
    if (c == 0x130) return 'i';
    if (c == 0x178) return 0xFF;
    const bool even_capital = Between(c, 0x100, 0x137) || Between(c, 0x14A, 0x177);
    const bool odd_capital = Between(c, 0x139, 0x148) || Between(c, 0x179, 0x17E);
    if ((even_capital && c % 2 == 0) || (odd_capital && c % 2 == 1)) return c + 1;
    return c;
  }
  if (c < 0x400) {  // Greek
    if (c == 0x386) return 0x3AC;
    if (Between(c, 0x388, 0x38A)) return c + 37;
    if (c == 0x38C) return 0x3CC;
    if (Between(c, 0x38E, 0x38F)) return c + 63;
    if (Between(c, 0x391, 0x3AB) && c != 0x3A2) return c + 32;
    return c;
  }
  if (c < 0x530) {  // Cyrillic
    if (Between(c, 0x400, 0x40F)) return c + 80;
    if (Between(c, 0x410, 0x42F)) return c + 32;
    if (c == 0x4C0) return 0x4CF;
    if (Between(c, 0x4C1, 0x4CE)) return c % 2 == 1 ? c + 1 : c;
    if (Between(c, 0x460, 0x481) || Between(c, 0x48A, 0x4BF) || Between(c, 0x4D0, 0x52F)) {
      return c % 2 == 0 ? c + 1 : c;
    }
    return c;
  }
  if (Between(c, 0x531, 0x556)) return c + 48;  // Armenian
  if (Between(c, 0x1E00, 0x1E95) || Between(c, 0x1EA0, 0x1EFF)) return c % 2 == 0 ? c + 1 : c;
  if (Between(c, 0xFF21, 0xFF3A)) return c + 32;  // full-width Latin
  return c;
}

}  // namespace

int ComparePaths(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const std::uint32_t left = FoldCase(NextKey(a, &i));
    const std::uint32_t right = FoldCase(NextKey(b, &j));
    if (left != right) return left < right ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace batch
