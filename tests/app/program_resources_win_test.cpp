// Windows: res/pixmeld.rc is linked into the real program. windows_resource_script checks what the
// compiled script holds; this finds each kind of resource in pixmeld.exe through the system's own calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

TEST(ProgramResourcesTest, IconsStringManifestAndVersionAreInTheProgram) {
  const std::wstring path = std::filesystem::path(PIXMELD_PROGRAM_PATH).wstring();
  const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> program(
      LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE),
      &FreeLibrary);
  ASSERT_NE(program, nullptr) << "cannot load " << PIXMELD_PROGRAM_PATH;
  const auto size = [&](int id, int type) {
    HRSRC found = FindResourceW(program.get(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    return found != nullptr ? SizeofResource(program.get(), found) : 0;
  };
  EXPECT_EQ(size(128, 14), 6u + 3 * 14) << "an icon group of three images";
  EXPECT_GT(size(1, 24), 0u) << "the manifest";
  wchar_t text[64] = {};
  EXPECT_EQ(std::wstring(text, LoadStringW(program.get(), 101, text, 64)), L"&About Pixmeld...");
  EXPECT_GT(GetFileVersionInfoSizeW(path.c_str(), nullptr), 0u) << "the version record";
}

}  // namespace
