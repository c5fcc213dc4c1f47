// The default destination folder: the system's temporary directory joined with "Pixmeld", created when
// it is missing (a failure is ignored: writing there then fails visibly). On Linux the temporary directory
// is shared by every user, and another user's or a planted "Pixmeld", or a link placed there, would receive
// this user's photos. So there the folder is created with mode 0700, and an existing one is used only when
// it is a real folder owned by this user; otherwise "Pixmeld-<user id>" beside it, under the same rules,
// and when that is taken too, a fresh private folder "Pixmeld-<user id>-XXXXXX".
#ifndef PIXMELD_PLATFORM_DEFAULT_FOLDER_H_
#define PIXMELD_PLATFORM_DEFAULT_FOLDER_H_

#include <filesystem>

namespace platform {

inline constexpr char kDefaultFolderName[] = "Pixmeld";

std::filesystem::path DefaultDestinationFolder();

// The same rules inside `temporary_directory`.
std::filesystem::path DefaultDestinationFolderIn(const std::filesystem::path& temporary_directory);

// The folder that one of the above gave, as it is now: kept while it is a real folder of this user, made
// again when it has vanished, and when something else has taken its name, a folder chosen anew beside
// it under the same rules.
std::filesystem::path RestoreDefaultFolder(const std::filesystem::path& folder);

}  // namespace platform

#endif  // PIXMELD_PLATFORM_DEFAULT_FOLDER_H_
