// Conversions between UTF-8 and UTF-16 that never throw and behave the same on every system, for the
// edges where Windows hands over or takes UTF-16 (its command line, its console, its file names).
// Thread-safe.
#ifndef PIXMELD_PLATFORM_UNICODE_H_
#define PIXMELD_PLATFORM_UNICODE_H_

#include <string>
#include <string_view>

namespace platform {

// The length of the well-formed UTF-8 sequence at the start of `text`: 0 for none (a stray continuation
// byte, an overlong form, a surrogate, a code point above U+10FFFF, a cut sequence), as Unicode's table
// 3-7 has it.
std::size_t Utf8SequenceLength(std::string_view text);

// Decodes `utf8` into `utf16`. False when `utf8` is not well-formed UTF-8 (an overlong form, a surrogate,
// a value past U+10FFFF, a cut or stray byte); `utf16` then holds U+FFFD for each byte that starts no
// well-formed sequence, so that it still shows where the text went wrong.
bool Utf16FromUtf8(std::string_view utf8, std::u16string* utf16);

// Encodes `utf16` as UTF-8. A surrogate without its partner, which a Windows name may hold, is given its
// own three bytes: no well-formed UTF-8 has them, so the name stays apart from every other and converting
// it back fails instead of finding another file.
std::string Utf8FromUtf16(std::u16string_view utf16);

}  // namespace platform

#endif  // PIXMELD_PLATFORM_UNICODE_H_
