// The temporary files of this process that are in flight, so that an interrupt can remove them before the
// process ends. A TemporaryFileGuard is held while such a file is created, renamed or removed, so that the
// cleanup sees every file either tracked or not there. Thread-safe: one process-wide registry.
#ifndef PIXMELD_PLATFORM_TEMPORARY_FILES_H_
#define PIXMELD_PLATFORM_TEMPORARY_FILES_H_

#include <filesystem>
#include <mutex>

namespace platform {

class TemporaryFileGuard {
 public:
  TemporaryFileGuard();
  TemporaryFileGuard(const TemporaryFileGuard&) = delete;
  TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

  void Track(const std::filesystem::path& path);
  void Forget(const std::filesystem::path& path);

 private:
  std::unique_lock<std::mutex> lock_;
};

// Removes every tracked file and keeps the registry locked for good, so that no thread creates another;
// for the moment before the process ends. Waits for a guard held elsewhere, which is only ever held for
// one create, rename or remove.
void RemoveTemporaryFilesForExit();

}  // namespace platform

#endif  // PIXMELD_PLATFORM_TEMPORARY_FILES_H_
