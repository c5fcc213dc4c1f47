#include <filesystem>

#include "tests/app/current_user_key.h"
#include "tests/app/scoped_environment.h"
#include "tests/app/user_folders.h"

namespace testing_support {

struct UserFolders::State {
  ScopedEnvironment environment;
  ScopedCurrentUserKey user_key;
};

// The system's temporary directory is the first of TMP, TEMP and the user's profile folder.
UserFolders::UserFolders(const std::filesystem::path& temporary_directory)
    : state_(std::make_unique<State>()) {
  state_->environment.Set("TMP", temporary_directory.string());
}

UserFolders::~UserFolders() = default;

void UserFolders::SetPictureFolder(const std::filesystem::path& folder) {
  state_->user_key.SetString(kShellFoldersKey, L"My Pictures", folder.wstring());
}

}  // namespace testing_support
