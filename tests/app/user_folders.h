// The user's folders as the program finds them, set up for one test: the temporary directory points at a
// folder of the test's, and the user names no picture folder until SetPictureFolder does, on Linux in the
// XDG user-dirs file of a fresh home, on Windows in the shell-folder list of a registry key that stands in
// for the user's own. Restores everything when it goes. One at a time; not thread-safe.
#ifndef PIXMELD_TESTS_APP_USER_FOLDERS_H_
#define PIXMELD_TESTS_APP_USER_FOLDERS_H_

#include <filesystem>
#include <memory>

namespace testing_support {

class UserFolders {
 public:
  explicit UserFolders(const std::filesystem::path& temporary_directory);
  ~UserFolders();
  UserFolders(const UserFolders&) = delete;
  UserFolders& operator=(const UserFolders&) = delete;

  // Names `folder` as the user's picture folder.
  void SetPictureFolder(const std::filesystem::path& folder);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace testing_support

#endif  // PIXMELD_TESTS_APP_USER_FOLDERS_H_
