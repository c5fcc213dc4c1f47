#include "app/picture_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/app/scoped_environment.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

namespace fs = std::filesystem;

TEST(PictureFolderTest, ReadsThePicturesSettingOfAUserDirsFile) {
  struct Case {
    const char* text;
    const char* folder;  // "" for none
  };
  const Case cases[] = {
      // As xdg-user-dirs-update writes it.
      {"# This file is written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
       "XDG_PICTURES_DIR=\"$HOME/Pictures\"\nXDG_VIDEOS_DIR=\"$HOME/Videos\"\n",
       "/home/ann/Pictures"},
      {"XDG_PICTURES_DIR=\"/srv/photos\"\n", "/srv/photos"},
      {"  XDG_PICTURES_DIR = \"$HOME/Fotos & Bilder\"\r\n", "/home/ann/Fotos & Bilder"},
      {"XDG_PICTURES_DIR=\"$HOME/My \\\"Best\\\" \\$Pics\"\n", "/home/ann/My \"Best\" $Pics"},
      {"XDG_PICTURES_DIR=\"$HOME/Old\"\nXDG_PICTURES_DIR=\"$HOME/New\"\n# XDG_PICTURES_DIR=\"$HOME/No\"\n",
       "/home/ann/New"},
      // The home folder itself turns the folder off; it is never a fallback.
      {"XDG_PICTURES_DIR=\"$HOME/\"\n", ""},
      {"XDG_PICTURES_DIR=\"$HOME\"\n", ""},
      {"XDG_PICTURES_DIR=\"/home/ann/\"\n", ""},
      {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", ""},
      // Forms that the file does not allow.
      {"XDG_PICTURES_DIR=\"Pictures\"\n", ""},
      {"XDG_PICTURES_DIR=$HOME/Pictures\n", ""},
      {"XDG_PICTURES_DIRS=\"$HOME/Pictures\"\n", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PicturesFolderFromUserDirs(c.text, "/home/ann").string(), c.folder) << c.text;
  }
  EXPECT_EQ(PicturesFolderFromUserDirs("XDG_PICTURES_DIR=\"$HOME/Pictures\"\n", ""), fs::path()) << "no home";
}

// The file is $XDG_CONFIG_HOME/user-dirs.dirs when that is an absolute path, else ~/.config/user-dirs.dirs.
TEST(PictureFolderTest, FindsTheUserDirsFile) {
  testing_support::TempDir home;
  testing_support::TempDir config;
  testing_support::ScopedEnvironment environment;
  environment.Set("HOME", home.path().string());
  environment.Set("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_EQ(ReadPictureFolder(), fs::path()) << "no file: no folder";

  fs::create_directories(home / ".config");
  std::ofstream(home / ".config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n";
  std::ofstream(config / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Elsewhere\"\n";
  EXPECT_EQ(ReadPictureFolder(), home / "Pictures");
  environment.Set("XDG_CONFIG_HOME", config.path().string());
  EXPECT_EQ(ReadPictureFolder(), home / "Elsewhere");
  environment.Set("XDG_CONFIG_HOME", "relative/config");
  EXPECT_EQ(ReadPictureFolder(), home / "Pictures");
}

}  // namespace
}  // namespace app
