// Shell requests: asking the desktop to "open" a folder or a web address in the user's own file manager or
// browser. A request returns at once, its result is never looked at, and the program shows nothing of its
// own. The shell is a replaceable service: the system's own serves unless another is installed (tests
// install a recorder). Install before threads start; an installed shell must be thread-safe itself.
#ifndef PIXMELD_PLATFORM_SHELL_H_
#define PIXMELD_PLATFORM_SHELL_H_

#include <string>

namespace platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // Asks for `target` (UTF-8: a path or a web address; it may be empty or name nothing) to be opened with
  // the verb "open", no parameters and a normal window. Never waits for the opener and never reports.
  virtual void Open(const std::string& target) = 0;
};

// The system's own shell: on Windows its execute operation, elsewhere the desktop's opener program.
Shell& SystemShell();

// Every shell request of the program goes through here, to the installed shell.
void OpenInShell(const std::string& target);

// Installs `shell` (not owned) and returns the one it replaces; null restores the system's own.
Shell* InstallShell(Shell* shell);

// Installs a shell for the lifetime of the scope.
class ScopedShell {
 public:
  explicit ScopedShell(Shell* shell) : previous_(InstallShell(shell)) {}
  ~ScopedShell() { InstallShell(previous_); }
  ScopedShell(const ScopedShell&) = delete;
  ScopedShell& operator=(const ScopedShell&) = delete;

 private:
  Shell* previous_;
};

}  // namespace platform

#endif  // PIXMELD_PLATFORM_SHELL_H_
