#include "platform/default_folder.h"

#include <string>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace platform {
namespace {

#ifdef _WIN32

// The temporary directory is the user's own on Windows.
bool MakeOwnFolder(const std::filesystem::path& folder) {
  std::error_code ignored;
  std::filesystem::create_directory(folder, ignored);
  return true;
}

std::filesystem::path Choose(const std::filesystem::path& temporary_directory) {
  const std::filesystem::path folder = temporary_directory / kDefaultFolderName;
  MakeOwnFolder(folder);
  return folder;
}

#else

// Creates `folder` for this user alone, or accepts it when it is already a real folder of this user.
bool MakeOwnFolder(const std::filesystem::path& folder) {
  if (mkdir(folder.c_str(), 0700) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat info {};
  return lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid();
}

std::filesystem::path Choose(const std::filesystem::path& temporary_directory) {
  const std::filesystem::path shared_name = temporary_directory / kDefaultFolderName;
  if (MakeOwnFolder(shared_name)) return shared_name;
  const std::string own_name = std::string(kDefaultFolderName) + "-" + std::to_string(geteuid());
  if (MakeOwnFolder(temporary_directory / own_name)) return temporary_directory / own_name;
  // Both names are taken by someone else: a fresh folder that nobody else can have made.
  std::string pattern = (temporary_directory / (own_name + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) != nullptr) return pattern;
  return temporary_directory / own_name;
}

#endif

}  // namespace

std::filesystem::path DefaultDestinationFolderIn(const std::filesystem::path& temporary_directory) {
  return Choose(temporary_directory);
}

std::filesystem::path RestoreDefaultFolder(const std::filesystem::path& folder) {
  if (MakeOwnFolder(folder)) return folder;
  return Choose(folder.parent_path());
}

std::filesystem::path DefaultDestinationFolder() {
  std::error_code no_temporary_directory;
  std::filesystem::path temporary_directory = std::filesystem::temp_directory_path(no_temporary_directory);
  if (no_temporary_directory) temporary_directory = "/tmp";
  return Choose(temporary_directory);
}

}  // namespace platform
