#include <windows.h>

#include <gtest/gtest.h>

#include "app/picture_folder.h"

namespace app {
namespace {

// The value "My Pictures" of the user's shell-folder list, as it is; anything missing leaves it empty.
// A fresh key stands in for the user's own in this process, so that the test writes no real setting.
TEST(PictureFolderTest, ReadsMyPicturesFromTheUsersShellFolders) {
  const std::wstring folders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
  const std::wstring cases[][4] = {
      // key (empty: none), value's name, value, folder
      {L"Shell Folders", L"My Pictures", L"D:\\Fotos & Bilder\\\u00dcberlingen",
       L"D:\\Fotos & Bilder\\\u00dcberlingen"},
      {L"Shell Folders", L"My Music", L"C:\\Users\\ann\\Music", L""},
      {L"User Shell Folders", L"My Pictures", L"%USERPROFILE%\\Pictures", L""},
      {L"", L"", L"", L""},
  };
  const wchar_t* const stand_in_path = L"Software\\Pixmeld tests";
  HKEY stand_in = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, stand_in_path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &stand_in,
                  nullptr);
  ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, stand_in), 0);
  for (const auto& [key, name, value, folder] : cases) {
    RegDeleteTreeW(stand_in, nullptr);  // empties it, of what a test program that crashed left too
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    if (!key.empty())
      RegSetKeyValueW(stand_in, (folders + key).c_str(), name.c_str(), REG_SZ, value.c_str(), bytes);
    EXPECT_EQ(ReadPictureFolder().wstring(), folder) << key;
  }
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegCloseKey(stand_in);
  RegDeleteTreeW(HKEY_CURRENT_USER, stand_in_path);
}

}  // namespace
}  // namespace app
