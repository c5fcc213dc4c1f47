// ReplacingFile, and File beneath it: every failed write reported, a destination that changes only by a
// complete file, and a folder that fails by the commit, both where the system offers nameless files and
// where it does not. A missing folder and a folder in the way of one photo are the batch runner's test.
#include "platform/replacing_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace fs = std::filesystem;
using platform::ReplacingFile;
using Result = ReplacingFile::CommitResult;
namespace ts = testing_support;
using Bytes = std::vector<unsigned char>;
static const Bytes kOld = {'o', 'l', 'd'}, kNew = {'n', 'e', 'w'};

namespace platform {
void PrintTo(ReplacingFile::CommitResult result, std::ostream* out) {
  static const char* const kNames[] = {"kReplaced", "kWriteFailed", "kMoveFailed", "kFolderRefuses"};
  *out << kNames[static_cast<int>(result)];
}
}  // namespace platform

// Over the file size limit a big write fails at once, and a small one, buffered, only when the file is
// flushed or closed.
TEST(ReplacingFileTest, TheDestinationChangesOnlyByACompleteFile) {
#ifndef _WIN32
  std::signal(SIGXFSZ, SIG_IGN);  // a write past the size limit fails instead of ending the process
  umask(022);
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlimit low = {1000, limit.rlim_max};
#endif
  for (bool named : {true, false}) {
    SCOPED_TRACE(named ? "named temporary files" : "nameless temporary files");
    g_no_unnamed_files = named;
    ts::TempDir dir;
    const fs::path photo = dir / "photo.jpg";
    ts::WriteBytes(dir / "target.jpg", kOld);
#ifdef _WIN32
    ts::WriteBytes(photo, kOld);
#else
    fs::create_symlink(dir / "target.jpg", photo);  // replaced, never written through
#endif
    ReplacingFile file(photo);
    std::fputs("new", file.stream());
    {
      ReplacingFile too_big(photo), far_too_big(photo), abandoned(photo), never_committed(dir / "new.jpg");
#ifndef _WIN32
      setrlimit(RLIMIT_FSIZE, &low);
#endif
      std::fputs(std::string(1200, 'x').c_str(), too_big.stream()), std::fputs("partial", abandoned.stream());
      std::fputs(std::string(100000, 'x').c_str(), far_too_big.stream());
#ifdef __linux__
      EXPECT_EQ(dir.Entries().size(), named ? 7u : 2u) << "nameless files are not seen";
#endif
#ifndef _WIN32
      EXPECT_EQ(std::pair(too_big.Commit(), far_too_big.Commit()),
                std::pair(Result::kWriteFailed, Result::kWriteFailed));
      setrlimit(RLIMIT_FSIZE, &limit);
#endif
    }
    EXPECT_EQ(ts::ReadBytes(photo), kOld);
    ASSERT_EQ(file.Commit(), Result::kReplaced);
    EXPECT_EQ(std::pair(ts::ReadBytes(photo), ts::ReadBytes(dir / "target.jpg")), std::pair(kNew, kOld));
    // A plain file, with the permissions that a plain create gives.
    EXPECT_TRUE(!fs::is_symlink(photo) &&
                (fs::status(photo).permissions() & fs::perms::others_read) != fs::perms::none);
#ifndef _WIN32  // where a folder with an open file in it can be removed
    // A file in the folder's place by the commit: the folder refuses, not the file.
    fs::create_directory(dir / "gone");
    ReplacingFile orphan(dir / "gone" / "photo.jpg");
    fs::remove_all(dir / "gone"), ts::WriteBytes(dir / "gone", kOld);
    EXPECT_EQ(orphan.Commit(), Result::kFolderRefuses) << "a file in the folder's place";
    fs::remove(dir / "gone");
#endif
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"photo.jpg", "target.jpg"}));
  }
}

#ifndef _WIN32
// A folder made read-only once the file was open refuses at the commit, and nothing is left in it. Root
// writes whatever a folder's mode says, so as root this runs in a child as the user "nobody".
TEST(ReplacingFileTest, AFolderMadeReadOnlyByTheCommitRefuses) {
  const auto run = [] {
    g_no_unnamed_files = false;  // a named temporary file could not be removed from the folder either
    ts::TempDir dir;
    ReplacingFile file(dir / "photo.jpg");
    std::fputs("new", file.stream());
    fs::permissions(dir.path(), fs::perms(0555));
    EXPECT_EQ(file.Commit(), Result::kFolderRefuses);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{}) << "nothing left";
  };
  if (geteuid() != 0) return run();
  const pid_t child = fork();
  if (child == 0) {
    const bool dropped = setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
    if (dropped) run();
    _exit(dropped && !testing::Test::HasFailure() ? 0 : 1);
  }
  int status = 0;
  EXPECT_TRUE(waitpid(child, &status, 0) == child && status == 0) << "as nobody: see above";
}
#endif
