// pixmeld-cli killed in the middle of writing a photo: SIGINT, SIGTERM and SIGHUP leave no temporary file
// and end it with 128 + the signal's number; SIGKILL leaves none either, since the file has no name
// until it is complete.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

using testing_support::JpegRecipe;
using testing_support::TempDir;

// Starts pixmeld-cli with the interrupts at their defaults (a test runner may have started us with some
// ignored), standard output and error discarded, and `extra` added to the environment.
pid_t StartCli(const std::vector<std::string>& arguments, const std::vector<std::string>& extra) {
  std::vector<std::string> strings = {PIXMELD_CLI_PATH};
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : strings) argv.push_back(text.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment(extra);
  for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
  std::vector<char*> envp;
  for (std::string& text : environment) envp.push_back(text.data());
  envp.push_back(nullptr);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults, none;
  sigemptyset(&defaults);
  for (int number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, number);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = -1;
  if (posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), envp.data()) != 0) child = -1;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return child;
}

// Waits until `child` holds a file open inside `folder` (named or not): a photo is being written.
bool WaitUntilWriting(pid_t child, const std::filesystem::path& folder) {
  const std::string prefix = folder.string() + "/";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator("/proc/" + std::to_string(child) + "/fd", error)) {
      std::error_code unreadable;
      if (std::filesystem::read_symlink(entry.path(), unreadable).string().rfind(prefix, 0) == 0) return true;
    }
    if (error) return false;  // the child has ended
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

TEST(InterruptTest, AKillMidWriteLeavesNoTemporaryFile) {
  TempDir dir;
  std::vector<std::string> arguments = {"--max-edge", "65500", "--jobs", "2", "-o", (dir / "out").string()};
  std::filesystem::create_directory(dir / "in");
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    // Noise the encoder cannot squeeze, at full size: each write takes a good fraction of a second.
    JpegRecipe recipe;
    recipe.width = 3000;
    recipe.height = 2000;
    recipe.sample = [](int x, int y, int c) {
      return static_cast<std::uint8_t>((static_cast<unsigned>(x * 2654435761u ^ y * 40503u ^ c * 977u) >> 7));
    };
    testing_support::WriteJpeg(dir / "in" / name, recipe);
    arguments.push_back((dir / "in" / name).string());
  }
  const std::string asan_options = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
  const std::vector<std::string> named = {"LD_PRELOAD=" NO_UNNAMED_FILES_PATH,
                                          "ASAN_OPTIONS=verify_asan_link_order=0:" + asan_options};
  const struct {
    int signal;
    bool named_temporary_files;
  } kills[] = {{SIGTERM, true}, {SIGINT, true}, {SIGHUP, false}, {SIGKILL, false}};

  for (const auto& [signal, named_temporary_files] : kills) {
    SCOPED_TRACE(std::string(strsignal(signal)) + (named_temporary_files ? ", named" : ", nameless"));
    std::filesystem::remove_all(dir / "out");
    std::filesystem::create_directory(dir / "out");
    const pid_t child = StartCli(arguments, named_temporary_files ? named : std::vector<std::string>());
    ASSERT_GT(child, 0);
    const bool writing = WaitUntilWriting(child, dir / "out");
    kill(child, signal);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(writing) << "pixmeld-cli never wrote";
    if (signal == SIGKILL) {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    } else {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + signal) << status;
    }
    for (const std::string& name : TempDir::EntriesOf(dir / "out")) {
      EXPECT_TRUE(name == "a.jpg" || name == "b.jpg" || name == "c.jpg") << name;
    }
  }
}

}  // namespace
