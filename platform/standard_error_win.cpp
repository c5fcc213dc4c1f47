#include "platform/standard_error.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/unicode.h"

namespace platform {
namespace {

// A console shows UTF-16 as it is; bytes would pass through its code page. Anything else (a file, a pipe)
// gets the UTF-8 bytes, through the C runtime's text mode as before, which ends lines in "\r\n". A progress
// line clears itself with a terminal's escape sequence, which a console follows only when asked to.
void Write(std::string_view text, DWORD handle_id, std::FILE* stream) {
  const HANDLE handle = GetStdHandle(handle_id);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
    if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) == 0)
      SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    std::u16string wide;
    Utf16FromUtf8(text, &wide);
    std::fflush(stream);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

void WriteStandardError(std::string_view text) { Write(text, STD_ERROR_HANDLE, stderr); }

void WriteStandardOutput(std::string_view text) { Write(text, STD_OUTPUT_HANDLE, stdout); }

std::istream& BinaryStandardInput() {
  _setmode(_fileno(stdin), _O_BINARY);
  return std::cin;
}

}  // namespace platform
