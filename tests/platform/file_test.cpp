// File and ReplacingFile: names in any locale, every failed write reported, and a destination that
// changes only by a complete file, both where the system offers nameless files and where it does not.
#include "platform/replacing_file.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif
#ifdef __linux__
#include <fcntl.h>

#include <cerrno>
#include <cstdarg>

static bool g_no_unnamed_files = false;

// The C library's open(), except that while g_no_unnamed_files is set this system offers no nameless
// files, as others do not, so that ReplacingFile takes the way it takes there.
extern "C" int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode =
      (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(arguments, mode_t) : 0;
  va_end(arguments);
  if (g_no_unnamed_files && (flags & O_TMPFILE) == O_TMPFILE) return errno = EOPNOTSUPP, -1;
  return openat(AT_FDCWD, path, flags, mode);
}
#endif

namespace platform {
namespace {

using testing_support::ReadBytes;
using testing_support::WriteBytes;
using Bytes = std::vector<unsigned char>;
const Bytes kOld = {'o', 'l', 'd'}, kNew = {'n', 'e', 'w'};

// Each way this system may write a new file: nameless until complete (Linux) and named from the start.
template <typename Test>
void ForEachWay(Test test) {
#ifdef __linux__
  test(true);
  g_no_unnamed_files = true;
  test(false);
  g_no_unnamed_files = false;
#else
  test(false);
#endif
}

TEST(FileTest, Utf8NamesInTheCLocaleUniqueNewFilesAndFailedWrites) {
  testing_support::TempDir dir;
  const std::string name =
      "\xC3\x9C"
      "berlingen.jpg";
  File file = File::Open(dir.path() / PathFromUtf8(name), "wb");
  EXPECT_TRUE(file.is_open() && file.Close() && file.Close());
  EXPECT_EQ(PathToUtf8(dir / name), PathToUtf8(dir.path()) + testing_support::kPathSeparator + name);
  std::set<std::string> names = {name};
  for (int i = 0; i < 20; ++i) {
    std::filesystem::path created;
    ASSERT_TRUE(File::CreateUnique(dir.path(), ".pixmeld-", ".tmp", &created).is_open());
    const std::string unique = created.filename().string();
    EXPECT_TRUE(unique.size() == 25 && unique.rfind(".pixmeld-", 0) == 0 && unique.substr(21) == ".tmp")
        << unique;
    names.insert(unique);
  }
  const std::vector<std::string> entries = dir.Entries();
  EXPECT_EQ(std::set<std::string>(entries.begin(), entries.end()), names);
  EXPECT_EQ(names.size(), 21u);
  std::filesystem::path none;
  EXPECT_FALSE(File::CreateUnique(dir / "missing", "a", "b", &none).is_open() || !none.empty());
  EXPECT_FALSE(File::Open(dir / "missing.jpg", "rb").is_open());
  for (std::size_t size : {10, 100000}) {  // always full: a small write fails at the close, a big one at once
    File full = File::Open("/dev/full", "wb");
    if (full.is_open()) std::fwrite(std::string(size, 'x').data(), 1, size, full.get());
    EXPECT_TRUE(!full.is_open() || !full.Close()) << size;
  }
}

TEST(ReplacingFileTest, TheDestinationChangesOnlyByACompleteFile) {
  ForEachWay([](bool nameless) {
    testing_support::TempDir dir;
    const std::filesystem::path photo = dir / "photo.jpg";
    WriteBytes(dir / "target.jpg", kOld);
#ifdef _WIN32
    WriteBytes(photo, kOld);
#else
    std::filesystem::create_symlink(dir / "target.jpg", photo);  // replaced, never written through
    const mode_t umask_before = umask(027);
#endif
    ReplacingFile file(photo);
#ifndef _WIN32
    umask(umask_before);
#endif
    ASSERT_TRUE(file.is_open());
    std::fputs("new", file.stream());
    EXPECT_EQ(dir.Entries().size(), nameless ? 2u : 3u);
    EXPECT_EQ(ReadBytes(photo), kOld);
    ASSERT_EQ(file.Commit(), ReplacingFile::CommitResult::kReplaced);
    EXPECT_EQ(std::pair(ReadBytes(photo), ReadBytes(dir / "target.jpg")), std::pair(kNew, kOld));
#ifndef _WIN32
    struct stat facts {};
    ASSERT_EQ(lstat(photo.c_str(), &facts), 0);
    EXPECT_EQ(facts.st_mode & (S_IFMT | 0777), S_IFREG | 0640u) << "a plain file as a plain create makes it";
#endif
    {
      ReplacingFile abandoned(photo), never_committed(dir / "new.jpg");
      std::fputs("partial", abandoned.stream());
    }
    EXPECT_EQ(ReadBytes(photo), kNew);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"photo.jpg", "target.jpg"}));
    EXPECT_FALSE(ReplacingFile(dir / "missing" / "photo.jpg").is_open());
    std::filesystem::create_directories(dir / "in-the-way.jpg" / "inside");
    ReplacingFile blocked(dir / "in-the-way.jpg");
    EXPECT_EQ(blocked.Commit(), ReplacingFile::CommitResult::kMoveFailed);
    EXPECT_EQ(dir.Entries().size(), 3u);
  });
}

#ifndef _WIN32
// Over the file size limit, a buffered write fails only when the file is flushed or closed.
TEST(ReplacingFileTest, AFailedFlushOrCloseKeepsTheOldFileAndLeavesNoOther) {
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  ForEachWay([limit](bool) {
    testing_support::TempDir dir;
    WriteBytes(dir / "photo.jpg", kOld);
    ReplacingFile file(dir / "photo.jpg");
    std::fputs(std::string(1200, 'x').c_str(), file.stream());
    rlimit low = limit;
    low.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &low);
    const ReplacingFile::CommitResult result = file.Commit();
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_EQ(result, ReplacingFile::CommitResult::kWriteFailed);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"photo.jpg"});
    EXPECT_EQ(ReadBytes(dir / "photo.jpg"), kOld);
  });
  std::signal(SIGXFSZ, handler);
}
#endif

}  // namespace
}  // namespace platform
