#include <windows.h>

#include "app/picture_folder.h"

namespace app {

// The value "My Pictures" of the user's shell-folder list; a missing key or value leaves it empty.
std::filesystem::path ReadPictureFolder() {
  wchar_t value[1024] = {};
  DWORD bytes = sizeof value;
  const LSTATUS status = ::RegGetValueW(
      HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      L"My Pictures", RRF_RT_REG_SZ, nullptr, value, &bytes);
  if (status != ERROR_SUCCESS) return {};
  return std::filesystem::path(value);
}

}  // namespace app
