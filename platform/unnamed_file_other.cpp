// Systems without nameless files: every temporary file is a named one.
#include "platform/unnamed_file.h"

namespace platform {

File CreateUnnamedFile(const std::filesystem::path&) { return File(); }

bool NameUnnamedFile(const File&, const std::filesystem::path&, std::string_view, std::string_view,
                     std::filesystem::path*) {
  return false;
}

}  // namespace platform
