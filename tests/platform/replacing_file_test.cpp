#include "platform/replacing_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace platform {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

using Bytes = std::vector<unsigned char>;
using Result = ReplacingFile::CommitResult;

void Put(ReplacingFile& file, const char* text) { std::fputs(text, file.stream()); }

TEST(ReplacingFileTest, CommitReplacesTheDestinationAndLeavesNothingElse) {
  TempDir dir;
  WriteBytes(dir / "photo.jpg", Bytes{'o', 'l', 'd'});
  ReplacingFile file(dir / "photo.jpg");
  ASSERT_TRUE(file.is_open());
  Put(file, "new");
  EXPECT_EQ(ReadBytes(dir / "photo.jpg"), (Bytes{'o', 'l', 'd'})) << "replaced before the commit";
#ifdef __linux__
  // Nameless until complete, so that even a killed process leaves nothing behind.
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"photo.jpg"});
#endif
  EXPECT_EQ(file.Commit(), Result::kReplaced);
  EXPECT_EQ(ReadBytes(dir / "photo.jpg"), (Bytes{'n', 'e', 'w'}));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"photo.jpg"});
}

TEST(ReplacingFileTest, AbandonedFileLeavesTheDestinationAsItWas) {
  TempDir dir;
  WriteBytes(dir / "photo.jpg", Bytes{'o', 'l', 'd'});
  {
    ReplacingFile file(dir / "photo.jpg");
    Put(file, "partial");
  }
  EXPECT_EQ(ReadBytes(dir / "photo.jpg"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"photo.jpg"});

  { ReplacingFile never_committed(dir / "new.jpg"); }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"photo.jpg"});
}

TEST(ReplacingFileTest, DestinationInAMissingFolderCannotBeOpened) {
  TempDir dir;
  ReplacingFile file(dir / "missing" / "photo.jpg");
  EXPECT_FALSE(file.is_open());
}

TEST(ReplacingFileTest, AFolderInTheWayIsAFailedMoveAndLeavesNoTemporaryFile) {
  TempDir dir;
  std::filesystem::create_directory(dir / "photo.jpg");
  std::filesystem::create_directory(dir / "photo.jpg" / "inside");
  ReplacingFile file(dir / "photo.jpg");
  ASSERT_TRUE(file.is_open());
  Put(file, "new");
  EXPECT_EQ(file.Commit(), Result::kMoveFailed);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"photo.jpg"});
  EXPECT_TRUE(std::filesystem::is_directory(dir / "photo.jpg"));
}

#ifndef _WIN32
TEST(ReplacingFileTest, ALinkAtTheDestinationIsReplacedByAFileOfPlainPermissions) {
  TempDir dir;
  WriteBytes(dir / "target.jpg", Bytes{'k', 'e', 'e', 'p'});
  std::filesystem::create_symlink(dir / "target.jpg", dir / "photo.jpg");
  const mode_t umask_before = umask(027);
  ReplacingFile file(dir / "photo.jpg");
  umask(umask_before);
  Put(file, "new");
  ASSERT_EQ(file.Commit(), Result::kReplaced);
  EXPECT_FALSE(std::filesystem::is_symlink(dir / "photo.jpg"));
  struct stat facts = {};
  ASSERT_EQ(stat((dir / "photo.jpg").c_str(), &facts), 0);
  EXPECT_EQ(facts.st_mode & 0777, 0640u) << "the permissions a plain create gives";
  EXPECT_EQ(ReadBytes(dir / "photo.jpg"), (Bytes{'n', 'e', 'w'}));
  EXPECT_EQ(ReadBytes(dir / "target.jpg"), (Bytes{'k', 'e', 'e', 'p'}));
}
#endif

}  // namespace
}  // namespace platform
