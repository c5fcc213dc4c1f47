// The shell on systems other than Windows: the desktop's opener program ("xdg-open" from xdg-utils), started
// once per request with the target as its one argument and no shell in between, so that spaces, quotes and
// "$(...)" in a folder name reach it unchanged and run nothing. The request does not wait; a thread of ours
// reaps the opener when it ends. Safe from any thread.
#ifndef PIXMELD_PLATFORM_DESKTOP_OPENER_H_
#define PIXMELD_PLATFORM_DESKTOP_OPENER_H_

#include <sys/types.h>

#include <string>
#include <utility>

#include "platform/shell.h"

namespace platform {

inline constexpr char kDesktopOpener[] = "xdg-open";

// The argument that names `target` to an opener that takes anything starting with "-" for an option, as
// xdg-open does: a relative path that starts with "-" gets "./" in front, which names the same file.
// Absolute paths and web addresses never start with "-"; every other target is passed as it is.
std::string OpenerArgument(const std::string& target);

class ProgramOpener final : public Shell {
 public:
  // `program` is looked up in PATH unless it contains a "/".
  explicit ProgramOpener(std::string program) : program_(std::move(program)) {}

  void Open(const std::string& target) override { Start(target); }

  // Starts the opener for `target` and returns its process id, or -1 when it cannot be started (a missing
  // program, no free process); either way nothing is shown.
  pid_t Start(const std::string& target) const;

 private:
  std::string program_;
};

}  // namespace platform

#endif  // PIXMELD_PLATFORM_DESKTOP_OPENER_H_
