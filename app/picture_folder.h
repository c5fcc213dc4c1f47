// The user's picture folder, which "My Images" opens. Read once at start-up: on Windows from the user's
// shell-folder list in the registry, elsewhere from the XDG user-dirs settings. Empty when the system
// names none; never a guess such as the home folder. Call from one thread at a time.
#ifndef PIXMELD_APP_PICTURE_FOLDER_H_
#define PIXMELD_APP_PICTURE_FOLDER_H_

#include <filesystem>
#include <string_view>

namespace app {

std::filesystem::path ReadPictureFolder();

// Not on Windows: the pictures folder that the text of an XDG user-dirs file ("user-dirs.dirs") sets, with
// "$HOME" standing for `home`; the last setting wins. Empty when the text sets none, or sets the home folder
// itself, which is how that file turns a folder off.
std::filesystem::path PicturesFolderFromUserDirs(std::string_view text, const std::filesystem::path& home);

}  // namespace app

#endif  // PIXMELD_APP_PICTURE_FOLDER_H_
