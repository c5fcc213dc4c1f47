#include "platform/default_folder.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

// Made once, used again, made again when it vanished; on Linux a folder of this user alone (mode 0700),
// never a link in its place.
TEST(DefaultFolderTest, APrivateFolderOfThisUserMadeWhenMissing) {
  testing_support::TempDir temp;
  const fs::path folder = platform::DefaultDestinationFolderIn(temp.path());
  EXPECT_EQ(folder, temp / "Pixmeld");
  fs::remove(folder);
  EXPECT_TRUE(platform::RestoreDefaultFolder(folder) == folder &&
              platform::DefaultDestinationFolderIn(temp.path()) == folder);
#ifndef _WIN32
  const std::string own = "Pixmeld-" + std::to_string(geteuid());
  EXPECT_EQ(static_cast<int>(fs::symlink_status(folder).permissions()), 0700) << "mode of the folder made";
  fs::remove(folder), fs::create_directory_symlink(temp.path(), folder);
  EXPECT_EQ(platform::RestoreDefaultFolder(folder), temp / own) << "where a link took the folder's place";
  EXPECT_EQ(static_cast<int>(fs::symlink_status(temp / own).permissions()), 0700) << "mode of " << own;
#endif
}

#ifndef _WIN32
// One user made "Pixmeld" in the temporary directory that all share; another user's photos go elsewhere.
TEST(DefaultFolderTest, AnotherUsersFolderIsNotUsed) {
  if (geteuid() != 0) GTEST_SKIP() << "making a folder of another user needs root, to change its owner";
  testing_support::TempDir temp;
  ASSERT_TRUE(fs::create_directory(temp / "Pixmeld") && chown((temp / "Pixmeld").c_str(), 65534, 65534) == 0);
  EXPECT_EQ(platform::DefaultDestinationFolderIn(temp.path()), temp / "Pixmeld-0") << "root's own folder";
}
#endif
