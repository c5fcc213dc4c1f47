#include "platform/desktop_opener.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

extern char** environ;

namespace platform {
namespace {

// The opener may outlive the request by far (a browser started in the foreground keeps it waiting), so
// one detached thread per opener waits for its end. A SIGCHLD handler would be process-wide and could take
// the exit of children that the toolkit waits for itself; waitpid on this one child cannot.
void ReapWhenDone(pid_t child) {
  try {
    std::thread([child] {
      while (waitpid(child, nullptr, 0) == -1 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread to spare: the ended opener stays a zombie until the program ends, which is harmless.
  }
}

// How the opener starts: reading nothing (its input is /dev/null), holding none of our files open (a
// browser that it starts may run for hours), in a process group of its own (Ctrl+C in our terminal is not
// meant for it), with no signal blocked and SIGPIPE at its default.
class SpawnSettings {
 public:
  SpawnSettings() {
    posix_spawn_file_actions_init(&actions_);
    posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
#endif
    posix_spawnattr_init(&attributes_);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes_, &none);
    sigset_t to_default;
    sigemptyset(&to_default);
    sigaddset(&to_default, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes_, &to_default);
    posix_spawnattr_setpgroup(&attributes_, 0);
    posix_spawnattr_setflags(&attributes_,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  ~SpawnSettings() {
    posix_spawnattr_destroy(&attributes_);
    posix_spawn_file_actions_destroy(&actions_);
  }
  SpawnSettings(const SpawnSettings&) = delete;
  SpawnSettings& operator=(const SpawnSettings&) = delete;

  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

}  // namespace

std::string OpenerArgument(const std::string& target) {
  if (!target.empty() && target.front() == '-') return "./" + target;
  return target;
}

pid_t ProgramOpener::Start(const std::string& target) const {
  const std::string argument = OpenerArgument(target);
  // The two strings outlive the call; posix_spawnp takes non-const pointers but changes nothing.
  char* const argv[] = {const_cast<char*>(program_.c_str()), const_cast<char*>(argument.c_str()), nullptr};
  const SpawnSettings settings;
  pid_t child = -1;
  if (posix_spawnp(&child, program_.c_str(), settings.actions(), settings.attributes(), argv, environ) != 0) {
    return -1;
  }
  ReapWhenDone(child);
  return child;
}

Shell& SystemShell() {
  static ProgramOpener opener(kDesktopOpener);
  return opener;
}

}  // namespace platform
