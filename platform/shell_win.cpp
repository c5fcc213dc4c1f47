// The shell on Windows: its execute operation, verb "open", no parameters, no working directory, no owner
// window, normal window display. The result is ignored; the shell reports a missing target itself.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "platform/shell.h"

namespace platform {
namespace {

std::wstring WideFromUtf8(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

class ShellExecuteShell final : public Shell {
 public:
  void Open(const std::string& target) override {
    const std::wstring file = WideFromUtf8(target);
    ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
};

}  // namespace

Shell& SystemShell() {
  static ShellExecuteShell shell;
  return shell;
}

}  // namespace platform
