// Windows: res/pixmeld.rc is linked into the real program. windows_resource_script checks what the
// compiled script holds; this finds each kind of resource in pixmeld.exe through the system's own calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "res/resource.h"

namespace {

TEST(ProgramResourcesTest, IconsStringManifestAndVersionAreInTheProgram) {
  const std::wstring path = std::filesystem::path(PIXMELD_PROGRAM_PATH).wstring();
  const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> program(
      LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE),
      &FreeLibrary);
  ASSERT_NE(program, nullptr) << "cannot load " << PIXMELD_PROGRAM_PATH;
  const auto size = [&](auto id, auto type) {
    HRSRC found = FindResource(program.get(), id, type);
    return found != nullptr ? SizeofResource(program.get(), found) : 0;
  };
  EXPECT_EQ(size(MAKEINTRESOURCE(IDR_MAINFRAME), RT_GROUP_ICON), 6u + 3 * 14) << "three icon images";
  EXPECT_GT(size(CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST), 0u) << "the manifest";
  wchar_t text[64] = {};
  EXPECT_EQ(std::wstring(text, LoadStringW(program.get(), IDS_ABOUTBOX, text, 64)), L"&About Pixmeld...");
  EXPECT_GT(GetFileVersionInfoSizeW(path.c_str(), nullptr), 0u) << "the version record";
}

}  // namespace
