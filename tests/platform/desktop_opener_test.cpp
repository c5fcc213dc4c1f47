#include "platform/desktop_opener.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Polls `done` every 10 ms for up to ten seconds.
template <typename Condition>
bool WaitFor(Condition done) {
  for (int i = 0; i < 1000; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(10ms);
  }
  return done();
}

// Ended and reaped: a zombie still answers signal 0.
bool Gone(pid_t pid) { return kill(pid, 0) == -1 && errno == ESRCH; }

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An opener program that writes each of its arguments, each ended by a NUL, to "argv" in the test's
// folder, so that the test sees exactly how many arguments arrived and what they were.
class DesktopOpenerTest : public testing::Test {
 protected:
  fs::path WriteOpener(const std::string& body) {
    const fs::path script = temp_ / "opener";
    std::ofstream(script) << "#!/bin/sh\ndir='" << temp_.path().string() << "'\n" << body;
    fs::permissions(script, fs::perms::owner_all);
    return script;
  }

  // Runs the recording opener for `target` and returns the arguments it got, once it has ended.
  std::vector<std::string> ArgumentsFor(const std::string& target) {
    fs::remove(temp_ / "argv");
    const pid_t pid = ProgramOpener(recorder_.string()).Start(target);
    EXPECT_GT(pid, 0);
    EXPECT_TRUE(WaitFor([&] { return fs::exists(temp_ / "argv"); })) << "the opener did not run";
    EXPECT_TRUE(WaitFor([&] { return Gone(pid); })) << "the opener was not reaped";
    const std::string text = ReadText(temp_ / "argv");
    std::vector<std::string> arguments;
    for (std::size_t start = 0, end; (end = text.find('\0', start)) != std::string::npos; start = end + 1) {
      arguments.push_back(text.substr(start, end - start));
    }
    return arguments;
  }

  testing_support::TempDir temp_;
  fs::path recorder_ =
      WriteOpener("printf '%s\\0' \"$@\" > \"$dir/argv.tmp\"\nmv \"$dir/argv.tmp\" \"$dir/argv\"\n");
};

TEST_F(DesktopOpenerTest, TargetArrivesAsOneArgumentAndRunsNothing) {
  const std::string pwned = (temp_ / "pwned").string();
  struct Case {
    std::string target;
    std::string argument;
  };
  const Case cases[] = {
      {"/tmp/x/it's a \"test\" $(touch " + pwned + ") -n",
       "/tmp/x/it's a \"test\" $(touch " + pwned + ") -n"},
      {"/tmp/`touch " + pwned + "`; touch " + pwned + " | x & y\nz",
       "/tmp/`touch " + pwned + "`; touch " + pwned + " | x & y\nz"},
      {"/photos/Überlingen 2024/*", "/photos/Überlingen 2024/*"},
      {"https://www.facebook.com/pixmeld?a=1&b=2", "https://www.facebook.com/pixmeld?a=1&b=2"},
      // The opener would take these for options: "./" names the same file and is no option.
      {"-n", "./-n"},
      {"--help photos", "./--help photos"},
      {"a-b", "a-b"},
      // An empty target is passed on as an empty argument, for the opener to refuse.
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    EXPECT_EQ(ArgumentsFor(c.target), std::vector<std::string>{c.argument});
  }
  EXPECT_FALSE(fs::exists(pwned)) << "a part of a target was run";
}

// A browser that the opener starts may run for hours: it must hold none of our files, and neither it nor
// the opener may read from our input.
TEST_F(DesktopOpenerTest, OpenerHoldsNoneOfOurFilesAndReadsNothing) {
  if (!fs::exists("/proc/self/fd")) GTEST_SKIP() << "no /proc to look into";
  constexpr int kOurFile = 57;
  const int file = open((temp_ / "ours").c_str(), O_CREAT | O_WRONLY, 0600);  // no close-on-exec
  ASSERT_GE(file, 0);
  ASSERT_EQ(dup2(file, kOurFile), kOurFile);
  close(file);
  recorder_ = WriteOpener(
      "{ if [ -e /proc/$$/fd/57 ]; then echo held; else echo free; fi; readlink /proc/$$/fd/0; } > "
      "\"$dir/argv.tmp\"\nmv \"$dir/argv.tmp\" \"$dir/argv\"\n");
  ArgumentsFor("/tmp");
  close(kOurFile);
  EXPECT_EQ(ReadText(temp_ / "argv"), "free\n/dev/null\n");
}

// The request returns while the opener still runs; the opener leads a process group of its own.
TEST_F(DesktopOpenerTest, RequestNeverWaitsForTheOpener) {
  const fs::path slow = WriteOpener("exec sleep 60\n");
  const auto before = std::chrono::steady_clock::now();
  const pid_t pid = ProgramOpener(slow.string()).Start("/tmp");
  ASSERT_GT(pid, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
  EXPECT_FALSE(Gone(pid));
  if (kill(-pid, SIGTERM) != 0) {
    ADD_FAILURE() << "no process group led by the opener";
    kill(pid, SIGTERM);
  }
  EXPECT_TRUE(WaitFor([&] { return Gone(pid); })) << "the ended opener was not reaped";
}

TEST_F(DesktopOpenerTest, MissingOpenerStartsNothingAndSaysNothing) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(ProgramOpener((temp_ / "no-such-opener").string()).Start("/tmp"), -1);
  EXPECT_EQ(ProgramOpener("pixmeld-no-such-opener").Start("/tmp"), -1);
  ProgramOpener("pixmeld-no-such-opener").Open("https://pixmeld.example.org");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace platform
