#include "platform/default_folder.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

// Made once, used again, made again when it vanished; on Linux a folder of this user alone, never a link,
// nor a file, in its place.
TEST(DefaultFolderTest, APrivateFolderOfThisUserMadeWhenMissing) {
  testing_support::TempDir temp;
  const fs::path folder = platform::DefaultDestinationFolderIn(temp.path());
  EXPECT_EQ(folder, temp / "Pixmeld");
  fs::remove(folder);
  EXPECT_TRUE(platform::RestoreDefaultFolder(folder) == folder &&
              platform::DefaultDestinationFolderIn(temp.path()) == folder);
#ifndef _WIN32
  const auto private_folder = [](const fs::path& path) {
    struct stat facts {};
    return lstat(path.c_str(), &facts) == 0 && (facts.st_mode & (S_IFMT | 0777)) == (S_IFDIR | 0700);
  };
  const std::string own = "Pixmeld-" + std::to_string(geteuid());
  EXPECT_TRUE(private_folder(folder));
  fs::remove(folder), fs::create_directory_symlink(temp.path(), folder);
  EXPECT_TRUE(platform::RestoreDefaultFolder(folder) == temp / own && private_folder(temp / own));
#endif
}
