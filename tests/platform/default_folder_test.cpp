#include "platform/default_folder.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {
namespace {

using testing_support::TempDir;

TEST(DefaultFolderTest, IsCreatedOnceAndUsedAgain) {
  TempDir temp;
  const auto first = DefaultDestinationFolderIn(temp.path());
  EXPECT_EQ(first, temp.path() / "Pixmeld");
  EXPECT_TRUE(std::filesystem::is_directory(first));
  EXPECT_EQ(DefaultDestinationFolderIn(temp.path()), first);
  EXPECT_EQ(temp.Entries(), std::vector<std::string>{"Pixmeld"});
}

#ifndef _WIN32
std::string OwnName() { return "Pixmeld-" + std::to_string(geteuid()); }

TEST(DefaultFolderTest, IsPrivateToTheUser) {
  TempDir temp;
  const auto folder = DefaultDestinationFolderIn(temp.path());
  struct stat info {};
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(DefaultFolderTest, ALinkInItsPlaceIsNeverFollowed) {
  TempDir temp;
  std::filesystem::create_directory(temp / "elsewhere");
  std::filesystem::create_directory_symlink(temp / "elsewhere", temp / "Pixmeld");
  EXPECT_EQ(DefaultDestinationFolderIn(temp.path()), temp / OwnName());
  EXPECT_TRUE(std::filesystem::is_directory(temp / OwnName()));
}

TEST(DefaultFolderTest, AFileInItsPlaceIsPassedOver) {
  TempDir temp;
  testing_support::WriteBytes(temp / "Pixmeld", {'x'});
  EXPECT_EQ(DefaultDestinationFolderIn(temp.path()), temp / OwnName());
}

TEST(DefaultFolderTest, WhenBothNamesAreTakenAFreshPrivateFolderIsMade) {
  TempDir temp;
  std::filesystem::create_directory(temp / "elsewhere");
  std::filesystem::create_directory_symlink(temp / "elsewhere", temp / "Pixmeld");
  std::filesystem::create_directory_symlink(temp / "elsewhere", temp / OwnName());
  const auto folder = DefaultDestinationFolderIn(temp.path());
  EXPECT_EQ(folder.parent_path(), temp.path());
  EXPECT_EQ(folder.filename().string().rfind(OwnName() + "-", 0), 0u) << folder;
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::symlink_status(folder)));
  struct stat info {};
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(DefaultFolderTest, RestoreKeepsItMakesItAgainOrChoosesAnew) {
  TempDir temp;
  const auto folder = DefaultDestinationFolderIn(temp.path());
  EXPECT_EQ(RestoreDefaultFolder(folder), folder);
  std::filesystem::remove(folder);
  EXPECT_EQ(RestoreDefaultFolder(folder), folder) << "vanished: made again";
  struct stat info {};
  ASSERT_EQ(lstat(folder.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  std::filesystem::remove(folder);
  std::filesystem::create_directory(temp / "elsewhere");
  std::filesystem::create_directory_symlink(temp / "elsewhere", folder);
  EXPECT_EQ(RestoreDefaultFolder(folder), temp / OwnName()) << "a link in its place is never followed";
}

TEST(DefaultFolderTest, AnotherUsersFolderIsPassedOver) {
  if (geteuid() != 0) GTEST_SKIP() << "giving a folder to another user needs root";
  TempDir temp;
  std::filesystem::create_directory(temp / "Pixmeld");
  ASSERT_EQ(chown((temp / "Pixmeld").c_str(), 65534, 65534), 0);
  EXPECT_EQ(DefaultDestinationFolderIn(temp.path()), temp / OwnName());
}
#endif

}  // namespace
}  // namespace platform
