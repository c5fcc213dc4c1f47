#include "platform/temporary_files.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace platform {
namespace {

struct Registry {
  std::mutex mutex;
  std::vector<std::filesystem::path> paths;  // a handful: one per photo in flight
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

TemporaryFileGuard::TemporaryFileGuard() : lock_(TheRegistry().mutex) {}

void TemporaryFileGuard::Track(const std::filesystem::path& path) { TheRegistry().paths.push_back(path); }

void TemporaryFileGuard::Forget(const std::filesystem::path& path) {
  std::vector<std::filesystem::path>& paths = TheRegistry().paths;
  if (const auto found = std::find(paths.begin(), paths.end(), path); found != paths.end())
    paths.erase(found);
}

void RemoveTemporaryFilesForExit() {
  Registry& registry = TheRegistry();
  registry.mutex.lock();  // never unlocked: the process is about to end
  for (const std::filesystem::path& path : registry.paths) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
}

}  // namespace platform
