#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/picture_folder.h"

namespace app {
namespace {

// The value "My Pictures" of the user's shell-folder list, as it is; anything missing leaves it empty.
// A fresh key stands in for the user's own in this process, so that the test writes no real setting.
TEST(PictureFolderTest, ReadsMyPicturesFromTheUsersShellFolders) {
  const wchar_t* const stand_in = L"Software\\Pixmeld tests";
  const std::wstring folders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
  const struct {
    std::wstring key, name, value, folder;  // key empty: no key at all
  } cases[] = {
      {L"Shell Folders", L"My Pictures", L"D:\\Fotos & Bilder\\\u00dcberlingen",
       L"D:\\Fotos & Bilder\\\u00dcberlingen"},
      {L"Shell Folders", L"My Music", L"C:\\Users\\ann\\Music", L""},
      {L"User Shell Folders", L"My Pictures", L"%USERPROFILE%\\Pictures", L""},
      {L"", L"", L"", L""},
  };
  for (const auto& c : cases) {
    RegDeleteTreeW(HKEY_CURRENT_USER, stand_in);
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, stand_in, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        0);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, key), 0);
    const DWORD bytes = static_cast<DWORD>((c.value.size() + 1) * sizeof(wchar_t));
    if (!c.key.empty())
      RegSetKeyValueW(key, (folders + c.key).c_str(), c.name.c_str(), REG_SZ, c.value.c_str(), bytes);
    EXPECT_EQ(ReadPictureFolder().wstring(), c.folder) << c.key;
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(key);
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, stand_in);
}

}  // namespace
}  // namespace app
