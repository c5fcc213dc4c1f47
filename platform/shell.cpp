#include "platform/shell.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<Shell*> g_shell{nullptr};

}  // namespace

void OpenInShell(const std::string& target) {
  Shell* shell = g_shell.load();
  (shell != nullptr ? *shell : SystemShell()).Open(target);
}

Shell* InstallShell(Shell* shell) { return g_shell.exchange(shell); }

}  // namespace platform
