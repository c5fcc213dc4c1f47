#include "platform/unnamed_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace platform {

File CreateUnnamedFile(const std::filesystem::path& folder) {
  // 0666 less the umask, as a plain create gives.
  const int descriptor = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (descriptor < 0) return File();
  std::FILE* stream = fdopen(descriptor, "wb");
  if (stream == nullptr) close(descriptor);
  return File::Adopt(stream);
}

bool NameUnnamedFile(const File& file, const std::filesystem::path& folder, std::string_view prefix,
                     std::string_view suffix, std::filesystem::path* named) {
  const int descriptor = fileno(file.get());
  // Linking through /proc needs no privilege; AT_EMPTY_PATH does without /proc (ENOENT) but may need
  // CAP_DAC_READ_SEARCH. Any other error is the folder's answer, which the second way would only blur:
  // without that capability, older kernels fail it with ENOENT whatever the folder says.
  const std::string by_proc = "/proc/self/fd/" + std::to_string(descriptor);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path path = folder / PathFromUtf8(UniqueName(prefix, suffix));
    if (linkat(AT_FDCWD, by_proc.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
        (errno == ENOENT && linkat(descriptor, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0)) {
      *named = std::move(path);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

}  // namespace platform
