#include "platform/file.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace platform {
namespace {

using testing_support::TempDir;

TEST(FileTest, NonAsciiNamesReachTheFileSystemAsUtf8InTheCLocale) {
  // The test program runs in the C locale, as CI does.
  TempDir dir;
  const std::string name =
      "\xC3\x9C"
      "berlingen.jpg";  // "Überlingen.jpg"
  File file = File::Open(dir.path() / PathFromUtf8(name), "wb");
  ASSERT_TRUE(file.is_open());
  EXPECT_GE(std::fputs("x", file.get()), 0);
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{name});
  EXPECT_EQ(PathToUtf8(dir.path() / PathFromUtf8(name)),
            PathToUtf8(dir.path()) + testing_support::kPathSeparator + name);
}

TEST(FileTest, OpeningAMissingFileFails) {
  TempDir dir;
  EXPECT_FALSE(File::Open(dir / "missing.jpg", "rb").is_open());
}

TEST(FileTest, CloseReportsAWriteThatNeverReachedTheDisk) {
  if (!std::filesystem::exists("/dev/full"))
    GTEST_SKIP() << "needs Linux's /dev/full, a file that is always full";
  File full = File::Open("/dev/full", "wb");
  ASSERT_TRUE(full.is_open());
  std::fputs("data that stays in the buffer until the close", full.get());
  EXPECT_FALSE(full.Close());
  EXPECT_TRUE(full.Close()) << "closing a closed file is harmless";
}

TEST(FileTest, UniqueFilesAreNewNamedAndDistinct) {
  TempDir dir;
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) {
    std::filesystem::path created;
    File file = File::CreateUnique(dir.path(), ".pixmeld-", ".tmp", &created);
    ASSERT_TRUE(file.is_open());
    const std::string name = created.filename().string();
    EXPECT_EQ(name.rfind(".pixmeld-", 0), 0u) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    EXPECT_EQ(created.parent_path(), dir.path());
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 20u);
  EXPECT_EQ(dir.Entries().size(), 20u);
}

TEST(FileTest, UniqueFileInAMissingFolderFails) {
  TempDir dir;
  std::filesystem::path created;
  EXPECT_FALSE(File::CreateUnique(dir / "missing", "a", "b", &created).is_open());
  EXPECT_TRUE(created.empty());
}

#ifndef _WIN32
TEST(FileTest, UniqueFilesGetThePermissionsOfAPlainCreate) {
  TempDir dir;
  const mode_t old_mask = umask(022);
  std::filesystem::path created;
  File file = File::CreateUnique(dir.path(), "p", ".tmp", &created);
  umask(old_mask);
  ASSERT_TRUE(file.is_open());
  struct stat info {};
  ASSERT_EQ(stat(created.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}
#endif

}  // namespace
}  // namespace platform
