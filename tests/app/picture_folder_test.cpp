#include "app/picture_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "tests/support/temp_dir.h"

namespace app {
namespace {

TEST(PictureFolderTest, ReadsThePicturesSettingOfAUserDirsFile) {
  const struct {
    const char* name;
    const char* text;    // of user-dirs.dirs
    const char* folder;  // the picture folder it names, for the home /home/ann
  } cases[] = {
      {"$HOME", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Pictures\"\n",
       "/home/ann/Pictures"},
      {"spaces and CR LF", "  XDG_PICTURES_DIR = \"/srv/Fotos & Bilder\"\r\n", "/srv/Fotos & Bilder"},
      {"escapes", "XDG_PICTURES_DIR=\"$HOME/My \\\"Best\\\" \\$Pics\"\n", "/home/ann/My \"Best\" $Pics"},
      {"the last one counts, not a comment",
       "XDG_PICTURES_DIR=\"$HOME/Old\"\nXDG_PICTURES_DIR=\"$HOME/New\"\n# XDG_PICTURES_DIR=\"/no\"\n",
       "/home/ann/New"},
      // The home folder itself turns the setting off; it is never a fallback.
      {"$HOME itself", "XDG_PICTURES_DIR=\"$HOME/\"\n", ""},
      {"the home folder by name", "XDG_PICTURES_DIR=\"/home/ann/\"\n", ""},
      {"relative, another key, unquoted",
       "XDG_PICTURES_DIR=\"Pictures\"\nXDG_PICTURES_DIRS=\"/srv\"\nXDG_PICTURES_DIR=/srv\n", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PicturesFolderFromUserDirs(c.text, "/home/ann"), c.folder) << c.name;
}

// The file is $XDG_CONFIG_HOME/user-dirs.dirs when that is an absolute path, else ~/.config/user-dirs.dirs.
// The test program has no other use for the environment, so nothing is restored.
TEST(PictureFolderTest, FindsTheUserDirsFile) {
  testing_support::TempDir home;
  setenv("HOME", home.path().c_str(), 1);
  setenv("XDG_CONFIG_HOME", ".config", 1);
  EXPECT_EQ(ReadPictureFolder(), "") << "no file: no folder";
  std::filesystem::create_directory(home / ".config");
  std::ofstream(home / ".config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n";
  std::ofstream(home / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Elsewhere\"\n";
  EXPECT_EQ(ReadPictureFolder(), home / "Pictures");
  setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
  EXPECT_EQ(ReadPictureFolder(), home / "Elsewhere");
}

}  // namespace
}  // namespace app
