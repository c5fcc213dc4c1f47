#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/picture_folder.h"
#include "tests/app/current_user_key.h"

namespace app {
namespace {

// The folder is the value "My Pictures" of the user's shell-folder list, as it is; anything missing
// leaves it empty.
TEST(PictureFolderTest, ReadsMyPicturesFromTheUsersShellFolders) {
  struct Case {
    const wchar_t* key;   // nullptr: no key at all
    const wchar_t* name;  // the value's name
    const wchar_t* value;
    const wchar_t* folder;
  };
  const Case cases[] = {
      {testing_support::kShellFoldersKey, L"My Pictures", L"C:\\Users\\ann\\Pictures",
       L"C:\\Users\\ann\\Pictures"},
      {testing_support::kShellFoldersKey, L"My Pictures", L"D:\\Fotos & Bilder\\\u00dcberlingen",
       L"D:\\Fotos & Bilder\\\u00dcberlingen"},
      {testing_support::kShellFoldersKey, L"My Pictures", L"", L""},
      {testing_support::kShellFoldersKey, L"My Music", L"C:\\Users\\ann\\Music", L""},
      {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", L"My Pictures",
       L"%USERPROFILE%\\Pictures", L""},
      {nullptr, nullptr, nullptr, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value != nullptr ? std::filesystem::path(c.value).u8string() : "no key");
    testing_support::ScopedCurrentUserKey user_key;
    if (c.key != nullptr) {
      ASSERT_TRUE(user_key.SetString(c.key, c.name, c.value));
    }
    EXPECT_EQ(ReadPictureFolder(), std::filesystem::path(c.folder));
  }
}

}  // namespace
}  // namespace app
