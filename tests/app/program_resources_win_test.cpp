// Windows: res/pixmeld.rc is linked into the real program. What windows_resource_script checks in the
// compiled script, this finds in pixmeld.exe through the system's own resource and version calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

TEST(ProgramResourcesTest, IconsStringManifestAndVersionAreInTheProgram) {
  const std::wstring path = std::filesystem::path(PIXMELD_PROGRAM_PATH).wstring();
  const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> program(
      LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE),
      &FreeLibrary);
  ASSERT_NE(program, nullptr) << "cannot load " << PIXMELD_PROGRAM_PATH;
  const auto resource = [&](int id, int type) {
    HRSRC found = FindResourceW(program.get(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    const void* bytes = found ? LockResource(LoadResource(program.get(), found)) : nullptr;
    return found ? std::string(static_cast<const char*>(bytes), SizeofResource(program.get(), found)) : "";
  };
  // Icon group 128: 16, 32 and 48 pixels of 32 bits (a 6-byte head, then 14 bytes an image).
  const std::string icons = resource(128, 14);
  ASSERT_EQ(icons.size(), 6u + 3 * 14);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(icons[6 + 14 * i] * 100 + icons[12 + 14 * i], 1600 * (i + 1) + 32);
  wchar_t text[64] = {};
  EXPECT_EQ(std::wstring(text, LoadStringW(program.get(), 101, text, 64)), L"&About Pixmeld...");
  EXPECT_NE(resource(1, 24).find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);

  DWORD ignored = 0;
  std::vector<char> record(GetFileVersionInfoSizeW(path.c_str(), &ignored));
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(record.size()), record.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  wchar_t* name = nullptr;
  ASSERT_TRUE(VerQueryValueW(record.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                             reinterpret_cast<void**>(&name), &size));
  EXPECT_EQ(std::wstring(name), L"Pixmeld");
}

}  // namespace
