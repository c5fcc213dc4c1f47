#include <filesystem>
#include <fstream>
#include <string>

#include "tests/app/scoped_environment.h"
#include "tests/app/user_folders.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

struct UserFolders::State {
  TempDir home;
  ScopedEnvironment environment;
};

UserFolders::UserFolders(const std::filesystem::path& temporary_directory)
    : state_(std::make_unique<State>()) {
  state_->environment.Set("TMPDIR", temporary_directory.string());
  state_->environment.Set("HOME", state_->home.path().string());
  state_->environment.Set("XDG_CONFIG_HOME", std::nullopt);
}

UserFolders::~UserFolders() = default;

void UserFolders::SetPictureFolder(const std::filesystem::path& folder) {
  // The file's quoting: a backslash before '"', '\\', '$' and '`'.
  std::string quoted;
  for (const char c : folder.string()) {
    if (c == '"' || c == '\\' || c == '$' || c == '`') quoted += '\\';
    quoted += c;
  }
  std::filesystem::create_directories(state_->home / ".config");
  std::ofstream(state_->home / ".config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"" << quoted << "\"\n";
}

}  // namespace testing_support
