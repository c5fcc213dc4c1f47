// Windows: res/pixmeld.rc is linked into the real program. windows_resource_script checks what the
// compiled script holds (the icon, the string, the version record, the manifest's text); this reads the
// manifest out of pixmeld.exe as the system's loader reads it, which a malformed manifest would stop.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// The manifest's settings as the loader reads them into the program's activation context, which is what
// the system acts on: a setting under a wrong name or namespace is missing here.
TEST(ProgramResourcesTest, ManifestDeclaresDensityAwarenessLongPathsAndWindowsVersions) {
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

  std::vector<unsigned char> entries(4096);
  SIZE_T size = 0;
  QueryActCtxW(0, context.get(), nullptr, CompatibilityInformationInActivationContext, entries.data(),
               entries.size(), &size);
  entries.resize(size);
  const struct {
    const char* name;
    GUID id;
  } kSupportedOs[] = {
      {"Windows 10 and 11", {0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}}},
      {"Windows 8.1", {0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}}},
      {"Windows 8", {0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}}},
      {"Windows 7", {0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}}},
  };
  for (const auto& os : kSupportedOs) {
    // The entries' layout has grown between Windows versions; the identifiers are found wherever they sit.
    const auto* id = reinterpret_cast<const unsigned char*>(&os.id);
    EXPECT_TRUE(std::search(entries.begin(), entries.end(), id, id + sizeof(GUID)) != entries.end())
        << os.name << ": no supportedOS entry in the " << entries.size() << " bytes the system gives";
  }
}

}  // namespace
