// Windows: res/pixmeld.rc is linked into the real program. What windows_resource_script checks in the
// compiled script, this finds in pixmeld.exe through the system's own resource and version calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

struct ModuleDeleter {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using Module = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;

Module LoadProgram() {
  return Module(LoadLibraryExW(std::filesystem::path(PIXMELD_PROGRAM_PATH).c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::string Resource(HMODULE module, const wchar_t* id, const wchar_t* type) {
  HRSRC found = FindResourceW(module, id, type);
  if (found == nullptr) return std::string();
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
  return std::string(bytes, SizeofResource(module, found));
}

TEST(ProgramResourcesTest, IconStringAndManifestAreInTheProgram) {
  const Module program = LoadProgram();
  ASSERT_NE(program, nullptr) << "cannot load " << PIXMELD_PROGRAM_PATH;

  // The icon group 128: 16, 32 and 48 pixels, each of 32 bits (a 6-byte head, then 14 bytes an image).
  const std::string group = Resource(program.get(), MAKEINTRESOURCEW(128), MAKEINTRESOURCEW(14));
  ASSERT_EQ(group.size(), 6u + 3 * 14);
  for (int i = 0; i < 3; ++i) {
    const auto* entry = reinterpret_cast<const unsigned char*>(group.data() + 6 + 14 * i);
    EXPECT_EQ(entry[0], 16 * (i + 1)) << "width of image " << i;
    EXPECT_EQ(entry[6], 32) << "bits of image " << i;
  }

  wchar_t text[64] = {};
  EXPECT_EQ(std::wstring(text, LoadStringW(program.get(), 101, text, 64)), L"&About Pixmeld...");

  const std::string manifest = Resource(program.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos)
      << manifest;
}

TEST(ProgramResourcesTest, VersionRecordSaysPixmeld1001) {
  const std::wstring path = std::filesystem::path(PIXMELD_PROGRAM_PATH).wstring();
  DWORD ignored = 0;
  std::vector<char> record(GetFileVersionInfoSizeW(path.c_str(), &ignored));
  ASSERT_FALSE(record.empty());
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(record.size()), record.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  for (const auto& [name, want] :
       {std::pair{L"ProductName", L"Pixmeld"}, std::pair{L"FileDescription", L"Pixmeld"},
        std::pair{L"OriginalFilename", L"pixmeld.exe"}}) {
    wchar_t* value = nullptr;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    ASSERT_TRUE(VerQueryValueW(record.data(), query.c_str(), reinterpret_cast<void**>(&value), &size));
    EXPECT_EQ(std::wstring(value), want);
  }
}

}  // namespace
