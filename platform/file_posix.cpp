// Linux names are bytes and are taken as they are.
#include "platform/file.h"

namespace platform {

std::optional<std::filesystem::path> ExactPathFromUtf8(std::string_view utf8) { return PathFromUtf8(utf8); }

std::filesystem::path PathFromUtf8(std::string_view utf8) { return std::filesystem::path(std::string(utf8)); }

std::string PathToUtf8(const std::filesystem::path& path) { return path.native(); }

File File::Open(const std::filesystem::path& path, const char* mode) {
  return File(std::fopen(path.c_str(), mode));
}

}  // namespace platform
