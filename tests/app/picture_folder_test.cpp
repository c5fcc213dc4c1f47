#include "app/picture_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/temp_dir.h"

namespace app {
namespace {

namespace fs = std::filesystem;

TEST(PictureFolderTest, ReadsThePicturesSettingOfAUserDirsFile) {
  const struct {
    const char* text;
    const char* folder;  // "" for none
  } cases[] = {
      {"# written by "
       "xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Pictures\"\n",
       "/home/ann/Pictures"},
      {"XDG_PICTURES_DIR=\"/srv/photos\"\n", "/srv/photos"},
      {"  XDG_PICTURES_DIR = \"$HOME/Fotos & Bilder\"\r\n", "/home/ann/Fotos & Bilder"},
      {"XDG_PICTURES_DIR=\"$HOME/My \\\"Best\\\" \\$Pics\"\n", "/home/ann/My \"Best\" $Pics"},
      {"XDG_PICTURES_DIR=\"$HOME/Old\"\nXDG_PICTURES_DIR=\"$HOME/New\"\n# XDG_PICTURES_DIR=\"$HOME/No\"\n",
       "/home/ann/New"},
      // The home folder itself turns the setting off; it is never a fallback.
      {"XDG_PICTURES_DIR=\"$HOME/\"\n", ""},
      {"XDG_PICTURES_DIR=\"/home/ann/\"\n", ""},
      {"XDG_PICTURES_DIR=\"Pictures\"\n", ""},
      {"XDG_PICTURES_DIR=$HOME/Pictures\n", ""},
      {"XDG_PICTURES_DIRS=\"$HOME/Pictures\"\n", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PicturesFolderFromUserDirs(c.text, "/home/ann"), c.folder) << c.text;
  EXPECT_EQ(PicturesFolderFromUserDirs("XDG_PICTURES_DIR=\"$HOME/Pictures\"\n", ""), "") << "no home";
}

// The file is $XDG_CONFIG_HOME/user-dirs.dirs when that is an absolute path, else ~/.config/user-dirs.dirs.
// The test program has no other use for the environment, so nothing is restored.
TEST(PictureFolderTest, FindsTheUserDirsFile) {
  testing_support::TempDir home;
  setenv("HOME", home.path().c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(ReadPictureFolder(), "") << "no file: no folder";
  fs::create_directories(home / ".config");
  std::ofstream(home / ".config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n";
  std::ofstream(home / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Elsewhere\"\n";
  EXPECT_EQ(ReadPictureFolder(), home / "Pictures");
  setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
  EXPECT_EQ(ReadPictureFolder(), home / "Elsewhere");
  setenv("XDG_CONFIG_HOME", ".", 1);
  EXPECT_EQ(ReadPictureFolder(), home / "Pictures");
}

}  // namespace
}  // namespace app
