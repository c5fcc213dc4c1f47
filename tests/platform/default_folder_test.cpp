#include "platform/default_folder.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace fs = std::filesystem;

// Made once, used again, made again when it vanished; on Linux a folder of this user alone, never a link,
// a file or another user's folder in its place.
TEST(DefaultFolderTest, APrivateFolderOfThisUserMadeWhenMissing) {
  testing_support::TempDir temp;
  const fs::path folder = DefaultDestinationFolderIn(temp.path());
  EXPECT_EQ(folder, temp / "Pixmeld");
  fs::remove(folder);
  EXPECT_TRUE(RestoreDefaultFolder(folder) == folder && DefaultDestinationFolderIn(temp.path()) == folder);
#ifndef _WIN32
  const auto private_folder = [](const fs::path& path) {
    struct stat facts {};
    return lstat(path.c_str(), &facts) == 0 && (facts.st_mode & (S_IFMT | 0777)) == (S_IFDIR | 0700);
  };
  const std::string own = "Pixmeld-" + std::to_string(geteuid());
  EXPECT_TRUE(private_folder(folder));
  fs::remove(folder), fs::create_directory_symlink(temp.path(), folder);
  EXPECT_TRUE(RestoreDefaultFolder(folder) == temp / own && private_folder(temp / own));
  if (geteuid() == 0) {  // only root can give a folder to another user
    fs::remove(folder), fs::remove(temp / own), fs::create_directory(folder);
    ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);
    EXPECT_EQ(RestoreDefaultFolder(folder), temp / own);
  }
#endif
}

}  // namespace platform
