#include "platform/desktop_opener.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/support/temp_dir.h"

// The opener writes its arguments, each ended by a NUL, then whether it holds our file 57, what its input
// is and its process group. The request returns while it runs, and it is reaped when it ends.
TEST(DesktopOpenerTest, TheTargetIsOneArgumentThatRunsNothingForAnOpenerThatHoldsNoneOfOurFiles) {
  testing_support::TempDir temp;
  const std::filesystem::path opener = temp / "opener", out = temp / "opener.out";
  std::ofstream(opener)
      << "#!/bin/sh\nsleep 0.1\n{ printf '%s\\0' \"$@\"; [ -e /proc/$$/fd/57 ] && echo held; "
         "readlink /proc/$$/fd/0; cut -d' ' -f5 /proc/$$/stat; } > \"$0.tmp\"\nmv \"$0.tmp\" \"$0.out\"\n";
  std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  const int ours = open((temp / "ours").c_str(), O_CREAT | O_RDWR, 0600);  // not closed on exec
  ASSERT_TRUE(dup2(ours, 57) == 57 && dup2(ours, STDIN_FILENO) == STDIN_FILENO);
  const std::string pwned = (temp / "pwned").string();
  // A "-" in front would be taken for an option: "./" names the same file.
  const std::string target =
      "-n /tmp/it's \"a\" $(touch " + pwned + ") `touch " + pwned + "`; touch " + pwned + " &\n";
  const pid_t pid = platform::ProgramOpener(opener.string()).Start(target);
  EXPECT_FALSE(std::filesystem::exists(out)) << "the request waited for the opener";
  for (int i = 0; i < 1000 && (!std::filesystem::exists(out) || kill(pid, 0) == 0); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));  // till it has ended and been reaped
  EXPECT_EQ(testing_support::ReadText(out), "./" + target + '\0' + "/dev/null\n" + std::to_string(pid) + "\n")
      << "its one argument, \"held\" if it holds our file 57, its input, its process group (its own)";
  EXPECT_NE(kill(pid, 0), 0) << "not reaped";
  close(57);
  EXPECT_FALSE(std::filesystem::exists(pwned)) << "a part of a target was run";
}
