#include "platform/desktop_opener.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <thread>

#include "tests/support/temp_dir.h"

namespace platform {

namespace fs = std::filesystem;

// The opener writes its arguments, each ended by a NUL, then whether it holds our file 57, what its input
// is and its process group; the request returns while it runs.
TEST(DesktopOpenerTest, TheTargetIsOneArgumentThatRunsNothingForAnOpenerThatHoldsNoneOfOurFiles) {
  testing_support::TempDir temp;
  const fs::path opener = temp / "opener";
  std::ofstream(opener)
      << "#!/bin/sh\nsleep 0.1\n{ printf '%s\\0' \"$@\"; [ -e /proc/$$/fd/57 ] && echo held; "
         "readlink /proc/$$/fd/0; cut -d' ' -f5 /proc/$$/stat; } > \"$0.tmp\"\nmv \"$0.tmp\" \"$0.out\"\n";
  fs::permissions(opener, fs::perms::owner_all);
  const int ours = open((temp / "ours").c_str(), O_CREAT | O_WRONLY, 0600);  // not closed on exec
  ASSERT_EQ(dup2(ours, 57), 57);
  close(ours);
  const std::string pwned = (temp / "pwned").string();
  const std::string cases[][2] = {
      // target, argument: the target as it is, but with "./" before a "-" that the opener takes for an option
      {"/tmp/it's a \"test\" $(touch " + pwned + ") `touch " + pwned + "`; touch " + pwned + " | x & y\nz -n",
       ""},
      {"-n", "./-n"},
      {"", ""}};
  for (const auto& [target, argument] : cases) {
    fs::remove(temp / "opener.out");
    const pid_t pid = ProgramOpener(opener.string()).Start(target);
    ASSERT_GT(pid, 0);
    EXPECT_FALSE(fs::exists(temp / "opener.out")) << "the request waited for the opener";
    for (int i = 0; i < 1000 && !(fs::exists(temp / "opener.out") && kill(pid, 0) != 0); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));  // until it has ended and been reaped
    }
    EXPECT_EQ(kill(pid, 0) == -1 && errno == ESRCH, true) << "not reaped";
    EXPECT_EQ(testing_support::ReadText(temp / "opener.out"),
              (argument.empty() ? target : argument) + '\0' + "/dev/null\n" + std::to_string(pid) + "\n");
  }
  close(57);
  EXPECT_FALSE(fs::exists(pwned)) << "a part of a target was run";
  EXPECT_EQ(ProgramOpener("pixmeld-no-such-opener").Start("/tmp"), -1);
}

}  // namespace platform
