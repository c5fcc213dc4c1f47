#include "platform/arguments.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "platform/unicode.h"

namespace platform {

std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  const std::unique_ptr<wchar_t*, decltype(&LocalFree)> arguments(
      CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  std::vector<std::string> utf8;
  for (int i = 1; arguments && i < count; ++i) {
    const std::wstring_view argument(arguments.get()[i]);
    utf8.push_back(Utf8FromUtf16(std::u16string(argument.begin(), argument.end())));
  }
  return utf8;
}

}  // namespace platform
