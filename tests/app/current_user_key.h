// Windows: a fresh registry key that stands in for the current user's own (HKEY_CURRENT_USER) in this
// process for the lifetime of the object, so that tests write no real setting. Deleted when it goes.
// One at a time; not thread-safe.
#ifndef PIXMELD_TESTS_APP_CURRENT_USER_KEY_H_
#define PIXMELD_TESTS_APP_CURRENT_USER_KEY_H_

#include <windows.h>

#include <string>

namespace testing_support {

// Where the user's shell-folder list lives under the user's key.
inline constexpr wchar_t kShellFoldersKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class ScopedCurrentUserKey {
 public:
  ScopedCurrentUserKey();
  ~ScopedCurrentUserKey();
  ScopedCurrentUserKey(const ScopedCurrentUserKey&) = delete;
  ScopedCurrentUserKey& operator=(const ScopedCurrentUserKey&) = delete;

  // Writes the string value `name` under `subkey`, creating the key. True when it worked.
  bool SetString(const wchar_t* subkey, const wchar_t* name, const std::wstring& value);

 private:
  std::wstring path_;  // under the real HKEY_CURRENT_USER
  HKEY key_ = nullptr;
};

}  // namespace testing_support

#endif  // PIXMELD_TESTS_APP_CURRENT_USER_KEY_H_
