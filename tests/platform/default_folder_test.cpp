#include "platform/default_folder.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {
namespace {

namespace fs = std::filesystem;

// Made once, used again, made again when it vanished; on Linux a folder of this user alone, never a link,
// a file or another user's folder in its place.
TEST(DefaultFolderTest, APrivateFolderOfThisUserMadeWhenMissing) {
  testing_support::TempDir temp;
  const fs::path folder = DefaultDestinationFolderIn(temp.path());
  EXPECT_EQ(folder, temp / "Pixmeld");
  EXPECT_EQ(DefaultDestinationFolderIn(temp.path()), folder);
  fs::remove(folder);
  EXPECT_EQ(RestoreDefaultFolder(folder), folder);
  EXPECT_TRUE(fs::is_directory(folder));
#ifndef _WIN32
  const auto mode = [](const fs::path& path) {
    struct stat facts {};
    return lstat(path.c_str(), &facts) == 0 ? facts.st_mode & (S_IFMT | 0777) : 0;
  };
  const std::string own = "Pixmeld-" + std::to_string(geteuid());
  EXPECT_EQ(mode(folder), S_IFDIR | 0700u);
  fs::remove(folder);
  fs::create_directory_symlink(temp.path(), folder);
  EXPECT_EQ(RestoreDefaultFolder(folder), temp / own);
  EXPECT_EQ(mode(temp / own), S_IFDIR | 0700u);
  fs::remove(temp / own);
  testing_support::WriteBytes(temp / own, {'x'});
  const fs::path fresh = DefaultDestinationFolderIn(temp.path());
  EXPECT_EQ(fresh.parent_path(), temp.path());
  EXPECT_EQ(fresh.filename().string().rfind(own + "-", 0), 0u) << fresh;
  EXPECT_EQ(mode(fresh), S_IFDIR | 0700u);
  if (geteuid() == 0) {  // only root can give a folder to another user
    testing_support::TempDir shared;
    fs::create_directory(shared / "Pixmeld");
    ASSERT_EQ(chown((shared / "Pixmeld").c_str(), 65534, 65534), 0);
    EXPECT_EQ(DefaultDestinationFolderIn(shared.path()), shared / own);
  }
#endif
}

}  // namespace
}  // namespace platform
