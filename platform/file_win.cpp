// Windows names are UTF-16. The library's own conversions (u8path, u8string) throw for a name they cannot
// convert; these never do, and never consult the locale.
#include "platform/file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>

#include "platform/unicode.h"

namespace platform {
namespace {

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    default:
      return EACCES;
  }
}

}  // namespace

std::optional<std::filesystem::path> ExactPathFromUtf8(std::string_view utf8) {
  std::u16string wide;
  if (!Utf16FromUtf8(utf8, &wide)) return std::nullopt;
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  std::u16string wide;
  Utf16FromUtf8(utf8, &wide);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  return Utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}

// A file written is open for deletion by others too, which the C runtime's own opening refuses: so an
// interrupt can remove a temporary file that a thread is still writing (it goes when the process ends).
File File::Open(const std::filesystem::path& path, const char* mode) {
  if (mode[0] != 'w') {
    const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return File(_wfopen(path.c_str(), wide_mode.c_str()));
  }
  const bool exclusive = std::char_traits<char>::find(mode, std::char_traits<char>::length(mode), 'x');
  const HANDLE handle =
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, exclusive ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = ErrnoOf(GetLastError());
    return File();
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (descriptor == -1) {
    CloseHandle(handle);
    return File();
  }
  std::FILE* stream = _fdopen(descriptor, "wb");
  if (stream == nullptr) _close(descriptor);
  return File(stream);
}

}  // namespace platform
