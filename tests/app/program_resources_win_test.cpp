// Windows: res/pixmeld.rc is linked into the real program. windows_resource_script checks what the
// compiled script holds (the icon, the string, the version record, the manifest's text); this reads the
// manifest out of pixmeld.exe as the system's loader reads it, which a malformed manifest would stop.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

// The manifest's settings as the loader reads them into the program's activation context, which is what
// the system acts on: a setting under a wrong name or namespace is missing here.
TEST(ProgramResourcesTest, ManifestDeclaresDensityAwarenessAndLongPaths) {
  const std::wstring path = std::filesystem::path(PIXMELD_PROGRAM_PATH).wstring();
  ACTCTXW request = {};
  request.cbSize = sizeof(request);
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = path.c_str();
  request.lpResourceName = MAKEINTRESOURCEW(1);  // CREATEPROCESS_MANIFEST_RESOURCE_ID
  const std::unique_ptr<void, decltype(&ReleaseActCtx)> context(CreateActCtxW(&request), &ReleaseActCtx);
  ASSERT_NE(context.get(), INVALID_HANDLE_VALUE) << "the system cannot read the manifest of " << path;

  const wchar_t* const k2005 = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
  const wchar_t* const k2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";
  const struct {
    const wchar_t *name_space, *setting, *expected;
  } kSettings[] = {
      {k2005, L"dpiAware", L"true/pm"},  // per monitor before Windows 10
      {k2016, L"dpiAwareness", L"PerMonitorV2, PerMonitor"},
      {k2016, L"longPathAware", L"true"},
  };
  for (const auto& s : kSettings) {
    wchar_t value[128] = L"(not declared)";
    QueryActCtxSettingsW(0, context.get(), s.name_space, s.setting, value, std::size(value), nullptr);
    EXPECT_EQ(std::wstring(value), s.expected) << "the manifest's " << s.setting;
  }
}

}  // namespace
