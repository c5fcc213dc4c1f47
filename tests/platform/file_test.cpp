// File and ReplacingFile: names in any locale, every failed write reported, and a destination that
// changes only by a complete file, both where the system offers nameless files and where it does not.
#include "platform/replacing_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif

static bool g_no_unnamed_files = false;  // elsewhere than on Linux there are none anyway

#ifdef __linux__
#include <fcntl.h>

#include <cerrno>
#include <cstdarg>

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

using testing_support::ReadBytes;
using testing_support::WriteBytes;
using Bytes = std::vector<unsigned char>;
static const Bytes kOld = {'o', 'l', 'd'}, kNew = {'n', 'e', 'w'};

TEST(FileTest, Utf8NamesInTheCLocaleAndEveryFailedWriteReported) {
  testing_support::TempDir dir;
  const std::string name = "\303\234berlingen.jpg";  // "Überlingen.jpg"
  EXPECT_TRUE(File::Open(dir.path() / PathFromUtf8(name), "wb").Close() &&
              !File::Open(dir / "a", "rb").is_open());
  EXPECT_EQ(std::pair(dir.Entries(),
                      PathToUtf8(dir.path() / PathFromUtf8(name)).substr(dir.path().string().size() + 1)),
            std::pair(std::vector<std::string>{name}, name));
  for (std::size_t size : {10, 100000}) {  // always full: a small write fails at the close, a big one at once
    File full = File::Open("/dev/full", "wb");
    if (full.is_open()) std::fwrite(std::string(size, 'x').data(), 1, size, full.get());
    EXPECT_TRUE(!full.is_open() || !full.Close()) << size;
  }
}

TEST(ReplacingFileTest, TheDestinationChangesOnlyByACompleteFile) {
  for (bool named : {false, true}) {
    g_no_unnamed_files = named;
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
    std::fputs("new", file.stream());
    std::vector<std::string> before;
    {
      ReplacingFile abandoned(photo), never_committed(dir / "new.jpg");
      std::fputs("partial", abandoned.stream());
      before = dir.Entries();
    }
    ASSERT_EQ(file.Commit(), ReplacingFile::CommitResult::kReplaced);
    EXPECT_EQ(std::pair(ReadBytes(photo), ReadBytes(dir / "target.jpg")), std::pair(kNew, kOld));
#ifndef _WIN32
    struct stat facts {};
    EXPECT_TRUE(lstat(photo.c_str(), &facts) == 0 && (facts.st_mode & (S_IFMT | 0777)) == (S_IFREG | 0640))
        << "a plain file as a plain create makes it";
#endif
    // Three new files: nameless ones are not seen; named ones are ".pixmeld-" + 12 letters + ".tmp".
    const std::string& first = before[0];
    EXPECT_TRUE(before.size() == 2 || (before.size() == 5 && first.size() == 25 &&
                                       first.rfind(".pixmeld-", 0) == 0 && first.substr(21) == ".tmp"));
#ifdef __linux__
    EXPECT_EQ(before.size() == 2, !named);
#endif
    std::filesystem::create_directories(dir / "in-the-way.jpg" / "inside");
    EXPECT_FALSE(ReplacingFile(dir / "missing" / "photo.jpg").is_open());
    EXPECT_EQ(ReplacingFile(dir / "in-the-way.jpg").Commit(), ReplacingFile::CommitResult::kMoveFailed);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in-the-way.jpg", "photo.jpg", "target.jpg"}));
  }
  g_no_unnamed_files = false;
}

#ifndef _WIN32
// Over the file size limit, a buffered write fails only when the file is flushed or closed.
TEST(ReplacingFileTest, AFailedFlushOrCloseKeepsTheOldFileAndLeavesNoOther) {
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  rlimit low = limit;
  low.rlim_cur = 1000;
  for (bool named : {false, true}) {
    g_no_unnamed_files = named;
    testing_support::TempDir dir;
    WriteBytes(dir / "photo.jpg", kOld);
    ReplacingFile file(dir / "photo.jpg");
    std::fputs(std::string(1200, 'x').c_str(), file.stream());
    setrlimit(RLIMIT_FSIZE, &low);
    const ReplacingFile::CommitResult result = file.Commit();
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_EQ(result, ReplacingFile::CommitResult::kWriteFailed) << named;
    EXPECT_EQ(std::pair(dir.Entries(), ReadBytes(dir / "photo.jpg")),
              std::pair(std::vector<std::string>{"photo.jpg"}, kOld));
  }
  g_no_unnamed_files = false;
  std::signal(SIGXFSZ, handler);
}
#endif

}  // namespace platform
