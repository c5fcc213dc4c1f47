#include "tests/app/current_user_key.h"

#include <stdexcept>

namespace testing_support {

ScopedCurrentUserKey::ScopedCurrentUserKey()
    : path_(L"Software\\Pixmeld tests\\" + std::to_wstring(GetCurrentProcessId())) {
  RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());  // left over by a test program that crashed
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                      nullptr) != ERROR_SUCCESS ||
      RegOverridePredefKey(HKEY_CURRENT_USER, key_) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot stand in for the current user's registry key");
  }
}

ScopedCurrentUserKey::~ScopedCurrentUserKey() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegCloseKey(key_);
  RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

bool ScopedCurrentUserKey::SetString(const wchar_t* subkey, const wchar_t* name, const std::wstring& value) {
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetKeyValueW(key_, subkey, name, REG_SZ, value.c_str(), bytes) == ERROR_SUCCESS;
}

}  // namespace testing_support
